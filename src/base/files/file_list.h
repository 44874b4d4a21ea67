// A listing of the disk files (and, when asked, the folders) under a folder, recursively when
// asked, with their local last-write times, sizes and attributes, that the scripts read entry by
// entry. Paths are relative to the scanned folder; a folder's path ends with a backslash.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/files/find_data.h"

// Attribute bits of an entry.
inline constexpr uint8_t kListedReadOnly = 0x01;
inline constexpr uint8_t kListedHidden = 0x02;
inline constexpr uint8_t kListedSystem = 0x04;
inline constexpr uint8_t kListedArchive = 0x08;
inline constexpr uint8_t kListedFolder = 0x10;

struct FileListEntry {
  std::string path;
  uint16_t year = 0;
  uint8_t month = 0;
  uint8_t day = 0;
  uint8_t day_of_week = 0;  // 0 Sunday
  uint8_t hour = 0;
  uint8_t minute = 0;
  uint8_t second = 0;
  uint32_t size = 0;  // the low 32 bits; 0 for a folder
  uint8_t attributes = 0;
};

class CFileList {
 public:
  virtual ~CFileList() = default;

  // Lists `folder` (relative names against the base folder; null: the base folder itself) for
  // `pattern` (null: "*.*"). Each folder's subfolders come first, each followed by its own
  // contents when recursing, then the folder's files. Names too long for an engine path are left
  // out, and linked folders are listed but not entered. The entry count; 0 also when the folder
  // cannot be made absolute.
  uint32_t Scan(const char* folder, const char* pattern, bool list_folders, bool recurse);

  const FileListEntry* GetEntry(uint32_t index) const;
  // The entry's path, or null.
  const char* GetEntryFirstField(uint32_t index) const;
  uint32_t GetCount() const { return static_cast<uint32_t>(entries_.size()); }
  void Clear();

 private:
  struct ScanRequest {
    std::string base;
    std::string pattern;
    bool list_folders = false;
    bool recurse = false;
  };

  void ScanFolder(const ScanRequest& request, const std::string& relative);
  void Append(std::string path, const plat::FindData& found);

  std::vector<FileListEntry> entries_;
};

// The scripts' file list.
extern CFileList g_FileList;

#include "base/files/file_list.h"

#include <cstring>
#include <optional>
#include <utility>

#include "base/files/file_services.h"
#include "base/files/path.h"
#include "platform/files/file_system_ops.h"

namespace {

// Whether an engine path of this length fits the engine's path buffers.
bool Fits(std::size_t length) { return length < kMaxPath; }

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

}  // namespace

uint32_t CFileList::Scan(const char* folder, const char* pattern, bool list_folders, bool recurse) {
  Clear();
  ScanRequest request;
  if (folder != nullptr) {
    char full[kMaxPath];
    if (MakeFullPath(full, folder) == 0) return 0;
    request.base = full;
    if (!EndsWithSeparator(full)) request.base += '\\';
  } else {
    request.base = g_ModuleFolder;
  }
  request.pattern = pattern != nullptr ? pattern : "*.*";
  request.list_folders = list_folders;
  request.recurse = recurse;
  ScanFolder(request, "");
  return GetCount();
}

void CFileList::ScanFolder(const ScanRequest& request, const std::string& relative) {
  const std::string folder = request.base + relative;
  if (request.list_folders || request.recurse) {
    for (const plat::FindData& found : plat::FindFiles(folder + "*.*")) {
      if (!found.IsFolder() || IsDotEntry(found.file_name)) continue;
      std::string subfolder = relative + found.file_name + '\\';
      if (!Fits(request.base.size() + subfolder.size())) continue;
      if (request.list_folders) Append(subfolder, found);
      // A linked folder may lead back to one of its parents.
      if (request.recurse && (found.attributes & plat::kFileAttributeReparsePoint) == 0) {
        ScanFolder(request, subfolder);
      }
    }
  }
  if (!Fits(folder.size() + request.pattern.size())) return;
  for (const plat::FindData& found : plat::FindFiles(folder + request.pattern)) {
    if (found.IsFolder()) continue;
    std::string path = relative + found.file_name;
    if (Fits(request.base.size() + path.size())) Append(std::move(path), found);
  }
}

void CFileList::Append(std::string path, const plat::FindData& found) {
  FileListEntry entry;
  entry.path = std::move(path);
  if (const std::optional<std::tm> time = ToLocalTime(found.last_write_time)) {
    entry.year = static_cast<uint16_t>(time->tm_year + 1900);
    entry.month = static_cast<uint8_t>(time->tm_mon + 1);
    entry.day = static_cast<uint8_t>(time->tm_mday);
    entry.day_of_week = static_cast<uint8_t>(time->tm_wday);
    entry.hour = static_cast<uint8_t>(time->tm_hour);
    entry.minute = static_cast<uint8_t>(time->tm_min);
    entry.second = static_cast<uint8_t>(time->tm_sec);
  }
  entry.size = found.IsFolder() ? 0 : found.size_low;
  entry.attributes = static_cast<uint8_t>(found.attributes & (kListedReadOnly | kListedHidden | kListedSystem |
                                                              kListedArchive | kListedFolder));
  entries_.push_back(std::move(entry));
}

const FileListEntry* CFileList::GetEntry(uint32_t index) const {
  return index < entries_.size() ? &entries_[index] : nullptr;
}

const char* CFileList::GetEntryFirstField(uint32_t index) const {
  const FileListEntry* entry = GetEntry(index);
  return entry != nullptr ? entry->path.c_str() : nullptr;
}

void CFileList::Clear() {
  entries_.clear();
  entries_.shrink_to_fit();
}

// Archives opened through a Susie archive plug-in ("00AM"): the plug-in lists the entries once
// and extracts an entry when it is read. Entry names compare with the folding of
// SusieNamesEqual, so case and the two sets of Roman numerals do not matter.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/files/dynamic_library.h"
#include "resource/archives/archive.h"
#include "resource/plugins/susie_plugin_abi.h"

// The one-at-a-time hash of a folded entry name; never 0.
std::uint32_t SusieNameHash(std::string_view name);
bool SusieNamesEqual(std::string_view a, std::string_view b);

class CSpiArchive final : public CArchive {
 public:
  struct Entry {
    std::string name;  // the record's folder ('/' turned into '\') and file name
    ArchiveEntryInfo info;
  };

  CSpiArchive(std::shared_ptr<plat::DynamicLibrary> library, SusieGetFileFunc get_file, std::string host_path,
              std::vector<Entry> entries, bool build_table);

  std::uint32_t GetEntryCount() const override;
  std::span<const ArchiveEntryName> GetEntryInfoTable() const override;
  bool HasEntry(const char* name) const override;
  const ArchiveEntryInfo* GetEntryInfoByName(const char* name) const override;
  const ArchiveEntryInfo* GetEntryInfo(std::uint32_t number, const char** out_name) const override;
  // 0; 1 the plug-in reported an error; 2 an empty entry; 3 no such entry; 8 the target gave no
  // buffer.
  std::int32_t ReadEntryByName(const char* name, CReadTarget& target, const ArchiveProgress& progress) override;
  std::int32_t ReadEntry(std::uint32_t number, CReadTarget& target, const ArchiveProgress& progress) override;
  // Entries are never streamed: kArchiveNotStreamable for an entry, 3 for none.
  RefPtr<CReadStream> OpenEntryStreamByName(const char* name, int* error) override;
  RefPtr<CReadStream> OpenEntryStream(std::uint32_t number, int* error) override;

  // Writes an entry into a folder (an engine path) as the plug-in names it: 0; 1 the plug-in
  // reported an error; 3 no such entry; 5 no folder.
  std::int32_t ExtractEntryByName(const char* name, const char* folder, const ArchiveProgress& progress);
  std::int32_t ExtractEntry(std::uint32_t number, const char* folder, const ArchiveProgress& progress);

 private:
  struct NameHash {
    std::size_t operator()(std::string_view name) const { return SusieNameHash(name); }
  };
  struct NameEqual {
    bool operator()(std::string_view a, std::string_view b) const { return SusieNamesEqual(a, b); }
  };

  const Entry* FindEntry(const char* name) const;
  const Entry* EntryAt(std::uint32_t number) const;
  std::int32_t Read(const Entry* entry, CReadTarget& target, const ArchiveProgress& progress);
  std::int32_t Extract(const Entry* entry, const char* folder, const ArchiveProgress& progress);

  std::shared_ptr<plat::DynamicLibrary> library_;
  SusieGetFileFunc get_file_;
  std::string host_path_;
  std::vector<Entry> entries_;
  std::vector<ArchiveEntryName> table_;
  std::unordered_map<std::string_view, std::size_t, NameHash, NameEqual> by_name_;
};

class CSpiArchiveDecoder final : public CArchiveDecoder {
 public:
  struct Entries {
    SusieGetArchiveInfoFunc get_archive_info = nullptr;
    SusieGetFileFunc get_file = nullptr;
  };

  CSpiArchiveDecoder(std::shared_ptr<plat::DynamicLibrary> library, Entries entries)
      : library_(std::move(library)), entries_(entries) {}

  // 0; 1 the plug-in gives no list; 2 the list is empty; 5 no path; 8 no memory. The archive
  // file is read by the plug-in itself: the handle is left with the caller.
  RefPtr<CArchive> Open(const char* path, plat::FileHandle& file, int* error) override;
  std::int32_t AssistFunc(std::uint32_t command, const PluginArgs& args) override;

 private:
  std::shared_ptr<plat::DynamicLibrary> library_;
  Entries entries_;
};

// The assist entries of the Susie archive decoders: command 0 {flag} sets whether archives
// opened afterwards build their table of entry names; any other command gives 5. The second
// entry takes the command as its first word.
std::int32_t SpiAssistFunc(std::uint32_t command, const PluginArgs* args);
std::int32_t SpiAssistFunc2(const PluginArgs* args);

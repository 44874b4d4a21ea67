#include "resource/archives/susie_archive.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include "base/numbers/little_endian.h"
#include "platform/files/host_path.h"

namespace {

// Whether archives opened from now on build their table of entry names.
std::atomic<bool> g_build_tables = false;

constexpr std::int32_t kDone = 0;
constexpr std::int32_t kPluginFailed = 1;
constexpr std::int32_t kEmpty = 2;
constexpr std::int32_t kNoEntry = 3;
constexpr std::int32_t kNoFolder = 5;
constexpr std::int32_t kNoMemory = 8;
constexpr std::int32_t kUnknownCommand = 5;

bool IsLeadByte(std::uint8_t byte) { return byte >= 0x81 && byte <= 0xFE; }

// A name with its folding for comparison: ASCII capitals as small letters, full-width capitals
// (0x8260-0x8279) as full-width small letters, and both sets of Roman numerals (0xFA40-0xFA49
// and 0x8754-0x875D) as 0xFA4A-0xFA53.
std::string FoldName(std::string_view name) {
  std::string folded;
  folded.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    auto lead = static_cast<std::uint8_t>(name[i]);
    if (!IsLeadByte(lead) || i + 1 == name.size()) {
      folded += static_cast<char>(lead >= 'A' && lead <= 'Z' ? lead + ('a' - 'A') : lead);
      continue;
    }
    auto trail = static_cast<std::uint8_t>(name[++i]);
    if (lead == 0x82 && trail >= 0x60 && trail <= 0x79) {
      trail = static_cast<std::uint8_t>(trail + 0x21);
    } else if (lead == 0xFA && trail >= 0x40 && trail <= 0x49) {
      trail = static_cast<std::uint8_t>(trail + 10);
    } else if (lead == 0x87 && trail >= 0x54 && trail <= 0x5D) {
      lead = 0xFA;
      trail = static_cast<std::uint8_t>(trail - 10);
    }
    folded += static_cast<char>(lead);
    folded += static_cast<char>(trail);
  }
  return folded;
}

// Calls the reader's progress from a plug-in's progress callback; its data word points at it.
std::int32_t RelayProgress(std::int32_t done, std::int32_t total, std::intptr_t data) {
  const auto* progress = reinterpret_cast<const ArchiveProgress*>(data);
  if (progress != nullptr && *progress) (*progress)(done, total);
  return 0;
}

std::intptr_t RelayData(const ArchiveProgress& progress) { return reinterpret_cast<std::intptr_t>(&progress); }

std::string FieldText(const std::uint8_t* field) {
  const char* text = reinterpret_cast<const char*>(field);
  return std::string(text, strnlen(text, kSusieNameFieldSize));
}

std::vector<CSpiArchive::Entry> EntriesOf(const SusieBlock& block) {
  std::vector<CSpiArchive::Entry> entries;
  const std::uint8_t* data = SusieBlockData(&block);
  for (std::size_t at = 0; at + kSusieFileRecordSize <= block.size && data[at] != 0; at += kSusieFileRecordSize) {
    const std::uint8_t* record = data + at;
    CSpiArchive::Entry entry;
    entry.name = FieldText(record + kSusieRecordPath);
    std::replace(entry.name.begin(), entry.name.end(), '/', '\\');
    entry.name += FieldText(record + kSusieRecordFileName);
    entry.info.number = static_cast<std::uint32_t>(entries.size());
    entry.info.stored_size = LoadLe32(record + kSusieRecordStoredSize);
    entry.info.size = LoadLe32(record + kSusieRecordSize);
    entry.info.time_stamp = LoadLe32(record + kSusieRecordTimeStamp);
    entry.info.crc = LoadLe32(record + kSusieRecordCrc);
    entry.info.offset = LoadLe32(record + kSusieRecordPosition);
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace

std::uint32_t SusieNameHash(std::string_view name) {
  std::uint32_t hash = 0;
  auto add = [&hash](std::uint8_t byte) {
    hash += byte;
    hash += hash << 10;
    hash ^= hash >> 6;
  };
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto lead = static_cast<std::uint8_t>(name[i]);
    if (!IsLeadByte(lead) || i + 1 == name.size()) {
      add(lead >= 'A' && lead <= 'Z' ? static_cast<std::uint8_t>(lead + ('a' - 'A')) : lead);
      continue;
    }
    auto trail = static_cast<std::uint8_t>(name[++i]);
    if (lead == 0x87 && trail >= 0x54 && trail <= 0x5D) {
      add(250);
      add(static_cast<std::uint8_t>(trail - 10));
      continue;
    }
    if (trail >= 0x60 && trail <= 0x79) trail = static_cast<std::uint8_t>(trail + 0x21);
    if (trail >= 0x40 && trail <= 0x49) trail = static_cast<std::uint8_t>(trail + 10);
    add(lead);
    add(trail);
  }
  hash += hash << 3;
  hash ^= hash >> 11;
  hash += hash << 15;
  return hash != 0 ? hash : 0xFFFFFFFF;
}

bool SusieNamesEqual(std::string_view a, std::string_view b) { return FoldName(a) == FoldName(b); }

CSpiArchive::CSpiArchive(std::shared_ptr<plat::DynamicLibrary> library, SusieGetFileFunc get_file,
                         std::string host_path, std::vector<Entry> entries, bool build_table)
    : library_(std::move(library)), get_file_(get_file), host_path_(std::move(host_path)), entries_(std::move(entries)) {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    by_name_.emplace(entries_[i].name, i);
    if (build_table) table_.push_back(ArchiveEntryName{entries_[i].name.c_str(), &entries_[i].info});
  }
}

std::uint32_t CSpiArchive::GetEntryCount() const { return static_cast<std::uint32_t>(entries_.size()); }

std::span<const ArchiveEntryName> CSpiArchive::GetEntryInfoTable() const { return table_; }

const CSpiArchive::Entry* CSpiArchive::FindEntry(const char* name) const {
  if (name == nullptr) return nullptr;
  const auto found = by_name_.find(std::string_view(name));
  return found != by_name_.end() ? &entries_[found->second] : nullptr;
}

const CSpiArchive::Entry* CSpiArchive::EntryAt(std::uint32_t number) const {
  return number < entries_.size() ? &entries_[number] : nullptr;
}

bool CSpiArchive::HasEntry(const char* name) const { return FindEntry(name) != nullptr; }

const ArchiveEntryInfo* CSpiArchive::GetEntryInfoByName(const char* name) const {
  const Entry* entry = FindEntry(name);
  return entry != nullptr ? &entry->info : nullptr;
}

const ArchiveEntryInfo* CSpiArchive::GetEntryInfo(std::uint32_t number, const char** out_name) const {
  const Entry* entry = EntryAt(number);
  if (entry == nullptr) return nullptr;
  if (out_name != nullptr) *out_name = entry->name.c_str();
  return &entry->info;
}

std::int32_t CSpiArchive::ReadEntryByName(const char* name, CReadTarget& target, const ArchiveProgress& progress) {
  return Read(FindEntry(name), target, progress);
}

std::int32_t CSpiArchive::ReadEntry(std::uint32_t number, CReadTarget& target, const ArchiveProgress& progress) {
  return Read(EntryAt(number), target, progress);
}

std::int32_t CSpiArchive::Read(const Entry* entry, CReadTarget& target, const ArchiveProgress& progress) {
  if (entry == nullptr) return kNoEntry;
  if (entry->info.size == 0) return kEmpty;
  SusieBlock* received = nullptr;
  const std::int32_t result = get_file_(host_path_.c_str(), entry->info.offset, &received, kSusieToMemory,
                                        &RelayProgress, RelayData(progress));
  const SusieBlockPtr block(received);
  if (result != 0 || !block) return kPluginFailed;
  if (block->size == 0) return kEmpty;
  unsigned char* buffer = target.Allocate(block->size);
  if (buffer == nullptr) return kNoMemory;
  std::memcpy(buffer, SusieBlockData(block.get()), block->size);
  return kDone;
}

RefPtr<CReadStream> CSpiArchive::OpenEntryStreamByName(const char* name, int* error) {
  if (error != nullptr) *error = FindEntry(name) != nullptr ? kArchiveNotStreamable : kNoEntry;
  return nullptr;
}

RefPtr<CReadStream> CSpiArchive::OpenEntryStream(std::uint32_t number, int* error) {
  if (error != nullptr) *error = EntryAt(number) != nullptr ? kArchiveNotStreamable : kNoEntry;
  return nullptr;
}

std::int32_t CSpiArchive::ExtractEntryByName(const char* name, const char* folder, const ArchiveProgress& progress) {
  return Extract(FindEntry(name), folder, progress);
}

std::int32_t CSpiArchive::ExtractEntry(std::uint32_t number, const char* folder, const ArchiveProgress& progress) {
  return Extract(EntryAt(number), folder, progress);
}

std::int32_t CSpiArchive::Extract(const Entry* entry, const char* folder, const ArchiveProgress& progress) {
  if (folder == nullptr) return kNoFolder;
  if (entry == nullptr) return kNoEntry;
  const std::optional<std::string> host_folder = plat::ToHostPath(folder);
  if (!host_folder) return kNoFolder;
  const std::int32_t result = get_file_(host_path_.c_str(), entry->info.offset, const_cast<char*>(host_folder->c_str()),
                                        0, &RelayProgress, RelayData(progress));
  return result != 0 ? kPluginFailed : kDone;
}

RefPtr<CArchive> CSpiArchiveDecoder::Open(const char* path, plat::FileHandle&, int* error) {
  int status = kDone;
  RefPtr<CArchive> archive;
  const std::optional<std::string> host_path = path != nullptr ? plat::ToHostPath(path) : std::nullopt;
  SusieBlock* received = nullptr;
  if (path == nullptr) {
    status = kNoFolder;
  } else if (!host_path || entries_.get_archive_info(host_path->c_str(), 0, 0, &received) != 0 || received == nullptr) {
    status = kPluginFailed;
  }
  const SusieBlockPtr info(received);
  if (status == kDone) {
    try {
      std::vector<CSpiArchive::Entry> entries = EntriesOf(*info);
      if (entries.empty()) {
        status = kEmpty;
      } else {
        archive = MakeRef<CSpiArchive>(library_, entries_.get_file, *host_path, std::move(entries), g_build_tables);
        if (!archive) status = kNoMemory;
      }
    } catch (const std::bad_alloc&) {
      status = kNoMemory;
    }
  }
  if (error != nullptr) *error = status;
  return archive;
}

std::int32_t CSpiArchiveDecoder::AssistFunc(std::uint32_t command, const PluginArgs& args) {
  return SpiAssistFunc(command, &args);
}

std::int32_t SpiAssistFunc(std::uint32_t command, const PluginArgs* args) {
  const PluginArgList words = PluginArgList::WithCommand(command, args != nullptr ? *args : PluginArgs{nullptr, 0});
  const PluginArgs view = words.View();
  return SpiAssistFunc2(&view);
}

std::int32_t SpiAssistFunc2(const PluginArgs* args) {
  if (args == nullptr || args->U32(0) != 0) return kUnknownCommand;
  g_build_tables = args->U32(1) != 0;
  return kDone;
}

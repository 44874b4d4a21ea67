#include "support/fake_archive.h"

#include <cstring>
#include <sstream>

#include "base/files/path.h"

namespace test_support {
namespace {

constexpr std::string_view kMagic = "FAKE\n";

struct FakeEntry {
  std::string contents;
  bool packed = false;
  ArchiveEntryInfo info;
};

class FakeArchive final : public CArchive {
 public:
  FakeArchive(std::string label, std::map<std::string, FakeEntry> entries, std::shared_ptr<FakeArchiveLog> log)
      : label_(std::move(label)), entries_(std::move(entries)), log_(std::move(log)) {
    std::uint32_t number = 0;
    for (auto& [name, entry] : entries_) {
      const auto size = static_cast<std::uint32_t>(entry.contents.size());
      entry.info = {.number = number++, .stored_size = size, .size = size, .time_stamp = log_->entry_time};
      entry.info.flags = entry.packed ? 1 : 0;
    }
  }

  std::uint32_t GetEntryCount() const override { return static_cast<std::uint32_t>(entries_.size()); }
  std::span<const ArchiveEntryName> GetEntryInfoTable() const override { return {}; }
  bool HasEntry(const char* name) const override { return Find(name) != nullptr; }
  const ArchiveEntryInfo* GetEntryInfoByName(const char*) const override { return nullptr; }
  const ArchiveEntryInfo* GetEntryInfo(std::uint32_t number, const char** out_name) const override {
    if (number >= entries_.size()) return nullptr;
    const auto entry = std::next(entries_.begin(), number);
    if (out_name != nullptr) *out_name = entry->first.c_str();
    return &entry->second.info;
  }

  std::int32_t ReadEntryByName(const char* name, CReadTarget& target, const ArchiveProgress&) override {
    const FakeEntry* entry = Find(name);
    if (entry == nullptr) return 3;
    return Deliver(entry->contents, target);
  }

  std::int32_t ReadEntry(std::uint32_t number, CReadTarget& target, const ArchiveProgress&) override {
    log_->requests.push_back(label_ + ":#" + std::to_string(number));
    if (number >= entries_.size()) return 3;
    return Deliver(std::next(entries_.begin(), number)->second.contents, target);
  }

  RefPtr<CReadStream> OpenEntryStreamByName(const char* name, int* error) override {
    const FakeEntry* entry = Find(name);
    int status = entry == nullptr ? 3 : entry->packed ? kArchiveNotStreamable : 0;
    RefPtr<CReadStream> stream;
    if (status == 0) {
      DataBlock block = AllocateDataBlock(static_cast<std::uint32_t>(entry->contents.size()));
      std::memcpy(block.get(), entry->contents.data(), entry->contents.size());
      RefPtr<CMemoryStream> memory = MakeRef<CMemoryStream>();
      memory->Attach(std::move(block), static_cast<std::uint32_t>(entry->contents.size()));
      stream = std::move(memory);
    }
    if (error != nullptr) *error = status;
    return stream;
  }

  RefPtr<CReadStream> OpenEntryStream(std::uint32_t, int* error) override {
    if (error != nullptr) *error = kArchiveUnsupported;
    return nullptr;
  }

 private:
  const FakeEntry* Find(const char* name) const {
    log_->requests.push_back(label_ + ":" + name);
    const auto found = entries_.find(name);
    return found == entries_.end() ? nullptr : &found->second;
  }

  static std::int32_t Deliver(const std::string& contents, CReadTarget& target) {
    unsigned char* buffer = target.Allocate(static_cast<std::uint32_t>(contents.size()));
    if (buffer == nullptr) return 8;
    std::memcpy(buffer, contents.data(), contents.size());
    return 0;
  }

  std::string label_;
  std::map<std::string, FakeEntry> entries_;
  std::shared_ptr<FakeArchiveLog> log_;
};

}  // namespace

RefPtr<CArchive> FakeArchiveDecoder::Open(const char* path, plat::FileHandle& file, int* error) {
  const auto fail = [error](int status) {
    if (error != nullptr) *error = status;
    return nullptr;
  };
  const std::uint64_t size = file.Size().value_or(0);
  std::string text(size, '\0');
  if (file.ReadAt(0, text.data(), text.size()) != text.size()) return fail(7);
  if (!text.starts_with(kMagic)) return fail(kFakeArchiveBadMagic);

  std::map<std::string, FakeEntry> entries;
  std::istringstream lines(text.substr(kMagic.size()));
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    FakeEntry entry{line.substr(tab + 1), line[0] == '!', {}};
    entries[line.substr(entry.packed ? 1 : 0, tab - (entry.packed ? 1 : 0))] = std::move(entry);
  }
  char label[kMaxPath];
  GetPathLeaf(path, label, false);
  file.Close();
  if (error != nullptr) *error = 0;
  return MakeRef<FakeArchive>(label, std::move(entries), log_);
}

std::string MakeFakeArchive(const std::map<std::string, std::string>& entries) {
  std::string text(kMagic);
  for (const auto& [name, contents] : entries) text += name + "\t" + contents + "\n";
  return text;
}

}  // namespace test_support

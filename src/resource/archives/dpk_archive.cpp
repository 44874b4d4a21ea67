#include "resource/archives/dpk_archive.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "base/files/lzss_coder.h"
#include "base/text/sjis_case.h"
#include "resource/archives/dpk_cipher.h"
#include "resource/archives/dpk_entry_file.h"
#include "resource/archives/dpk_name_trie.h"
#include "resource/archives/dpk_status.h"

namespace {

// The most bytes LZSS data of `packed_size` bytes can unpack to: every group of a flag byte and
// eight two-byte matches (17 bytes) gives at most 8 * 18 bytes.
std::uint64_t MaxUnpackedSize(std::uint32_t packed_size) { return (std::uint64_t{packed_size} + 16) / 17 * 144; }

// The archive's statuses through the optional error pointer of the stream calls.
RefPtr<CReadStream> Report(RefPtr<CReadStream> stream, std::int32_t status, int* error) {
  if (error != nullptr) *error = stream ? 0 : status;
  return stream;
}

}  // namespace

CDpkArchive::CDpkArchive(std::shared_ptr<const plat::FileHandle> file, std::uint64_t file_size,
                         std::uint32_t content_key, DpkIndex index)
    : file_(std::move(file)), file_size_(file_size), content_key_(content_key), index_(std::move(index)) {}

void CDpkArchive::BuildTables() {
  const std::uint32_t count = index_.EntryCount();
  names_.assign(count, std::nullopt);
  if (index_.Header().Names()) {
    // The tree was checked when the index was parsed; a name given twice keeps its first entry.
    WalkNameTrie(index_.NameTree(), index_.WideTree(), [&](std::string_view name, std::uint32_t number) {
      if (!names_[number]) names_[number].emplace(name);
    });
  } else {
    char name[16];
    for (std::uint32_t number = 0; number < count; ++number) {
      std::snprintf(name, sizeof name, "%06u.DAT", number);
      names_[number].emplace(name);
    }
  }
  infos_.resize(count);
  table_.resize(count);
  for (std::uint32_t number = 0; number < count; ++number) {
    const DpkEntryLocation location = index_.Locate(number);
    ArchiveEntryInfo& info = infos_[number];
    info.number = number;
    info.stored_size = location.stored_size;
    info.size = location.size;
    info.offset = static_cast<std::uint32_t>(location.offset);
    info.flags = location.nibbles ? 1 : 0;
    info.has_unpacked_size = location.has_unpacked_size ? 1 : 0;
    table_[number] = {names_[number] ? names_[number]->c_str() : nullptr, &info};
  }
}

std::optional<std::uint32_t> CDpkArchive::FindEntry(const char* name) const {
  if (!index_.Header().Names()) return std::nullopt;
  const std::optional<std::uint32_t> number = LookupNameTrie(index_.NameTree(), index_.WideTree(), name, 2);
  if (!number || *number >= index_.EntryCount()) return std::nullopt;
  return number;
}

const ArchiveEntryInfo* CDpkArchive::GetEntryInfoByName(const char* name) const {
  if (name == nullptr) return nullptr;
  std::string lower = name;
  LowerSjis(lower);
  const auto found = std::find_if(table_.begin(), table_.end(), [&](const ArchiveEntryName& entry) {
    return entry.name != nullptr && lower == entry.name;
  });
  return found != table_.end() ? found->info : nullptr;
}

const ArchiveEntryInfo* CDpkArchive::GetEntryInfo(std::uint32_t number, const char** out_name) const {
  if (number >= table_.size()) return nullptr;
  if (out_name != nullptr) *out_name = table_[number].name;
  return table_[number].info;
}

std::int32_t CDpkArchive::LocateEntry(std::uint32_t number, DpkEntryLocation& location) const {
  if (number >= index_.EntryCount()) return kDpkNotFound;
  location = index_.Locate(number);
  return location.offset > file_size_ ? kDpkSeekFailed : 0;
}

std::int32_t CDpkArchive::CheckEntryData(const DpkEntryLocation& location) const {
  const std::size_t prefix_length = index_.Prefix().size();
  if (location.size < prefix_length) return kDpkDamaged;
  const std::uint32_t data_length = location.size - static_cast<std::uint32_t>(prefix_length);
  const std::uint64_t file_bytes = location.IsPacked() ? location.stored_size : data_length;
  if (file_bytes > file_size_ - location.offset) return kDpkDamaged;
  if (location.IsPacked() && data_length > MaxUnpackedSize(location.stored_size)) return kDpkUnpackFailed;
  return 0;
}

bool CDpkArchive::ReadExact(std::uint64_t offset, std::span<std::uint8_t> bytes) const {
  return file_->ReadAt(offset, bytes.data(), bytes.size()) == bytes.size();
}

std::int32_t CDpkArchive::ReadEntryByName(const char* name, CReadTarget& target, const ArchiveProgress& progress) {
  const std::optional<std::uint32_t> number = FindEntry(name);
  return number ? ReadEntry(*number, target, progress) : kDpkNotFound;
}

std::int32_t CDpkArchive::ReadEntry(std::uint32_t number, CReadTarget& target, const ArchiveProgress& progress) {
  try {
    return ReadChecked(number, target, progress);
  } catch (const std::bad_alloc&) {
    return kDpkNoMemory;
  } catch (...) {
    return kDpkUnexpected;
  }
}

std::int32_t CDpkArchive::ReadChecked(std::uint32_t number, CReadTarget& target,
                                      const ArchiveProgress& progress) const {
  DpkEntryLocation location;
  if (const std::int32_t status = LocateEntry(number, location); status != 0) return status;
  if (location.stored_size == 0) return kDpkEmptyEntry;
  if (const std::int32_t status = CheckEntryData(location); status != 0) return status;

  std::uint8_t* out = target.Allocate(location.size);
  if (out == nullptr) return kDpkNoMemory;
  if (progress) progress(0, 1);
  const std::span<const std::uint8_t> prefix = index_.Prefix();
  const std::span<std::uint8_t> data(out + prefix.size(), location.size - prefix.size());
  if (const std::int32_t status = ReadData(location, data); status != 0) return status;
  std::copy(prefix.begin(), prefix.end(), out);
  if (progress) progress(1, 1);
  return 0;
}

std::int32_t CDpkArchive::ReadData(const DpkEntryLocation& location, std::span<std::uint8_t> data) const {
  if (data.empty()) return 0;
  if (location.IsPacked()) {
    std::vector<std::uint8_t> packed(location.stored_size);
    if (!ReadExact(location.offset, packed)) return kDpkReadFailed;
    if (CLzssCoder::Decode(packed, data.data(), data.size()) != CLzssCoder::kDecodeDone) return kDpkUnpackFailed;
  } else if (!ReadExact(location.offset, data)) {
    return kDpkReadFailed;
  }
  if (location.nibbles) UnscrambleDpkNibbles(data);
  if (index_.Header().Scramble())
    XorDpkRunningKey(data.first(DpkScrambledLength(static_cast<std::uint32_t>(data.size()))), content_key_);
  return 0;
}

RefPtr<CReadStream> CDpkArchive::OpenEntryStreamByName(const char* name, int* error) {
  const std::optional<std::uint32_t> number = FindEntry(name);
  if (!number) return Report(nullptr, kDpkNotFound, error);
  return OpenEntryStream(*number, error);
}

RefPtr<CReadStream> CDpkArchive::OpenEntryStream(std::uint32_t number, int* error) {
  std::int32_t status = kDpkUnexpected;
  RefPtr<CReadStream> stream;
  try {
    stream = OpenChecked(number, status);
  } catch (const std::bad_alloc&) {
    stream.reset();
    status = kDpkNoMemory;
  } catch (...) {
    stream.reset();
    status = kDpkUnexpected;
  }
  return Report(std::move(stream), status, error);
}

RefPtr<CReadStream> CDpkArchive::OpenChecked(std::uint32_t number, std::int32_t& status) const {
  DpkEntryLocation location;
  status = LocateEntry(number, location);
  if (status != 0) return nullptr;
  if (location.stored_size == 0 || location.IsPacked()) {
    status = kArchiveNotStreamable;
    return nullptr;
  }
  status = CheckEntryData(location);
  if (status != 0) return nullptr;

  // The head holds the prefix and, in a scrambled archive, the bytes that scrambling covers.
  const std::span<const std::uint8_t> prefix = index_.Prefix();
  const std::uint32_t data_length = location.size - static_cast<std::uint32_t>(prefix.size());
  const std::uint32_t head_data = index_.Header().Scramble() ? std::min(data_length, kDpkScrambledWords * 4) : 0;
  std::vector<std::uint8_t> head(prefix.begin(), prefix.end());
  head.resize(prefix.size() + head_data);
  const std::span<std::uint8_t> head_bytes = std::span(head).subspan(prefix.size());
  if (!ReadExact(location.offset, head_bytes)) {
    status = kDpkNoMemory;  // a head that cannot be read fails like one that cannot be allocated
    return nullptr;
  }
  if (location.nibbles) UnscrambleDpkNibbles(head_bytes);
  XorDpkRunningKey(head_bytes.first(DpkScrambledLength(head_data)), content_key_);

  RefPtr<CReadStream> stream =
      MakeRef<CDpkEntryFile>(file_, std::move(head), location.offset + head_data, location.size, location.nibbles);
  status = stream ? 0 : kDpkNoMemory;
  return stream;
}

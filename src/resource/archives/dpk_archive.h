// A DPK archive: the deciphered index of an archive file and the file itself, which serves
// entries by name (through the index's name tree) or by number, whole or as streams. Reads are
// positional, so several threads may read one archive at once.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "resource/archives/archive.h"
#include "resource/archives/dpk_index.h"

class CDpkArchive final : public CArchive {
 public:
  CDpkArchive(std::shared_ptr<const plat::FileHandle> file, std::uint64_t file_size, std::uint32_t content_key,
              DpkIndex index);

  // Names every entry (from the name tree, or "%06d.DAT" without one) and fills the
  // information records that GetEntryInfoTable and the GetEntryInfo calls hand out.
  void BuildTables();

  std::uint32_t GetEntryCount() const override { return index_.EntryCount(); }
  std::span<const ArchiveEntryName> GetEntryInfoTable() const override { return table_; }
  bool HasEntry(const char* name) const override { return FindEntry(name).has_value(); }
  const ArchiveEntryInfo* GetEntryInfoByName(const char* name) const override;
  const ArchiveEntryInfo* GetEntryInfo(std::uint32_t number, const char** out_name) const override;
  // 0, 2 stored size 0, 3 not found, 6 the entry starts beyond the file, 7 a read failed or the
  // record describes bytes the file does not hold, 8 no memory, 12 unpacking failed.
  std::int32_t ReadEntryByName(const char* name, CReadTarget& target, const ArchiveProgress& progress) override;
  std::int32_t ReadEntry(std::uint32_t number, CReadTarget& target, const ArchiveProgress& progress) override;
  // Statuses as for reading, and kArchiveNotStreamable for an empty or packed entry.
  RefPtr<CReadStream> OpenEntryStreamByName(const char* name, int* error) override;
  RefPtr<CReadStream> OpenEntryStream(std::uint32_t number, int* error) override;

 private:
  // The entry number of a name, with the names flag; names are looked up lower-cased.
  std::optional<std::uint32_t> FindEntry(const char* name) const;
  // The entry's record, checked against the file: 0 or a status.
  std::int32_t LocateEntry(std::uint32_t number, DpkEntryLocation& location) const;
  std::int32_t CheckEntryData(const DpkEntryLocation& location) const;
  std::int32_t ReadChecked(std::uint32_t number, CReadTarget& target, const ArchiveProgress& progress) const;
  std::int32_t ReadData(const DpkEntryLocation& location, std::span<std::uint8_t> data) const;
  RefPtr<CReadStream> OpenChecked(std::uint32_t number, std::int32_t& status) const;
  bool ReadExact(std::uint64_t offset, std::span<std::uint8_t> bytes) const;

  std::shared_ptr<const plat::FileHandle> file_;
  std::uint64_t file_size_;
  std::uint32_t content_key_;
  DpkIndex index_;
  std::vector<std::optional<std::string>> names_;
  std::vector<ArchiveEntryInfo> infos_;
  std::vector<ArchiveEntryName> table_;
};

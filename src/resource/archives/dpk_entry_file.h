// A read stream over one stored (not packed) entry of a DPK archive. The prefix and, in a
// scrambled archive, the scrambled head of the entry are kept unscrambled in memory; the rest
// is read from the archive's file at each Read, positionally, so streams and whole-entry reads
// of one archive never disturb each other.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/files/read_stream.h"
#include "platform/files/file_handle.h"

class CDpkEntryFile final : public CReadStream {
 public:
  // `head` holds the entry's first bytes (prefix included); the entry's remaining bytes lie in
  // `file` from `data_offset`.
  CDpkEntryFile(std::shared_ptr<const plat::FileHandle> file, std::vector<std::uint8_t> head, std::uint64_t data_offset,
                std::uint32_t size, bool nibbles);

  std::uint32_t GetSize() const override { return size_; }
  std::uint32_t Tell() const override { return position_; }
  // Positions are clamped to the entry; there is no file pointer to fail, so these return 0.
  unsigned SeekBegin(std::uint32_t position) override;
  unsigned SeekCurrent(std::int32_t delta) override;
  unsigned SeekEnd(std::uint32_t distance) override;
  // The bytes delivered: at most what is left of the entry, fewer when the file cannot give them.
  std::uint32_t Read(void* buffer, std::uint32_t count) override;

 private:
  std::shared_ptr<const plat::FileHandle> file_;
  std::vector<std::uint8_t> head_;
  std::uint64_t data_offset_;
  std::uint32_t size_;
  std::uint32_t position_ = 0;
  bool nibbles_;
};

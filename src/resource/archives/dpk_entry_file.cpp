#include "resource/archives/dpk_entry_file.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "resource/archives/dpk_cipher.h"

CDpkEntryFile::CDpkEntryFile(std::shared_ptr<const plat::FileHandle> file, std::vector<std::uint8_t> head,
                             std::uint64_t data_offset, std::uint32_t size, bool nibbles)
    : file_(std::move(file)), head_(std::move(head)), data_offset_(data_offset), size_(size), nibbles_(nibbles) {}

unsigned CDpkEntryFile::SeekBegin(std::uint32_t position) {
  position_ = std::min(position, size_);
  return 0;
}

unsigned CDpkEntryFile::SeekCurrent(std::int32_t delta) {
  const std::int64_t target = std::int64_t{position_} + delta;
  position_ = static_cast<std::uint32_t>(std::clamp<std::int64_t>(target, 0, size_));
  return 0;
}

unsigned CDpkEntryFile::SeekEnd(std::uint32_t distance) {
  position_ = distance > size_ ? 0 : size_ - distance;
  return 0;
}

std::uint32_t CDpkEntryFile::Read(void* buffer, std::uint32_t count) {
  if (position_ >= size_) return 0;
  count = std::min(count, size_ - position_);
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::uint32_t delivered = 0;
  const auto head_length = static_cast<std::uint32_t>(head_.size());
  if (position_ < head_length) {
    delivered = std::min(count, head_length - position_);
    std::memcpy(out, head_.data() + position_, delivered);
  }
  if (delivered < count) {
    const std::uint64_t file_offset = data_offset_ + (position_ + delivered - head_length);
    const std::size_t got = file_->ReadAt(file_offset, out + delivered, count - delivered).value_or(0);
    if (nibbles_) UnscrambleDpkNibbles(std::span<std::uint8_t>(out + delivered, got));
    delivered += static_cast<std::uint32_t>(got);
  }
  position_ += delivered;
  return delivered;
}

#include "base/files/read_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

DataBlock AllocateDataBlock(std::uint32_t size) { return DataBlock(new (std::nothrow) unsigned char[size]); }

namespace {

// The position `delta` away from `position`, held within 0 to `size`.
std::uint32_t ClampedMove(std::uint32_t position, std::int32_t delta, std::uint32_t size) {
  const std::int64_t target = static_cast<std::int64_t>(position) + delta;
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(target, 0, size));
}

std::uint32_t BackFromEnd(std::uint32_t size, std::uint32_t distance) { return distance > size ? 0 : size - distance; }

}  // namespace

unsigned CFileStream::Attach(plat::FileHandle file) {
  if (file_.IsOpen()) return 10;
  file_ = std::move(file);
  const std::optional<std::uint64_t> size = file_.Size();
  if (!size || *size > std::numeric_limits<std::uint32_t>::max()) {
    size_ = 0;
    return 10;
  }
  size_ = static_cast<std::uint32_t>(*size);
  position_ = 0;
  return 0;
}

unsigned CFileStream::MoveTo(std::uint32_t position) {
  if (!file_.IsOpen()) return 2;
  if (!file_.Seek(position, plat::SeekOrigin::kBegin)) return 1;
  position_ = position;
  return 0;
}

unsigned CFileStream::SeekBegin(std::uint32_t position) { return MoveTo(std::min(position, size_)); }
unsigned CFileStream::SeekCurrent(std::int32_t delta) { return MoveTo(ClampedMove(position_, delta, size_)); }
unsigned CFileStream::SeekEnd(std::uint32_t distance) { return MoveTo(BackFromEnd(size_, distance)); }

std::uint32_t CFileStream::Read(void* buffer, std::uint32_t count) {
  if (!file_.IsOpen() || buffer == nullptr) return 0;
  const std::uint32_t got = static_cast<std::uint32_t>(file_.Read(buffer, count).value_or(0));
  position_ += got;
  return got;
}

unsigned CMemoryStream::Attach(DataBlock block, std::uint32_t size) {
  if (block_) return 10;
  block_ = std::move(block);
  cursor_ = 0;
  size_ = size;
  return 0;
}

unsigned CMemoryStream::SeekBegin(std::uint32_t position) {
  if (!block_) return 1;
  cursor_ = std::min(position, size_);
  return 0;
}

unsigned CMemoryStream::SeekCurrent(std::int32_t delta) {
  if (!block_) return 1;
  cursor_ = ClampedMove(cursor_, delta, size_);
  return 0;
}

unsigned CMemoryStream::SeekEnd(std::uint32_t distance) {
  if (!block_) return 1;
  cursor_ = BackFromEnd(size_, distance);
  return 0;
}

std::uint32_t CMemoryStream::Read(void* buffer, std::uint32_t count) {
  if (!block_ || buffer == nullptr) return 0;
  const std::uint32_t copied = std::min(count, size_ - cursor_);
  std::memcpy(buffer, block_.get() + cursor_, copied);
  cursor_ += copied;
  return copied;
}

DataBlock CMemoryStream::DetachBuffer() {
  cursor_ = 0;
  return std::move(block_);
}

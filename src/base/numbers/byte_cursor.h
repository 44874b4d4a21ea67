// Reading and writing the little-endian byte layouts of the engine's files. The reader checks
// every read against what is left and reports a short read as nothing, so a parser of outside
// data never reads past its buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "base/numbers/little_endian.h"

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t At() const { return at_; }
  std::size_t Left() const { return bytes_.size() - at_; }
  bool Has(std::uint64_t count) const { return count <= Left(); }

  std::optional<std::uint8_t> Byte() {
    if (!Has(1)) return std::nullopt;
    return bytes_[at_++];
  }
  std::optional<std::uint16_t> Word16() {
    if (!Has(2)) return std::nullopt;
    const std::uint16_t value = LoadLe16(bytes_.data() + at_);
    at_ += 2;
    return value;
  }
  std::optional<std::uint32_t> Word() {
    if (!Has(4)) return std::nullopt;
    const std::uint32_t value = LoadLe32(bytes_.data() + at_);
    at_ += 4;
    return value;
  }
  // The next `count` bytes, nothing when fewer are left.
  std::optional<std::span<const std::uint8_t>> Bytes(std::uint64_t count) {
    if (!Has(count)) return std::nullopt;
    const auto bytes = bytes_.subspan(at_, static_cast<std::size_t>(count));
    at_ += static_cast<std::size_t>(count);
    return bytes;
  }
  bool Skip(std::uint64_t count) { return Bytes(count).has_value(); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

class ByteWriter {
 public:
  // Room for `size` bytes, for a writer that knows its total beforehand.
  void Reserve(std::size_t size) { bytes_.reserve(size); }
  void Byte(std::uint8_t value) { bytes_.push_back(value); }
  void Word16(std::uint16_t value) {
    Byte(static_cast<std::uint8_t>(value));
    Byte(static_cast<std::uint8_t>(value >> 8));
  }
  void Word(std::uint32_t value) {
    for (int i = 0; i < 4; ++i) Byte(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  void Bytes(std::span<const std::uint8_t> bytes) { Append(bytes.data(), bytes.size()); }
  void Text(std::string_view text) { Append(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()); }
  std::size_t Size() const { return bytes_.size(); }
  const std::vector<std::uint8_t>& Data() const { return bytes_; }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  // Grows, then copies: GCC 12 takes a range insert into a short vector for an overflow when
  // it builds for ThreadSanitizer.
  void Append(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    const std::size_t at = bytes_.size();
    bytes_.resize(at + size);
    std::memcpy(bytes_.data() + at, data, size);
  }

  std::vector<std::uint8_t> bytes_;
};

// The text of a stored name field: its bytes up to the first zero, or all of them.
inline std::string_view TextOfField(std::span<const std::uint8_t> field) {
  std::size_t length = 0;
  while (length < field.size() && field[length] != 0) ++length;
  return {reinterpret_cast<const char*>(field.data()), length};
}

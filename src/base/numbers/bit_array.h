// A bit set of fixed size, bit i in byte i / 8 at the value 1 << (i mod 8).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class CBitArray {
 public:
  // Resize and SetBit statuses.
  static constexpr unsigned kOk = 0;
  static constexpr unsigned kEmpty = 1;
  static constexpr unsigned kNoMemory = 2;
  static constexpr unsigned kOutOfRange = 2;
  // LoadBytes status.
  static constexpr unsigned kCannotLoad = 1;

  // Replaces the bits by `bit_count` clear bits. A count of 0 gives kEmpty and changes
  // nothing; when memory runs out the old bits stay as they were.
  unsigned Resize(std::uint32_t bit_count);
  void Clear();

  // Copies `source` over the first bytes; fails without bytes or when `source` is longer.
  unsigned LoadBytes(std::span<const std::uint8_t> source);

  unsigned SetBit(std::uint32_t index, bool value);
  bool TestBit(std::uint32_t index) const;
  // The set bits of every byte, including any beyond the bit count.
  std::uint32_t CountBits() const;
  bool AllSet() const;

  std::uint32_t BitCount() const { return m_BitCount; }
  std::uint32_t ByteCount() const { return static_cast<std::uint32_t>(m_Bytes.size()); }
  std::span<const std::uint8_t> Bytes() const { return m_Bytes; }

 private:
  std::uint32_t m_BitCount = 0;
  std::vector<std::uint8_t> m_Bytes;
};

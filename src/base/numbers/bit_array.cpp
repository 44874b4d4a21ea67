#include "base/numbers/bit_array.h"

#include <algorithm>
#include <bit>
#include <new>

unsigned CBitArray::Resize(std::uint32_t bit_count) {
  if (bit_count == 0) return kEmpty;
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize((static_cast<std::size_t>(bit_count) + 7) / 8);
  } catch (const std::bad_alloc&) {
    return kNoMemory;
  }
  m_Bytes = std::move(bytes);
  m_BitCount = bit_count;
  return kOk;
}

void CBitArray::Clear() {
  m_Bytes = std::vector<std::uint8_t>{};
  m_BitCount = 0;
}

unsigned CBitArray::LoadBytes(std::span<const std::uint8_t> source) {
  if (m_Bytes.empty() || source.data() == nullptr || source.size() > m_Bytes.size()) return kCannotLoad;
  std::copy(source.begin(), source.end(), m_Bytes.begin());
  return kOk;
}

unsigned CBitArray::SetBit(std::uint32_t index, bool value) {
  if (m_Bytes.empty()) return kEmpty;
  if (index >= m_BitCount) return kOutOfRange;
  const auto mask = static_cast<std::uint8_t>(1u << (index % 8));
  std::uint8_t& byte = m_Bytes[index / 8];
  byte = static_cast<std::uint8_t>(value ? byte | mask : byte & ~mask);
  return kOk;
}

bool CBitArray::TestBit(std::uint32_t index) const {
  if (index >= m_BitCount || m_Bytes.empty()) return false;
  return (m_Bytes[index / 8] >> (index % 8) & 1) != 0;
}

std::uint32_t CBitArray::CountBits() const {
  std::uint32_t count = 0;
  for (const std::uint8_t byte : m_Bytes) count += static_cast<std::uint32_t>(std::popcount(byte));
  return count;
}

bool CBitArray::AllSet() const {
  if (m_Bytes.empty()) return false;
  const std::uint32_t full_bytes = m_BitCount / 8;
  const bool full_bytes_set =
      std::all_of(m_Bytes.begin(), m_Bytes.begin() + full_bytes, [](std::uint8_t byte) { return byte == 0xFF; });
  const std::uint32_t tail_bits = m_BitCount % 8;
  if (!full_bytes_set || tail_bits == 0) return full_bytes_set;
  const auto tail_mask = static_cast<std::uint8_t>((1u << tail_bits) - 1);
  return (m_Bytes[full_bytes] & tail_mask) == tail_mask;
}

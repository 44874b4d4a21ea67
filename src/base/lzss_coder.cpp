#include "base/lzss_coder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

constexpr std::uint32_t kRingMask = CLzssCoder::kRingSize - 1;
// The first ring position written by both sides.
constexpr std::uint32_t kFirstPosition = CLzssCoder::kRingSize - CLzssCoder::kLongestMatch;
// A group is one flag byte and up to eight items of at most two bytes.
constexpr std::size_t kLargestGroup = 1 + 8 * 2;

// Runs `allocation`; false when memory runs out.
template <typename Allocation>
bool Allocated(Allocation allocation) {
  try {
    allocation();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
}

std::uint64_t Load64(const std::uint8_t* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

// The index of the first byte from 1 to 17 where `key` and `node` differ, or 18 when they
// agree; eight bytes at a time, since most of the time goes into comparing long equal runs.
std::uint32_t FirstDifference(const std::uint8_t* key, const std::uint8_t* node) {
  static_assert(std::endian::native == std::endian::little);
  for (std::uint32_t offset = 1; offset < 17; offset += 8) {
    const std::uint64_t difference = Load64(key + offset) ^ Load64(node + offset);
    if (difference != 0) return offset + static_cast<std::uint32_t>(std::countr_zero(difference)) / 8;
  }
  return key[17] != node[17] ? 17 : CLzssCoder::kLongestMatch;
}

// Writes `length` bytes (at most the longest match) at `to` from `distance` bytes back, where an
// overlapping copy repeats what it has just written; `room` is the space left at `to`. With room
// for a whole longest match, bytes past `length` may be written too: later items overwrite them.
void CopyMatch(std::uint8_t* to, std::size_t distance, std::size_t length, std::size_t room) {
  const std::uint8_t* from = to - distance;
  if (distance == 1) {
    std::memset(to, *from, length);
    return;
  }
  if (room >= 2 * 8 + 2 && distance >= 8) {
    // Eight bytes at a time never read a byte this copy has yet to write.
    std::memcpy(to, from, 8);
    std::memcpy(to + 8, from + 8, 8);
    std::memcpy(to + 16, from + 16, 2);
    return;
  }
  for (std::size_t k = 0; k < length; ++k) to[k] = from[k];
}

}  // namespace

CLzssCoder::CLzssCoder() { InitTree(); }

void CLzssCoder::InitTree() {
  for (std::uint32_t root = kRingSize + 1; root <= kRingSize + 256; ++root) m_Right[root] = kNil;
  for (std::uint32_t node = 0; node < kRingSize; ++node) m_Parent[node] = kNil;
}

// Links the string at ring position r into the tree of its first byte and leaves the longest
// earlier string that shares its start in m_MatchPosition and m_MatchLength. A string equal
// over all 18 bytes takes the older node's place, so the tree holds each string once.
void CLzssCoder::InsertNode(std::uint32_t r) {
  const std::uint8_t* key = &m_Ring[r];
  std::uint32_t p = kRingSize + 1 + key[0];
  int comparison = 1;
  m_Right[r] = m_Left[r] = kNil;
  m_MatchLength = 0;
  for (;;) {
    auto& child = comparison >= 0 ? m_Right[p] : m_Left[p];
    if (child == kNil) {
      child = r;
      m_Parent[r] = p;
      return;
    }
    p = child;
    const std::uint8_t* node = &m_Ring[p];
    const std::uint32_t equal = FirstDifference(key, node);
    comparison = equal < kLongestMatch ? key[equal] - node[equal] : 0;
    if (equal > m_MatchLength) {
      m_MatchPosition = p;
      m_MatchLength = equal;
      if (equal >= kLongestMatch) break;
    }
  }
  m_Parent[r] = m_Parent[p];
  m_Left[r] = m_Left[p];
  m_Right[r] = m_Right[p];
  m_Parent[m_Left[p]] = r;
  m_Parent[m_Right[p]] = r;
  if (m_Right[m_Parent[p]] == p) {
    m_Right[m_Parent[p]] = r;
  } else {
    m_Left[m_Parent[p]] = r;
  }
  m_Parent[p] = kNil;
}

// Removes node p; a node with two children gives its place to the rightmost node of its
// left subtree.
void CLzssCoder::DeleteNode(std::uint32_t p) {
  if (m_Parent[p] == kNil) return;
  std::uint32_t q;
  if (m_Right[p] == kNil) {
    q = m_Left[p];
  } else if (m_Left[p] == kNil) {
    q = m_Right[p];
  } else {
    q = m_Left[p];
    if (m_Right[q] != kNil) {
      do {
        q = m_Right[q];
      } while (m_Right[q] != kNil);
      m_Right[m_Parent[q]] = m_Left[q];
      m_Parent[m_Left[q]] = m_Parent[q];
      m_Left[q] = m_Left[p];
      m_Parent[m_Left[p]] = q;
    }
    m_Right[q] = m_Right[p];
    m_Parent[m_Right[p]] = q;
  }
  m_Parent[q] = m_Parent[p];
  if (m_Right[m_Parent[p]] == p) {
    m_Right[m_Parent[p]] = q;
  } else {
    m_Left[m_Parent[p]] = q;
  }
  m_Parent[p] = kNil;
}

unsigned CLzssCoder::Encode(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& packed) {
  packed = std::vector<std::uint8_t>{};
  if (input.size() < 9) return kEncodeNotSmaller;
  const std::size_t limit = input.size() - 8;

  InitTree();
  // The whole ring, mirror included, starts as zero bytes, so that the same input always
  // packs the same way however the work area was used before.
  m_Ring.fill(0);
  std::uint32_t s = 0;
  std::uint32_t r = kFirstPosition;
  std::size_t next = 0;
  std::uint32_t lookahead = 0;
  while (lookahead < kLongestMatch && next < input.size()) m_Ring[r + lookahead++] = input[next++];
  for (std::uint32_t back = 1; back <= kLongestMatch; ++back) InsertNode(r - back);
  InsertNode(r);

  if (!Allocated([&] { packed.reserve(limit); })) return kEncodeNoMemory;

  std::array<std::uint8_t, kLargestGroup> group{};
  std::size_t group_size = 1;
  std::uint8_t mask = 1;
  // Appends the group unless the packed data would reach the limit.
  const auto append_group = [&]() {
    if (packed.size() + group_size >= limit) return false;
    packed.insert(packed.end(), group.begin(), group.begin() + static_cast<std::ptrdiff_t>(group_size));
    return true;
  };
  const auto fail = [&]() {
    packed = std::vector<std::uint8_t>{};
    return kEncodeNotSmaller;
  };

  while (lookahead > 0) {
    if (m_MatchLength > lookahead) m_MatchLength = lookahead;
    if (m_MatchLength <= kThreshold) {
      m_MatchLength = 1;
      group[0] |= mask;
      group[group_size++] = m_Ring[r];
    } else {
      group[group_size++] = static_cast<std::uint8_t>(m_MatchPosition);
      group[group_size++] =
          static_cast<std::uint8_t>(((m_MatchPosition >> 4) & 0xF0) | (m_MatchLength - (kThreshold + 1)));
    }
    mask = static_cast<std::uint8_t>(mask << 1);
    if (mask == 0) {
      if (!append_group()) return fail();
      group[0] = 0;
      group_size = 1;
      mask = 1;
    }

    const std::uint32_t consumed = m_MatchLength;
    std::uint32_t step = 0;
    for (; step < consumed && next < input.size(); ++step) {
      DeleteNode(s);
      const std::uint8_t byte = input[next++];
      m_Ring[s] = byte;
      if (s < kLongestMatch - 1) m_Ring[s + kRingSize] = byte;
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      InsertNode(r);
    }
    for (; step < consumed; ++step) {
      DeleteNode(s);
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      if (--lookahead != 0) InsertNode(r);
    }
  }
  if (group_size > 1 && !append_group()) return fail();
  return kEncodePacked;
}

// The ring is not kept: a match's ring position is turned into a distance back into the
// output, and the ring positions no byte was written to yet (the start of the output) read as
// the zeros the ring starts with.
unsigned CLzssCoder::Decode(std::span<const std::uint8_t> packed, std::uint8_t* output, std::size_t output_size) {
  if (output_size == 0) return kDecodeEmptyOutput;
  if (output == nullptr) return kDecodeNoOutput;

  const std::uint8_t* in = packed.data();
  const std::uint8_t* const in_end = in + packed.size();
  std::size_t out = 0;
  // Bit 8 of the flags runs down with the eight items of a group; when it is gone the next
  // flag byte is due.
  unsigned flags = 0;
  while (out < output_size) {
    flags >>= 1;
    if ((flags & 0x100) == 0) {
      if (in == in_end) return kDecodeTruncated;
      flags = *in++ | 0xFF00u;
    }
    if ((flags & 1) != 0) {
      if (in == in_end) return kDecodeTruncated;
      output[out++] = *in++;
      continue;
    }
    if (in_end - in < 2) return kDecodeTruncated;
    const std::uint32_t position = in[0] | ((in[1] & 0xF0u) << 4);
    const std::size_t length = std::min<std::size_t>((in[1] & 0x0Fu) + kThreshold + 1, output_size - out);
    in += 2;
    // The ring position the next byte goes to, and from it how far back the match starts: 1 to
    // 4096 bytes (a match at the write position itself reads the byte written 4096 before).
    const std::uint32_t write_position = static_cast<std::uint32_t>(kFirstPosition + out) & kRingMask;
    const std::size_t distance = ((write_position - position - 1) & kRingMask) + 1;
    if (distance <= out) {
      CopyMatch(output + out, distance, length, output_size - out);
    } else {
      // Some or all of the match lies before the output: zeros, then what the copy wrote.
      for (std::size_t k = 0; k < length; ++k) {
        output[out + k] = out + k >= distance ? output[out + k - distance] : 0;
      }
    }
    out += length;
  }
  return kDecodeDone;
}

unsigned CLzssCoder::Decode(std::span<const std::uint8_t> packed, std::size_t output_size,
                            std::vector<std::uint8_t>& output) {
  output = std::vector<std::uint8_t>{};
  if (output_size == 0) return kDecodeEmptyOutput;
  std::vector<std::uint8_t> block;
  if (!Allocated([&] { block.resize(output_size); })) return kDecodeNoOutput;
  const unsigned status = Decode(packed, block.data(), output_size);
  if (status == kDecodeDone) output = std::move(block);
  return status;
}

#include "base/files/lzss_coder.h"

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

static_assert(std::endian::native == std::endian::little);

__extension__ using Wide = unsigned __int128;

// Bytes 1 to 17 of an 18-byte string (byte 0 picks the tree it is in): bytes 1 to 16 as loaded
// and as a number that orders the way the bytes do (most significant byte first), and byte 17.
struct SearchKey {
  std::uint64_t head;  // bytes 1 to 8
  std::uint64_t tail;  // bytes 9 to 16
  Wide ordered;
  std::uint32_t last;
};

SearchKey KeyAt(const std::uint8_t* string) {
  const std::uint64_t head = Load64(string + 1);
  const std::uint64_t tail = Load64(string + 9);
  return {head, tail, Wide{__builtin_bswap64(head)} << 64 | __builtin_bswap64(tail), string[17]};
}

// How many of their 18 bytes two strings with the same first byte and different bytes 1 to 16
// have in common from the start. Without branches: which way they would go is as good as random.
std::uint32_t CommonLength(const SearchKey& a, const SearchKey& b) {
  const std::uint64_t head = a.head ^ b.head;
  const std::uint64_t tail = a.tail ^ b.tail;
  // 64 trailing zero bits when all eight bytes are equal: then the tail's count adds on.
  const auto head_zeros = static_cast<std::uint32_t>(std::countr_zero(head));
  const auto tail_zeros = static_cast<std::uint32_t>(std::countr_zero(tail));
  return 1 + (head_zeros + (tail_zeros & (0u - (head_zeros >> 6)))) / 8;
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
  for (std::uint32_t root = kFirstRoot; root < kFirstRoot + 256; ++root) m_Links[root] = kNoLinks;
  for (std::uint32_t node = 0; node < kRingSize; ++node) m_Parent[node] = kNil;
}

std::uint32_t CLzssCoder::Child(std::uint32_t node, std::uint32_t side) const {
  return (m_Links[node] >> (16 * side)) & 0xFFFF;
}

void CLzssCoder::SetChild(std::uint32_t node, std::uint32_t side, std::uint32_t child) {
  const std::uint32_t shift = 16 * side;
  m_Links[node] = (m_Links[node] & ~(0xFFFFu << shift)) | child << shift;
  m_Parent[child] = static_cast<std::uint16_t>(node);
}

// Points the link of p's parent that led to p at `replacement`, which takes p's parent.
void CLzssCoder::ReplaceInParent(std::uint32_t p, std::uint32_t replacement) {
  const std::uint32_t parent = m_Parent[p];
  SetChild(parent, Child(parent, 1) == p ? 1 : 0, replacement);
}

// Node r takes the place of p, which leaves the tree.
void CLzssCoder::ReplaceNode(std::uint32_t p, std::uint32_t r) {
  m_Links[r] = m_Links[p];
  m_Parent[Child(p, 0)] = static_cast<std::uint16_t>(r);
  m_Parent[Child(p, 1)] = static_cast<std::uint16_t>(r);
  ReplaceInParent(p, r);
  m_Parent[p] = kNil;
}

// Links the string at ring position r into the tree of its first byte and gives the longest
// earlier string that shares its start (the first found of equal length). A string equal over
// all 18 bytes takes the older node's place, so the tree holds each string once.
CLzssCoder::Match CLzssCoder::InsertNode(std::uint32_t r) {
  const std::uint8_t* const ring = m_Ring.data();
  const std::uint32_t* const links = m_Links.data();
  const SearchKey key = KeyAt(ring + r);
  m_Links[r] = kNoLinks;
  // The length in the upper half, the position in the lower: one compare and one select keep
  // the longest match, and of equal lengths the first found.
  std::uint32_t best = 0;
  std::uint32_t p = kFirstRoot + ring[r];
  std::uint32_t side = 1;
  std::uint32_t next = links[p] >> 16;
  while (next != kNil) {
    p = next;
    // The node's links load alongside its bytes and the comparison only picks one of them,
    // so that each step waits for one load.
    const std::uint32_t node_links = links[p];
    const SearchKey node = KeyAt(ring + p);
    if (key.ordered == node.ordered) [[unlikely]] {
      if (key.last == node.last) {
        ReplaceNode(p, r);
        return {p, kLongestMatch};
      }
      best = 17u << 16 > best ? 17u << 16 | p : best;
      side = key.last > node.last ? 1 : 0;
    } else {
      const std::uint32_t length = CommonLength(key, node) << 16;
      best = length > best ? length | p : best;
      side = key.ordered > node.ordered ? 1 : 0;
    }
    next = (node_links >> (16 * side)) & 0xFFFF;
  }
  SetChild(p, side, r);
  return {best & 0xFFFF, best >> 16};
}

CLzssCoder::Match CLzssCoder::InsertAfter(std::uint32_t r, Match previous) {
  // The string at r repeats the one after the previous match for 17 bytes; if it also repeats
  // the 18th, and that string is still in the tree, the search would end there: the tree holds
  // each string once, and no other node shares all 18 bytes.
  if (previous.length == kLongestMatch) {
    const std::uint32_t candidate = (previous.position + 1) & kRingMask;
    if (m_Parent[candidate] != kNil && std::memcmp(&m_Ring[candidate], &m_Ring[r], kLongestMatch) == 0) {
      ReplaceNode(candidate, r);
      return {candidate, kLongestMatch};
    }
  }
  return InsertNode(r);
}

// Removes node p; a node with two children gives its place to the rightmost node of its
// left subtree.
void CLzssCoder::DeleteNode(std::uint32_t p) {
  if (m_Parent[p] == kNil) return;
  const std::uint32_t left = Child(p, 0);
  const std::uint32_t right = Child(p, 1);
  std::uint32_t q;
  if (right == kNil) {
    q = left;
  } else if (left == kNil) {
    q = right;
  } else {
    q = left;
    if (Child(q, 1) != kNil) {
      do {
        q = Child(q, 1);
      } while (Child(q, 1) != kNil);
      SetChild(m_Parent[q], 1, Child(q, 0));
      SetChild(q, 0, left);
    }
    SetChild(q, 1, right);
  }
  ReplaceInParent(p, q);
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
  // What the last insertion found, and what the encoder takes of it.
  Match inserted = InsertNode(r);

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
    Match match = inserted;
    if (match.length > lookahead) match.length = lookahead;
    if (match.length <= kThreshold) {
      match.length = 1;
      group[0] |= mask;
      group[group_size++] = m_Ring[r];
    } else {
      group[group_size++] = static_cast<std::uint8_t>(match.position);
      group[group_size++] =
          static_cast<std::uint8_t>(((match.position >> 4) & 0xF0) | (match.length - (kThreshold + 1)));
    }
    mask = static_cast<std::uint8_t>(mask << 1);
    if (mask == 0) {
      if (!append_group()) return fail();
      group[0] = 0;
      group_size = 1;
      mask = 1;
    }

    const std::uint32_t consumed = match.length;
    std::uint32_t step = 0;
    for (; step < consumed && next < input.size(); ++step) {
      DeleteNode(s);
      const std::uint8_t byte = input[next++];
      m_Ring[s] = byte;
      if (s < kLongestMatch - 1) m_Ring[s + kRingSize] = byte;
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      inserted = InsertAfter(r, inserted);
    }
    for (; step < consumed; ++step) {
      DeleteNode(s);
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      if (--lookahead != 0) inserted = InsertAfter(r, inserted);
    }
  }
  if (group_size > 1 && !append_group()) return fail();
  return kEncodePacked;
}

namespace {

// Writes one match item (its two packed bytes at `item`) at output[out]; the length it wrote.
// The ring is not kept: a match's ring position is turned into a distance back into the
// output, and the ring positions no byte was written to yet (the start of the output) read as
// the zeros the ring starts with.
std::size_t UnpackMatch(const std::uint8_t* item, std::uint8_t* output, std::size_t out, std::size_t output_size) {
  const std::uint32_t position = item[0] | ((item[1] & 0xF0u) << 4);
  const std::size_t length = std::min<std::size_t>((item[1] & 0x0Fu) + CLzssCoder::kThreshold + 1, output_size - out);
  // The ring position the next byte goes to, and from it how far back the match starts: 1 to
  // 4096 bytes (a match at the write position itself reads the byte written 4096 before).
  const std::uint32_t write_position = static_cast<std::uint32_t>(kFirstPosition + out) & kRingMask;
  const std::size_t distance = ((write_position - position - 1) & kRingMask) + 1;
  if (distance <= out) {
    CopyMatch(output + out, distance, length, output_size - out);
  } else {
    // Some or all of the match lies before the output: zeros, then what the copy wrote.
    for (std::size_t k = 0; k < length; ++k) output[out + k] = out + k >= distance ? output[out + k - distance] : 0;
  }
  return length;
}

// A whole group may take the unchecked path when its packed bytes and the 32 bytes that a
// literal's copy reads are there, the output has room for eight longest matches and the
// overlong copy of the last item, and the output holds the 16 bytes that a match's one copy may
// reach back at the least.
constexpr std::size_t kItemCopy = 32;
constexpr std::size_t kNearestCopied = 16;
constexpr std::ptrdiff_t kGroupInput = 1 + 2 * 8 + kItemCopy;
constexpr std::size_t kGroupRoom = 8 * CLzssCoder::kLongestMatch + kItemCopy;

// Writes 32 bytes at `to` from `from`, the first 16 before the second 16 are read: a match at
// least kNearestCopied bytes back then gets all of its (at most 18) bytes right.
void CopyItem(std::uint8_t* to, const std::uint8_t* from) {
  std::memcpy(to, from, 16);
  std::memcpy(to + 16, from + 16, 16);
}

// Unpacks one group of eight items from `in` to output[out] without bounds checks. Literals
// and matches at least kNearestCopied bytes back inside the output take the same
// path, with no branch on the item's kind (which is as good as random in prose): 32 bytes are
// copied from the input or from the output, and the following items overwrite all but the
// item's own. Matches nearer or reaching before the output's start go the careful way.
void UnpackGroup(const std::uint8_t*& in, std::uint8_t* output, std::size_t& out, std::size_t output_size) {
  // The bit above the eight items' flags ends the group when it is the only one left.
  for (unsigned flags = *in++ | 0x100u; flags != 1; flags >>= 1) {
    const std::size_t literal = flags & 1;
    const std::uintptr_t take_input = 0 - static_cast<std::uintptr_t>(literal);
    const std::uint32_t position = in[0] | ((in[1] & 0xF0u) << 4);
    // The ring position of the next byte is kFirstPosition + out; the match starts `back` + 1
    // (1 to 4096) bytes back from it.
    const std::size_t back = (kFirstPosition - 1 + out - position) & kRingMask;
    // Unsigned, with out >= kNearestCopied: a distance under kNearestCopied wraps round to a
    // large number, as one past `out` does.
    if ((literal == 0) & (back + 1 - kNearestCopied > out - kNearestCopied)) [[unlikely]] {
      out += UnpackMatch(in, output, out, output_size);
      in += 2;
      continue;
    }
    // Chosen by masks rather than conditions, so that no branch is taken on the kind.
    const auto from = reinterpret_cast<const std::uint8_t*>(
        (reinterpret_cast<std::uintptr_t>(in) & take_input) |
        (reinterpret_cast<std::uintptr_t>(output + out - 1 - back) & ~take_input));
    CopyItem(output + out, from);
    out += 1 + (((in[1] & 0x0Fu) + CLzssCoder::kThreshold) & ~take_input);
    in += 2 - literal;
  }
}

}  // namespace

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
      if (in_end - in >= kGroupInput && output_size - out >= kGroupRoom && out >= kNearestCopied) {
        UnpackGroup(in, output, out, output_size);
        continue;
      }
      if (in == in_end) return kDecodeTruncated;
      flags = *in++ | 0xFF00u;
    }
    if ((flags & 1) != 0) {
      if (in == in_end) return kDecodeTruncated;
      output[out++] = *in++;
      continue;
    }
    if (in_end - in < 2) return kDecodeTruncated;
    out += UnpackMatch(in, output, out, output_size);
    in += 2;
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

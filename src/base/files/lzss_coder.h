// Memory-to-memory LZSS coder: a 4096-byte ring, matches of 3 to 18 bytes found through a
// binary search tree, and a packed form of flag bytes each followed by up to eight items.
// The packed data carries no header: the unpacked size is stored by the containing format.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class CLzssCoder {
 public:
  static constexpr std::uint32_t kRingSize = 4096;
  static constexpr std::uint32_t kLongestMatch = 18;
  // A match must be longer than this to be worth its two bytes.
  static constexpr std::uint32_t kThreshold = 2;

  // Encode statuses.
  static constexpr unsigned kEncodePacked = 0;
  static constexpr unsigned kEncodeNotSmaller = 1;
  static constexpr unsigned kEncodeNoMemory = 2;
  // Decode statuses.
  static constexpr unsigned kDecodeDone = 0;
  static constexpr unsigned kDecodeEmptyOutput = 1;
  static constexpr unsigned kDecodeNoOutput = 2;
  static constexpr unsigned kDecodeTruncated = 3;

  CLzssCoder();

  void InitTree();

  // Packs `input` into `packed`, whose size is then the packed size. Inputs shorter than 9
  // bytes, and inputs that do not pack into fewer than input size - 8 bytes, give
  // kEncodeNotSmaller; on any failure `packed` is left empty.
  unsigned Encode(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& packed);

  // Unpacks exactly `output_size` bytes into the caller's buffer. Trailing packed bytes are
  // ignored; packed data that ends before the output is full gives kDecodeTruncated. Unpacking
  // needs no work area, so it needs no coder either.
  static unsigned Decode(std::span<const std::uint8_t> packed, std::uint8_t* output, std::size_t output_size);

  // As above, into a block of `output_size` bytes that the coder allocates and hands over
  // in `output`; on failure `output` is left empty.
  static unsigned Decode(std::span<const std::uint8_t> packed, std::size_t output_size, std::vector<std::uint8_t>& output);

 private:
  static constexpr std::uint16_t kNil = kRingSize;
  // The tree roots follow the nil node, one per value of a string's first byte.
  static constexpr std::uint32_t kFirstRoot = kRingSize + 1;

  static constexpr std::uint32_t kNoLinks = kNil | kNil << 16;

  struct Match {
    std::uint32_t position;
    std::uint32_t length;
  };

  Match InsertNode(std::uint32_t r);
  // Inserts r, the position after the one whose insertion found `previous`.
  Match InsertAfter(std::uint32_t r, Match previous);
  void DeleteNode(std::uint32_t p);
  void ReplaceNode(std::uint32_t p, std::uint32_t r);
  void ReplaceInParent(std::uint32_t p, std::uint32_t replacement);
  // Side 0 leads to the strings that sort before the node, side 1 to those after it.
  std::uint32_t Child(std::uint32_t node, std::uint32_t side) const;
  // Links `child` under `node`, and `node` as its parent.
  void SetChild(std::uint32_t node, std::uint32_t side, std::uint32_t child);

  // The 17 bytes after the ring mirror its first 17 so that an 18-byte comparison never wraps.
  std::array<std::uint8_t, kRingSize + kLongestMatch - 1> m_Ring{};
  // Nodes are ring positions, then the nil node, then the roots. A node's two child links share
  // one word (side 0 in the low half), so that a search step loads both at once; 16-bit links
  // keep the links and the ring together in the first-level cache.
  std::array<std::uint32_t, kFirstRoot + 256> m_Links{};
  std::array<std::uint16_t, kFirstRoot> m_Parent{};
};

// The constants of the DPK archive cipher and the game's two key words. The archive writer in
// tools/ and this reader must agree on every value here. The key words are only defaults: the
// game's set-up hands its own to the decoder through its assist entries (dpk_decoder.h).
#pragma once

#include <cstdint>

struct DpkKeyWords {
  std::uint32_t first = 0;
  std::uint32_t second = 0;

  friend bool operator==(const DpkKeyWords&, const DpkKeyWords&) = default;
};

inline constexpr DpkKeyWords kDefaultDpkKeyWords{0x6B3A91C5u, 0x2E84D70Fu};

// The two accumulators that digest the archive's base name start from these values and are
// rotated after every character: the first to the right, the second to the left.
inline constexpr std::uint32_t kDpkNameSeedFirst = 0xC3A5E1B7u;
inline constexpr std::uint32_t kDpkNameSeedSecond = 0x5D2F8C49u;
inline constexpr int kDpkNameRotateFirst = 7;
inline constexpr int kDpkNameRotateSecond = 11;

// A running key is rotated after each word by the low five bits of a step value, which starts
// here and is rotated right by its own count per word.
inline constexpr std::uint32_t kDpkStepSeed = 0x9E3779B9u;
inline constexpr int kDpkStepRotate = 5;

// Nibble scrambling: the two nibbles of a stored byte are swapped and each is XORed with its
// half of this mask.
inline constexpr std::uint8_t kDpkNibbleMask = 0xA5;

// Entry scrambling covers at most this many words after the prefix.
inline constexpr std::uint32_t kDpkScrambledWords = 64;

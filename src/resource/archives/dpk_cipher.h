// The DPK cipher: the archive keys made from its file name and the key words, the running-key
// XOR of the index and of the head of scrambled entries, and the nibble scrambling of entries.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "resource/archives/dpk_keys.h"

struct DpkArchiveKeys {
  // Deciphers the header word and starts the index key.
  std::uint32_t header = 0;
  // Starts the running key of every scrambled entry.
  std::uint32_t content = 0;
};

// The keys of the archive at `path` (an engine path; only its base name counts, upper-cased).
DpkArchiveKeys MakeDpkArchiveKeys(std::string_view path, DpkKeyWords words);

// XORs `bytes` with a running key that starts at `key`: whole little-endian words, then the
// low bytes of the key over a shorter tail. Its own inverse.
void XorDpkRunningKey(std::span<std::uint8_t> bytes, std::uint32_t key);

// How many bytes at the start of `data_length` bytes of entry data (after the prefix) entry
// scrambling covers: whole words, at most kDpkScrambledWords of them.
std::uint32_t DpkScrambledLength(std::uint32_t data_length);

// The reader's nibble transform and the writer's inverse of it.
void UnscrambleDpkNibbles(std::span<std::uint8_t> bytes);
void ScrambleDpkNibbles(std::span<std::uint8_t> bytes);

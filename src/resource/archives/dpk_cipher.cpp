#include "resource/archives/dpk_cipher.h"

#include <algorithm>
#include <bit>

#include "base/files/path.h"
#include "base/numbers/little_endian.h"
#include "base/text/sjis_case.h"

namespace {

std::uint8_t SwapNibbles(std::uint8_t byte) { return static_cast<std::uint8_t>(byte << 4 | byte >> 4); }

}  // namespace

DpkArchiveKeys MakeDpkArchiveKeys(std::string_view path, DpkKeyWords words) {
  char leaf[kMaxPath] = {};
  if (path.size() < kMaxPath) {
    const std::string whole(path);
    GetPathLeaf(whole.c_str(), leaf, false);
  }
  CutFileExtension(leaf, nullptr);
  std::string name = leaf;
  UpperSjis(name);

  std::uint32_t first = kDpkNameSeedFirst;
  std::uint32_t second = kDpkNameSeedSecond;
  const std::size_t length = name.size();
  for (std::size_t i = 0; i < length; ++i) {
    first = std::rotr(first ^ static_cast<std::uint8_t>(name[length - 1 - i]), kDpkNameRotateFirst);
    second = std::rotl(second ^ static_cast<std::uint8_t>(name[i]), kDpkNameRotateSecond);
  }
  return {second ^ words.second, first ^ words.first};
}

void XorDpkRunningKey(std::span<std::uint8_t> bytes, std::uint32_t key) {
  std::uint32_t step = kDpkStepSeed;
  std::size_t at = 0;
  for (; bytes.size() - at >= 4; at += 4) {
    StoreLe32(bytes.data() + at, LoadLe32(bytes.data() + at) ^ key);
    key = std::rotl(key, static_cast<int>(step & 31));
    step = std::rotr(step, kDpkStepRotate);
  }
  for (int shift = 0; at < bytes.size(); ++at, shift += 8) bytes[at] ^= static_cast<std::uint8_t>(key >> shift);
}

std::uint32_t DpkScrambledLength(std::uint32_t data_length) {
  return std::min(kDpkScrambledWords, data_length / 4) * 4;
}

void UnscrambleDpkNibbles(std::span<std::uint8_t> bytes) {
  for (std::uint8_t& byte : bytes) byte = SwapNibbles(byte) ^ kDpkNibbleMask;
}

void ScrambleDpkNibbles(std::span<std::uint8_t> bytes) {
  for (std::uint8_t& byte : bytes) byte = SwapNibbles(static_cast<std::uint8_t>(byte ^ kDpkNibbleMask));
}

#include "resource/archives/dpk_name_trie.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "resource/archives/dpk_cipher.h"

namespace {

// Names "ab" (entry 7) and "aC" (entry 300) in a narrow tree: root {'a'}, then {'b', 'C'},
// then one terminating node for each.
const std::vector<std::uint8_t> kNarrowTree = {
    1, 'a', 0,  0,             // root: 'a' -> the node right after it
    2, 'b', 3,  0, 'C', 4, 0,  // 'b' -> 3 bytes on, 'C' -> 4 bytes on
    1, 0,   7,  0,             // "ab" is entry 7
    1, 0,   44, 1,             // "aC" is entry 300
};

TEST(DpkNameTrieTest, LooksUpNamesInEachCaseMode) {
  EXPECT_EQ(LookupNameTrie(kNarrowTree, false, "ab", 0), 7u);
  EXPECT_EQ(LookupNameTrie(kNarrowTree, false, "aC", 0), 300u);
  EXPECT_EQ(LookupNameTrie(kNarrowTree, false, "AB", 0), std::nullopt);
  EXPECT_EQ(LookupNameTrie(kNarrowTree, false, "AB", 2), 7u);            // lower-cased first
  EXPECT_EQ(LookupNameTrie(kNarrowTree, false, "ac", 1), std::nullopt);  // upper-cased: "AC"
  EXPECT_EQ(LookupNameTrie(kNarrowTree, false, "a", 0), std::nullopt);
  EXPECT_EQ(LookupNameTrie(kNarrowTree, false, "abc", 0), std::nullopt);
  EXPECT_EQ(LookupNameTrie(kNarrowTree, false, nullptr, 0), std::nullopt);
  EXPECT_EQ(LookupNameTrie({}, false, "ab", 0), std::nullopt);

  std::map<std::string, std::uint32_t> names;
  EXPECT_TRUE(WalkNameTrie(kNarrowTree, false,
                           [&](std::string_view name, std::uint32_t number) { names.emplace(name, number); }));
  EXPECT_EQ(names, (std::map<std::string, std::uint32_t>{{"ab", 7}, {"aC", 300}}));
}

TEST(DpkNameTrieTest, LinksOutsideTheTreeFindNothing) {
  for (std::size_t cut = 1; cut < kNarrowTree.size(); ++cut) {
    const std::span<const std::uint8_t> shorter(kNarrowTree.data(), cut);
    EXPECT_NE(LookupNameTrie(shorter, false, "aC", 0), 300u) << cut;
    EXPECT_FALSE(WalkNameTrie(shorter, false, [](std::string_view, std::uint32_t) {})) << cut;
  }
  // An empty tree is whole and holds no names.
  bool visited = false;
  EXPECT_TRUE(WalkNameTrie({}, false, [&](std::string_view, std::uint32_t) { visited = true; }));
  EXPECT_FALSE(visited);
  EXPECT_EQ(LookupNameTrie({}, false, "aC", 0), std::nullopt);
  const std::vector<std::uint8_t> far = {1, 'a', 0xFF, 0xFF, 1, 0, 1, 0};
  EXPECT_EQ(LookupNameTrie(far, false, "a", 0), std::nullopt);
  const std::vector<std::uint8_t> wide_far = {1, 'a', 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 1, 0, 0, 0};
  EXPECT_EQ(LookupNameTrie(wide_far, true, "a", 0), std::nullopt);
}

TEST(DpkCipherTest, TheWritersTransformsUndoTheReaders) {
  std::vector<std::uint8_t> bytes(23);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 37);
  std::vector<std::uint8_t> changed = bytes;
  ScrambleDpkNibbles(changed);
  EXPECT_NE(changed, bytes);
  UnscrambleDpkNibbles(changed);
  EXPECT_EQ(changed, bytes);
  XorDpkRunningKey(changed, 0x12345678);  // whole words and a 3-byte tail
  EXPECT_NE(std::vector(changed.end() - 3, changed.end()), std::vector(bytes.end() - 3, bytes.end()));
  XorDpkRunningKey(changed, 0x12345678);
  EXPECT_EQ(changed, bytes);

  EXPECT_EQ(DpkScrambledLength(3), 0u);
  EXPECT_EQ(DpkScrambledLength(10), 8u);
  EXPECT_EQ(DpkScrambledLength(100000), 256u);
}

TEST(DpkCipherTest, KeysDependOnTheUpperCasedBaseNameAndTheKeyWords) {
  const DpkKeyWords words{1, 2};
  const DpkArchiveKeys keys = MakeDpkArchiveKeys("Z:\\game\\script.dpk", words);
  const DpkArchiveKeys same = MakeDpkArchiveKeys("Z:\\other\\SCRIPT.DPK", words);
  EXPECT_EQ(keys.header, same.header);
  EXPECT_EQ(keys.content, same.content);
  // A half-width kana (ｱ, B1) is a character of its own to the system's case change: the letter
  // after it is upper-cased too, so the key does not depend on how the name is written.
  EXPECT_EQ(MakeDpkArchiveKeys("Z:\\game\\\xB1script.dpk", words).header,
            MakeDpkArchiveKeys("Z:\\game\\\xB1SCRIPT.DPK", words).header);
  EXPECT_NE(MakeDpkArchiveKeys("Z:\\game\\PATCH.DPK", words).header, keys.header);
  EXPECT_NE(MakeDpkArchiveKeys("Z:\\game\\SCRIPT.DPK", {1, 3}).header, keys.header);
  EXPECT_NE(MakeDpkArchiveKeys("Z:\\game\\SCRIPT.DPK", {3, 2}).content, keys.content);
}

}  // namespace

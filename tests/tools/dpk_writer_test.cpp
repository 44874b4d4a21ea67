#include "dpk_writer.h"

#include <gtest/gtest.h>

#include "base/numbers/little_endian.h"
#include "resource/archives/dpk_index.h"
#include "resource/archives/dpk_name_trie.h"

namespace {

using kvxtools::DpkLayout;
using kvxtools::DpkWriter;
using kvxtools::DpkWriterOptions;

std::string LayOutError(const DpkWriter& writer) {
  DpkLayout layout;
  std::string error;
  EXPECT_FALSE(writer.LayOut("X.DPK", layout, error));
  return error;
}

TEST(DpkWriterTest, RefusesWhatTheFormatCannotHold) {
  DpkWriterOptions packing;
  packing.pack = true;
  DpkWriter short_records(packing);
  short_records.Add("a", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa");
  EXPECT_NE(LayOutError(short_records).find("long entry records"), std::string::npos);

  DpkWriter twice;
  twice.Add("Name", "1");
  twice.Add("NAME", "2");
  EXPECT_NE(LayOutError(twice).find("given twice"), std::string::npos);

  DpkWriter empty_name;
  empty_name.Add("", "1");
  EXPECT_NE(LayOutError(empty_name).find("empty"), std::string::npos);

  DpkWriter long_name;
  long_name.Add(std::string(300, 'n'), "1");
  EXPECT_NE(LayOutError(long_name).find("too long"), std::string::npos);

  // 70000 entries need numbers above 65535: only the wide tree holds them.
  DpkWriter many;
  for (int i = 0; i < 70000; ++i) many.Add("f" + std::to_string(i), "");
  EXPECT_NE(LayOutError(many).find("wide"), std::string::npos);
}

TEST(DpkWriterTest, TheWideTreeHoldsManyEntriesAndUnitsAlignEverything) {
  DpkWriterOptions options;
  options.wide_tree = options.units = true;
  DpkWriter writer(options);
  for (int i = 0; i < 70000; ++i) writer.Add("f" + std::to_string(i), i % 1000 == 0 ? "data" : "");
  DpkLayout layout;
  std::string error;
  ASSERT_TRUE(writer.LayOut("X.DPK", layout, error)) << error;
  EXPECT_EQ((kDpkHeaderSize + layout.index.size()) % kDpkUnitSize, 0u);
  EXPECT_EQ(DpkHeaderWord{layout.header_word}.IndexLength(), layout.index.size());
  for (const kvxtools::DpkStoredEntry& entry : layout.entries) EXPECT_EQ(entry.offset % kDpkUnitSize, 0u);

  const std::uint32_t tree_length = LoadLe32(layout.index.data() + layout.tree_offset - 4);
  const std::span<const std::uint8_t> tree(layout.index.data() + layout.tree_offset, tree_length);
  EXPECT_EQ(LookupNameTrie(tree, true, "f69999", 0), 69999u);
  EXPECT_EQ(LookupNameTrie(tree, true, "F0", 2), 0u);
  EXPECT_EQ(LookupNameTrie(tree, true, "f70000", 0), std::nullopt);
}

}  // namespace

// The read-text table of SOB_INIT.DAT against hostile counts.
#include "script/read_text_table.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "support/peak_memory.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// `count` records with an empty name and the given bit counts.
Bytes Table(std::uint16_t count, std::uint16_t line_bits, std::uint16_t choice_bits) {
  Bytes bytes = {static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8)};
  for (std::uint32_t n = 0; n < count; ++n) {
    bytes.insert(bytes.end(), {1, 0, static_cast<std::uint8_t>(line_bits), static_cast<std::uint8_t>(line_bits >> 8),
                               static_cast<std::uint8_t>(choice_bits), static_cast<std::uint8_t>(choice_bits >> 8)});
  }
  return bytes;
}

// The status of a parse and how much memory it took, measured in a child process.
struct Parsed {
  ReadTextTableStatus status;
  std::optional<std::uint64_t> growth;
};

Parsed Parse(const Bytes& bytes) {
  std::vector<ReadTextRecord> table;
  const ReadTextTableStatus status = ParseReadTextTable(bytes, table);
  const std::optional<std::uint64_t> growth = test_support::PeakMemoryGrowth([&] {
    std::vector<ReadTextRecord> child_table;
    if (ParseReadTextTable(bytes, child_table) != status) std::abort();
  });
  return {status, growth};
}

TEST(ReadTextTable, CountsAreCheckedAgainstTheDataBeforeAnythingIsSized) {
  // Two bytes that claim 65535 records.
  const Parsed claim = Parse({0xFF, 0xFF});
  EXPECT_EQ(claim.status, ReadTextTableStatus::kDamaged);
  ASSERT_TRUE(claim.growth);
  EXPECT_LT(*claim.growth, 2 * test_support::kMebibyte);

  // 459 KB of records that each ask for 65535 read-line and 65535 choice bits: a gigabyte.
  const Parsed greedy = Parse(Table(65535, 65535, 65535));
  EXPECT_EQ(greedy.status, ReadTextTableStatus::kNoMemory);
  ASSERT_TRUE(greedy.growth);
  EXPECT_LT(*greedy.growth, 32 * test_support::kMebibyte);

  // A large table that real games could have still loads.
  std::vector<ReadTextRecord> table;
  EXPECT_EQ(ParseReadTextTable(Table(4000, 20000, 500), table), ReadTextTableStatus::kOk);
  ASSERT_EQ(table.size(), 4000u);
  EXPECT_EQ(table[3999].read_lines.BitCount(), 20000u);
  EXPECT_EQ(table[3999].name_length, 1u);
}

}  // namespace

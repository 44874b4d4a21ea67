#include "script/script_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

void ExpectBadAddress(const std::function<void()>& access, std::uint32_t address) {
  try {
    access();
    ADD_FAILURE() << "no fault for 0x" << std::hex << address;
  } catch (const ScriptFault& fault) {
    EXPECT_EQ(fault.Kind(), ScriptFaultKind::kBadAddress);
    EXPECT_EQ(fault.Detail(), address);
  }
}

TEST(ScriptMemory, ReservesOnceAndStartsWithNothingUsable) {
  ScriptMemory memory;
  ASSERT_TRUE(memory.IsReserved());
  EXPECT_EQ(memory.UsableEnd(), ScriptMemory::kLowestAddress);
  ExpectBadAddress([&] { memory.Word(0x10000); }, 0x10000);
  // A second memory is a reservation of its own.
  ScriptMemory other;
  EXPECT_TRUE(other.IsReserved());
}

TEST(ScriptMemory, BlocksLieAboveTheNullPageAlignedAndApart) {
  ScriptMemory memory;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> blocks;
  for (std::uint32_t size : {0u, 1u, 15u, 16u, 17u, 4096u, 100000u}) {
    const std::uint32_t address = memory.Allocate(size);
    ASSERT_NE(address, 0u);
    EXPECT_GE(address, ScriptMemory::kLowestAddress);
    EXPECT_EQ(address % ScriptMemory::kAlignment, 0u);
    EXPECT_GE(*memory.BlockSize(address), std::max(size, 1u));
    EXPECT_TRUE(memory.Contains(address, *memory.BlockSize(address)));
    blocks.emplace_back(address, *memory.BlockSize(address));
  }
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    for (std::size_t j = i + 1; j < blocks.size(); ++j) {
      const bool apart = blocks[i].first + blocks[i].second <= blocks[j].first || blocks[j].first + blocks[j].second <= blocks[i].first;
      EXPECT_TRUE(apart) << i << " " << j;
    }
  }
}

TEST(ScriptMemory, ZeroedBlocksAreZeroEvenWhenTheyReuseFreedSpace) {
  ScriptMemory memory;
  const std::uint32_t first = memory.Allocate(256);
  std::memset(memory.Range(first, 256).data(), 0xAB, 256);
  ASSERT_TRUE(memory.Free(first));
  const std::uint32_t second = memory.Allocate(256, true);
  EXPECT_EQ(second, first);  // the freed space is reused
  for (std::byte byte : memory.Range(second, 256)) EXPECT_EQ(byte, std::byte{0});
}

TEST(ScriptMemory, FreeAcceptsOnlyLiveBlocks) {
  ScriptMemory memory;
  const std::uint32_t block = memory.Allocate(64);
  EXPECT_TRUE(memory.Free(0));
  EXPECT_FALSE(memory.Free(block + 16));
  EXPECT_FALSE(memory.Free(0x12345678));
  EXPECT_TRUE(memory.Free(block));
  EXPECT_FALSE(memory.Free(block));
  EXPECT_FALSE(memory.BlockSize(block).has_value());
}

TEST(ScriptMemory, ResizeKeepsTheContentsAndZeroesTheGrowthOnRequest) {
  ScriptMemory memory;
  const std::uint32_t block = memory.Allocate(32);
  const std::uint32_t blocker = memory.Allocate(32);  // forces a move when the block grows
  for (std::uint32_t i = 0; i < 32; ++i) memory.SetByte(block + i, static_cast<std::uint8_t>(i + 1));
  const std::uint32_t grown = memory.Resize(block, 5000, true);
  ASSERT_NE(grown, 0u);
  EXPECT_NE(grown, block);
  EXPECT_FALSE(memory.BlockSize(block).has_value());
  for (std::uint32_t i = 0; i < 32; ++i) EXPECT_EQ(memory.Byte(grown + i), i + 1);
  for (std::uint32_t i = 32; i < 5000; ++i) ASSERT_EQ(memory.Byte(grown + i), 0u) << i;

  const std::uint32_t shrunk = memory.Resize(grown, 16);
  EXPECT_EQ(shrunk, grown);
  EXPECT_EQ(*memory.BlockSize(shrunk), 16u);
  EXPECT_EQ(memory.Byte(shrunk + 15), 16u);
  // The space given back is used again.
  const std::uint32_t reuse = memory.Allocate(4000);
  EXPECT_EQ(reuse, shrunk + 16);

  EXPECT_EQ(memory.Resize(0x12345670, 8), 0u);
  EXPECT_NE(memory.Resize(0, 8), 0u);
  EXPECT_TRUE(memory.Free(blocker));
}

TEST(ScriptMemory, ResizeGrowsInPlaceIntoFreeSpaceBehindTheBlock) {
  ScriptMemory memory;
  const std::uint32_t block = memory.Allocate(64);
  const std::uint32_t neighbour = memory.Allocate(256);
  const std::uint32_t last = memory.Allocate(64);
  ASSERT_TRUE(memory.Free(neighbour));
  EXPECT_EQ(memory.Resize(block, 200), block);
  EXPECT_EQ(memory.Resize(last, 0x40000), last);  // at the top: grows into new pages
  memory.SetWord(last + 0x40000 - 4, 7);
  EXPECT_EQ(memory.Word(last + 0x40000 - 4), 7u);
  // No room behind it any more: the block moves.
  EXPECT_NE(memory.Resize(block, 1000), block);
}

TEST(ScriptMemory, FailedAllocationsReturnZero) {
  ScriptMemory memory;
  EXPECT_EQ(memory.Allocate(0xFFFFFFFF), 0u);
  const std::uint32_t block = memory.Allocate(16);
  EXPECT_EQ(memory.Resize(block, 0xFFFFFFF0), 0u);
  EXPECT_EQ(*memory.BlockSize(block), 16u);
}

TEST(ScriptMemory, RandomAllocationsStayApartAndKeepTheirContents) {
  ScriptMemory memory;
  std::minstd_rand random(7);
  struct Block {
    std::uint32_t address;
    std::uint32_t size;
    std::uint8_t fill;
  };
  std::vector<Block> live;
  for (int step = 0; step < 3000; ++step) {
    const auto action = random() % 3;
    if (action == 0 || live.empty()) {
      const auto size = static_cast<std::uint32_t>(1 + random() % 3000);
      const std::uint32_t address = memory.Allocate(size);
      ASSERT_NE(address, 0u);
      const auto fill = static_cast<std::uint8_t>(random());
      std::memset(memory.Range(address, size).data(), fill, size);
      live.push_back({address, size, fill});
    } else if (action == 1) {
      const std::size_t victim = random() % live.size();
      ASSERT_TRUE(memory.Free(live[victim].address));
      live.erase(live.begin() + static_cast<long>(victim));
    } else {
      Block& block = live[random() % live.size()];
      const auto size = static_cast<std::uint32_t>(1 + random() % 6000);
      const std::uint32_t address = memory.Resize(block.address, size);
      ASSERT_NE(address, 0u);
      const std::uint32_t kept = std::min(size, block.size);
      for (std::uint32_t i = 0; i < kept; ++i) ASSERT_EQ(memory.Byte(address + i), block.fill);
      std::memset(memory.Range(address, size).data(), block.fill, size);
      block.address = address;
      block.size = size;
    }
  }
  for (const Block& block : live) {
    for (std::byte byte : memory.Range(block.address, block.size)) ASSERT_EQ(byte, std::byte{block.fill});
    EXPECT_TRUE(memory.Free(block.address));
  }
}

TEST(ScriptMemory, ScriptWritesCannotDamageTheAllocator) {
  ScriptMemory memory;
  const std::uint32_t first = memory.Allocate(1000);
  const std::uint32_t second = memory.Allocate(1000);
  ASSERT_TRUE(memory.Free(first));
  // Scribble over every usable byte, free space included.
  const auto usable = static_cast<std::uint32_t>(memory.UsableEnd() - ScriptMemory::kLowestAddress);
  std::memset(memory.Range(ScriptMemory::kLowestAddress, usable).data(), 0xFF, usable);
  EXPECT_EQ(memory.Allocate(1000), first);
  EXPECT_TRUE(memory.Free(second));
  EXPECT_EQ(*memory.BlockSize(first), 1008u);
}

TEST(ScriptMemory, AccessorsReadAndWriteLittleEndianWordsAtAnyByte) {
  ScriptMemory memory;
  const std::uint32_t block = memory.Allocate(64, true);
  memory.SetWord(block + 1, 0x11223344);
  EXPECT_EQ(memory.Byte(block + 1), 0x44);
  EXPECT_EQ(memory.Byte(block + 4), 0x11);
  EXPECT_EQ(memory.Word(block + 1), 0x11223344u);
  EXPECT_EQ(memory.Word(block + 2), 0x00112233u);
  memory.SetByte(block + 9, 0x5A);
  std::uint8_t bytes[3] = {};
  memory.Read(block + 8, bytes, 3);
  EXPECT_EQ(bytes[1], 0x5A);
  memory.Write(block + 20, "text", 5);
  EXPECT_STREQ(memory.String(block + 20), "text");
  EXPECT_EQ(memory.Range(block + 20, 4).size(), 4u);
}

TEST(ScriptMemory, AccessesOutsideTheUsableMemoryFault) {
  ScriptMemory memory;
  memory.Allocate(100);
  const auto end = static_cast<std::uint32_t>(memory.UsableEnd());
  ExpectBadAddress([&] { memory.Word(0); }, 0);
  ExpectBadAddress([&] { memory.Byte(0xFFFF); }, 0xFFFF);
  ExpectBadAddress([&] { memory.SetWord(end - 3, 1); }, end - 3);
  ExpectBadAddress([&] { memory.Word(0xFFFFFFFF); }, 0xFFFFFFFF);
  ExpectBadAddress([&] { memory.SetByte(end, 1); }, end);
  ExpectBadAddress([&] { memory.Range(end - 8, 9); }, end - 8);
  ExpectBadAddress([&] { memory.Range(0x10000, 0xFFFFFFFF); }, 0x10000);
  ExpectBadAddress([&] { memory.Write(end - 1, "ab", 2); }, end - 1);
  ExpectBadAddress([&] { memory.String(0x100); }, 0x100);
  EXPECT_NO_THROW(memory.SetWord(end - 4, 1));
  EXPECT_FALSE(memory.Contains(0xFFFFFFFC, 8));
}

TEST(ScriptMemory, AStringWithoutTerminatorBeforeTheEndFaults) {
  ScriptMemory memory;
  memory.Allocate(16);
  const auto end = static_cast<std::uint32_t>(memory.UsableEnd());
  const std::string letters(300, 'x');
  memory.Write(end - 300, letters.data(), 300);
  ExpectBadAddress([&] { memory.String(end - 300); }, end - 300);
  memory.SetByte(end - 1, 0);
  EXPECT_EQ(std::strlen(memory.String(end - 300)), 299u);
}

TEST(ScriptMemory, LargeFreedBlocksReadAsZeroOrStaleButStayUsable) {
  ScriptMemory memory;
  const std::uint32_t big = memory.Allocate(0x100000);
  const std::uint32_t keep = memory.Allocate(16);
  std::memset(memory.Range(big, 0x100000).data(), 0x77, 0x100000);
  ASSERT_TRUE(memory.Free(big));
  // Freed memory stays inside the usable range: late script reads do not crash the process.
  EXPECT_NO_THROW(memory.Word(big + 0x80000));
  EXPECT_TRUE(memory.Free(keep));
}

}  // namespace

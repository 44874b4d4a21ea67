// The column walks: the AVX2 form of the vector member leaves exactly the pixels and the walks'
// places of the portable member, for eights of neighbouring columns and for columns apart or
// drawn over others, squeezed and stretched, starting and stopping on rows of their own or all on
// the same rows.
#include "pixel/kernels/column_walk_kernels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "pixel_kernel_harness.h"

namespace {

using pixel_kernel_harness::Avx2Form;

constexpr int32_t kWidth = 48;
constexpr int32_t kSourceHeight = 40;
constexpr int32_t kDestHeight = 90;

struct Walked {
  std::vector<uint32_t> pixels;
  std::vector<ColumnWalk> walks;
};

enum class EColumns { kNeighbours, kApart, kNeighboursOnOneSpan };

// Columns of every height from 1 to three times the source's, read from the whole source.
std::vector<ColumnWalk> MakeWalks(EColumns columns) {
  const bool neighbours = columns != EColumns::kApart;
  std::mt19937 random(neighbours ? 8 : 9);
  std::uniform_int_distribution<int32_t> height(1, 3 * kSourceHeight);
  std::uniform_int_distribution<int32_t> top(0, kDestHeight / 2);
  std::uniform_int_distribution<int32_t> column(0, kWidth - 1);
  std::vector<ColumnWalk> walks;
  for (int32_t k = 0; k < 36; ++k) {
    const bool one_span = columns == EColumns::kNeighboursOnOneSpan;
    const int32_t drawn_size = height(random);
    const int32_t size = one_span ? kDestHeight - 5 : drawn_size;
    const int32_t first = one_span ? 3 : top(random);
    const StretchStep step = UnclippedStretchStep(1, kSourceHeight, 1, size);
    const int32_t x = neighbours ? 4 + k : column(random);
    walks.push_back({x, first, std::min(first + size, kDestHeight), x, static_cast<uint32_t>(step.yAcc), step});
  }
  return walks;
}

Walked Walk(EColumns columns, void (*walk)(uint32_t*, intptr_t, const uint32_t*, intptr_t, std::span<ColumnWalk>)) {
  std::vector<uint32_t> source(kWidth * kSourceHeight);
  for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint32_t>(i * 2654435761u);
  Walked walked{std::vector<uint32_t>(kWidth * kDestHeight, 0), MakeWalks(columns)};
  walk(walked.pixels.data(), kWidth, source.data(), kWidth, walked.walks);
  return walked;
}

TEST(ColumnWalkKernels, TheAvx2FormLeavesThePixelsAndPlacesOfThePortableMember) {
  if (!pixel_kernel_harness::ProcessorHasAvx2()) GTEST_SKIP() << "no AVX2";
  for (const EColumns columns : {EColumns::kNeighbours, EColumns::kApart, EColumns::kNeighboursOnOneSpan}) {
    const Walked portable = Walk(columns, WalkColumns32);
    const Avx2Form avx2;
    const Walked vector = Walk(columns, WalkColumns32Mmx);
    EXPECT_EQ(vector.pixels, portable.pixels) << static_cast<int>(columns);
    ASSERT_EQ(vector.walks.size(), portable.walks.size());
    for (size_t k = 0; k < portable.walks.size(); ++k) {
      EXPECT_EQ(vector.walks[k].from, portable.walks[k].from) << k;
      EXPECT_EQ(vector.walks[k].acc, portable.walks[k].acc) << k;
    }
  }
}

}  // namespace

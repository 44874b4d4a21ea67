#include "pixel/kernels/alpha_run_blend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "pixel/kernels/alpha_run_map.h"
#include "pixel/kernels/blend_kernels.h"
#include "pixel/kernels/pixel_tables.h"
#include "pixel_kernel_harness.h"

namespace {

using namespace pixel_kernel_harness;

constexpr int32_t kWidth = 61;
constexpr int32_t kHeight = 9;
constexpr intptr_t kPitch = kWidth * 4;

// Runs of the levels at the edges of the kinds (0, 1, 254, 255, one between), 1 to 40 pixels long,
// or pixels of random alpha.
std::vector<uint32_t> Picture(std::mt19937& random, bool random_alpha) {
  const std::array<uint32_t, 5> levels{0, 1, 128, 254, 255};
  std::vector<uint32_t> pixels;
  while (pixels.size() < size_t{kWidth} * kHeight) {
    const uint32_t level = levels[random() % levels.size()];
    const auto run = static_cast<uint32_t>(1 + random() % 40);
    for (uint32_t i = 0; i < run && pixels.size() < size_t{kWidth} * kHeight; ++i) {
      const uint32_t alpha = random_alpha ? static_cast<uint32_t>(random()) >> 24 : level;
      pixels.push_back(alpha << 24 | (static_cast<uint32_t>(random()) & 0x00FFFFFF));
    }
  }
  return pixels;
}

// Each pixel's kind as the map gives it.
std::vector<AlphaKind> KindsOf(const AlphaRunMap& map) {
  std::vector<AlphaKind> kinds;
  for (int32_t y = 0; y < map.Height(); ++y) {
    int32_t next = 0;
    for (const AlphaRun& run : map.Row(y)) {
      EXPECT_EQ(run.begin, next) << "row " << y;
      for (int32_t x = run.begin; x < run.end; ++x) kinds.push_back(run.kind);
      next = run.end;
    }
    EXPECT_EQ(next, map.Width()) << "row " << y;
  }
  return kinds;
}

class AlphaRunBlendTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { BuildPixelTables(); }
};

TEST_F(AlphaRunBlendTest, MapsRunsAndCountsShortOnesAsMixed) {
  std::vector<uint32_t> row(40, 0x00123456);
  for (int32_t x = 20; x < 23; ++x) row[static_cast<size_t>(x)] = 0xFF123456;
  row[23] = 0xFE123456;
  row[24] = 0x01123456;
  for (int32_t x = 25; x < 40; ++x) row[static_cast<size_t>(x)] = 0xFF000000;

  const AlphaRunMap exact = AlphaRunMap::Build(row.data(), 160, 40, 1, 1);
  const std::vector<std::array<int32_t, 3>> exact_runs{{0, 20, 0}, {20, 23, 1}, {23, 25, 2}, {25, 40, 1}};
  ASSERT_EQ(exact.Row(0).size(), exact_runs.size());
  for (size_t i = 0; i < exact_runs.size(); ++i) {
    EXPECT_EQ(exact.Row(0)[i].begin, exact_runs[i][0]);
    EXPECT_EQ(exact.Row(0)[i].end, exact_runs[i][1]);
    EXPECT_EQ(static_cast<int>(exact.Row(0)[i].kind), exact_runs[i][2]);
  }
  // Opaque runs of 3 and 15 pixels are too short: they join the mixed pixels between them.
  const AlphaRunMap folded = AlphaRunMap::Build(row.data(), 160, 40, 1);
  ASSERT_EQ(folded.Row(0).size(), 2u);
  EXPECT_EQ(folded.Row(0)[0].kind, AlphaKind::kClear);
  EXPECT_EQ(folded.Row(0)[1].begin, 20);
  EXPECT_EQ(folded.Row(0)[1].kind, AlphaKind::kMixed);

  const uint32_t one = 0xFF000000;
  const AlphaRunMap single = AlphaRunMap::Build(&one, 4, 1, 1);
  ASSERT_EQ(single.Row(0).size(), 1u);
  EXPECT_EQ(single.Row(0)[0].kind, AlphaKind::kMixed);
}

// Every member, every shortest run, source areas starting inside runs and widths down to 1, over
// destinations with and without a map: the pixels of the plain member, padding included.
TEST_F(AlphaRunBlendTest, BlendsByRunsAsThePlainMembers) {
  struct Member {
    const char* name;
    decltype(&AlphaBlend32) plain;
    decltype(&AlphaBlend32Runs) by_runs;
    bool avx2;
  };
  std::vector<Member> members{{"portable", AlphaBlend32, AlphaBlend32Runs, false},
                              {"vector", AlphaBlend32Mmx, AlphaBlend32RunsMmx, false}};
  if (ProcessorHasAvx2()) members.push_back({"avx2", AlphaBlend32Mmx, AlphaBlend32RunsMmx, true});
  struct Area {
    int32_t src_x, src_y, dst_x, dst_y, width, height;
  };
  const std::array<Area, 5> areas{{{0, 0, 0, 0, kWidth, kHeight},
                                   {7, 1, 3, 2, 50, 6},
                                   {13, 3, 40, 0, 1, kHeight - 3},
                                   {60, 0, 0, 8, 1, 1},
                                   {21, 2, 2, 1, 17, 5}}};
  std::mt19937 random(41);
  for (const Member& member : members) {
    std::optional<Avx2Form> avx2;
    if (member.avx2) avx2.emplace();
    for (const bool random_alpha : {false, true}) {
      for (const int32_t shortest_run : {1, AlphaRunMap::kShortestRun}) {
        for (const Area& area : areas) {
          for (const bool dst_map : {false, true}) {
            const std::string where = std::string(member.name) + " random " + std::to_string(random_alpha) +
                                      " shortest " + std::to_string(shortest_run) + " at " +
                                      std::to_string(area.src_x) + " dst map " + std::to_string(dst_map);
            const std::vector<uint32_t> src = Picture(random, random_alpha);
            const std::vector<uint32_t> dst = Picture(random, false);
            const AlphaRunMap src_runs = AlphaRunMap::Build(src.data(), kPitch, kWidth, kHeight, shortest_run);
            const AlphaRunMap dst_runs = AlphaRunMap::Build(dst.data(), kPitch, kWidth, kHeight, shortest_run);
            std::vector<uint32_t> expected = dst;
            std::vector<uint32_t> actual = dst;
            const size_t dst_at = size_t(area.dst_y) * kWidth + area.dst_x;
            const size_t src_at = size_t(area.src_y) * kWidth + area.src_x;
            const int32_t skip = (kWidth - area.width) * 4;
            member.plain(expected.data() + dst_at, src.data() + src_at, skip, skip, area.width, area.height);
            member.by_runs(actual.data() + dst_at, src.data() + src_at, skip, skip, area.width, area.height,
                           {&src_runs, area.src_x, area.src_y},
                           {dst_map ? &dst_runs : nullptr, area.dst_x, area.dst_y});
            ASSERT_EQ(actual, expected) << where;
          }
        }
      }
    }
  }
}

// The edges of a figure: a mixed run of every length up to the shortest run's, after an opaque run
// and before a clear one or at the end of the row, at levels 1, 128, 254 and with the ends 0 and
// 255 folded in. The pixels of the plain member; the pixel past the row (a guard) stays.
TEST_F(AlphaRunBlendTest, ShortMixedRunsBlendAsThePlainMember) {
  std::vector<bool> avx2_forms{false};
  if (ProcessorHasAvx2()) avx2_forms.push_back(true);
  std::mt19937 random(29);
  for (const bool with_avx2 : avx2_forms) {
    std::optional<Avx2Form> avx2;
    if (with_avx2) avx2.emplace();
    for (int32_t length = 1; length <= AlphaRunMap::kShortestRun; ++length) {
      for (const bool at_end : {false, true}) {
        std::vector<uint32_t> src;
        const auto add = [&](int32_t count, auto alpha_of) {
          for (int32_t i = 0; i < count; ++i) {
            src.push_back(alpha_of(i) << 24 | (static_cast<uint32_t>(random()) & 0x00FFFFFF));
          }
        };
        add(AlphaRunMap::kShortestRun, [](int32_t) { return 255u; });
        const std::array<uint32_t, 5> levels{1, 128, 254, 0, 255};
        add(length, [&](int32_t i) { return levels[static_cast<size_t>(i) % levels.size()]; });
        if (!at_end) add(AlphaRunMap::kShortestRun, [](int32_t) { return 0u; });
        const auto width = static_cast<int32_t>(src.size());
        src.push_back(0x80FFFFFF);
        std::vector<uint32_t> dst(src.size());
        for (uint32_t& pixel : dst) pixel = static_cast<uint32_t>(random());
        const AlphaRunMap runs = AlphaRunMap::Build(src.data(), width * 4, width, 1);
        std::vector<uint32_t> expected = dst;
        AlphaBlend32Mmx(expected.data(), src.data(), 0, 0, width, 1);
        AlphaBlend32RunsMmx(dst.data(), src.data(), 0, 0, width, 1, {&runs, 0, 0}, {});
        ASSERT_EQ(dst, expected) << "length " << length << " at end " << at_end << " avx2 " << with_avx2;
      }
    }
  }
}

// A map kept up by MarkClear and CopyArea tells of the pixels after the blend and the copy
// exactly as a map built from them anew.
// A map made unknown in the storage of another, of every size (wider, narrower, more rows and
// fewer), knows nothing but its size; a copy into it then keeps the rest of it mixed.
TEST_F(AlphaRunBlendTest, AMapResetToUnknownKnowsOnlyWhatIsCopiedIntoIt) {
  std::mt19937 random(11);
  const std::vector<uint32_t> figure = Picture(random, false);
  const AlphaRunMap figure_runs = AlphaRunMap::Build(figure.data(), kPitch, kWidth, kHeight, 1);
  for (const auto& [width, height] : {std::pair{kWidth, kHeight}, {kWidth + 7, kHeight + 3}, {20, 4}}) {
    AlphaRunMap runs = AlphaRunMap::Build(figure.data(), kPitch, kWidth, kHeight, 1);
    runs.ResetToUnknown(width, height);
    EXPECT_FALSE(runs.HasClearOrOpaqueRuns());
    std::vector<AlphaKind> expected(static_cast<size_t>(width) * static_cast<size_t>(height), AlphaKind::kMixed);
    EXPECT_EQ(KindsOf(runs), expected) << width << " x " << height;

    runs.CopyArea(figure_runs, 2, 1, 3, 1, 10, 2);
    for (int32_t y = 1; y < 3; ++y) {
      for (int32_t x = 3; x < 13; ++x) {
        const std::span<const AlphaRun> source_row = figure_runs.Row(y);
        expected[static_cast<size_t>(y * width + x)] = source_row[AlphaRunMap::RunAt(source_row, x - 1)].kind;
      }
    }
    EXPECT_EQ(KindsOf(runs), expected) << width << " x " << height;
  }
}

TEST_F(AlphaRunBlendTest, KeptMapsMatchMapsBuiltAnew) {
  std::mt19937 random(5);
  std::vector<uint32_t> target = Picture(random, false);
  const std::vector<uint32_t> figure = Picture(random, false);
  AlphaRunMap target_runs = AlphaRunMap::Build(target.data(), kPitch, kWidth, kHeight, 1);
  const AlphaRunMap figure_runs = AlphaRunMap::Build(figure.data(), kPitch, kWidth, kHeight, 1);

  const int32_t skip = (kWidth - 30) * 4;
  AlphaBlend32RunsMmx(target.data() + kWidth + 4, figure.data() + 9, skip, skip, 30, 5, {&figure_runs, 9, 0},
                      {&target_runs, 4, 1});
  target_runs.MarkClear(4, 1, 30, 5);
  EXPECT_EQ(KindsOf(target_runs), KindsOf(AlphaRunMap::Build(target.data(), kPitch, kWidth, kHeight, 1)));

  for (int32_t y = 0; y < 4; ++y) target[size_t(y + 5) * kWidth + 60] = figure[size_t(y + 2) * kWidth + 17];
  target_runs.CopyArea(figure_runs, 17, 2, 60, 5, 1, 4);
  for (int32_t y = 0; y < 8; ++y) {
    std::copy_n(figure.begin() + y * kWidth + 3, 25, target.begin() + (y + 1) * kWidth + 30);
  }
  target_runs.CopyArea(figure_runs, 3, 0, 30, 1, 25, 8);
  EXPECT_EQ(KindsOf(target_runs), KindsOf(AlphaRunMap::Build(target.data(), kPitch, kWidth, kHeight, 1)));
}

// Areas cleared one after another, anywhere, over a picture of runs of every kind.
TEST_F(AlphaRunBlendTest, MapsClearedAgainAndAgainMatchMapsBuiltAnew) {
  std::mt19937 random(17);
  std::vector<uint32_t> target = Picture(random, false);
  for (const int32_t shortest_run : {1, AlphaRunMap::kShortestRun}) {
    AlphaRunMap runs = AlphaRunMap::Build(target.data(), kPitch, kWidth, kHeight, shortest_run);
    for (int i = 0; i < 300; ++i) {
      const auto x = static_cast<int32_t>(random() % kWidth);
      const auto width = static_cast<int32_t>(1 + random() % (kWidth - x));
      const auto y = static_cast<int32_t>(random() % kHeight);
      runs.MarkClear(x, y, width, 1);
      for (int32_t column = x; column < x + width; ++column) target[size_t(y) * kWidth + column] &= 0x00FFFFFF;
      const AlphaRunMap anew = AlphaRunMap::Build(target.data(), kPitch, kWidth, kHeight, 1);
      const std::vector<AlphaKind> kept = KindsOf(runs);
      const std::vector<AlphaKind> exact = KindsOf(anew);
      for (size_t p = 0; p < exact.size(); ++p) {
        // A folded map may call clear or opaque pixels mixed, never anything else.
        if (kept[p] != AlphaKind::kMixed || shortest_run == 1) {
          ASSERT_EQ(kept[p], exact[p]) << i << " at " << p;
        }
      }
      for (int32_t row = 0; row < kHeight; ++row) {
        for (size_t r = 1; r < runs.Row(row).size(); ++r) ASSERT_NE(runs.Row(row)[r - 1].kind, runs.Row(row)[r].kind);
      }
    }
  }
}

// Rows of one kind split where a blend clears them: in the middle, at either end and whole; and
// whole rows copied from a picture as wide.
TEST_F(AlphaRunBlendTest, KeptMapsOfOneKindRowsMatchMapsBuiltAnew) {
  std::vector<uint32_t> target(size_t{kWidth} * kHeight, 0xFF102030);
  AlphaRunMap runs = AlphaRunMap::Build(target.data(), kPitch, kWidth, kHeight, 1);
  const auto clear = [&](int32_t x, int32_t y, int32_t width) {
    for (int32_t i = x; i < x + width; ++i) target[size_t(y) * kWidth + i] &= 0x00FFFFFF;
    runs.MarkClear(x, y, width, 1);
  };
  clear(10, 0, 5);
  clear(0, 1, 1);
  clear(kWidth - 3, 2, 3);
  clear(0, 3, kWidth);
  clear(20, 4, 1);
  clear(22, 4, 1);
  EXPECT_EQ(KindsOf(runs), KindsOf(AlphaRunMap::Build(target.data(), kPitch, kWidth, kHeight, 1)));

  std::mt19937 random(3);
  const std::vector<uint32_t> picture = Picture(random, false);
  const AlphaRunMap picture_runs = AlphaRunMap::Build(picture.data(), kPitch, kWidth, kHeight, 1);
  std::copy_n(picture.begin() + 2 * kWidth, 4 * kWidth, target.begin() + 5 * kWidth);
  runs.CopyArea(picture_runs, 0, 2, 0, 5, kWidth, 4);
  EXPECT_EQ(KindsOf(runs), KindsOf(AlphaRunMap::Build(target.data(), kPitch, kWidth, kHeight, 1)));
}

}  // namespace

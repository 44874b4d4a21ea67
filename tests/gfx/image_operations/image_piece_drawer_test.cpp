// The piece drawer hands the destination's dirty region exactly what its pieces wrote, joined
// into few rectangles; past some thousands of pieces, a box for each band of rows.
#include "gfx/image_operations/image_piece_drawer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "gfx/images/dirty_region.h"
#include "gfx/images/image.h"
#include "support/pixel_kernel_members.h"

namespace {

constexpr int32_t kPieceWidth = 64;
constexpr int32_t kPieceHeight = 48;

struct PiecePictures {
  CImage dst;
  CImage src;

  PiecePictures() {
    EXPECT_EQ(dst.Create(kPieceWidth, kPieceHeight, 32, CImage::kOwnDirtyRegion), 0u);
    EXPECT_EQ(src.Create(kPieceWidth, kPieceHeight, 32, 0), 0u);
    for (int32_t y = 0; y < kPieceHeight; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(src.GetRowPointer(y));
      for (int32_t x = 0; x < kPieceWidth; ++x) row[x] = 0xFF000001u + static_cast<uint32_t>(x + y * kPieceWidth);
    }
  }

  // 1 where the region holds a pixel, failing on a pixel held twice.
  std::vector<uint8_t> RegionCoverage() const {
    std::vector<uint8_t> covered(kPieceWidth * kPieceHeight, 0);
    dst.GetDirtyRegion()->ForEachRect([&](const plat::Rect& rect) {
      for (int32_t y = rect.top; y < rect.bottom; ++y) {
        for (int32_t x = rect.left; x < rect.right; ++x) EXPECT_EQ(covered[y * kPieceWidth + x]++, 0) << x << "," << y;
      }
    });
    return covered;
  }

  std::vector<uint32_t> DestPixels() const {
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < kPieceHeight; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(dst.GetRowPointer(y));
      pixels.insert(pixels.end(), row, row + kPieceWidth);
    }
    return pixels;
  }

  std::vector<uint8_t> WrittenPixels() const {
    std::vector<uint8_t> written;
    for (const uint32_t pixel : DestPixels()) written.push_back(pixel != 0 ? 1 : 0);
    return written;
  }
};

// A colour key on the source (one that no pixel has) sends every piece through the full copy.
TEST(ImagePieceDrawerTest, TilesDrawnOneByOneReachTheRegionAsOneRectangle) {
  for (const bool keyed : {false, true}) {
    PiecePictures pictures;
    if (keyed) pictures.src.SetColorKeyValue(0x00ABCDEFu);
    {
      const CImagePieceDrawer drawer(pictures.dst, pictures.src, CImagePieceDrawer::EOperation::kPlainCopy);
      for (int32_t x = 8; x < 40; x += 4) {
        for (int32_t y = 4; y < 36; y += 4) drawer.Draw({x, y, x + 4, y + 4}, x, y);
      }
    }
    ASSERT_EQ(pictures.dst.GetDirtyRegion()->Count(), 1u) << keyed;
    const plat::Rect& only = pictures.dst.GetDirtyRegion()->Head()->rect;
    EXPECT_EQ(only.left, 8);
    EXPECT_EQ(only.top, 4);
    EXPECT_EQ(only.right, 40);
    EXPECT_EQ(only.bottom, 36);
    EXPECT_EQ(pictures.RegionCoverage(), pictures.WrittenPixels()) << keyed;
  }
}

TEST(ImagePieceDrawerTest, ScatteredAndClippedPiecesLeaveExactlyWhatTheyWrote) {
  std::mt19937 random(110);
  std::uniform_int_distribution<int32_t> place(-8, kPieceWidth);
  std::uniform_int_distribution<int32_t> size(1, 9);
  PiecePictures pictures;
  {
    const CImagePieceDrawer drawer(pictures.dst, pictures.src, CImagePieceDrawer::EOperation::kPlainCopy);
    for (int piece = 0; piece < 3000; ++piece) {
      const int32_t left = place(random);
      const int32_t top = place(random);
      drawer.Draw({left, top, left + size(random), top + size(random)}, place(random), place(random));
    }
  }
  EXPECT_EQ(pictures.RegionCoverage(), pictures.WrittenPixels());
}

// Columns three pixels high, apart, each drawn more than once, some across the edge of a band or
// of the picture: more rectangles than the region joins exactly.
TEST(ImagePieceDrawerTest, ManyPiecesReachTheRegionAsOneBoxPerBandOfRows) {
  std::mt19937 random(60);
  std::uniform_int_distribution<int32_t> column(0, kPieceWidth / 2 - 1);
  std::uniform_int_distribution<int32_t> row(0, kPieceHeight / 2 - 1);
  PiecePictures pictures;
  {
    const CImagePieceDrawer drawer(pictures.dst, pictures.src, CImagePieceDrawer::EOperation::kPlainCopy);
    for (size_t piece = 0; piece < 2 * CImagePieceDrawer::kExactRectLimit; ++piece) {
      const int32_t x = 2 * column(random);
      const int32_t y = 2 * row(random);
      drawer.Draw({x, y, x + 1, y + 3}, x, y);
    }
  }
  const int32_t bands = (kPieceHeight + CImagePieceDrawer::kBandRows - 1) / CImagePieceDrawer::kBandRows;
  EXPECT_LE(pictures.dst.GetDirtyRegion()->Count(), static_cast<uint32_t>(bands));
  const std::vector<uint8_t> covered = pictures.RegionCoverage();
  const std::vector<uint8_t> written = pictures.WrittenPixels();
  for (size_t i = 0; i < written.size(); ++i) ASSERT_GE(covered[i], written[i]) << i;
}

// A source read whole twice gets an alpha run map. Where the map has clear runs (a clear band
// wider than a run's least width), a copy hands them on to the destination's map; where it has
// none, the drawer's own copies give the pixels and the dropped map the full copy would.
TEST(ImagePieceDrawerTest, PiecesOfAMappedSourceLeaveWhatTheFullCopyLeaves) {
  for (const bool clear_band : {false, true}) {
    PiecePictures drawn;
    PiecePictures copied;
    for (PiecePictures* pictures : {&drawn, &copied}) {
      for (int32_t y = 0; clear_band && y < kPieceHeight; ++y) {
        std::fill_n(reinterpret_cast<uint32_t*>(pictures->src.GetRowPointer(y)), kPieceWidth / 2, 0u);
      }
      CImage reader;
      ASSERT_EQ(reader.Create(kPieceWidth, kPieceHeight, 32, 0), 0u);
      for (int read = 0; read < 2; ++read) reader.Copy(&pictures->src, 0, 0, nullptr, false);
      ASSERT_TRUE(pictures->src.HasAlphaRuns());
      ASSERT_EQ(pictures->src.HasClearAlphaRuns(), clear_band);
    }
    {
      const CImagePieceDrawer drawer(drawn.dst, drawn.src, CImagePieceDrawer::EOperation::kPlainCopy);
      for (int32_t x = 0; x < kPieceWidth; x += 8) drawer.Draw({x, 0, x + 4, kPieceHeight}, x + 2, 1);
    }
    for (int32_t x = 0; x < kPieceWidth; x += 8) {
      const plat::Rect piece{x, 0, x + 4, kPieceHeight};
      copied.dst.Copy(&copied.src, x + 2, 1, &piece, false);
    }
    EXPECT_EQ(drawn.dst.HasAlphaRuns(), clear_band);
    EXPECT_EQ(copied.dst.HasAlphaRuns(), clear_band);
    EXPECT_EQ(drawn.DestPixels(), copied.DestPixels()) << clear_band;
    EXPECT_EQ(drawn.RegionCoverage(), copied.RegionCoverage()) << clear_band;
  }
}

// The source's alpha changes from pixel to pixel, so that blends show every weight.
void GiveSourceVaryingAlpha(PiecePictures& pictures) {
  for (int32_t y = 0; y < kPieceHeight; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(pictures.src.GetRowPointer(y));
    for (int32_t x = 0; x < kPieceWidth; ++x) {
      row[x] = (row[x] & 0xFFFFFFu) | static_cast<uint32_t>(x * 37 + y * 11) << 24;
    }
  }
}

using EOperation = CImagePieceDrawer::EOperation;

// Two pictures alike, the source's alpha changing from pixel to pixel and both cut by clip
// rectangles: one for a batch, the other for its pieces drawn one by one.
struct ClippedPair {
  PiecePictures batched;
  PiecePictures single;

  ClippedPair() {
    const plat::Rect source_clip{3, 2, 60, 45};
    const plat::Rect dest_clip{5, 4, 58, 40};
    for (PiecePictures* pictures : {&batched, &single}) {
      GiveSourceVaryingAlpha(*pictures);
      pictures->src.SetClipRect(&source_clip);
      pictures->dst.SetClipRect(&dest_clip);
    }
  }
};

// Runs draw(operation, member name) for both operations, the blend with each member of its
// kernels, over a source whose alpha changes from pixel to pixel.
template <typename Draw>
void ForEachOperationAndMember(Draw&& draw) {
  draw(EOperation::kPlainCopy, "copy");
  for (const PixelKernelMember& member : PixelKernelMembers()) {
    const ChosenPixelKernels chosen(member);
    draw(EOperation::kBlendByAlpha, member.name);
  }
}

// Columns squeezed and stretched, some past every edge of the destination and some over others,
// drawn a few rows across them at a time: the pixels and the region of a StretchCopy (or a
// StretchAlphaBlend) of each.
TEST(ImagePieceDrawerTest, StretchedColumnsLeaveWhatStretchCopiesAndBlendsLeave) {
  std::mt19937 random(3);
  std::uniform_int_distribution<int32_t> height(1, 3 * kPieceHeight);
  std::uniform_int_distribution<int32_t> top(-kPieceHeight, kPieceHeight / 2);
  std::vector<CImagePieceDrawer::StretchedPiece> columns;
  for (int32_t x = -2; x < kPieceWidth + 2; ++x) {
    const int32_t source_top = top(random) / 4 + kPieceHeight / 4;
    columns.push_back({{x, source_top, x + 1, source_top + kPieceHeight / 2}, {1, height(random)}, x, top(random)});
    // Another column at the same place, drawn over the first where both reach.
    if (x % 3 == 0) columns.push_back({{x + 1, 0, x + 2, kPieceHeight}, {1, height(random)}, x, top(random)});
  }
  ForEachOperationAndMember([&](EOperation operation, const char* name) {
    PiecePictures drawn;
    PiecePictures copied;
    for (PiecePictures* pictures : {&drawn, &copied}) GiveSourceVaryingAlpha(*pictures);
    {
      const CImagePieceDrawer drawer(drawn.dst, drawn.src, operation);
      ASSERT_TRUE(drawer.DrawStretchedColumns(columns));
    }
    for (const CImagePieceDrawer::StretchedPiece& column : columns) {
      if (operation == EOperation::kPlainCopy) {
        copied.dst.StretchCopy(&copied.src, &column.size, column.x, column.y, &column.source, false);
      } else {
        copied.dst.StretchAlphaBlend(&copied.src, &column.size, column.x, column.y, &column.source, false);
      }
    }
    EXPECT_EQ(drawn.DestPixels(), copied.DestPixels()) << name;
    EXPECT_EQ(drawn.RegionCoverage(), copied.RegionCoverage()) << name;
  });
}

// The rectangles of the destination's region, in its order.
std::vector<std::vector<int32_t>> RegionRects(const PiecePictures& pictures) {
  std::vector<std::vector<int32_t>> rects;
  pictures.dst.GetDirtyRegion()->ForEachRect(
      [&](const plat::Rect& rect) { rects.push_back({rect.left, rect.top, rect.right, rect.bottom}); });
  return rects;
}

// Mirrored columns inside both clips, across every edge of either and wholly off the
// destination, copied or blended: the pixels and the very rectangles of their columns drawn one
// by one.
TEST(ImagePieceDrawerTest, MirroredColumnsLeaveWhatTheirColumnsDrawnOneByOneLeaveInEitherOperation) {
  struct Placement {
    plat::Rect source;
    int32_t x;
    int32_t y;
  };
  const Placement placements[] = {
      {{10, 6, 30, 38}, 12, 5},  {{0, 0, kPieceWidth, kPieceHeight}, 0, 0}, {{1, 1, 40, 47}, -20, -6},
      {{20, 3, 63, 30}, 40, 30}, {{8, 8, 24, 20}, 70, 8},                      {{5, 10, 9, 12}, 3, 39}};
  ForEachOperationAndMember([&](EOperation operation, const char* name) {
    for (const Placement& placement : placements) {
      ClippedPair pair;
      PiecePictures& batched = pair.batched;
      PiecePictures& single = pair.single;
      {
        const CImagePieceDrawer drawer(batched.dst, batched.src, operation);
        drawer.DrawMirroredColumns(placement.source, placement.x, placement.y);
      }
      {
        const CImagePieceDrawer drawer(single.dst, single.src, operation);
        const plat::Rect& source = placement.source;
        for (int32_t c = source.left; c < source.right; ++c) {
          drawer.Draw({c, source.top, c + 1, source.bottom}, placement.x + source.right - 1 - c, placement.y);
        }
      }
      EXPECT_EQ(batched.DestPixels(), single.DestPixels()) << name << " " << placement.x << "," << placement.y;
      EXPECT_EQ(RegionRects(batched), RegionRects(single)) << name << " " << placement.x << "," << placement.y;
    }
  });
}

// One-pixel columns side by side and apart, some drawn over others, across every edge of both
// clips and off the destination, copied or blended: the pixels and the very rectangles of the
// columns drawn one by one.
TEST(ImagePieceDrawerTest, ColumnsLeaveWhatTheyLeaveDrawnOneByOneInEitherOperation) {
  std::mt19937 random(17);
  std::uniform_int_distribution<int32_t> place(-6, kPieceHeight);
  std::uniform_int_distribution<int32_t> length(0, kPieceHeight);
  std::vector<CImagePieceDrawer::PlacedPiece> columns;
  for (int32_t x = -3; x < kPieceWidth + 3; ++x) {
    const int32_t top = place(random);
    columns.push_back({{x, top, x + 1, top + length(random)}, x + 2, place(random)});
    if (x % 5 == 0) columns.push_back({{x / 2, 0, x / 2 + 1, kPieceHeight}, x, place(random)});
  }
  ForEachOperationAndMember([&](EOperation operation, const char* name) {
    ClippedPair pair;
    PiecePictures& batched = pair.batched;
    PiecePictures& single = pair.single;
    {
      const CImagePieceDrawer drawer(batched.dst, batched.src, operation);
      ASSERT_TRUE(drawer.DrawColumns(columns));
    }
    {
      const CImagePieceDrawer drawer(single.dst, single.src, operation);
      for (const CImagePieceDrawer::PlacedPiece& column : columns) drawer.Draw(column.source, column.x, column.y);
    }
    EXPECT_EQ(batched.DestPixels(), single.DestPixels()) << name;
    EXPECT_EQ(RegionRects(batched), RegionRects(single)) << name;
  });
}

// A comb's teeth, all moved by one offset: every other column from above the picture into the
// middle rows, the others from the middle rows to below it, across every edge of both clips; and
// the same with one column met twice within some rows. Copied or blended in two batches by one
// drawer, the pixels and the region of the columns drawn one by one.
TEST(ImagePieceDrawerTest, ColumnsMovedAlikeLeaveWhatTheyLeaveDrawnOneByOne) {
  for (const bool column_twice : {false, true}) {
    std::vector<CImagePieceDrawer::PlacedPiece> columns;
    for (int32_t x = -2; x < kPieceWidth + 2; x += 2) {
      columns.push_back({{x, -3, x + 1, 30}, x + 3, 1});
      columns.push_back({{x + 1, 20, x + 2, kPieceHeight + 2}, x + 4, 24});
    }
    if (column_twice) columns.push_back({{9, 10, 10, 25}, 12, 14});
    ForEachOperationAndMember([&](EOperation operation, const char* name) {
      ClippedPair pair;
      {
        const CImagePieceDrawer drawer(pair.batched.dst, pair.batched.src, operation);
        const std::span<const CImagePieceDrawer::PlacedPiece> all(columns);
        ASSERT_TRUE(drawer.DrawColumns(all.first(all.size() / 2)));
        ASSERT_TRUE(drawer.DrawColumns(all.subspan(all.size() / 2)));
      }
      {
        const CImagePieceDrawer drawer(pair.single.dst, pair.single.src, operation);
        for (const CImagePieceDrawer::PlacedPiece& column : columns) drawer.Draw(column.source, column.x, column.y);
      }
      EXPECT_EQ(pair.batched.DestPixels(), pair.single.DestPixels()) << name << " " << column_twice;
      EXPECT_EQ(pair.batched.RegionCoverage(), pair.single.RegionCoverage()) << name << " " << column_twice;
    });
  }
}

// Runs of rows and batches of equal blocks, past every edge of both clip rectangles and off the
// destination, drawn by one drawer and as single pieces by another, `rounds` times over.
void DrawRunsAndBlocks(const CImagePieceDrawer& batches, const CImagePieceDrawer& pieces, int32_t rounds) {
  std::mt19937 random(static_cast<uint32_t>(rounds));
  std::uniform_int_distribution<int32_t> place(-12, kPieceWidth + 4);
  std::uniform_int_distribution<int32_t> shift(-10, 10);
  std::uniform_int_distribution<int32_t> step(0, 3);
  for (int32_t round = 0; round < rounds; ++round) {
    for (int32_t top = -2; top < kPieceHeight; top += 3) {
      const plat::Rect band{0, std::max(top, 0), kPieceWidth, std::min(top + 3, kPieceHeight)};
      const int32_t dx = shift(random);
      const int32_t dy = shift(random);
      std::vector<CImagePieceDrawer::ColumnRun> runs;
      for (int32_t left = place(random) / 4 - 8; left < kPieceWidth + 4; left += 1 + step(random) * 3) {
        const int32_t right = left + 1 + step(random);
        runs.push_back({left, right});
        const int32_t cut_left = std::max(left, band.left);
        const int32_t cut_right = std::min(right, band.right);
        if (cut_left < cut_right) {
          pieces.Draw({cut_left, band.top, cut_right, band.bottom}, cut_left + dx, band.top + dy);
        }
      }
      batches.DrawRuns(band, dx, dy, runs);
    }
    for (const auto& [width, height] : {std::pair{2, 2}, std::pair{4, 2}, std::pair{4, 4}, std::pair{3, 5}}) {
      std::vector<CImagePieceDrawer::BlockMove> blocks;
      for (int block = 0; block < 40; ++block) {
        const CImagePieceDrawer::BlockMove move{place(random), place(random), place(random), place(random)};
        blocks.push_back(move);
        pieces.Draw({move.left, move.top, move.left + width, move.top + height}, move.x, move.y);
      }
      batches.DrawBlocks(width, height, blocks);
    }
  }
}

// The batches leave the pixels and the region that their pieces drawn one by one leave, in either
// operation (the blend with each member of its kernels), with runs apart and over one another,
// whether the region joins the pieces exactly (one round) or keeps band boxes.
TEST(ImagePieceDrawerTest, RunsAndBlocksLeaveWhatTheirPiecesDrawnOneByOneLeave) {
  ForEachOperationAndMember([&](EOperation operation, const char* name) {
    for (const int32_t rounds : {1, 40}) {
      ClippedPair pair;
      PiecePictures& batched = pair.batched;
      PiecePictures& single = pair.single;
      {
        const CImagePieceDrawer batches(batched.dst, batched.src, operation);
        const CImagePieceDrawer pieces(single.dst, single.src, operation);
        DrawRunsAndBlocks(batches, pieces, rounds);
      }
      EXPECT_EQ(batched.DestPixels(), single.DestPixels()) << name << " " << rounds;
      EXPECT_EQ(batched.RegionCoverage(), single.RegionCoverage()) << name << " " << rounds;
      EXPECT_NE(batched.WrittenPixels(), std::vector<uint8_t>(kPieceWidth * kPieceHeight, 0));
    }
  });
}

// Two pictures drawn alike with one-pixel pieces over the first band's rows, enough that the
// region keeps band boxes; then by one drawer batched(drawer), by the other single(drawer).
template <typename Batched, typename Single>
void DrawAfterManyPieces(PiecePictures& batched, PiecePictures& single, Batched&& draw_batched,
                         Single&& draw_single, EOperation operation = EOperation::kPlainCopy) {
  for (PiecePictures* pictures : {&batched, &single}) {
    const CImagePieceDrawer drawer(pictures->dst, pictures->src, operation);
    for (size_t piece = 0; piece <= CImagePieceDrawer::kExactRectLimit; ++piece) {
      const auto x = static_cast<int32_t>(piece % 32) * 2;
      const auto y = static_cast<int32_t>(piece / 32 % 8) * 2;
      drawer.Draw({x, y, x + 1, y + 1}, x, y);
    }
    if (pictures == &batched) {
      draw_batched(drawer);
    } else {
      draw_single(drawer);
    }
  }
}

// Once the region keeps band boxes, the runs of a band's rows reach it as the runs drawn one by
// one do: all within the band's box.
TEST(ImagePieceDrawerTest, RunsAfterManyPiecesReachTheBandsBoxAsSinglePiecesDo) {
  const CImagePieceDrawer::ColumnRun runs[] = {{10, 12}, {20, 25}};
  const plat::Rect band{0, 20, kPieceWidth, 22};
  PiecePictures batched;
  PiecePictures single;
  DrawAfterManyPieces(
      batched, single, [&](const CImagePieceDrawer& drawer) { drawer.DrawRuns(band, 0, 0, runs); },
      [&](const CImagePieceDrawer& drawer) {
        for (const CImagePieceDrawer::ColumnRun& run : runs) {
          drawer.Draw({run.left, band.top, run.right, band.bottom}, run.left, band.top);
        }
      });
  EXPECT_EQ(batched.DestPixels(), single.DestPixels());
  EXPECT_EQ(batched.RegionCoverage(), single.RegionCoverage());
  EXPECT_EQ(batched.RegionCoverage()[20 * kPieceWidth + 15], 1);
}

// Once the region keeps band boxes, blocks of every size the batches draw whole grow the boxes of
// the bands they reach as the same blocks drawn one by one do, those that cross into the next
// band too, copied or blended (some over others).
TEST(ImagePieceDrawerTest, BlocksAfterManyPiecesReachTheBandsBoxesAsSinglePiecesDo) {
  ForEachOperationAndMember([&](EOperation operation, const char* name) {
    for (const auto& [width, height] : {std::pair{2, 2}, std::pair{4, 2}, std::pair{4, 4}}) {
      const std::vector<CImagePieceDrawer::BlockMove> blocks = {
          {0, 0, 9, 17},  {8, 2, 30, 31}, {40, 6, 21, 45 - height}, {2, 40, 50, 27}, {6, 6, 12, 46 - height},
          {1, 3, 10, 18}, {5, 9, 30, 32}, {9, 1, 31, 31}};
      PiecePictures batched;
      PiecePictures single;
      for (PiecePictures* pictures : {&batched, &single}) GiveSourceVaryingAlpha(*pictures);
      DrawAfterManyPieces(
          batched, single,
          [&](const CImagePieceDrawer& drawer) { drawer.DrawBlocks(width, height, blocks); },
          [&](const CImagePieceDrawer& drawer) {
            for (const CImagePieceDrawer::BlockMove& block : blocks) {
              drawer.Draw({block.left, block.top, block.left + width, block.top + height}, block.x, block.y);
            }
          },
          operation);
      EXPECT_EQ(batched.DestPixels(), single.DestPixels()) << name << " " << width << "x" << height;
      EXPECT_EQ(batched.RegionCoverage(), single.RegionCoverage()) << name << " " << width << "x" << height;
    }
  });
}

// Rows of blocks side by side, as a pattern lays its rows down and as a half turn leaves them,
// each block read from its own place within the source: inside both clips, left to right and
// right to left; with their ends wholly off the destination; and cut by either clip. Of every
// size the batches draw whole, copied or blended: the pixels and the very rectangles of the
// blocks drawn one by one, and, once the region keeps band boxes, the same boxes.
TEST(ImagePieceDrawerTest, RowsOfBlocksLeaveWhatTheirBlocksDrawnOneByOneLeave) {
  struct Row {
    int32_t x;
    int32_t y;
    int32_t step;  // in blocks: 1 left to right, -1 right to left
    int32_t count;
    int32_t source_shift;  // 0, or far enough to put the last block's source past the source's clip
  };
  const Row rows[] = {{8, 5, 1, 9, 0},   {40, 9, -1, 8, 0}, {-8, 14, 1, 12, 0}, {66, 20, -1, 12, 0},
                      {3, 24, 1, 6, 0},  {57, 26, -1, 5, 0}, {9, 38, 1, 5, 0},  {9, 30, 1, 6, 40}};
  ForEachOperationAndMember([&](EOperation operation, const char* name) {
    for (const auto& [width, height] : {std::pair{2, 2}, std::pair{4, 2}, std::pair{4, 4}}) {
      const auto blocks_of = [&](const Row& row) {
        std::vector<CImagePieceDrawer::BlockMove> blocks;
        for (int32_t k = 0; k < row.count; ++k) {
          const int32_t shift = k == row.count - 1 ? row.source_shift : 0;
          blocks.push_back({3 + (k * 7) % 40 + shift, 2 + (k * 5) % 30, row.x + k * row.step * width, row.y});
        }
        return blocks;
      };
      const auto draw_batched = [&](const CImagePieceDrawer& drawer) {
        for (const Row& row : rows) drawer.DrawBlocks(width, height, blocks_of(row));
      };
      const auto draw_single = [&](const CImagePieceDrawer& drawer) {
        for (const Row& row : rows) {
          for (const CImagePieceDrawer::BlockMove& block : blocks_of(row)) {
            drawer.Draw({block.left, block.top, block.left + width, block.top + height}, block.x, block.y);
          }
        }
      };
      const std::string size = std::to_string(width) + "x" + std::to_string(height);
      ClippedPair exact;
      draw_batched(CImagePieceDrawer(exact.batched.dst, exact.batched.src, operation));
      draw_single(CImagePieceDrawer(exact.single.dst, exact.single.src, operation));
      EXPECT_EQ(exact.batched.DestPixels(), exact.single.DestPixels()) << name << " " << size;
      EXPECT_EQ(RegionRects(exact.batched), RegionRects(exact.single)) << name << " " << size;
      PiecePictures boxed;
      PiecePictures boxed_single;
      for (PiecePictures* pictures : {&boxed, &boxed_single}) GiveSourceVaryingAlpha(*pictures);
      DrawAfterManyPieces(boxed, boxed_single, draw_batched, draw_single, operation);
      EXPECT_EQ(boxed.DestPixels(), boxed_single.DestPixels()) << name << " " << size;
      EXPECT_EQ(boxed.RegionCoverage(), boxed_single.RegionCoverage()) << name << " " << size;
    }
  });
}

}  // namespace

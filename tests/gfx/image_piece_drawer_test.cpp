// The piece drawer hands the destination's dirty region exactly what its pieces wrote, joined
// into few rectangles; past some thousands of pieces, a box for each band of rows.
#include "gfx/image_piece_drawer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "gfx/dirty_region.h"
#include "gfx/image.h"

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

// Columns squeezed and stretched, some past every edge of the destination, drawn a row across
// them at a time: the pixels and the region of a StretchCopy of each.
TEST(ImagePieceDrawerTest, StretchedColumnsLeaveWhatStretchCopiesLeave) {
  std::mt19937 random(3);
  std::uniform_int_distribution<int32_t> height(1, 3 * kPieceHeight);
  std::uniform_int_distribution<int32_t> top(-kPieceHeight, kPieceHeight / 2);
  std::vector<CImagePieceDrawer::StretchedPiece> columns;
  for (int32_t x = -2; x < kPieceWidth + 2; ++x) {
    const int32_t source_top = top(random) / 4 + kPieceHeight / 4;
    columns.push_back({{x, source_top, x + 1, source_top + kPieceHeight / 2}, {1, height(random)}, x, top(random)});
  }
  PiecePictures drawn;
  PiecePictures copied;
  {
    const CImagePieceDrawer drawer(drawn.dst, drawn.src, CImagePieceDrawer::EOperation::kPlainCopy);
    ASSERT_TRUE(drawer.DrawStretchedColumns(columns));
  }
  for (const CImagePieceDrawer::StretchedPiece& column : columns) {
    copied.dst.StretchCopy(&copied.src, &column.size, column.x, column.y, &column.source, false);
  }
  EXPECT_EQ(drawn.DestPixels(), copied.DestPixels());
  EXPECT_EQ(drawn.RegionCoverage(), copied.RegionCoverage());
}

}  // namespace

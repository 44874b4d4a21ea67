// The bound rotations against the centre rule written out here: a cell of a larger picture,
// turned and scaled, shows at each destination pixel whose centre it covers the cell's pixel
// under that centre, and never a pixel from outside the cell.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "base/numbers/trig_tables.h"
#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_tables.h"

namespace {

constexpr int32_t kPictureSide = 192;
const plat::Rect kCell{64, 64, 128, 128};
constexpr int32_t kSide = 200;
constexpr int32_t kPivot = 100;
// Alpha 0, so that it is no pixel of the picture.
constexpr uint32_t kBackground = 0x00ABCDEFu;
// How near a pixel edge a reference point may lie for either side of it to count.
constexpr double kTie = 1e-6;

// Each pixel holds its own coordinates.
uint32_t Encoded(int32_t x, int32_t y) { return 0xFF000000u | static_cast<uint32_t>(y) << 12 | static_cast<uint32_t>(x); }

// The whole pixels that a reference coordinate may fall in: its own, and its neighbour across
// an edge it nearly touches.
std::vector<int64_t> Candidates(double t) {
  const double whole = std::floor(t);
  std::vector<int64_t> out{static_cast<int64_t>(whole)};
  if (t - whole < kTie) out.push_back(static_cast<int64_t>(whole) - 1);
  if (whole + 1.0 - t < kTie) out.push_back(static_cast<int64_t>(whole) + 1);
  return out;
}

bool InCell(int64_t u, int64_t v, int64_t width, int64_t height) { return u >= 0 && u < width && v >= 0 && v < height; }

struct Turn {
  int32_t angle;
  uint32_t scale;
};

// What each destination pixel may show under the centre rule for the rotation about the centre
// anchor at (kPivot, kPivot): the counts of pixels that break it and of cell pixels seen.
struct Check {
  int wrong = 0;
  int outside_cell = 0;
  int covered = 0;
  std::string first;
};

Check CheckAgainstCentreRule(const CImage& shown, const Turn& turn) {
  const int64_t width = (int64_t{kCell.right - kCell.left} * turn.scale) >> 16;
  const int64_t height = (int64_t{kCell.bottom - kCell.top} * turn.scale) >> 16;
  const double pivot_x = static_cast<double>(width / 2);
  const double pivot_y = static_cast<double>(height / 2);
  const double radians = turn.angle * 2.0 * M_PI / 512.0;
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  // A point of the scaled rectangle lands at pivot + R (point - pivot); the source pixel is
  // the scaled point times the cell's size over the scaled size.
  const double per_u = static_cast<double>(kCell.right - kCell.left) / static_cast<double>(width);
  const double per_v = static_cast<double>(kCell.bottom - kCell.top) / static_cast<double>(height);
  Check check;
  for (int32_t y = 0; y < kSide; ++y) {
    for (int32_t x = 0; x < kSide; ++x) {
      const double dx = x + 0.5 - kPivot;
      const double dy = y + 0.5 - kPivot;
      const double u = (pivot_x + dx * c + dy * s) * per_u;
      const double v = (pivot_y - dx * s + dy * c) * per_v;
      const uint32_t pixel = shown.GetPixel(x, y);
      const int64_t cell_u = static_cast<int64_t>(pixel & 0xFFF) - kCell.left;
      const int64_t cell_v = static_cast<int64_t>((pixel >> 12) & 0xFFF) - kCell.top;
      const bool background = pixel == kBackground;
      if (!background && !InCell(cell_u, cell_v, kCell.right - kCell.left, kCell.bottom - kCell.top)) {
        ++check.outside_cell;
      }
      check.covered += background ? 0 : 1;
      bool allowed = false;
      for (const int64_t cu : Candidates(u)) {
        for (const int64_t cv : Candidates(v)) {
          const bool inside = InCell(cu, cv, kCell.right - kCell.left, kCell.bottom - kCell.top);
          allowed = allowed || (background ? !inside : inside && cu == cell_u && cv == cell_v);
        }
      }
      if (!allowed && check.wrong++ == 0) {
        check.first = std::to_string(x) + "," + std::to_string(y) + " reference " + std::to_string(u) + "," +
                      std::to_string(v) + (background ? " shows nothing" : " shows " + std::to_string(cell_u) + "," +
                                                                              std::to_string(cell_v));
      }
    }
  }
  return check;
}

TEST(PixelLibraryTransformTest, ATurnedCellShowsThePixelUnderEachCentreAndNothingAroundIt) {
  BuildPixelTables();
  CTrigTables trig;
  g_TrigTable = &trig;
  CPixelLibrary library;
  SetPixelLib(&library);
  CImage picture;
  ASSERT_EQ(picture.Create(kPictureSide, kPictureSide, 32, 0), 0u);
  for (int32_t y = 0; y < kPictureSide; ++y) {
    for (int32_t x = 0; x < kPictureSide; ++x) reinterpret_cast<uint32_t*>(picture.GetRowPointer(y))[x] = Encoded(x, y);
  }
  for (const uint32_t scale : {0x8000u, 0x10000u, 0x20000u}) {
    for (int32_t angle = 0; angle < 512; angle += 8) {
      SCOPED_TRACE("angle " + std::to_string(angle) + " scale " + std::to_string(scale));
      CImage shown;
      ASSERT_EQ(shown.Create(kSide, kSide, 32, 0), 0u);
      shown.FillRectArgb(kBackground, nullptr, nullptr);
      ASSERT_EQ(shown.RotateCopy(&picture, 4, kPivot, kPivot, angle, scale, &kCell, nullptr), 0u);
      const Check check = CheckAgainstCentreRule(shown, {angle, scale});
      EXPECT_EQ(check.outside_cell, 0);
      EXPECT_EQ(check.wrong, 0) << check.first;
      // The turned cell covers its area: a quarter, one and four times the cell's pixels.
      const double area = 64.0 * 64.0 * (scale / 65536.0) * (scale / 65536.0);
      EXPECT_NEAR(check.covered, area, area * 0.05);
    }
  }
  SetPixelLib(nullptr);
  g_TrigTable = nullptr;
}

}  // namespace

// The pixel-routine library: with it bound the engine operations hand their passes to it and
// paint what they paint without it; the library's own blends paint the matching engine
// operation and report the rectangle they changed; unbound, its operations say it is missing.
#include "gfx/images/pixel_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "base/numbers/trig_tables.h"
#include "gfx/images/image.h"
#include "gfx/images/pixel_routine_table.h"
#include "pixel/kernels/pixel_tables.h"
#include "support/log_capture.h"

namespace {

using plat::Rect;

std::unique_ptr<CImage> Make(int32_t width, int32_t height, uint32_t seed) {
  auto image = std::make_unique<CImage>();
  EXPECT_EQ(image->Create(width, height, 32, CImage::kOwnDirtyRegion), 0u);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t v = (seed * 97 + static_cast<uint32_t>(x) * 53 + static_cast<uint32_t>(y) * 151) * 2654435761u;
      reinterpret_cast<uint32_t*>(image->GetRowPointer(y))[x] = v;
    }
  }
  image->GetOwnedDirtyRegion()->Clear();
  image->ClearModified();
  return image;
}

std::vector<uint32_t> Pixels(const CImage& image) {
  std::vector<uint32_t> out(static_cast<size_t>(image.GetWidth()) * image.GetHeight());
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    std::memcpy(&out[static_cast<size_t>(y) * image.GetWidth()], image.GetRowPointer(y), image.GetWidth() * 4u);
  }
  return out;
}

std::string Box(const CImage& image) {
  if (!image.IsModified()) return "none";
  const Rect& b = image.GetDirtyRegion()->BoundingBox();
  return std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.right) + "," +
         std::to_string(b.bottom);
}

struct Painted {
  uint32_t status;
  std::vector<uint32_t> pixels;
  std::string box;
};

using Operation = std::function<uint32_t(CImage& dst, CImage& src)>;

Painted Paint(const Operation& op) {
  auto dst = Make(12, 9, 1);
  auto src = Make(7, 5, 2);
  const uint32_t status = op(*dst, *src);
  return {status, Pixels(*dst), Box(*dst)};
}

class PixelLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { BuildPixelTables(); }
  void TearDown() override {
    SetPixelLib(nullptr);
    g_TrigTable = nullptr;
  }
  CPixelLibrary library_;
};

const Rect kPart{1, 1, 6, 5};

TEST_F(PixelLibraryTest, BlendModesPaintTheMatchingEngineOperationAndReportWhatTheyChanged) {
  struct Case {
    uint32_t mode;
    uint8_t level;
    Operation engine;
  };
  const std::vector<Case> cases = {
      {0, 255, [](CImage& d, CImage& s) { return d.Copy(&s, -2, 6, &kPart, false); }},
      {0, 128, [](CImage& d, CImage& s) { return d.BlendLevel(&s, 128, -2, 6, &kPart); }},
      {2, 255, [](CImage& d, CImage& s) { return d.AlphaBlend(&s, -2, 6, &kPart, false); }},
      {2, 128, [](CImage& d, CImage& s) { return d.BlendModeLevel(0, &s, 128, -2, 6, &kPart); }},
      {3, 255, [](CImage& d, CImage& s) { return d.BlendPreserveAlpha(&s, 255, -2, 6, &kPart); }},
      {3, 128, [](CImage& d, CImage& s) { return d.BlendPreserveAlpha(&s, 128, -2, 6, &kPart); }},
      {4, 255, [](CImage& d, CImage& s) { return d.AddScaled(&s, 255, -2, 6, &kPart); }},
      {4, 128, [](CImage& d, CImage& s) { return d.AddScaled(&s, 128, -2, 6, &kPart); }},
      {5, 128, [](CImage& d, CImage& s) { return d.SubtractScaled(&s, 128, -2, 6, &kPart); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode) + " level " + std::to_string(c.level));
    const Painted engine = Paint(c.engine);
    SetPixelLib(&library_);
    const Painted library =
        Paint([&](CImage& d, CImage& s) { return d.PixelLibBlend(&s, c.mode, c.level, 0, -2, 6, &kPart); });
    SetPixelLib(nullptr);
    EXPECT_EQ(library.status, 0u);
    EXPECT_EQ(library.pixels, engine.pixels);
    // The part {1, 1, 6, 5} at (-2, 6) is cut to columns 0..2 and rows 6..8.
    EXPECT_EQ(library.box, "0,6,3,9");
    EXPECT_EQ(engine.box, library.box);
  }
}

// A source whose alpha bytes run through transparent, half and opaque.
std::unique_ptr<CImage> MakeLayered(int32_t width, int32_t height, uint32_t seed) {
  auto image = Make(width, height, seed);
  constexpr uint32_t kAlphas[] = {0x00, 0x80, 0xFF};
  for (int32_t y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image->GetRowPointer(y));
    for (int32_t x = 0; x < width; ++x) row[x] = (row[x] & 0x00FFFFFFu) | kAlphas[(x + 2 * y) % 3] << 24;
  }
  return image;
}

using LevelOperation = std::function<uint32_t(CImage& dst, CImage& src, uint8_t level)>;

Painted PaintLayered(const LevelOperation& op, uint8_t level) {
  auto dst = Make(12, 9, 1);
  auto src = MakeLayered(7, 5, 2);
  const uint32_t status = op(*dst, *src, level);
  return {status, Pixels(*dst), Box(*dst)};
}

TEST_F(PixelLibraryTest, EveryOperationWithALibraryPathPaintsAndMarksTheSameBoundAndUnbound) {
  CTrigTables trig;
  g_TrigTable = &trig;
  CImage rule;
  ASSERT_EQ(rule.Create(7, 5, 8, 0), 0u);
  const ImageSize size{10, 3};
  // The rotations' part is 4 rows high, so that the engine's own quadrilateral walk steps its
  // rows exactly and both paths show the same pixels at whole turns.
  const Rect square{1, 1, 5, 5};
  const std::vector<std::pair<const char*, LevelOperation>> operations = {
      {"BlendLevel", [](CImage& d, CImage& s, uint8_t l) { return d.BlendLevel(&s, l, 3, -1, nullptr); }},
      {"StretchBlendLevel",
       [&](CImage& d, CImage& s, uint8_t l) { return d.StretchBlendLevel(&s, l, &size, 3, 2, &kPart); }},
      {"AlphaBlend", [](CImage& d, CImage& s, uint8_t) { return d.AlphaBlend(&s, 8, 6, nullptr, false); }},
      {"AlphaBlend flipped", [](CImage& d, CImage& s, uint8_t) { return d.AlphaBlend(&s, 1, 1, nullptr, true); }},
      {"StretchAlphaBlend",
       [&](CImage& d, CImage& s, uint8_t) { return d.StretchAlphaBlend(&s, &size, 1, 1, &kPart, false); }},
      {"StretchCopy", [&](CImage& d, CImage& s, uint8_t) { return d.StretchCopy(&s, &size, 4, 4, nullptr, false); }},
      {"AddScaled", [](CImage& d, CImage& s, uint8_t l) { return d.AddScaled(&s, l, 2, 2, &kPart); }},
      {"BlendModeLevel", [](CImage& d, CImage& s, uint8_t l) { return d.BlendModeLevel(0, &s, l, 2, 2, nullptr); }},
      {"StretchBlendModeLevel",
       [&](CImage& d, CImage& s, uint8_t l) { return d.StretchBlendModeLevel(0, &s, l, &size, 2, 2, nullptr); }},
      {"BlendPreserveAlpha", [](CImage& d, CImage& s, uint8_t l) { return d.BlendPreserveAlpha(&s, l, 2, 2, nullptr); }},
      {"StretchBlendPreserveAlpha",
       [&](CImage& d, CImage& s, uint8_t l) { return d.StretchBlendPreserveAlpha(&s, l, &size, 2, 2, nullptr); }},
      {"RuleBlendAlpha at the half",
       [&](CImage& d, CImage& s, uint8_t l) { return d.RuleBlendAlpha(&s, &rule, l, 256, 8, 2, 2, nullptr); }},
      {"BlurBlendAlphaLevel of radius 0",
       [](CImage& d, CImage& s, uint8_t l) { return d.BlurBlendAlphaLevel(&s, 0, l, 2, 2, nullptr); }},
      {"RotateCopy", [&](CImage& d, CImage& s, uint8_t) { return d.RotateCopy(&s, 0, 3, 2, 0, 0x10000, &square, nullptr); }},
      {"RotateBlend",
       [&](CImage& d, CImage& s, uint8_t l) { return d.RotateBlend(&s, 0, 3, 2, 0, 0x10000, l, &square, nullptr); }},
  };
  for (const uint8_t level : std::initializer_list<uint8_t>{0, 1, 128, 254, 255}) {
    for (const auto& [name, op] : operations) {
      SCOPED_TRACE(std::string(name) + " at level " + std::to_string(level));
      const Painted engine = PaintLayered(op, level);
      SetPixelLib(&library_);
      const Painted library = PaintLayered(op, level);
      SetPixelLib(nullptr);
      EXPECT_EQ(library.status, 0u);
      EXPECT_EQ(engine.status, 0u);
      EXPECT_EQ(library.pixels, engine.pixels);
      EXPECT_EQ(library.box, engine.box);
    }
  }
  // The level blend at 255 is a copy on both paths, alpha bytes included.
  const auto copy = [](CImage& d, CImage& s, uint8_t) { return d.Copy(&s, 3, -1, nullptr, false); };
  EXPECT_EQ(PaintLayered(operations[0].second, 255).pixels, PaintLayered(copy, 255).pixels);
}

TEST_F(PixelLibraryTest, StretchedBlendStretchesPlainlyOrFilteredAndAddsOrSubtractsTheStretchedSource) {
  const ImageSize size{11, 8};
  SetPixelLib(&library_);
  const Painted plain =
      Paint([&](CImage& d, CImage& s) { return d.PixelLibStretchBlend(&s, 0, 0, 255, 0, &size, 0, 0, &kPart); });
  const Painted filtered =
      Paint([&](CImage& d, CImage& s) { return d.PixelLibStretchBlend(&s, 0, 1, 255, 0, &size, 0, 0, &kPart); });
  SetPixelLib(nullptr);
  EXPECT_EQ(plain.pixels,
            Paint([&](CImage& d, CImage& s) { return d.StretchCopy(&s, &size, 0, 0, &kPart, false); }).pixels);
  EXPECT_EQ(filtered.pixels,
            Paint([&](CImage& d, CImage& s) { return d.SmoothStretchCopy(&s, &size, 0, 0, &kPart); }).pixels);
  EXPECT_EQ(plain.box, "0,0,11,8");
  // Modes 4 and 5 add or subtract what a stretched copy of the part would show.
  for (const uint32_t mode : {4u, 5u}) {
    for (const uint8_t level : std::initializer_list<uint8_t>{0, 128, 255}) {
      SCOPED_TRACE("mode " + std::to_string(mode) + " level " + std::to_string(level));
      SetPixelLib(&library_);
      const Painted library = Paint(
          [&](CImage& d, CImage& s) { return d.PixelLibStretchBlend(&s, mode, 0, level, 0, &size, 1, 0, &kPart); });
      SetPixelLib(nullptr);
      const Painted expected = Paint([&](CImage& d, CImage& s) {
        CImage stretched;
        EXPECT_EQ(stretched.Create(size.width, size.height, 32, 0), 0u);
        EXPECT_EQ(stretched.StretchCopy(&s, &size, 0, 0, &kPart, false), 0u);
        return mode == 4 ? d.AddScaled(&stretched, level, 1, 0, nullptr)
                         : d.SubtractScaled(&stretched, level, 1, 0, nullptr);
      });
      EXPECT_EQ(library.status, 0u);
      EXPECT_EQ(library.pixels, expected.pixels);
      EXPECT_EQ(library.box, level == 0 ? "none" : "1,0,12,8");
    }
  }
}

TEST_F(PixelLibraryTest, AModeWithoutMeaningDrawsNothingAndIsLoggedOnce) {
  LogCapture log;
  SetPixelLib(&library_);
  auto dst = Make(12, 9, 1);
  auto src = Make(7, 5, 2);
  const std::vector<uint32_t> before = Pixels(*dst);
  EXPECT_EQ(dst->PixelLibBlend(src.get(), 7, 255, 0, 0, 0, nullptr), 3u);
  EXPECT_EQ(dst->PixelLibBlend(src.get(), 7, 128, 0, 0, 0, nullptr), 3u);
  EXPECT_EQ(Pixels(*dst), before);
  EXPECT_FALSE(dst->IsModified());
  EXPECT_EQ(log.Lines().size(), 1u);
  EXPECT_NE(log.Lines().front().find("blend mode 7 has no meaning"), std::string::npos);
}

TEST_F(PixelLibraryTest, TheLibraryOperationsReportAMissingLibraryOrMissingPixels) {
  auto dst = Make(12, 9, 1);
  auto src = Make(7, 5, 2);
  CImage empty;
  CImage eight;
  ASSERT_EQ(eight.Create(4, 4, 8, 0), 0u);
  const ImageSize size{3, 3};
  const auto blend = [&](CImage& d, CImage* s) { return d.PixelLibBlend(s, 0, 255, 0, 0, 0, nullptr); };
  const auto stretch = [&](CImage& d, CImage* s) {
    return d.PixelLibStretchBlend(s, 0, 0, 255, 0, &size, 0, 0, nullptr);
  };
  for (const auto& op :
       {std::function<uint32_t(CImage&, CImage*)>(blend), std::function<uint32_t(CImage&, CImage*)>(stretch)}) {
    EXPECT_EQ(op(*dst, src.get()), 2u);
    EXPECT_EQ(op(empty, src.get()), 1u);
    EXPECT_EQ(op(*dst, nullptr), 1u);
    SetPixelLib(&library_);
    EXPECT_EQ(op(*dst, &eight), 2u);
    EXPECT_EQ(op(empty, src.get()), 1u);
    SetPixelLib(nullptr);
  }
  EXPECT_FALSE(dst->IsModified());
}

}  // namespace

namespace {

TEST_F(PixelLibraryTest, TheAffineRoutineTurnsAPictureWithTheFillColourAround) {
  CImage picture;
  ASSERT_EQ(picture.Create(4, 2, 32, 0), 0u);
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 4; ++x)
      reinterpret_cast<uint32_t*>(picture.GetRowPointer(y))[x] = 0xFF000000u | (y << 8) | x;
  }
  constexpr uint32_t kFill = 0x00ABCDEFu;
  const ImageSize area{4, 6};
  struct Case {
    const char* name;
    PixelTransformArgs::Point top_left, top_right, bottom_left;
    // The picture's pixel shown at a destination pixel, or -1 for none.
    std::function<int32_t(int32_t x, int32_t y)> shown;
  };
  const auto pixel = [](int32_t u, int32_t v) { return (v << 8) | u; };
  const std::vector<Case> cases = {
      // A quarter turn clockwise into the 2x4 area at (1, 1): column 2 shows the top row
      // downwards, column 1 the bottom row.
      {"quarter",
       {3, 1},
       {3, 5},
       {1, 1},
       [&](int32_t x, int32_t y) { return (x == 1 || x == 2) && y >= 1 && y <= 4 ? pixel(y - 1, 2 - x) : -1; }},
      {"none",
       {0, 2},
       {4, 2},
       {0, 4},
       [&](int32_t x, int32_t y) { return x < 4 && y >= 2 && y <= 3 ? pixel(x, y - 2) : -1; }},
      {"half",
       {4, 4},
       {0, 4},
       {4, 2},
       [&](int32_t x, int32_t y) { return x < 4 && y >= 2 && y <= 3 ? pixel(3 - x, 3 - y) : -1; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto dst = Make(5, 7, 3);
    PixelTransformArgs args;
    args.points[0] = c.top_left;
    args.points[1] = c.top_right;
    args.points[2] = c.bottom_left;
    args.fill = kFill;
    args.area = &area;
    const std::vector<uint32_t> before = Pixels(*dst);
    EXPECT_EQ(dst->PixelLibTransform(&picture, args), 2u);
    SetPixelLib(&library_);
    ASSERT_EQ(dst->PixelLibTransform(&picture, args), 0u);
    SetPixelLib(nullptr);
    const std::vector<uint32_t> after = Pixels(*dst);
    for (int32_t y = 0; y < 7; ++y) {
      for (int32_t x = 0; x < 5; ++x) {
        const int32_t shown = c.shown(x, y);
        uint32_t expected = x < 4 && y < 6 ? kFill : before[y * 5 + x];
        if (shown >= 0) expected = 0xFF000000u | static_cast<uint32_t>(shown);
        EXPECT_EQ(after[y * 5 + x], expected) << x << "," << y;
      }
    }
    EXPECT_EQ(Box(*dst), "0,0,4,6");
  }
}

}  // namespace

namespace {

TEST_F(PixelLibraryTest, TheAffineDrawBlendsBySourceAlphaInModeTwoEvenAtTheTopLevel) {
  // A 2x1 picture, its first pixel transparent, drawn unturned at (1, 1) over a plain colour.
  CImage picture;
  ASSERT_EQ(picture.Create(2, 1, 32, 0), 0u);
  auto* row = reinterpret_cast<uint32_t*>(picture.GetRowPointer(0));
  row[0] = 0x00FF0000u;
  row[1] = 0xFF00FF00u;
  constexpr uint32_t kUnder = 0xFF102030u;
  struct Case {
    uint32_t mode;
    uint8_t level;
    uint32_t transparent_shows;
    uint32_t opaque_shows;
  };
  SetPixelLib(&library_);
  for (const Case& c : {Case{kPixelBlendAlpha, 255, kUnder, 0xFF00FF00u}, Case{kPixelBlendLevel, 255, 0x00FF0000u, 0xFF00FF00u},
                        Case{kPixelBlendAlpha, 0, kUnder, kUnder}}) {
    CImage dst;
    ASSERT_EQ(dst.Create(4, 3, 32, 0), 0u);
    ASSERT_TRUE(dst.FillRectArgb(kUnder, nullptr));
    PixelAffineArgs args;
    const double matrix[6] = {1, 0, 0, 1, 1, 1};
    std::copy(matrix, matrix + 6, args.matrix);
    args.mode = c.mode;
    args.level = c.level;
    ASSERT_EQ(dst.PixelLibAffineDraw(&picture, args), 0u);
    const uint32_t* out = reinterpret_cast<const uint32_t*>(dst.GetRowPointer(1));
    EXPECT_EQ(out[1], c.transparent_shows) << "mode " << c.mode << " level " << int{c.level};
    EXPECT_EQ(out[2], c.opaque_shows) << "mode " << c.mode << " level " << int{c.level};
    EXPECT_EQ(out[0], kUnder);
  }
}

TEST_F(PixelLibraryTest, BoundRotationsTurnThroughTheAffineRoutine) {
  CTrigTables trig;
  g_TrigTable = &trig;
  CImage picture;
  ASSERT_EQ(picture.Create(4, 2, 32, 0), 0u);
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 4; ++x)
      reinterpret_cast<uint32_t*>(picture.GetRowPointer(y))[x] = 0xFF000000u | (y << 8) | x;
  }
  SetPixelLib(&library_);
  auto dst = Make(5, 7, 3);
  const std::vector<uint32_t> before = Pixels(*dst);
  // A quarter turn about the top-left corner placed at (3, 1): the 2x4 block at (1, 1).
  ASSERT_EQ(dst->RotateCopy(&picture, 0, 3, 1, 128, 0x10000, nullptr, nullptr), 0u);
  const std::vector<uint32_t> after = Pixels(*dst);
  for (int32_t y = 0; y < 7; ++y) {
    for (int32_t x = 0; x < 5; ++x) {
      const bool covered = (x == 1 || x == 2) && y >= 1 && y <= 4;
      const uint32_t expected = covered ? 0xFF000000u | ((2u - x) << 8) | (y - 1u) : before[y * 5 + x];
      EXPECT_EQ(after[y * 5 + x], expected) << x << "," << y;
    }
  }
  EXPECT_EQ(Box(*dst), "1,1,3,5");

  // A turned blend at 255 still goes by the source alpha: a transparent picture leaves white.
  CImage clear;
  ASSERT_EQ(clear.Create(4, 2, 32, 0), 0u);
  clear.FillRectArgb(0x00000000u, nullptr, nullptr);
  CImage white;
  ASSERT_EQ(white.Create(5, 7, 32, 0), 0u);
  white.FillRectArgb(0xFFFFFFFFu, nullptr, nullptr);
  ASSERT_EQ(white.RotateBlend(&clear, 0, 3, 1, 128, 0x10000, 255, nullptr, nullptr), 0u);
  EXPECT_EQ(Pixels(white), std::vector<uint32_t>(5 * 7, 0xFFFFFFFFu));
  // A transform in a mode without a meaning fails and draws nothing.
  PixelTransformArgs added;
  added.points[1] = {4, 0};
  added.points[2] = {0, 2};
  added.mode = kPixelBlendAdd;
  EXPECT_EQ(white.PixelLibTransform(&picture, added), 3u);
  EXPECT_EQ(Pixels(white), std::vector<uint32_t>(5 * 7, 0xFFFFFFFFu));
}

}  // namespace

namespace {

TEST(PixelRoutineTableTest, PlacesAndEntriesThatNameOneRoutineFindTheSameRole) {
  const std::vector<std::pair<uint32_t, uint32_t>> same = {
      {2, 9},   {4, 69},   {5, 98},   {7, 44},   {9, 93},   {10, 33},  {11, 84}, {12, 170}, {13, 194}, {14, 205},
      {15, 29}, {16, 139}, {17, 142}, {21, 107}, {22, 152}, {23, 138}, {24, 45}, {25, 227}, {26, 191}};
  for (const auto& [entry, place] : same) {
    EXPECT_NE(PixelRoutineAtEntry(entry), EPixelRoutine::kNone) << entry;
    EXPECT_EQ(PixelRoutineAtEntry(entry), PixelRoutineAtPlace(place)) << entry << " " << place;
  }
  EXPECT_EQ(PixelRoutineAtEntry(9), EPixelRoutine::kBlend);
  EXPECT_EQ(PixelRoutineAtPlace(33), EPixelRoutine::kStretchBlend);
  EXPECT_EQ(PixelRoutineAtPlace(84), EPixelRoutine::kTransform);
  // Entry 93 and place 93 are different routines; numbers nobody names find none.
  EXPECT_EQ(PixelRoutineAtEntry(93), EPixelRoutine::kEffect);
  EXPECT_EQ(PixelRoutineAtPlace(93), EPixelRoutine::kBlend);
  EXPECT_EQ(PixelRoutineAtEntry(0), EPixelRoutine::kNone);
  EXPECT_EQ(PixelRoutineAtPlace(233), EPixelRoutine::kNone);
  EXPECT_EQ(PixelRoutineAtPlace(0xFFFFFFFF), EPixelRoutine::kNone);
}

}  // namespace

namespace {

TEST_F(PixelLibraryTest, TheMirrorsTurnARectangleOverInPlace) {
  for (const bool vertical : {false, true}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    auto image = Make(6, 5, 4);
    image->SetColorKeyFromPixel(2, 2);
    const auto mirror = [&](const Rect* rect) {
      return vertical ? image->PixelLibMirrorVertical(rect) : image->PixelLibMirrorHorizontal(rect);
    };
    EXPECT_EQ(mirror(nullptr), 1u);
    const std::vector<uint32_t> before = Pixels(*image);
    SetPixelLib(&library_);
    const Rect part{1, 1, 9, 4};  // cut to {1, 1, 6, 4}
    ASSERT_EQ(mirror(&part), 0u);
    SetPixelLib(nullptr);
    const std::vector<uint32_t> after = Pixels(*image);
    for (int32_t y = 0; y < 5; ++y) {
      for (int32_t x = 0; x < 6; ++x) {
        const bool inside = x >= 1 && y >= 1 && y < 4;
        const int32_t from_x = inside && !vertical ? 6 - x : x;
        const int32_t from_y = inside && vertical ? 4 - y : y;
        EXPECT_EQ(after[y * 6 + x], before[from_y * 6 + from_x]) << x << "," << y;
      }
    }
    EXPECT_EQ(Box(*image), "1,1,6,4");
  }
}

}  // namespace

// The pixel-library built-ins (391 to 401) called by number: each draws what its library wrapper
// called directly draws, with the omission markers of its rows, -1 (or 0 for the whole-image
// routines) when an object gives no image; the cross-fade and the rule transition show their
// first source at level 0 and their second at 255, whatever the passed-through bytes say.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "builtin_call.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_object_image.h"
#include "gfx/images/image.h"
#include "pixel/kernels/pixel_tables.h"
#include "support/scoped_pixel_library.h"
#include "support/sprite_device_screen.h"

namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;
constexpr uint32_t kAbsent = 65535;

uint32_t PixelA(int32_t x, int32_t y) {
  return 0xFF000000u | static_cast<uint32_t>(x * 9) << 16 | static_cast<uint32_t>(y * 13);
}
uint32_t PixelB(int32_t x, int32_t y) {
  return 0x80000000u | static_cast<uint32_t>(y * 11) << 8 | static_cast<uint32_t>(200 - x);
}

class PixelLibraryBuiltinsTest : public ::testing::Test, public builtin_test::BuiltinCaller {
 protected:
  PixelLibraryBuiltinsTest() : saved_screen_(g_ScreenManager) {
    BuildPixelTables();
    g_ScreenManager = &screen_.Screen();
    dst_ = NewImage(24, 18, 32);
    a_ = NewImage(16, 12, 32);
    b_ = NewImage(16, 12, 32);
    rule_ = NewImage(16, 12, 8);
    Paint(a_, PixelA);
    Paint(b_, PixelB);
    Paint(rule_, [](int32_t x, int32_t y) { return static_cast<uint32_t>((x * 15 + y) & 0xFF); });
  }
  ~PixelLibraryBuiltinsTest() override { g_ScreenManager = saved_screen_; }

  uint32_t NewImage(int32_t width, int32_t height, uint8_t bpp) {
    return Call(231, {static_cast<uint32_t>(width), static_cast<uint32_t>(height), bpp, 0});
  }
  CImage& Image(uint32_t handle) { return *GetObjectImage(Handles().Get<CImageInterface>(handle)); }
  void Paint(uint32_t handle, const std::function<uint32_t(int32_t, int32_t)>& pixel) {
    CImage& image = Image(handle);
    for (int32_t y = 0; y < image.GetHeight(); ++y) {
      for (int32_t x = 0; x < image.GetWidth(); ++x) image.SetPixel(x, y, pixel(x, y));
    }
  }
  std::vector<uint32_t> Pixels(uint32_t handle) { return PixelsOf(Image(handle)); }
  static std::vector<uint32_t> PixelsOf(const CImage& image) {
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < image.GetHeight(); ++y) {
      for (int32_t x = 0; x < image.GetWidth(); ++x) pixels.push_back(image.GetPixel(x, y));
    }
    return pixels;
  }
  // The destination painted afresh, and a private copy of it for the direct call.
  void Reset(CImage& expected) {
    Paint(dst_, [](int32_t x, int32_t y) { return 0x40302010u + static_cast<uint32_t>(x * 5 + y * 3); });
    ASSERT_EQ(expected.Duplicate(&Image(dst_), 0), 0u);
  }

  SpriteDeviceScreen screen_;
  ScopedPixelLibrary library_;
  uint32_t dst_ = 0;
  uint32_t a_ = 0;
  uint32_t b_ = 0;
  uint32_t rule_ = 0;

 private:
  CScreenManager* saved_screen_;
};

struct LibraryCase {
  uint32_t id;
  std::vector<uint32_t> words;  // after the destination (and the source of the two-image rows)
  std::function<uint32_t(CImage& dst, CImage& src)> direct;
};

TEST_F(PixelLibraryBuiltinsTest, EachRowDrawsWhatItsWrapperDraws) {
  const plat::Rect part{2, 1, 13, 10};
  const plat::Rect fill_area{0, 0, 20, 15};
  const ImageSize size{21, 7};
  const auto affine = [&](double scale, const plat::Rect* rect, const plat::Rect* area) {
    PixelAffineArgs args;
    const double matrix[6] = {1, 0, -1, 2, 7, 3};
    for (int i = 0; i < 6; ++i) args.matrix[i] = matrix[i] * scale;
    args.src_rect = rect;
    args.mode = 2;
    args.level = 0xC0;
    args.flags[0] = 1;
    args.fill = 0xFF00FF00;
    args.fill_area = area;
    return args;
  };
  const std::vector<LibraryCase> cases = {
      {391, {2, 1, 0x1FF, 7, 21, 7, 3, 4, 2, 1, 13, 10},
       [&](CImage& d, CImage& s) { return d.PixelLibStretchBlend(&s, 2, 1, 0xFF, 1, &size, 3, 4, &part); }},
      {391, {0, 0, 200, 0, kAbsent, 7, 3, 4, 2, 1, 13, 10},
       [&](CImage& d, CImage& s) { return d.PixelLibStretchBlend(&s, 0, 0, 200, 0, nullptr, 0, 0, nullptr); }},
      {391, {0, 0, 255, 0, 21, 7, 3, 4, kAbsent, 1, 13, 10},
       [&](CImage& d, CImage& s) { return d.PixelLibStretchBlend(&s, 0, 0, 255, 0, &size, 3, 4, nullptr); }},
      {392, {1, 0, 0xFFFFFFFF, 2, 7, 3, 2, 0, 0x1C0, 9, 0, 0xFF00FF00, 2, 1, 13, 10, 0, 0, 20, 15},
       [&](CImage& d, CImage& s) { return d.PixelLibAffineDraw(&s, affine(1.0, &part, &fill_area)); }},
      {392, {1, 0, 0xFFFFFFFF, 2, 7, 3, 2, 0, 0xC0, 1, 0, 0xFF00FF00, 2, 1, 13, 10, kAbsent, 0, 20, 15},
       [&](CImage& d, CImage& s) { return d.PixelLibAffineDraw(&s, affine(1.0, &part, nullptr)); }},
      {393, {0x10000, 0, 0xFFFF0000, 0x20000, 0x70000, 0x30000, 2, 0, 0xC0, 1, 0, 0xFF00FF00, kAbsent, 1, 2, 3},
       [&](CImage& d, CImage& s) { return d.PixelLibAffineDraw2(&s, affine(1.0, nullptr, nullptr)); }},
  };
  for (const LibraryCase& c : cases) {
    SCOPED_TRACE(c.id);
    CImage expected;
    Reset(expected);
    const std::vector<uint32_t> before = PixelsOf(expected);
    const uint32_t status = c.direct(expected, Image(a_));
    std::vector<uint32_t> words = c.words;
    words.insert(words.begin(), {dst_, a_});
    EXPECT_EQ(Call(c.id, words), status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Pixels(dst_), PixelsOf(expected));
    EXPECT_NE(Pixels(dst_), before) << "the case draws something";
    words[1] = 0;
    EXPECT_EQ(Call(c.id, words), kNone);
  }
}

TEST_F(PixelLibraryBuiltinsTest, TheInPlaceRowsChangeWhatTheirWrappersChange) {
  const plat::Rect area{3, 2, 20, 15};
  const std::vector<LibraryCase> cases = {
      {394, {3, 2, 1, 3, 2, 20, 15}, [&](CImage& d, CImage&) { return d.PixelLibSoften(3, 2, &area, 1); }},
      {394, {200, 0, 0, kAbsent}, [&](CImage& d, CImage&) { return d.PixelLibSoften(200, 0, nullptr, 0); }},
      {395, {3, 2, 20, 15}, [&](CImage& d, CImage&) { return d.PixelLibMirrorHorizontal(&area); }},
      {396, {kAbsent}, [&](CImage& d, CImage&) { return d.PixelLibMirrorVertical(nullptr); }},
      {397, {1}, [&](CImage& d, CImage&) { return d.PixelLibSwitchOp(true) ? 1u : 0u; }},
      {398, {120}, [&](CImage& d, CImage&) { return d.PixelLibValueOpA(120) ? 1u : 0u; }},
      {399, {60}, [&](CImage& d, CImage&) { return d.PixelLibValueOpB(60) ? 1u : 0u; }},
  };
  for (const LibraryCase& c : cases) {
    SCOPED_TRACE(c.id);
    CImage expected;
    Reset(expected);
    const std::vector<uint32_t> before = PixelsOf(expected);
    const uint32_t status = c.direct(expected, expected);
    std::vector<uint32_t> words = c.words;
    words.insert(words.begin(), dst_);
    EXPECT_EQ(Call(c.id, words), status);
    EXPECT_EQ(Pixels(dst_), PixelsOf(expected));
    EXPECT_NE(Pixels(dst_), before) << "the case changes something";
    words[0] = 0;
    EXPECT_EQ(Call(c.id, words), c.id >= 397 ? 0u : kNone);
  }
}

TEST_F(PixelLibraryBuiltinsTest, SwitchOpWithFlagClearInvertsTheColourBitsOfA32BitImageOnly) {
  const uint32_t before = Image(a_).GetPixel(3, 4);
  EXPECT_EQ(Call(397, {a_, 0}), 1u);
  EXPECT_EQ(Image(a_).GetPixel(3, 4), before ^ 0x00FFFFFFu);
  const uint32_t rule_before = Image(rule_).GetPixel(3, 4);
  EXPECT_EQ(Call(397, {rule_, 0}), 0u) << "an 8-bit image";
  EXPECT_EQ(Image(rule_).GetPixel(3, 4), rule_before);
}

TEST_F(PixelLibraryBuiltinsTest, TheCrossFadeShowsTheFirstSourceAtLevel0AndTheSecondAt255InEveryMode) {
  for (const uint32_t mode : {0u, 1u, 0x101u}) {
    for (const uint32_t level : {0u, 255u}) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << " level " << level);
      CImage expected;
      Reset(expected);
      EXPECT_EQ(Call(400, {dst_, a_, b_, mode, level, 4, 3, 0, 0, 0, 0, 0, 0}), 0u);
      const uint32_t shown = level == 0 ? a_ : b_;
      for (int32_t y = 0; y < 18; ++y) {
        for (int32_t x = 0; x < 24; ++x) {
          const bool inside = x >= 4 && y >= 3 && x < 20 && y < 15;
          const uint32_t want = inside ? Image(shown).GetPixel(x - 4, y - 3) : expected.GetPixel(x, y);
          ASSERT_EQ(Image(dst_).GetPixel(x, y), want) << x << "," << y;
        }
      }
    }
  }
}

TEST_F(PixelLibraryBuiltinsTest, TheCrossFadeReadsItsPairsUntilTheFirstMarker) {
  CImage expected;
  Reset(expected);
  PixelCrossFadeArgs fade{255, 0, PixelArea{2, 2, 5, 4}, PixelPoint{1, 1}, PixelPoint{3, 2}};
  EXPECT_EQ(expected.PixelLibBlendTwo(&Image(a_), &Image(b_), fade), 0u);
  EXPECT_EQ(Call(400, {dst_, a_, b_, 0, 255, 2, 2, 5, 4, 1, 1, 3, 2}), 0u);
  EXPECT_EQ(Pixels(dst_), PixelsOf(expected));

  Reset(expected);
  fade = PixelCrossFadeArgs{255, 0, PixelArea{2, 2, 0, 0}, PixelPoint{}, PixelPoint{}};
  EXPECT_EQ(expected.PixelLibBlendTwo(&Image(a_), &Image(b_), fade), 0u);
  EXPECT_EQ(Call(400, {dst_, a_, b_, 0, 255, 2, 2, kAbsent, 9, 7, 7, 3, 2}), 0u) << "the size and after: (0, 0)";
  EXPECT_EQ(Pixels(dst_), PixelsOf(expected));
  EXPECT_EQ(Call(400, {dst_, a_, 0, 0, 255, kAbsent}), kNone);
}

TEST_F(PixelLibraryBuiltinsTest, TheRuleTransitionShowsTheFirstSourceAtLevel0AndTheSecondAt255) {
  for (const uint32_t vague : {0u, 1u, 64u}) {
    for (const uint32_t level : {0u, 255u}) {
      SCOPED_TRACE(testing::Message() << "vague " << vague << " level " << level);
      CImage expected;
      Reset(expected);
      EXPECT_EQ(Call(401, {dst_, a_, b_, rule_, level, vague, 7, 4, 3, 0, 0, 0, 0, 0, 0, 0, 0}), 0u);
      const uint32_t shown = level == 0 ? a_ : b_;
      for (int32_t y = 0; y < 18; ++y) {
        for (int32_t x = 0; x < 24; ++x) {
          const bool inside = x >= 4 && y >= 3 && x < 20 && y < 15;
          const uint32_t want = inside ? Image(shown).GetPixel(x - 4, y - 3) : expected.GetPixel(x, y);
          ASSERT_EQ(Image(dst_).GetPixel(x, y), want) << x << "," << y;
        }
      }
    }
  }
  EXPECT_EQ(Call(401, {dst_, a_, b_, 0, 0, 1, 0, kAbsent}), kNone) << "no rule image";
}

TEST_F(PixelLibraryBuiltinsTest, TheRuleTransitionPassesItsPairsInTheRoutinesOrder) {
  CImage expected;
  Reset(expected);
  const PixelRuleTransitionArgs args{130, 40, 0, PixelArea{1, 2, 9, 6}, PixelPoint{2, 1}, PixelPoint{0, 3},
                                     PixelPoint{4, 4}};
  EXPECT_EQ(expected.PixelLibBlendThree(&Image(a_), &Image(b_), &Image(rule_), args), 0u);
  EXPECT_EQ(Call(401, {dst_, a_, b_, rule_, 130, 40, 0, 1, 2, 9, 6, 2, 1, 0, 3, 4, 4}), 0u);
  EXPECT_EQ(Pixels(dst_), PixelsOf(expected));
}

}  // namespace

// The image built-ins (317 to 390) called by number: each blit, filter and pixel row draws what
// its operation called directly draws, with the layouts' omission marker (65535 as a whole word,
// -1 a coordinate), the none values of handles that give no image, and the timed wipes started,
// finished, stopped and asked about through their handles.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "builtin_call.h"
#include "base/time/timer_manager.h"
#include "base/numbers/trig_tables.h"
#include "effects/patterns/timed_wipe_host.h"
#include "gfx/images/image.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_object_image.h"
#include "pixel/kernels/pixel_tables.h"
#include "support/fake_clock.h"
#include "support/scoped_pixel_library.h"
#include "support/sprite_device_screen.h"

namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;
constexpr uint32_t kAbsent = 65535;
constexpr uint32_t kMinus1 = 0xFFFFFFFF;
// A handle no object holds.
constexpr uint32_t kStale = 0x00FFFFF0;

uint32_t SourcePixel(int32_t x, int32_t y) {
  return (static_cast<uint32_t>(x * 37 + y * 11) << 24) | (static_cast<uint32_t>(x) << 12) | static_cast<uint32_t>(y);
}

void Paint(CImage& image, uint32_t (*pixel)(int32_t, int32_t)) {
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    for (int32_t x = 0; x < image.GetWidth(); ++x) image.SetPixel(x, y, pixel(x, y));
  }
}

std::vector<uint32_t> Pixels(const CImage& image) {
  std::vector<uint32_t> pixels;
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    for (int32_t x = 0; x < image.GetWidth(); ++x) pixels.push_back(image.GetPixel(x, y));
  }
  return pixels;
}

class ImageBuiltinsTest : public ::testing::Test, public builtin_test::BuiltinCaller {
 protected:
  ImageBuiltinsTest() : saved_screen_(g_ScreenManager), saved_trig_(g_TrigTable) {
    BuildPixelTables();
    g_TrigTable = &trig_;
    g_ScreenManager = &screen_.Screen();
    dst_ = NewImage(40, 30, 32);
    src_ = NewImage(16, 12, 32);
    mask_ = NewImage(16, 12, 8);
    Paint(Image(src_), SourcePixel);
    Paint(Image(mask_), [](int32_t x, int32_t y) { return static_cast<uint32_t>((x * 16 + y * 5) & 0xFF); });
  }
  ~ImageBuiltinsTest() override {
    g_ScreenManager = saved_screen_;
    g_TrigTable = saved_trig_;
  }

  uint32_t NewImage(int32_t width, int32_t height, uint8_t bpp) {
    return Call(231, {static_cast<uint32_t>(width), static_cast<uint32_t>(height), bpp, 0});
  }
  CImage& Image(uint32_t handle) { return *GetObjectImage(Handles().Get<CImageInterface>(handle)); }
  // The destination painted afresh, and a private copy of it for the direct call.
  void Reset(CImage& expected) {
    Paint(Image(dst_), [](int32_t x, int32_t y) { return 0x80402010u + static_cast<uint32_t>(x * 3 + y); });
    ASSERT_EQ(expected.Duplicate(&Image(dst_), 0), 0u);
  }

  SpriteDeviceScreen screen_;
  CTrigTables trig_;
  uint32_t dst_ = 0;
  uint32_t src_ = 0;
  uint32_t mask_ = 0;

 private:
  CScreenManager* saved_screen_;
  CTrigTables* saved_trig_;
};

struct BlitCase {
  uint32_t id;
  // The argument words for the destination and source handles.
  std::function<std::vector<uint32_t>(uint32_t dst, uint32_t src)> words;
  // The operation called directly on a copy of the destination.
  std::function<uint32_t(CImage& dst, CImage& src)> direct;
  bool mask_source = false;
};

TEST_F(ImageBuiltinsTest, EachBlitDrawsWhatItsOperationDraws) {
  const plat::Rect part{2, 1, 13, 10};
  const ImageSize size{21, 7};
  const auto placed = [](uint32_t d, uint32_t s, std::vector<uint32_t> rest) {
    rest.insert(rest.begin(), {d, s});
    return rest;
  };
  const std::vector<BlitCase> cases = {
      {333, [&](uint32_t d, uint32_t s) { return placed(d, s, {5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.Copy(&s, 5, 6, &part, false); }},
      {333, [&](uint32_t d, uint32_t s) { return placed(d, s, {kAbsent, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.Copy(&s, 0, 0, nullptr, false); }},
      {333, [&](uint32_t d, uint32_t s) { return placed(d, s, {kMinus1, 6, kAbsent, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.Copy(&s, -1, 6, nullptr, false); }},
      {334, [&](uint32_t d, uint32_t s) { return placed(d, s, {21, 7, 3, 4, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.StretchCopy(&s, &size, 3, 4, &part, false); }},
      {334, [&](uint32_t d, uint32_t s) { return placed(d, s, {kAbsent, 7, 3, 4, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) {
         const ImageSize own{16, 12};
         return d.StretchCopy(&s, &own, 0, 0, nullptr, false);
       }},
      {335, [&](uint32_t d, uint32_t s) { return placed(d, s, {0x102, 5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.CopyMirrored(&s, 2, 5, 6, &part); }},
      {336, [&](uint32_t d, uint32_t s) { return placed(d, s, {0, 21, 7, 3, 4, kAbsent}); },
       [&](CImage& d, CImage& s) { return d.StretchCopyMirrored(&s, 0, &size, 3, 4, nullptr); }},
      {337, [&](uint32_t d, uint32_t s) { return placed(d, s, {5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.AlphaBlend(&s, 5, 6, &part, false); }},
      {338, [&](uint32_t d, uint32_t s) { return placed(d, s, {21, 7, 3, 4, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.StretchAlphaBlend(&s, &size, 3, 4, &part, false); }},
      {339, [&](uint32_t d, uint32_t s) { return placed(d, s, {0, 5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.AlphaBlendMirrored(&s, 0, 5, 6, &part); }},
      {340, [&](uint32_t d, uint32_t s) { return placed(d, s, {2, 21, 7, 3, 4, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.StretchAlphaBlendMirrored(&s, 2, &size, 3, 4, &part); }},
      {341, [&](uint32_t d, uint32_t s) { return placed(d, s, {5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.CopyAlphaPlane(&s, 5, 6, &part, false); }, true},
      {342, [&](uint32_t d, uint32_t s) { return placed(d, s, {21, 7, 3, 4, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.StretchCopyAlphaPlane(&s, &size, 3, 4, &part, false); }, true},
      {343, [&](uint32_t d, uint32_t s) { return placed(d, s, {0, 5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.CopyAlphaPlaneMirrored(&s, 0, 5, 6, &part); }, true},
      {344, [&](uint32_t d, uint32_t s) { return placed(d, s, {0, 21, 7, 3, 4, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.StretchCopyAlphaPlaneMirrored(&s, 0, &size, 3, 4, &part); }, true},
      {345, [&](uint32_t d, uint32_t s) { return placed(d, s, {5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.CopyRgb(&s, 5, 6, &part); }},
      {346, [&](uint32_t d, uint32_t s) { return placed(d, s, {21, 7, 3, 4, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.StretchCopyRgb(&s, &size, 3, 4, &part); }},
      {347, [&](uint32_t d, uint32_t s) { return placed(d, s, {5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.CopyAlpha(&s, 5, 6, &part); }},
      {348, [&](uint32_t d, uint32_t s) { return placed(d, s, {21, 7, 3, 4, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.StretchCopyAlpha(&s, &size, 3, 4, &part); }},
      {357, [&](uint32_t d, uint32_t s) { return placed(d, s, {0x180, 5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.BlendLevel(&s, 0x80, 5, 6, &part); }},
      {358, [&](uint32_t d, uint32_t s) { return placed(d, s, {90, 21, 7, 3, 4, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.StretchBlendLevel(&s, 90, &size, 3, 4, &part); }},
      {359, [&](uint32_t d, uint32_t s) { return placed(d, s, {10, 20, 0x130, 200, 100, 50, 5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.BlendWeighted(&s, 0x0A1430, 0xC86432, 5, 6, &part); }},
      {360, [&](uint32_t d, uint32_t s) { return placed(d, s, {10, 20, 30, 200, 100, 50, kAbsent, 7, 3, 4}); },
       [&](CImage& d, CImage& s) {
         const ImageSize own{16, 12};
         return d.StretchBlendWeighted(&s, 0x0A141E, 0xC86432, &own, 0, 0, nullptr);
       }},
      {361, [&](uint32_t d, uint32_t s) { return std::vector<uint32_t>{1, d, s, 5, 6, 2, 1, 13, 10}; },
       [&](CImage& d, CImage& s) { return d.BlendByMode(1, &s, 5, 6, &part); }},
      {362, [&](uint32_t d, uint32_t s) { return std::vector<uint32_t>{2, d, s, 21, 7, 3, 4, 2, 1, 13, 10}; },
       [&](CImage& d, CImage& s) { return d.StretchBlendByMode(2, &s, &size, 3, 4, &part); }},
      {363, [&](uint32_t d, uint32_t s) { return placed(d, s, {99, 5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.AddScaled(&s, 99, 5, 6, &part); }},
      {364, [&](uint32_t d, uint32_t s) { return placed(d, s, {99, 5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.SubtractScaled(&s, 99, 5, 6, &part); }},
      {365, [&](uint32_t d, uint32_t s) { return std::vector<uint32_t>{0, d, s, 140, 5, 6, 2, 1, 13, 10}; },
       [&](CImage& d, CImage& s) { return d.BlendModeLevel(0, &s, 140, 5, 6, &part); }},
      {366, [&](uint32_t d, uint32_t s) { return std::vector<uint32_t>{1, d, s, 140, 21, 7, 3, 4, 2, 1, 13, 10}; },
       [&](CImage& d, CImage& s) { return d.StretchBlendModeLevel(1, &s, 140, &size, 3, 4, &part); }},
      {367, [&](uint32_t d, uint32_t s) { return placed(d, s, {77, 5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.BlendPreserveAlpha(&s, 77, 5, 6, &part); }},
      {368, [&](uint32_t d, uint32_t s) { return placed(d, s, {77, 21, 7, 3, 4, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.StretchBlendPreserveAlpha(&s, 77, &size, 3, 4, &part); }},
      {369, [&](uint32_t d, uint32_t s) { return placed(d, s, {mask_, 200, 300, 40, 5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.RuleBlend(&s, &Image(mask_), 200, 300, 40, 5, 6, &part); }},
      {370, [&](uint32_t d, uint32_t s) { return placed(d, s, {mask_, 200, 100, 40, kAbsent}); },
       [&](CImage& d, CImage& s) { return d.RuleBlendAlpha(&s, &Image(mask_), 200, 100, 40, 0, 0, nullptr); }},
      {371, [&](uint32_t d, uint32_t s) { return placed(d, s, {0, 90, 5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.BlendWeighted(&s, 0xA5A5A5, 0x5A5A5A, 5, 6, &part); }},
      {372, [&](uint32_t d, uint32_t s) { return placed(d, s, {3, 90, 5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.BlurBlendAlphaLevel(&s, 3, 90, 5, 6, &part); }},
      {373, [&](uint32_t d, uint32_t s) { return placed(d, s, {21, 7, 3, 4, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.SmoothStretchCopy(&s, &size, 3, 4, &part); }},
      {374, [&](uint32_t d, uint32_t s) { return placed(d, s, {2, 2, 30, 4, 6, 25, 35, 28, kAbsent, 0, 1, 2, 0, 0, 9, 9}); },
       [&](CImage& d, CImage& s) {
         return d.MapRectToQuad(&s, QuadCorners{{{2, 2}, {30, 4}, {6, 25}, {35, 28}}}, nullptr, nullptr);
       }},
      {374, [&](uint32_t d, uint32_t s) { return placed(d, s, {2, 2, 30, 4, 6, 25, 35, 28, 2, 1, 13, 10, 0, 0, 20, 20}); },
       [&](CImage& d, CImage& s) {
         const plat::Rect clip{0, 0, 20, 20};
         return d.MapRectToQuad(&s, QuadCorners{{{2, 2}, {30, 4}, {6, 25}, {35, 28}}}, &part, &clip);
       }},
      {375, [&](uint32_t d, uint32_t s) { return placed(d, s, {1, 1, 14, 0, 0, 11, 15, 11, 4, 4, 30, 25, kAbsent}); },
       [&](CImage& d, CImage& s) {
         const plat::Rect to{4, 4, 30, 25};
         return d.MapQuadToRect(&s, QuadCorners{{{1, 1}, {14, 0}, {0, 11}, {15, 11}}}, &to, nullptr);
       }},
      {376, [&](uint32_t d, uint32_t s) { return placed(d, s, {4, 20, 15, 40, 0x18000, kAbsent}); },
       [&](CImage& d, CImage& s) { return d.RotateCopy(&s, 4, 20, 15, 40, 0x18000, nullptr, nullptr); }},
      {377, [&](uint32_t d, uint32_t s) { return placed(d, s, {0, 20, 15, 100, 0x10000, 150, 2, 1, 13, 10, kAbsent}); },
       [&](CImage& d, CImage& s) { return d.RotateBlend(&s, 0, 20, 15, 100, 0x10000, 150, &part, nullptr); }},
      {390, [&](uint32_t d, uint32_t s) { return placed(d, s, {2, 0x1C0, 7, 5, 6, 2, 1, 13, 10}); },
       [&](CImage& d, CImage& s) { return d.PixelLibBlend(&s, 2, 0xC0, 1, 5, 6, &part); }},
  };
  ScopedPixelLibrary library;
  for (const BlitCase& c : cases) {
    SCOPED_TRACE(c.id);
    const uint32_t source = c.mask_source ? mask_ : src_;
    CImage expected;
    Reset(expected);
    const std::vector<uint32_t> before = Pixels(expected);
    const uint32_t status = c.direct(expected, Image(source));
    const std::vector<uint32_t> words = c.words(dst_, source);
    EXPECT_EQ(Call(c.id, words), status);
    EXPECT_EQ(Pixels(Image(dst_)), Pixels(expected));
    EXPECT_NE(Pixels(Image(dst_)), before) << "the case draws something";
    std::vector<uint32_t> without_source = c.words(dst_, 0);
    EXPECT_EQ(Call(c.id, without_source), kNone);
  }
}

TEST_F(ImageBuiltinsTest, ALayoutOneMarkerIsAWholeWord) {
  CImage expected;
  Reset(expected);
  expected.Copy(&Image(src_), 0, 0, nullptr, false);
  EXPECT_EQ(Call(333, {dst_, src_, kAbsent, 9, 9, 9, 9, 9}), 0u);
  EXPECT_EQ(Image(dst_).GetPixel(0, 0), SourcePixel(0, 0)) << "the whole source at (0, 0)";
  EXPECT_EQ(Pixels(Image(dst_)), Pixels(expected));
  Reset(expected);
  EXPECT_EQ(Call(333, {dst_, src_, kMinus1, 0, kAbsent}), 0u);
  EXPECT_EQ(Image(dst_).GetPixel(0, 0), SourcePixel(1, 0)) << "drawn at x = -1";
  Reset(expected);
  EXPECT_EQ(Call(334, {dst_, src_, kAbsent, 99, 99, 99, 99}), 0u);
  EXPECT_EQ(Image(dst_).GetPixel(15, 11), SourcePixel(15, 11)) << "in the source's own size";
  EXPECT_EQ(Image(dst_).GetPixel(16, 11), expected.GetPixel(16, 11));
}

// In the stretched layouts only the size's and the rectangle's first words are markers: an x of
// 65535 places the picture far off the destination, which stays as it was.
TEST_F(ImageBuiltinsTest, AStretchedLayoutTakesXOf65535ForAPlace) {
  const std::vector<std::pair<uint32_t, std::vector<uint32_t>>> cases = {
      {334, {dst_, src_, 8, 8, kAbsent, 0, kAbsent}},
      {360, {dst_, src_, 255, 255, 255, 255, 255, 255, 8, 8, kAbsent, 0, kAbsent}},
      {362, {0, dst_, src_, 8, 8, kAbsent, 0, kAbsent}},
      {366, {0, dst_, src_, 200, 8, 8, kAbsent, 0, kAbsent}},
  };
  for (const auto& [id, words] : cases) {
    SCOPED_TRACE(id);
    CImage expected;
    Reset(expected);
    Call(id, words);
    EXPECT_EQ(Pixels(Image(dst_)), Pixels(expected));
  }
}

TEST_F(ImageBuiltinsTest, DeviceContextCopiesNameNoContext) {
  EXPECT_EQ(Call(349, {dst_, 0x1234, 0, 0, kAbsent}), 1u);
  EXPECT_EQ(Call(350, {dst_, 0x1234, kAbsent}), 1u);
  EXPECT_EQ(Call(349, {0, 0x1234, 0, 0, kAbsent}), kNone);
  EXPECT_EQ(Call(350, {0, 0x1234, kAbsent}), kNone);
}

struct FilterCase {
  uint32_t id;
  std::vector<uint32_t> words;  // after the object
  std::function<uint32_t(CImage&)> direct;
  uint32_t none;
};

TEST_F(ImageBuiltinsTest, EachFilterChangesWhatItsOperationChanges) {
  const plat::Rect area{3, 2, 30, 20};
  const std::vector<FilterCase> cases = {
      {351, {120, 3, 2, 30, 20}, [&](CImage& i) { return i.AdjustBrightness(120, &area) ? 1u : 0u; }, 0},
      {351, {0x10000 + 300, kAbsent}, [&](CImage& i) { return i.AdjustBrightness(300, nullptr) ? 1u : 0u; }, 0},
      {352, {0x110, 20, 30, 99, 3, 2, 30, 20}, [&](CImage& i) { return i.FillColor(0x10, 20, 30, 99, &area); }, kNone},
      {353, {10, 20, 30, kAbsent}, [&](CImage& i) { return i.AddColor(10, 20, 30, nullptr); }, kNone},
      {354, {10, 20, 30, 3, 2, 30, 20}, [&](CImage& i) { return i.SubtractColor(10, 20, 30, &area); }, kNone},
      {355, {0x00FF8000, 99, 1, 3, 2, 30, 20}, [&](CImage& i) { return i.PixelLibBlendColor(0x00FF8000, 99, &area, 1); },
       kNone},
      {378, {3, 2, 30, 20}, [&](CImage& i) { return i.Grayscale(&area); }, kNone},
      {379, {200, 100, 0x10080, 0xFFF6, 20, 0, kAbsent},
       [&](CImage& i) { return i.AdjustRgb(200, 100, 128, -10, 20, 0, nullptr); }, kNone},
      {380, {0, 3, 2, 30, 20}, [&](CImage& i) { return i.Invert(0, &area); }, kNone},
      {380, {1, kAbsent}, [&](CImage& i) { return i.Invert(1, nullptr); }, kNone},
      {381, {1, 3, 2, 30, 20}, [&](CImage& i) { return i.Smooth(1, &area); }, kNone},
      {382, {4, 1, kAbsent}, [&](CImage& i) { return i.Mosaic(4, 1, nullptr); }, kNone},
      {383, {0, 255, 0, 0, 0, 0, 255, 3, 2, 30, 20},
       [&](CImage& i) { return i.GradientFill(0, 0xFF0000, 0x0000FF, &area); }, 0xFFFFFFFE},
      {384, {300, 3, 2, 30, 20}, [&](CImage& i) { return i.AdjustAlpha(300, &area) ? 1u : 0u; }, 0},
      {385, {200, 0xFFF0, kAbsent}, [&](CImage& i) { return i.ScaleAlpha(200, -16, nullptr) ? 1u : 0u; }, 0},
  };
  ScopedPixelLibrary library;
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.id);
    CImage expected;
    Reset(expected);
    const std::vector<uint32_t> before = Pixels(expected);
    const uint32_t status = c.direct(expected);
    std::vector<uint32_t> words = c.words;
    words.insert(words.begin(), dst_);
    EXPECT_EQ(Call(c.id, words), status);
    EXPECT_EQ(Pixels(Image(dst_)), Pixels(expected));
    EXPECT_NE(Pixels(Image(dst_)), before) << "the case changes something";
    words[0] = kStale;
    EXPECT_EQ(Call(c.id, words), c.none);
  }
}

TEST_F(ImageBuiltinsTest, AMaskedBlendTakesItsModeFirstAndAMarkedPlacement) {
  CImage expected;
  Reset(expected);
  const uint32_t status = expected.BlendMasked(1, &Image(mask_), 200, 10, 20, 30, 0, 0, nullptr);
  EXPECT_EQ(Call(356, {0x101, dst_, mask_, 0x1C8, 10, 20, 30, kAbsent, 5, 1, 1, 1, 1}), status);
  EXPECT_EQ(Pixels(Image(dst_)), Pixels(expected));
  EXPECT_EQ(Call(356, {1, dst_, 0, 200, 10, 20, 30, kAbsent}), kNone);
}

TEST_F(ImageBuiltinsTest, ALibraryColourBlendAtLevelZeroDoesNothingWithOrWithoutTheLibrary) {
  CImage expected;
  Reset(expected);
  EXPECT_EQ(Call(355, {dst_, 0x00FF0000, 0x100, 0, kAbsent}), 0u);
  EXPECT_EQ(Pixels(Image(dst_)), Pixels(expected));
  ScopedPixelLibrary library;
  EXPECT_EQ(Call(355, {dst_, 0x00FF0000, 0, 0, kAbsent}), 0u);
  EXPECT_EQ(Pixels(Image(dst_)), Pixels(expected));
  SetPixelLib(nullptr);
  EXPECT_EQ(Call(355, {dst_, 0x00FF0000, 1, 0, kAbsent}), 2u) << "a level without the library";
}

TEST_F(ImageBuiltinsTest, PixelsPaletteAndDepth) {
  CImage& image = Image(dst_);
  EXPECT_EQ(Call(327, {dst_, 39, 29, 0xAABBCCDD}), 1u);
  EXPECT_EQ(Call(328, {dst_, 39, 29}), 0xAABBCCDDu);
  EXPECT_EQ(Call(327, {dst_, 40, 0, 1}), 0u);
  EXPECT_EQ(Call(328, {dst_, -1u, 0}), kNone);
  EXPECT_EQ(Call(328, {0, 0, 0}), kNone);
  EXPECT_EQ(Call(326, {dst_, 0x17F}), 0u);
  EXPECT_EQ(image.GetPixel(39, 29), 0x7FBBCCDDu);
  EXPECT_EQ(Call(326, {mask_, 0}), 2u);
  EXPECT_EQ(Call(326, {0, 0}), 1u);
  EXPECT_EQ(Call(322, {dst_, 0, 0, 2, 2, 0x101, 2, 3}), 1u);
  EXPECT_EQ(image.GetPixel(1, 1), 0x00010203u);
  EXPECT_EQ(Call(323, {dst_, 0x11223344, kAbsent}), 1u);
  EXPECT_EQ(image.GetPixel(20, 20), 0x11223344u);
  EXPECT_EQ(Call(324, {dst_, 9, 8, 7, 0, 0, 1, 1}), 1u);
  EXPECT_EQ(image.GetPixel(0, 0), 0x11090807u);
  EXPECT_EQ(Call(323, {mask_, 0x11223344, kAbsent}), 0u) << "not 32 bits";

  EXPECT_EQ(Call(331, {mask_, 0x105, 10, 20, 30, 1}), 0u) << "an image made without a palette";
  ASSERT_EQ(Image(mask_).SetPalette(nullptr, 0, 0), 0u);
  EXPECT_EQ(Call(331, {mask_, 0x105, 10, 20, 30, 1}), 1u);
  EXPECT_EQ(Call(329, {mask_, 10, 20, 30}), 5u);
  EXPECT_EQ(Call(329, {mask_, 10, 20, 31}), kNone);
  EXPECT_EQ(Call(329, {dst_, 10, 20, 30}), kNone) << "no palette";
  const uint32_t other = NewImage(4, 4, 8);
  EXPECT_EQ(Call(330, {other, mask_}), 1u);
  EXPECT_EQ(Call(329, {other, 10, 20, 30}), 5u);
  EXPECT_EQ(Call(330, {other, dst_}), 0u) << "a 32-bit source";
  EXPECT_EQ(Call(332, {other, 1, 2, 3, 0}), 1u);
  EXPECT_EQ(Call(329, {other, 1, 2, 3}), 0u);

  EXPECT_EQ(Call(317, {other, 32}), 0u);
  EXPECT_EQ(Image(other).GetBitsPerPixel(), 32);
  EXPECT_EQ(Image(other).GetPixel(2, 2), 0x00010203u) << "through the palette";
  EXPECT_EQ(Call(317, {other, 32}), 2u) << "the depth it has";
  EXPECT_EQ(Call(317, {other, 16}), 2u);
  EXPECT_EQ(Call(317, {other, 8}), 0u);
  EXPECT_EQ(Image(other).GetPixel(2, 2), static_cast<uint32_t>((77 * 1 + 150 * 2 + 29 * 3) >> 8));
  const uint32_t canvas = Call(239, {4, 4, 32, 0});
  EXPECT_EQ(Call(317, {canvas, 8}), kNone) << "a canvas has an image but is no plain image";
  EXPECT_EQ(Call(319, {canvas}), 0u);
  Image(other).SetAlphaFlag(1);
  EXPECT_EQ(Call(319, {other}), 1u);
}

class TimedWipeBuiltinsTest : public ImageBuiltinsTest {
 protected:
  TimedWipeBuiltinsTest() : saved_host_(g_TimedWipeHost) {
    host_.SetTimerManager(&timers_);
    g_TimedWipeHost = &host_;
    clock_.SetMilliseconds(1000);
  }
  ~TimedWipeBuiltinsTest() override { g_TimedWipeHost = saved_host_; }

  void At(uint32_t now) {
    clock_.SetMilliseconds(now);
    timers_.Dispatch(now);
  }

  ScopedFakeClock clock_;
  CTimerManager timers_;
  CTimedWipeHost host_;

 private:
  CTimedWipeHost* saved_host_;
};

TEST_F(TimedWipeBuiltinsTest, AWipeStartsFromObjectsAndEndsItsHandleWithIt) {
  EXPECT_EQ(Call(386, {2, 100, dst_, kStale, kAbsent}), 0u) << "a source that gives no image";
  EXPECT_EQ(Call(386, {2, 100, 0, src_, kAbsent}), 0u);
  EXPECT_EQ(Call(386, {22, 100, dst_, src_, kAbsent}), 0u);
  EXPECT_EQ(timers_.GetCount(), 0u);

  const uint32_t wipe = Call(386, {3, 100, dst_, src_, 4, 5, 0, kAbsent, 9, 9, 9, 9});
  ASSERT_NE(wipe, 0u);
  EXPECT_EQ(Call(389, {wipe}), 1u);
  At(1050);
  EXPECT_EQ(Image(dst_).GetPixel(4 + 7, 5), SourcePixel(7, 0)) << "the middle columns of the whole source";
  EXPECT_EQ(Call(387, {wipe}), 0u);
  EXPECT_EQ(Image(dst_).GetPixel(4, 5 + 11), SourcePixel(0, 11));
  EXPECT_EQ(Call(389, {wipe}), 0u);
  At(1060);
  for (const uint32_t id : {387u, 388u, 389u}) EXPECT_EQ(Call(id, {wipe}), 0u) << "a wipe that has ended";

  const uint32_t colour = Call(386, {8, 100, dst_, 0, 1, 2, 0x10003, 4, 300, 0, 0, 0});
  ASSERT_NE(colour, 0u);
  EXPECT_EQ(Call(388, {colour}), 0u);
  EXPECT_EQ(Call(389, {colour}), 0u);
  g_TimedWipeHost = nullptr;
  EXPECT_EQ(Call(387, {colour}), 1u);
  EXPECT_EQ(Call(388, {colour}), 1u);
  EXPECT_EQ(Call(386, {2, 100, dst_, src_, kAbsent}), 0u);
}

TEST_F(TimedWipeBuiltinsTest, AWipesHandleIsATaskHandleThatTheTaskBuiltinsTake) {
  CTimerManager* const saved_pausable = g_PausableTimerManager;
  g_PausableTimerManager = &timers_;
  const uint32_t wipe = Call(386, {2, 100, dst_, src_, kAbsent});
  ASSERT_NE(wipe, 0u);
  EXPECT_EQ(Call(211, {wipe}), 1u);
  EXPECT_EQ(Call(214, {wipe}), 1u);
  const std::vector<uint32_t> before = Pixels(Image(dst_));
  At(1200);
  EXPECT_EQ(Pixels(Image(dst_)), before) << "a paused wipe draws nothing";
  EXPECT_EQ(Call(216, {wipe}), 1u);
  EXPECT_EQ(Call(389, {wipe}), 1u);
  const uint32_t word = WordHolding(wipe);
  EXPECT_EQ(Call(212, {word}), 1u);
  EXPECT_EQ(WordAt(word), 0u);
  At(1210);
  EXPECT_EQ(Call(211, {wipe}), 0u) << "the removed wipe's handle names nothing";
  for (const uint32_t id : {387u, 388u, 389u}) EXPECT_EQ(Call(id, {wipe}), 0u);

  const uint32_t ending = Call(386, {2, 100, dst_, src_, kAbsent});
  ASSERT_NE(ending, 0u);
  EXPECT_EQ(Call(211, {ending}), 1u);
  At(1310);
  At(1320);
  EXPECT_EQ(Call(211, {ending}), 0u) << "a wipe that ran to its end";
  EXPECT_EQ(Call(389, {ending}), 0u);
  g_PausableTimerManager = saved_pausable;
}

TEST_F(TimedWipeBuiltinsTest, AWipeWhosePictureIsDeletedDrawsNoMoreAndEnds) {
  const uint32_t target = NewImage(20, 10, 32);
  const uint32_t into_deleted = Call(386, {2, 100, target, src_, kAbsent});
  ASSERT_NE(into_deleted, 0u);
  EXPECT_EQ(Call(243, {WordHolding(target)}), 0u);
  At(1050);
  EXPECT_EQ(Call(389, {into_deleted}), 0u);

  const uint32_t previous_id = Call(201, {9});
  const uint32_t canvas = Call(239, {16, 12, 32, 0});
  Call(201, {previous_id});
  Paint(Image(canvas), SourcePixel);
  const uint32_t from_deleted = Call(386, {2, 100, dst_, canvas, kAbsent});
  ASSERT_NE(from_deleted, 0u);
  const std::vector<uint32_t> before = Pixels(Image(dst_));
  EXPECT_EQ(Call(202, {9, CScreenManager::kDeleteSurfaceObjectsToo}), 0u);
  At(1100);
  EXPECT_EQ(Pixels(Image(dst_)), before) << "the source's canvas was deleted by its group id";
  EXPECT_EQ(Call(389, {from_deleted}), 0u);
  At(1110);
  EXPECT_EQ(timers_.GetCount(), 0u);
}

TEST_F(TimedWipeBuiltinsTest, TheTypeArgumentsAreCutToSixteenBits) {
  CImage expected;
  Reset(expected);
  const plat::Rect area{1, 2, 4, 6};
  expected.FillColor(40, 50, 60, 128, &area);
  // x 1, y 2, width 0x10003 → 3, height 4, colour mode 300 → a fill at 128, colour 40, 50, 60.
  ASSERT_NE(Call(386, {8, 100, dst_, 0, 1, 2, 0x10003, 4, 0x1012C, 0x10028, 50, 60}), 0u);
  At(1100);
  EXPECT_EQ(Pixels(Image(dst_)), Pixels(expected));
}

}  // namespace

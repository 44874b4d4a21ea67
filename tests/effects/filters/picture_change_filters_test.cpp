// "zoomflip", "rotcenter", "addsub" and "hblur": the pictures at the first and the last frame,
// the frames between that the edges decide, and the layers they refuse.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "effects/filters/addsub_filter.h"
#include "effects/filters/hblur_filter.h"
#include "effects/filters/rotcenter_filter.h"
#include "effects/filters/zoomflip_filter.h"
#include "effects/framework/builtin_effect_services.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/box_blur_kernels.h"
#include "transition_fixture.h"

namespace {

class PictureChangeFiltersTest : public TransitionFixture {
 protected:
  static std::uint32_t TagOf(std::uint32_t pixel) { return (pixel >> 16) & 0xFF; }
  // How many pixels of the picture carry the tag.
  static int Tagged(const CImage& image, std::uint32_t tag) {
    int count = 0;
    for (std::int32_t y = 0; y < kHeight; ++y) {
      for (std::int32_t x = 0; x < kWidth; ++x) count += TagOf(Pixel(image, x, y)) == tag ? 1 : 0;
    }
    return count;
  }
  // An empty 32-bit picture of the pages' size.
  static void MakePicture(CImage& image) { ASSERT_EQ(image.Create(kWidth, kHeight, 32, 0), 0u); }
  static std::uint32_t* Row(CImage& image, std::int32_t y) {
    return reinterpret_cast<std::uint32_t*>(image.GetRowPointer(y));
  }
  static const std::uint32_t* Row(const CImage& image, std::int32_t y) {
    return reinterpret_cast<const std::uint32_t*>(image.GetRowPointer(y));
  }
  static void CopyPixels(CImage& to, const CImage& from) {
    for (std::int32_t y = 0; y < kHeight; ++y) std::copy_n(Row(from, y), kWidth, Row(to, y));
  }
};

TEST_F(PictureChangeFiltersTest, ZoomflipPushesTheOldPictureOutAndEndsOnTheNewOne) {
  // Mode 0: the span is the width, so 320 ms move a column each 10 ms.
  auto& slide = dynamic_cast<CZoomFlipFilter&>(Start("zoomflip", {320, 0, 0}));
  EXPECT_EQ(slide.Span(), kWidth);
  EXPECT_EQ(Differences(Frame(slide, 1000), *front_.GetImage()), 0) << "progress 0: only the old picture";
  const CImage& half = Frame(slide, 1160);
  ASSERT_EQ(slide.Progress(), 16);
  for (std::int32_t x : {0, 15, 16, 31}) {
    EXPECT_EQ(TagOf(Pixel(half, x, 5)), x < 16 ? kNew : kOld) << x;
  }
  EXPECT_EQ(Pixel(half, 16, 5), Coded(kOld, 0, 5)) << "the old picture squeezed to the right half";
  Frame(slide, 1319);
  EXPECT_EQ(slide.GetState(), CTransCallback::kStateRunning);
  EXPECT_EQ(Differences(Frame(slide, 1320), *back_.GetImage()), 0) << "the end: only the new picture";
  EXPECT_EQ(slide.GetState(), CTransCallback::kStateFinished);
  EXPECT_EQ(Differences(Frame(slide, 99000), *back_.GetImage()), 0) << "the progress stays at the span";
}

TEST_F(PictureChangeFiltersTest, ZoomflipSpansAndTheZoomModesShowOnePictureAtATime) {
  struct Case {
    std::uint32_t mode;
    std::int32_t span;
  };
  for (const Case& c : {Case{1, kHeight}, Case{2, kWidth}, Case{3, kHeight}, Case{4, 512}, Case{5, 512},
                        Case{6, 256}, Case{7, 512}, Case{255, 512}}) {
    auto& zoom = dynamic_cast<CZoomFlipFilter&>(Start("zoomflip", {1000, c.mode, 1}));
    EXPECT_EQ(zoom.Span(), c.span) << c.mode;
    Frame(zoom, 0);
    Frame(zoom, 1000);
    EXPECT_EQ(zoom.GetState(), CTransCallback::kStateFinished) << c.mode;
  }
  // A long duration: e × span passes 32 bits long before the end.
  auto& slow = dynamic_cast<CZoomFlipFilter&>(Start("zoomflip", {10000000, 4, 0}));
  Frame(slow, 0);
  Frame(slow, 9000000);
  EXPECT_EQ(slow.Progress(), 460);

  for (const std::uint32_t mode : {4u, 5u}) {
    auto& zoom = dynamic_cast<CZoomFlipFilter&>(Start("zoomflip", {512, mode, 0}));
    EXPECT_EQ(Differences(Frame(zoom, 0), *front_.GetImage()), 0) << mode;
    const CImage& early = Frame(zoom, 128);
    EXPECT_EQ(Tagged(early, kOld), kWidth * kHeight) << "the old picture's centre, zoomed " << mode;
    // Mode 5 lays this frame at level 8 over the ones before.
    if (mode == 4) {
      EXPECT_EQ(TagOf(Pixel(Frame(zoom, 400), 16, 8)), kNew);
    }
    EXPECT_EQ(Differences(Frame(zoom, 512), *back_.GetImage()), 0) << "size 256 at the end: full level " << mode;
  }
}

TEST_F(PictureChangeFiltersTest, ZoomflipModeFiveDrawsAFrameOnceAndFaintlyAfterTheFirst) {
  auto& zoom = dynamic_cast<CZoomFlipFilter&>(Start("zoomflip", {512, 5, 0}));
  CImage& work = *front_.GetWorkImage();
  Frame(zoom, 0);
  ASSERT_TRUE(work.FillRect(0, 0, 0, nullptr));
  zoom.RenderStrip(plat::Rect{0, 0, kWidth, kHeight});
  EXPECT_EQ(Pixel(work, 3, 3), 0u) << "the same progress again draws nothing";
  const std::uint32_t red = (Pixel(Frame(zoom, 100), 16, 8) >> 16) & 0xFF;
  EXPECT_GT(red, 0u);
  EXPECT_LT(red, 0x40u / 8) << "level 8 over black";
}

TEST_F(PictureChangeFiltersTest, RotcenterShowsNothingOfTheTurningPictureWhileItIsTooSmall) {
  auto& rot = dynamic_cast<CRotCenterFilter&>(Start("rotcenter", {512, 0, 0}));
  EXPECT_EQ(Differences(Frame(rot, 0), *front_.GetImage()), 0);
  // The height of 16 × a >> 9 stays below 2 up to angle 63.
  EXPECT_EQ(Differences(Frame(rot, 63), *front_.GetImage()), 0);
  EXPECT_GT(Tagged(Frame(rot, 64), kNew), 0) << "4 × 2 pixels at angle 64";
  EXPECT_GT(Tagged(Frame(rot, 300), kNew), Tagged(Frame(rot, 300), kOld) / 4);
  EXPECT_EQ(Differences(Frame(rot, 512), *back_.GetImage()), 0) << "a whole turn: the new picture upright";
  EXPECT_EQ(rot.GetState(), CTransCallback::kStateFinished);

  auto& away = dynamic_cast<CRotCenterFilter&>(Start("rotcenter", {512, 1, 0}));
  EXPECT_EQ(Differences(Frame(away, 0), *front_.GetImage()), 0) << "direction 1 starts on the whole old picture";
  EXPECT_EQ(Differences(Frame(away, 449), *back_.GetImage()), 0) << "and shows only the new one below 2 pixels";
  EXPECT_EQ(Differences(Frame(away, 512), *back_.GetImage()), 0);
}

TEST_F(PictureChangeFiltersTest, RotcenterDrawsTheTurningPictureWithItsDrawMode) {
  // A see-through new picture: a copy shows it, a draw by its alpha leaves the old one.
  for (std::int32_t y = 0; y < kHeight; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(back_.GetImage()->GetRowPointer(y));
    for (std::int32_t x = 0; x < kWidth; ++x) row[x] &= 0x00FFFFFFu;
  }
  struct Case {
    std::uint32_t mode;
    bool shows_new;
  };
  for (const Case c : {Case{kPixelBlendLevel, true}, Case{kPixelBlendAlpha, false}}) {
    auto& rot = dynamic_cast<CRotCenterFilter&>(Start("rotcenter", {512, 0, c.mode}));
    Frame(rot, 0);
    EXPECT_EQ(Tagged(Frame(rot, 300), kNew) > 0, c.shows_new) << c.mode;
  }
}

TEST_F(PictureChangeFiltersTest, RotcenterDirectionTwoDrawsEachAngleOnceAndLaysLaterOnesFaintly) {
  auto& rot = dynamic_cast<CRotCenterFilter&>(Start("rotcenter", {512, 2, 0}));
  CImage& work = *front_.GetWorkImage();
  EXPECT_EQ(Differences(Frame(rot, 0), *front_.GetImage()), 0);
  ASSERT_TRUE(work.FillRect(0, 0, 0, nullptr));
  rot.RenderStrip(plat::Rect{0, 0, kWidth, kHeight});
  EXPECT_EQ(Pixel(work, 16, 8), 0u) << "the same angle draws nothing";
  const CImage& faint = Frame(rot, 400);
  EXPECT_EQ(Pixel(faint, 0, 0), 0u) << "level 16 leaves the background alone";
  const std::uint32_t red = (Pixel(faint, 16, 8) >> 16) & 0xFF;
  EXPECT_GT(red, 0u);
  EXPECT_LE(red, 0xC0u * 16 / 255 + 1);
}

TEST_F(PictureChangeFiltersTest, AddsubBrightensOrDarkensAndEndsOnThePlainNewPicture) {
  const auto added = [](std::uint32_t pixel, std::int32_t v) {
    std::uint32_t out = pixel & 0xFF000000u;
    for (int shift : {0, 8, 16}) {
      const std::int32_t c = static_cast<std::int32_t>((pixel >> shift) & 0xFF) + v;
      out |= static_cast<std::uint32_t>(std::clamp(c, 0, 255)) << shift;
    }
    return out;
  };
  struct Case {
    std::uint32_t mode;
    std::uint32_t tag;  // the picture seen at level 100
    std::int32_t change;
  };
  for (const Case& c : {Case{0, kOld, 100}, Case{1, kNew, 155}, Case{2, kOld, -100}, Case{3, kNew, -155}}) {
    auto& addsub = dynamic_cast<CAddSubFilter&>(Start("addsub", {255, c.mode}));
    EXPECT_EQ(addsub.GetType(), 0);
    Frame(addsub, 0);
    const CImage& mid = Frame(addsub, 100);
    ASSERT_EQ(addsub.Level(), 100);
    for (const std::int32_t x : {0, 9, 31}) {
      EXPECT_EQ(Pixel(mid, x, 7), added(Coded(c.tag, x, 7), c.change)) << c.mode << " at " << x;
    }
    Frame(addsub, 254);
    EXPECT_EQ(addsub.GetState(), CTransCallback::kStateRunning);
    EXPECT_EQ(Differences(Frame(addsub, 255), *back_.GetImage()), 0) << c.mode;
    EXPECT_EQ(addsub.GetState(), CTransCallback::kStateFinished);
  }
}

TEST_F(PictureChangeFiltersTest, HblurRadiusIsHeldToOneTo127) {
  struct Case {
    std::uint32_t radius;
    std::uint32_t mode;
    std::uint8_t held;
    std::int32_t span;
  };
  for (const Case& c : {Case{0, 0, 1, 3}, Case{1, 0, 1, 3}, Case{127, 0, 127, 255}, Case{200, 0, 127, 255},
                        Case{256, 0, 1, 3}, Case{0, 1, 1, 255}, Case{200, 3, 127, 255}}) {
    auto& hblur = dynamic_cast<CHBlurFilter&>(Start("hblur", {100, c.mode, c.radius}));
    EXPECT_EQ(hblur.Radius(), c.held) << c.radius;
    EXPECT_EQ(hblur.Span(), c.span) << c.radius;
  }
}

TEST_F(PictureChangeFiltersTest, HblurModeZeroBlursTheOldPictureUpAndTheNewOneDown) {
  const auto blurred = [&](const CImage& picture, std::int32_t radius, CImage& out) {
    MakePicture(out);
    BoxBlurH32(Row(out, 0), Row(picture, 0), out.GetPitch() - 4 * kWidth, picture.GetPitch() - 4 * kWidth, kWidth,
               kHeight, 0, kWidth, radius);
  };
  CImage old_blur;
  CImage new_blur;
  blurred(*front_.GetImage(), 2, old_blur);
  blurred(*back_.GetImage(), 2, new_blur);
  // The mean of five with the edge pixels repeated: column 0 reads 0, 0, 0, 1, 2.
  EXPECT_EQ((Pixel(old_blur, 0, 0) >> 8) & 0xFF, (3 * 0 + 7 + 14) / 5u);

  auto& hblur = dynamic_cast<CHBlurFilter&>(Start("hblur", {5, 0, 2}));
  EXPECT_EQ(Differences(Frame(hblur, 0), *front_.GetImage()), 0) << "progress 0: the plain old picture";
  EXPECT_EQ(Differences(Frame(hblur, 2), old_blur), 0) << "b = 2 on the old picture";
  EXPECT_EQ(Differences(Frame(hblur, 3), new_blur), 0) << "b = 2 on the new picture";
  EXPECT_EQ(Differences(Frame(hblur, 5), *back_.GetImage()), 0) << "the end: the plain new picture";
  EXPECT_EQ(hblur.GetState(), CTransCallback::kStateFinished);
}

TEST_F(PictureChangeFiltersTest, HblurOtherModesBlendTheBlurredNewPictureOverTheOldOne) {
  CImage expected;
  MakePicture(expected);
  CopyPixels(expected, *front_.GetImage());
  BoxBlurH32Level(Row(expected, 0), Row(*back_.GetImage(), 0), expected.GetPitch() - 4 * kWidth,
                  back_.GetImage()->GetPitch() - 4 * kWidth, kWidth, kHeight, 0, kWidth, 127, 128);
  auto& hblur = dynamic_cast<CHBlurFilter&>(Start("hblur", {255, 1, 127}));
  Frame(hblur, 0);
  EXPECT_EQ(Differences(Frame(hblur, 128), expected), 0) << "p = 128: radius 127 × 127 / 127";

  EXPECT_EQ(Differences(Frame(hblur, 255), *back_.GetImage()), 0);

  // Radius 1 stays below one pixel of blur (1 × p / 127) save at half time: a plain cross-fade.
  CImage faded;
  MakePicture(faded);
  PixelCrossFadeArgs args;
  args.level = 100;
  ASSERT_EQ(faded.PixelLibBlendTwo(front_.GetImage(), back_.GetImage(), args), 0u);
  auto& soft = dynamic_cast<CHBlurFilter&>(Start("hblur", {255, 2, 1}));
  Frame(soft, 0);
  EXPECT_EQ(Differences(Frame(soft, 100), faded), 0);
}

TEST_F(PictureChangeFiltersTest, ADurationOfOneShowsTheOldPictureOnceAndEndsAMillisecondLater) {
  const struct {
    const char* name;
    PluginArgList args;
  } cases[] = {{"zoomflip", {1, 0, 0}}, {"zoomflip", {1, 5, 0}}, {"rotcenter", {1, 0, 0}},
               {"addsub", {1, 2}},      {"hblur", {1, 0, 200}},  {"hblur", {1, 1, 3}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CTransCallback& filter = Start(c.name, c.args);
    EXPECT_EQ(Differences(Frame(filter, 0xFFFFFFFFu), *front_.GetImage()), 0) << "the first frame, at the clock's wrap";
    EXPECT_EQ(filter.GetState(), CTransCallback::kStateRunning);
    EXPECT_EQ(Differences(Frame(filter, 0), *back_.GetImage()), 0);
    EXPECT_EQ(filter.GetState(), CTransCallback::kStateFinished);
  }
}

// The engine makes no 16-bit pictures, so an 8-bit part stands for every depth but 32.
TEST_F(PictureChangeFiltersTest, APartNotOf32BitsAShortDurationOrNoArgumentsAreRefused) {
  g_BuiltinEffectServices.random_index = &g_ScriptRandomIndex;
  g_BuiltinEffectServices.random_state = &g_ScriptRandomState;
  CImageCanvasEx eight;
  ASSERT_EQ(eight.Create(kWidth, kHeight, 8, CImagePart::kNoLayer), 0u);
  const std::uintptr_t decay = reinterpret_cast<std::uintptr_t>("1.0");
  const struct {
    const char* name;
    PluginArgList args;
    std::int32_t too_short;  // what a duration of 1 less than the shortest gives
    std::uint32_t shortest;
  } cases[] = {
      {"quake", {1, 4, 4, 500, decay, 1}, CTransCallback::kAccepted, 0},
      {"zoomflip", {500, 0, 0}, CTransCallback::kMissingArgument, 1},
      {"rotcenter", {500, 0, 0}, CTransCallback::kMissingArgument, 1},
      {"addsub", {500, 0}, CTransCallback::kMissingArgument, 1},
      {"hblur", {500, 0, 2}, CTransCallback::kMissingArgument, 1},
      {"ripple", {500, 0, 0, 16, 0, 0, 8}, CTransCallback::kUnfitTarget, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RefPtr<CTcpObject> object = filters_.CreateObject(c.name);
    auto* filter = dynamic_cast<CTransCallback*>(object.get());
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter->SetParam(&eight, c.args.View()), CTransCallback::kUnfitTarget);
    EXPECT_EQ(filter->SetParam(nullptr, c.args.View()), CTransCallback::kMissingArgument);
    EXPECT_EQ(filter->SetParam(&front_, PluginArgs{nullptr, 0}), CTransCallback::kMissingArgument);
    const PluginArgs view = c.args.View();
    std::vector<std::uintptr_t> words(view.words, view.words + view.count);
    words[c.name == std::string("quake") ? 3 : 0] = c.shortest == 0 ? 0 : c.shortest - 1;
    EXPECT_EQ(filter->SetParam(&front_, PluginArgs{words.data(), view.count}), c.too_short);
    words[c.name == std::string("quake") ? 3 : 0] = c.shortest;
    EXPECT_EQ(filter->SetParam(&front_, PluginArgs{words.data(), view.count}), CTransCallback::kAccepted);
  }
  eight.Release();
  g_BuiltinEffectServices.random_index = nullptr;
  g_BuiltinEffectServices.random_state = nullptr;
}

}  // namespace

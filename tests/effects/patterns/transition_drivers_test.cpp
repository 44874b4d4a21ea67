// The built-in transitions driven by the parts they are attached to: a canvas plays its source
// part's picture into its own, the frame's front page plays itself into the back page, each
// through its present path with the clock.
#include <gtest/gtest.h>

#include "effects/filters/transition_fixture.h"
#include "gfx/display/surface_canvas.h"
#include "pixel/formats/pixel_format_codes.h"
#include "scene/drawables/draw_layer.h"
#include "support/software_surfaces.h"
#include "support/sprite_device_screen.h"

namespace {

constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kMagenta = 0xFF00FF;

class TransitionDriversTest : public TransitionFixture {
 protected:
  static CDrawLayer& LayerOf(CImagePart& part) { return *dynamic_cast<CDrawLayer*>(part.GetLayer()); }
  static void Fill(CImage& image, std::uint32_t colour) {
    for (std::int32_t y = 0; y < image.GetHeight(); ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(image.GetRowPointer(y));
      for (std::int32_t x = 0; x < image.GetWidth(); ++x) row[x] = 0xFF000000u | colour;
    }
  }
  // A magenta canvas over a green source part (the back page's picture).
  void PrepareCanvas(CSurfaceCanvas& canvas) {
    ASSERT_EQ(canvas.Create(kWidth, kHeight, 32, CImagePart::kLayer), 0u);
    LayerOf(canvas).SetBackgroundColor(kMagenta, true);
    ASSERT_EQ(canvas.Update(true), 0);
    Fill(*back_.GetImage(), kGreen);
    ASSERT_EQ(canvas.SetPartner(&back_), 0u);
  }
  // The colour bits where the whole surface shows one colour, else 0xFFFFFFFF.
  static std::uint32_t Uniform(plat::Surface& surface) {
    const std::uint32_t first = SoftwareSurfaces::Pixel(surface, 0, 0) & 0xFFFFFF;
    for (std::int32_t y = 0; y < kHeight; ++y) {
      for (std::int32_t x = 0; x < kWidth; ++x) {
        if ((SoftwareSurfaces::Pixel(surface, x, y) & 0xFFFFFF) != first) return 0xFFFFFFFF;
      }
    }
    return first;
  }
};

TEST_F(TransitionDriversTest, ACrossOnTheFramesPagesGoesFromTheFrontPageToTheBackPage) {
  LayerOf(front_).SetBackgroundColor(kBlue, true);
  LayerOf(back_).SetBackgroundColor(kRed, true);
  SoftwareSurfaces surfaces;
  auto screen = surfaces.Make(plat::SurfaceFormat::kXrgb8888, kWidth, kHeight);
  const auto present = [&] { return front_.PresentDirty(0, nullptr, screen.get(), kPixelFormatXrgb8888, true); };

  clock_.SetMilliseconds(20000);
  Start("cross", {500});
  ASSERT_EQ(present(), 0);
  EXPECT_EQ(Uniform(*screen), kBlue) << "0 ms: the front page";
  clock_.SetMilliseconds(20250);
  present();
  const std::uint32_t half = Uniform(*screen);
  EXPECT_EQ(half & 0x00FF00, 0u);
  EXPECT_NE(half & 0xFF0000, 0u) << "half way both pages show";
  EXPECT_NE(half & 0x0000FF, 0u);
  clock_.SetMilliseconds(20500);
  present();
  EXPECT_FALSE(front_.HasAttached()) << "the end lets the filter go";
  present();
  EXPECT_EQ(Uniform(*screen), kRed) << "the back page, now the front part's layer";
}

TEST_F(TransitionDriversTest, ACrossThatHandsOverTheBackgroundsGoesFromOneBackgroundToTheOther) {
  CImage blue;
  CImage red;
  ASSERT_EQ(blue.Create(kWidth + 8, kHeight, 32, 0), 0u);
  ASSERT_EQ(red.Create(kWidth, kHeight, 32, 0), 0u);
  Fill(blue, kBlue);
  Fill(red, kRed);
  ASSERT_TRUE(LayerOf(front_).SetBackgroundImage(&blue, 0, 0, true));
  LayerOf(front_).SetBackgroundOffset(8, 0);
  ASSERT_TRUE(LayerOf(back_).SetBackgroundImage(&red, 0, 0, true));
  // What the parts' images hold besides (their lists drawn over, say) is not the background.
  Fill(*front_.GetImage(), kMagenta);
  Fill(*back_.GetImage(), kGreen);
  SoftwareSurfaces surfaces;
  auto screen = surfaces.Make(plat::SurfaceFormat::kXrgb8888, kWidth, kHeight);
  const auto present = [&] { front_.PresentDirty(0, nullptr, screen.get(), kPixelFormatXrgb8888, true); };

  clock_.SetMilliseconds(30000);
  ASSERT_EQ(CreateLayerFilterByName(&front_, "cross", CImagePart::kModeSwapBackgrounds, 1, Args({500})),
            kFilterAttached);
  present();
  EXPECT_EQ(Uniform(*screen), kBlue) << "0 ms: the front layer's background";
  clock_.SetMilliseconds(30250);
  present();
  const std::uint32_t half = Uniform(*screen);
  EXPECT_EQ(half & 0x00FF00, 0u) << "neither part's own picture";
  EXPECT_NE(half & 0xFF0000, 0u);
  EXPECT_NE(half & 0x0000FF, 0u);
  clock_.SetMilliseconds(30500);
  present();
  EXPECT_FALSE(front_.HasAttached());
  present();
  EXPECT_EQ(Uniform(*screen), kRed) << "the back layer's background, now the front layer's";
}

TEST_F(TransitionDriversTest, ACrossOnACanvasGoesFromItsSourcePartToItsOwnPicture) {
  SpriteDeviceScreen device;
  CSurfaceCanvas canvas;
  ASSERT_NO_FATAL_FAILURE(PrepareCanvas(canvas));
  plat::Surface& surface = *canvas.GetSurface();
  ASSERT_EQ(Uniform(surface), kMagenta);

  clock_.SetMilliseconds(5000);
  ASSERT_EQ(CreateLayerFilterByName(&canvas, "cross", CImagePart::kModePlain, 1, Args({500})), kFilterAttached);
  ASSERT_EQ(canvas.Update(true), 0);
  EXPECT_EQ(Uniform(surface), kGreen) << "0 ms: the source part's picture";
  clock_.SetMilliseconds(5100);
  canvas.Update(true);
  const std::uint32_t early = Uniform(surface);
  EXPECT_NE(early & 0xFF00FF, 0u) << "the canvas's picture shows through";
  EXPECT_NE(early & 0x00FF00, 0u);
  clock_.SetMilliseconds(5500);
  canvas.Update(true);
  EXPECT_FALSE(canvas.HasAttached());
  canvas.Update(true);
  EXPECT_EQ(Uniform(surface), kMagenta) << "from the end on: the canvas's own picture";
}

TEST_F(TransitionDriversTest, AToneTintsTheCanvassOwnPictureAndTheFramesFrontPage) {
  SpriteDeviceScreen device;
  CSurfaceCanvas canvas;
  ASSERT_NO_FATAL_FAILURE(PrepareCanvas(canvas));
  LayerOf(front_).SetBackgroundColor(kBlue, true);
  LayerOf(back_).SetBackgroundColor(kRed, true);
  SoftwareSurfaces surfaces;
  auto screen = surfaces.Make(plat::SurfaceFormat::kXrgb8888, kWidth, kHeight);

  // Black over 1000 ms: half way each picture shows at about half its brightness.
  clock_.SetMilliseconds(8000);
  ASSERT_EQ(CreateLayerFilterByName(&canvas, "tone", CImagePart::kModePlain, 1, Args({1000, 0xFF000000, 0})),
            kFilterAttached);
  ASSERT_EQ(CreateLayerFilterByName(&front_, "tone", CImagePart::kModeSwapLayers, 0, Args({1000, 0xFF000000, 0})),
            kFilterAttached);
  canvas.Update(true);
  front_.PresentDirty(0, nullptr, screen.get(), kPixelFormatXrgb8888, true);
  EXPECT_EQ(Uniform(*canvas.GetSurface()), kMagenta);
  EXPECT_EQ(Uniform(*screen), kBlue);
  clock_.SetMilliseconds(8500);
  canvas.Update(true);
  front_.PresentDirty(0, nullptr, screen.get(), kPixelFormatXrgb8888, true);
  const std::uint32_t canvas_half = Uniform(*canvas.GetSurface());
  EXPECT_EQ(canvas_half & 0x00FF00, 0u) << "the source part does not show";
  EXPECT_GT(canvas_half & 0xFF, 0x60u);
  EXPECT_LT(canvas_half & 0xFF, 0xA0u);
  EXPECT_EQ(canvas_half >> 16, canvas_half & 0xFF);
  const std::uint32_t page_half = Uniform(*screen);
  EXPECT_EQ(page_half & 0xFFFF00, 0u) << "the back page does not show";
  EXPECT_GT(page_half, 0x60u);
  EXPECT_LT(page_half, 0xA0u);
}

}  // namespace

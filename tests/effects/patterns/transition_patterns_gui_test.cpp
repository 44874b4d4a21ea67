// Every transition pattern at the middle level, one tile each, drawn into the frame image and
// shown in a real window (run under Xvfb): what the window shows is what the patterns drew.
// Written to transition_patterns.png in the build folder.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/numbers/subtractive_random.h"
#include "base/numbers/trig_tables.h"
#include "effects/patterns/transition_patterns.h"
#include "gfx/display/direct_draw_device.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "pixel/kernels/pixel_tables.h"
#include "platform/window/native_window.h"
#include "support/png_file.h"
#include "support/test_window.h"

namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;
constexpr int32_t kTileWidth = 64;
constexpr int32_t kTileHeight = 48;
constexpr uint32_t kBackdrop = 0xFF202020;

class TransitionPatternsGuiTest : public WindowTestBase {
 protected:
  void SetUp() override {
    BuildPixelTables();
    g_TrigTable = &trig_;
    window_ = OpenTestWindow("transition patterns", 20, 20, kWidth, kHeight);
    ASSERT_NE(window_, nullptr);
    ASSERT_EQ(frame_.Create(kWidth, kHeight, 32, CImagePart::kNoLayer), 0u);
    ASSERT_EQ(source_.Create(kTileWidth, kTileHeight, 32, 0), 0u);
    // Colour ramps across and down with a darker line every 8 pixels, so that a piece out of
    // place shows.
    for (int32_t y = 0; y < kTileHeight; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(source_.GetRowPointer(y));
      for (int32_t x = 0; x < kTileWidth; ++x) {
        const uint32_t line = x % 8 == 0 || y % 8 == 0 ? 2 : 1;
        row[x] = 0xFF000000 | ((x * 4 / line) << 16) | ((y * 5 / line) << 8) | ((255 - (x + y) * 2) / line);
      }
    }
    screen_ = std::make_unique<CScreenManager>();
    screen_->SetFrameImage(&frame_);
  }

  void TearDown() override {
    screen_.reset();
    CDirectDrawDevice::FreeDevices();
    window_.reset();
    g_TrigTable = nullptr;
  }

  CTrigTables trig_;
  std::unique_ptr<plat::Window> window_;
  CImageCanvasEx frame_;
  CImage source_;
  std::unique_ptr<CScreenManager> screen_;
};

TEST_F(TransitionPatternsGuiTest, EveryPatternAtTheMiddleLevelReachesTheWindow) {
  ASSERT_EQ(screen_->SetDisplayMode(window_->Id(), true, false, false), 0u);
  CImage& image = *frame_.GetImage();
  for (int32_t y = 0; y < kHeight; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.GetRowPointer(y));
    for (int32_t x = 0; x < kWidth; ++x) row[x] = kBackdrop;
  }
  SeedSubtractive(g_SubtractiveIndex, g_SubtractiveState, 87);
  for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
    const plat::Rect tile{(type % 10) * kTileWidth, (type / 10) * kTileHeight, (type % 10 + 1) * kTileWidth,
                          (type / 10 + 1) * kTileHeight};
    // Each pattern stays in its tile, however far its pieces fly.
    ASSERT_TRUE(image.SetClipRect(&tile));
    EXPECT_EQ(DrawTransitionPattern(type, &image, &source_, 128, tile.left, tile.top, kTransitionCopy, nullptr), 0)
        << type;
  }
  ASSERT_TRUE(image.SetClipRect(nullptr));
  const plat::Rect whole{0, 0, kWidth, kHeight};
  frame_.MarkDirty(&whole);
  ASSERT_EQ(screen_->UpdateScreen(), 0u);

  const std::vector<uint32_t> shown = ShownPixels(*window_, kWidth, kHeight);
  ASSERT_EQ(shown.size(), static_cast<size_t>(kWidth * kHeight));
  EXPECT_TRUE(WritePng("transition_patterns.png", shown, kWidth, kHeight));
  int32_t differing = 0;
  int32_t revealed = 0;
  for (int32_t y = 0; y < kHeight; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(image.GetRowPointer(y));
    for (int32_t x = 0; x < kWidth; ++x) {
      differing += (shown[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF) != (row[x] & 0xFFFFFF) ? 1 : 0;
      revealed += row[x] != kBackdrop ? 1 : 0;
    }
  }
  EXPECT_EQ(differing, 0);
  // The tiles of the patterns hold some of the source and some of the backdrop alike.
  EXPECT_GT(revealed, kWidth * kHeight / 4);
  EXPECT_LT(revealed, kWidth * kHeight * 87 / 100);
}

}  // namespace

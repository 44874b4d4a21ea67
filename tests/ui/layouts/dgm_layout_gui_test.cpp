// A screen layout shown in a real window (run under Xvfb): the background picture behind the
// parts, a picture part at its own size, a part cut to the size its record gives, and a hidden
// part that shows nothing. Written to dgm_layout.png in the build folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dgm_writer.h"
#include "scene/drawables/draw_layer.h"
#include "support/layer_window_test.h"
#include "support/png_file.h"
#include "support/scoped_pixel_library.h"
#include "ui/layouts/dgm_buffer_set.h"
#include "ui/widgets/picture_files_test.h"

namespace {

constexpr int32_t kWidth = 160;
constexpr int32_t kHeight = 120;
constexpr uint32_t kBackground = 0xFF203040;
constexpr uint32_t kPicture = 0xFFC02020;
constexpr uint32_t kFirstFrame = 0xFF20C020;
constexpr uint32_t kSecondFrame = 0xFF2020C0;
constexpr uint32_t kHidden = 0xFFE0E0E0;

class DgmLayoutWindowTest : public LayerWindowFilesTestBase {
 protected:
  DgmLayoutWindowTest() : LayerWindowFilesTestBase("layout test", kWidth, kHeight) {}

  ScopedPixelLibrary pixels_;
};

TEST_F(DgmLayoutWindowTest, TheBackgroundAndTheShownPartsReachTheWindow) {
  gui_test::WriteFramesElg(game_, "MENU/back.elg", kWidth, kHeight, {kBackground});
  gui_test::WriteFramesElg(game_, "MENU/red.elg", 30, 20, {kPicture});
  gui_test::WriteFramesElg(game_, "MENU/strip.elg", 25, 30, {kFirstFrame, kSecondFrame});
  gui_test::WriteFramesElg(game_, "MENU/white.elg", 20, 20, {kHidden});
  const std::vector<uint8_t> layout = kvxtools::EncodeDgm(
      {"back.elg",
       {{"red.elg", 0, 10, 10}, {"strip.elg", 1, 60, 40, 255, 1, 25, 30, 0}, {"white.elg", 0, 110, 80, 255, 0}}});
  game_.WriteFile("MENU/title.gmp", std::string(layout.begin(), layout.end()));

  auto* layer = dynamic_cast<CDrawLayer*>(frame_.GetLayer());
  ASSERT_NE(layer, nullptr);
  CDgmBufferSet set;
  ASSERT_EQ(set.Load(screen_.get(), layer, "MENU\\title.gmp", 0, false, false), 0u);
  ASSERT_EQ(screen_->UpdateScreen(), 0u);

  const std::vector<uint32_t> shown = ShownPixels(*window_, kWidth, kHeight);
  ASSERT_EQ(shown.size(), static_cast<size_t>(kWidth * kHeight));
  EXPECT_TRUE(WritePng("dgm_layout.png", shown, kWidth, kHeight));
  const auto at = [&](int32_t x, int32_t y) { return shown[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF; };
  struct Probe {
    int32_t x, y;
    uint32_t colour;
    const char* what;
  };
  const Probe probes[] = {
      {5, 5, kBackground, "background"},
      {10, 10, kPicture, "picture's top-left"},
      {39, 29, kPicture, "picture's bottom-right"},
      {40, 30, kBackground, "just past the picture"},
      {60, 40, kFirstFrame, "record-sized part"},
      {84, 69, kFirstFrame, "its last pixel"},
      {85, 50, kBackground, "the strip's second frame is cut off"},
      {115, 85, kBackground, "hidden part"},
  };
  for (const Probe& p : probes) EXPECT_EQ(at(p.x, p.y), p.colour & 0xFFFFFF) << p.what;
  layer->SetBackgroundImage(nullptr, 0, 0, false);
}

}  // namespace

// A tooltip in the installed Japanese face, blended onto the frame where the root window placed
// it and presented to a real window (run under Xvfb); written to tooltip.png in the build folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gfx/display/direct_draw_device.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "pixel/kernels/pixel_tables.h"
#include "support/fake_screen_transition.h"
#include "support/japanese_face.h"
#include "support/png_file.h"
#include "support/test_window.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_root_window.h"
#include "ui/gui/gui_test_support.h"

namespace {

constexpr char kTip[] = "\x83\x71\x83\x93\x83\x67: tooltip";                     // ヒント: tooltip
constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;
constexpr uint32_t kBackground = 0x203048;
constexpr uint32_t kFrame = 0x445F97;

class TooltipGuiTest : public WindowTestBase {};

TEST_F(TooltipGuiTest, TheTooltipReachesTheWindowBesideThePointer) {
  BuildPixelTables();
  auto window = OpenTestWindow("tooltip test", 20, 20, kWidth, kHeight);
  ASSERT_NE(window, nullptr);
  FakeDrawLayers layers;
  CImageCanvasEx tooltip_part;
  ASSERT_EQ(tooltip_part.Create(kWidth, kHeight, 32, CImagePart::kLayer), 0u);
  CImageCanvasEx frame;
  ASSERT_EQ(frame.Create(kWidth, kHeight, 32, CImagePart::kNoLayer), 0u);
  frame.GetImage()->FillRectArgb(0xFF000000 | kBackground, nullptr);
  CFont font;
  ASSERT_EQ(font.SetFont(16, 0, 0, kGothic), 0u);
  font.text_color = Rgb{0, 0, 0};

  gui_test::FakeGuiApplication pointer;
  std::vector<std::string> log;
  gui_test::LoggingElement button("button", log, plat::Rect{40, 40, 200, 120});
  button.SetText(kTip);
  CGuiRootWindow root;
  root.AddChild(&button, -1);
  root.SetTooltipLayer(&tooltip_part);
  root.SetTooltipFont(&font);
  root.SetTooltipMode(true, 300, 0);
  pointer.pointer = {60, 60};
  root.ProcessInput(1000);
  root.ProcessInput(1300);
  ASSERT_TRUE(root.IsTooltipVisible());
  const plat::Point place = root.GetTooltipPosition();
  EXPECT_EQ(place.x, 60);
  EXPECT_EQ(place.y, 82);

  CImage& tip = root.GetTooltipImage();
  ASSERT_EQ(frame.GetImage()->AlphaBlend(&tip, place.x, place.y, nullptr, false), 0u);
  frame.MarkDirty(nullptr);
  auto screen = std::make_unique<CScreenManager>();
  screen->SetFrameImage(&frame);
  ASSERT_EQ(screen->SetDisplayMode(window->Id(), true, false, false), 0u);
  ASSERT_EQ(screen->UpdateScreen(), 0u);
  const std::vector<uint32_t> shown = ShownPixels(*window, kWidth, kHeight);
  ASSERT_EQ(shown.size(), static_cast<size_t>(kWidth * kHeight));
  auto at = [&](int32_t x, int32_t y) { return shown[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF; };
  const int32_t w = tip.GetWidth();
  const int32_t h = tip.GetHeight();
  EXPECT_EQ(at(place.x, place.y), kFrame);
  EXPECT_EQ(at(place.x + w - 5, place.y + h - 5), kFrame);
  EXPECT_EQ(at(place.x + w - 1, place.y), kBackground);  // the clear corner of the shadow
  EXPECT_EQ(at(place.x + w - 1, place.y + h - 1), 0x0F1723u);  // the background at 127/255
  EXPECT_EQ(at(place.x - 1, place.y + 5), kBackground);
  int32_t ink = 0;
  int32_t body = 0;
  for (int32_t y = place.y + 3; y < place.y + h - 7; ++y) {
    for (int32_t x = place.x + 3; x < place.x + w - 7; ++x) {
      const uint32_t pixel = at(x, y);
      ink += (pixel & 0xFF) < 0x80 ? 1 : 0;
      body += (pixel & 0xFF) > 0xC0 ? 1 : 0;
    }
  }
  EXPECT_GT(ink, 60);
  EXPECT_GT(body, ink);
  EXPECT_TRUE(WritePng("tooltip.png", shown, kWidth, kHeight));
  screen.reset();
  CDirectDrawDevice::FreeDevices();
}

}  // namespace

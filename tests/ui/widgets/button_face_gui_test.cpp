// Buttons' faces in a real window (run under Xvfb), composed by the frame's draw layer: an image
// button shows the frame of its state from its strip, a push button its half-transparent colour
// over what lies below. Written to button_faces.png in the build folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "scene/drawables/draw_list.h"
#include "support/layer_window_test.h"
#include "support/png_file.h"
#include "support/scoped_pixel_library.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/push_button.h"

namespace {

constexpr int32_t kWidth = 200;
constexpr int32_t kHeight = 120;
constexpr int32_t kFrameWidth = 40;
constexpr int32_t kFrameHeight = 30;
// Normal, hot, disabled.
constexpr uint32_t kFrameColours[] = {0xFF2060C0, 0xFF40A040, 0xFF808080};

class ButtonFaceWindowTest : public LayerWindowTestBase {
 protected:
  ButtonFaceWindowTest() : LayerWindowTestBase("button face test", kWidth, kHeight) {}
  std::vector<uint32_t> Present() {
    EXPECT_EQ(screen_->UpdateScreen(), 0U);
    return ShownPixels(*window_, kWidth, kHeight);
  }

  ScopedPixelLibrary pixels_;
};

TEST_F(ButtonFaceWindowTest, TheStateFrameAndTheStateColourReachTheWindow) {
  auto* list = dynamic_cast<CDrawList*>(frame_.GetList());
  ASSERT_NE(list, nullptr);
  CImage strip;
  ASSERT_EQ(strip.Create(3 * kFrameWidth, kFrameHeight, 32, 0), 0U);
  for (int32_t frame = 0; frame < 3; ++frame) {
    const plat::Rect part{frame * kFrameWidth, 0, (frame + 1) * kFrameWidth, kFrameHeight};
    strip.FillRectArgb(kFrameColours[frame], &part);
  }
  CImageButton image_button;
  ASSERT_EQ(image_button.CreateFromImage(list, 5, &strip, true, false, 20, 30, 0, 255, 0), 0U);
  CPushButton push_button;
  ASSERT_EQ(push_button.Create(list, 4, 100, 30, 60, 40, 0x80FF0000, CPushButton::kKeepColour,
                               CPushButton::kKeepColour, 0),
            0U);

  std::vector<uint32_t> shown = Present();
  auto at = [&](int32_t x, int32_t y) { return shown[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF; };
  const uint32_t below = at(5, 5);
  EXPECT_EQ(at(20, 30), kFrameColours[0] & 0xFFFFFF);
  EXPECT_EQ(at(20 + kFrameWidth - 1, 30 + kFrameHeight - 1), kFrameColours[0] & 0xFFFFFF);
  EXPECT_EQ(at(20 + kFrameWidth, 30), below) << "one frame wide";
  for (int shift : {0, 8, 16}) {
    const int under = static_cast<int>(below >> shift & 0xFF);
    const int colour = shift == 16 ? 0xFF : 0;
    const int expected = under + (colour - under) * 0x80 / 255;
    EXPECT_LE(std::abs(static_cast<int>(at(130, 50) >> shift & 0xFF) - expected), 1) << "channel " << shift;
  }
  EXPECT_TRUE(WritePng("button_faces.png", shown, kWidth, kHeight));

  ASSERT_TRUE(image_button.SetEnabled(false));
  push_button.SetActive(false);
  shown = Present();
  EXPECT_EQ(at(30, 40), kFrameColours[2] & 0xFFFFFF) << "the disabled frame";
  EXPECT_EQ(at(130, 50), below) << "a hidden box shows nothing";
}

}  // namespace

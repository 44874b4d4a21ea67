// "staff" made by name rolls three lines of text up the frame's layer in a real window (run
// under Xvfb) on a fake clock, then fades them out and stays: read back through the renderer.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/time/timer_manager.h"
#include "effects/framework/create_by_name.h"
#include "effects/staff_roll/staff_roll_effect.h"
#include "effects/table/builtin_effect_table.h"
#include "scene/drawables/draw_layer.h"
#include "support/effect_window_test.h"
#include "support/fake_clock.h"
#include "support/log_capture.h"
#include "support/png_file.h"
#include "support/scoped_pixel_library.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr uint32_t kBackground = 0xFF102040;

uint32_t Rgb(uint32_t colour) { return colour & 0xFFFFFF; }

class StaffRollGuiTest : public EffectWindowTest<LayerWindowFilesTestBase> {
 protected:
  StaffRollGuiTest() : EffectWindowTest("staff roll test", kWidth, kHeight) {}

  // The first row of the frame that holds anything but the background; -1 for none.
  static int32_t FirstInkRow(const std::vector<uint32_t>& shown) {
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x) {
        if (Rgb(shown[static_cast<size_t>(y * kWidth + x)]) != Rgb(kBackground)) return y;
      }
    }
    return -1;
  }
  // The first row of a text picture with any ink.
  static int32_t FirstInkRow(const CImage& image) {
    for (int32_t y = 0; y < image.GetHeight(); ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(image.GetRowPointer(y));
      for (int32_t x = 0; x < image.GetWidth(); ++x) {
        if ((row[x] >> 24) != 0) return y;
      }
    }
    return -1;
  }
};

TEST_F(StaffRollGuiTest, ThreeLinesRollUpOverThreeSecondsAndFadeOutLeavingNoInk) {
  auto* layer = dynamic_cast<CDrawLayer*>(frame_.GetLayer());
  ASSERT_NE(layer, nullptr);
  layer->SetBackgroundColor(kBackground, true);
  game_.MakeFolder("SYS");
  game_.WriteFile("SYS/STAFF.TXT",
                  "// the roll\r\ninit 3000\r\nfont \"SimSun\", 32\r\ntext 0, 400, \"STAFF\"\r\n"
                  "text 0, 60, \"KESTRUNE\"\r\ntext 0, 60, \"THE END\"\r\nend 0, 0, 500, 0\r\n");

  clock_.SetMilliseconds(kStart);
  CEffect* effect = nullptr;
  ASSERT_EQ(CreateEffectByName(&effect, "staff", static_cast<CImagePart*>(&frame_),
                               PluginArgList{reinterpret_cast<std::uintptr_t>("SYS\\STAFF.TXT")}.View()),
            kEffectCreated);
  ASSERT_NE(effect, nullptr);
  const auto& roll = *static_cast<CStaffRollEffect*>(effect);
  const StaffRollLayout& layout = roll.Layout();
  ASSERT_EQ(layout.texts.size(), 3u);
  const int32_t total = layout.total_height;
  EXPECT_EQ(total, 520 + layout.texts[2]->image->GetHeight());
  const int32_t ink = FirstInkRow(*layout.texts[0]->image);
  ASSERT_GE(ink, 0);

  EXPECT_EQ(FirstInkRow(FrameAt(0, "staff_roll_0ms.png")), 400 + ink);
  EXPECT_EQ(FirstInkRow(FrameAt(1500, "staff_roll_1500ms.png")), 400 - static_cast<int32_t>(0.5 * total) + ink)
      << "half the height scrolled at half the time";
  FrameAt(3000, "staff_roll_3000ms.png");
  EXPECT_EQ(FirstInkRow(FrameAt(3500, "staff_roll_3500ms.png")), -1) << "faded out";
  EXPECT_NE(effect, nullptr) << "finish 0 keeps the roll";
  EXPECT_EQ(effect->GetParam(PluginArgList{}.View()), CStaffRollEffect::kKept);
}

}  // namespace

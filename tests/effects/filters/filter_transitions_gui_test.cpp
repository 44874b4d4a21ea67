// The built-in transitions made by name on the frame's page, in a real window (run under
// Xvfb) on a fake clock: the front page (blue) at the start, both pages or the tint half way, the
// back page (red) once the transition has ended and handed the pages over (the tint's own page
// again). The frames are written as PNG pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/numbers/trig_tables.h"
#include "effects/framework/create_by_name.h"
#include "scene/drawables/draw_layer.h"
#include "support/effect_window_test.h"

namespace {

constexpr int32_t kWidth = 200;
constexpr int32_t kHeight = 120;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kDuration = 400;

class FilterTransitionsGuiTest : public EffectWindowTest<LayerWindowTestBase> {
 protected:
  FilterTransitionsGuiTest() : EffectWindowTest("filter transitions test", kWidth, kHeight) {}

  void SetUp() override {
    EffectWindowTest::SetUp();
    g_TrigTable = &trig_;
    ASSERT_EQ(back_.Create(kWidth, kHeight, 32, CImagePart::kLayer), 0u);
    ASSERT_EQ(frame_.SetPartner(&back_), 0u);
    ASSERT_EQ(rule_.Create(kWidth, kHeight, 8, 0), 0u);
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x) rule_.GetRowPointer(y)[x] = static_cast<uint8_t>(x * 255 / (kWidth - 1));
    }
  }
  void TearDown() override {
    frame_.Detach(false);
    frame_.SetPartner(nullptr);
    g_TrigTable = nullptr;
    EffectWindowTest::TearDown();
  }

  void ColourPages() {
    dynamic_cast<CDrawLayer*>(frame_.GetLayer())->SetBackgroundColor(kBlue, true);
    dynamic_cast<CDrawLayer*>(back_.GetLayer())->SetBackgroundColor(kRed, true);
  }
  // How many pixels of the frame show other colour bits than `colour`.
  static int Others(const std::vector<uint32_t>& shown, uint32_t colour) {
    int count = 0;
    for (const uint32_t pixel : shown) count += (pixel & 0xFFFFFF) != colour ? 1 : 0;
    return count;
  }

  CTrigTables trig_;
  CImageCanvasEx back_;
  CImage rule_;
};

struct Case {
  const char* name;
  std::vector<std::uintptr_t> args;  // after the duration
  uint8_t mode;
  uint32_t end_colour;
};

TEST_F(FilterTransitionsGuiTest, EachTransitionGoesFromTheFrontPageToItsEnd) {
  const auto rule = reinterpret_cast<std::uintptr_t>(&rule_);
  const std::vector<Case> cases = {
      {"cross", {}, CImagePart::kModeSwapLayers, kRed},
      {"rule", {rule, 64}, CImagePart::kModeSwapLayers, kRed},
      {"scroll", {2, 0, 0}, CImagePart::kModeSwapLayers, kRed},
      {"wave", {0, 12, 2048, 0xFF000000, 0xFFFFFFFF}, CImagePart::kModeSwapLayers, kRed},
      {"mosaic", {0, 12, 0}, CImagePart::kModeSwapLayers, kRed},
      {"rotaxis", {0}, CImagePart::kModeSwapLayers, kRed},
      {"trans", {12, 0}, CImagePart::kModeSwapLayers, kRed},
      {"tone", {0xFF40C040, 0}, CImagePart::kModePlain, kBlue},
  };
  uint32_t start = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ColourPages();
    FrameAt(start, (std::string("filter_") + c.name + "_before.png").c_str());
    std::vector<std::uintptr_t> words{kDuration};
    words.insert(words.end(), c.args.begin(), c.args.end());
    ASSERT_EQ(CreateLayerFilterByName(&frame_, c.name, c.mode, 1, PluginArgs{words.data(),
                                                                              static_cast<uint32_t>(words.size())}),
              kFilterAttached);
    EXPECT_EQ(Others(FrameAt(start + 1, (std::string("filter_") + c.name + "_0ms.png").c_str()), kBlue), 0);
    FrameAt(start + 1 + kDuration / 4, (std::string("filter_") + c.name + "_quarter.png").c_str());
    const std::vector<uint32_t> half =
        FrameAt(start + 1 + kDuration / 2, (std::string("filter_") + c.name + "_half.png").c_str());
    EXPECT_GT(Others(half, kBlue), 0) << "half way the picture has changed";
    FrameAt(start + 1 + kDuration, (std::string("filter_") + c.name + "_end.png").c_str());
    EXPECT_FALSE(frame_.HasAttached());
    const std::vector<uint32_t> after =
        FrameAt(start + 17 + kDuration, (std::string("filter_") + c.name + "_after.png").c_str());
    EXPECT_EQ(Others(after, c.end_colour), 0);
    start += 2 * kDuration;
  }
}

// The transitions that the frame's named-filter and ripple commands start, with the frame each
// shows half way.
TEST_F(FilterTransitionsGuiTest, ThePictureChangesAndTheRippleGoFromTheFrontPageToTheBack) {
  const std::vector<Case> cases = {
      {"zoomflip", {0, 1}, CImagePart::kModeSwapLayers, kRed},
      {"zoomflip", {6, 0}, CImagePart::kModeSwapLayers, kRed},
      {"rotcenter", {0, 0}, CImagePart::kModeSwapLayers, kRed},
      {"hblur", {1, 20}, CImagePart::kModeSwapLayers, kRed},
      {"ripple", {0xFFFFFFFF, 0xFFFFFFFF, 32, 0, 0, 40}, CImagePart::kModeSwapLayers, kRed},
  };
  uint32_t start = 0;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.name);
    ColourPages();
    FrameAt(start, "change_before.png");
    std::vector<std::uintptr_t> words{kDuration};
    words.insert(words.end(), c.args.begin(), c.args.end());
    ASSERT_EQ(CreateLayerFilterByName(&frame_, c.name, c.mode, 1, PluginArgs{words.data(),
                                                                              static_cast<uint32_t>(words.size())}),
              kFilterAttached);
    EXPECT_EQ(Others(FrameAt(start + 1, "change_0ms.png"), kBlue), 0);
    const std::string half_name = "change_" + std::to_string(i) + "_" + c.name + "_half.png";
    const std::vector<uint32_t> half = FrameAt(start + 1 + kDuration / 2, half_name.c_str());
    EXPECT_GT(Others(half, kBlue), 0) << "half way the picture has changed";
    EXPECT_GT(Others(half, kRed), 0);
    FrameAt(start + 1 + kDuration, "change_end.png");
    EXPECT_FALSE(frame_.HasAttached());
    EXPECT_EQ(Others(FrameAt(start + 17 + kDuration, "change_after.png"), c.end_colour), 0);
    start += 2 * kDuration;
  }
}

// "addsub" mode 0: the front page brightened by the level, saturating, then exactly the back page.
TEST_F(FilterTransitionsGuiTest, AddsubBrightensTheFrontPageAndEndsOnTheBackPage) {
  ColourPages();
  FrameAt(0, "addsub_before.png");
  std::vector<std::uintptr_t> words{kDuration, 0};
  ASSERT_EQ(CreateLayerFilterByName(&frame_, "addsub", CImagePart::kModeSwapLayers, 1,
                                    PluginArgs{words.data(), static_cast<uint32_t>(words.size())}),
            kFilterAttached);
  EXPECT_EQ(Others(FrameAt(1, "addsub_0ms.png"), kBlue), 0);
  EXPECT_EQ(Others(FrameAt(101, "addsub_100ms.png"), 0x3F3FFF), 0) << "level 63: blue saturates, red and green 63";
  EXPECT_EQ(Others(FrameAt(1 + kDuration, "addsub_400ms.png"), kRed), 0);
  EXPECT_FALSE(frame_.HasAttached());
}

// "quake" shakes the front page alone: the strips it uncovers are black.
TEST_F(FilterTransitionsGuiTest, QuakeShakesTheFrontPageWithBlackBorders) {
  ColourPages();
  FrameAt(0, "quake_before.png");
  const auto decay = reinterpret_cast<std::uintptr_t>("1.0");
  std::vector<std::uintptr_t> words{1, 30, 10, kDuration, decay, 1};
  ASSERT_EQ(CreateLayerFilterByName(&frame_, "quake", CImagePart::kModePlain, 1,
                                    PluginArgs{words.data(), static_cast<uint32_t>(words.size())}),
            kFilterAttached);
  FrameAt(1, "quake_0ms.png");
  const std::vector<uint32_t> half = FrameAt(1 + kDuration / 2, "quake_half.png");
  EXPECT_EQ(Others(half, 0), kWidth * kHeight - 30 * kHeight - 10 * (kWidth - 30)) << "30 columns and 10 rows black";
  EXPECT_EQ(half[static_cast<std::size_t>(kWidth * kHeight - 1)] & 0xFFFFFF, kBlue);
  FrameAt(1 + kDuration, "quake_end.png");
  EXPECT_FALSE(frame_.HasAttached());
  EXPECT_EQ(Others(FrameAt(17 + kDuration, "quake_after.png"), kBlue), 0);
}

}  // namespace

// Scripts drive the drawables and the image parts of the screen's frame in a real window (run
// under Xvfb) on a fake clock: a sprite made on the frame's layer moves from where it stands
// through its two points, 500 ms a segment, half way between them at 750 ms; a layer filter attached
// by name to the frame and its linked back page runs to its end and hands the back page over.
// The frames are written as PNG pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/numbers/trig_tables.h"
#include "game/game_script_host.h"
#include "gfx/images/image.h"
#include "scene/drawables/draw_layer.h"
#include "support/effect_window_test.h"
#include "support/sob_test_files.h"

namespace {

constexpr int32_t kWidth = 200;
constexpr int32_t kHeight = 120;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kRed = 0xFF0000;
constexpr int32_t kSide = 20;

class DrawableScriptGuiTest : public EffectWindowTest<LayerWindowFilesTestBase> {
 protected:
  DrawableScriptGuiTest() : EffectWindowTest("drawable script test", kWidth, kHeight) {}

  void SetUp() override {
    EffectWindowTest::SetUp();
    g_TrigTable = &trig_;
    saved_screen_ = std::exchange(g_ScreenManager, screen_.get());
    dynamic_cast<CDrawLayer*>(frame_.GetLayer())->SetBackgroundColor(0xFF000000 | kBlue, true);
  }
  void TearDown() override {
    frame_.Detach(false);
    frame_.SetPartner(nullptr);
    host_.ResetScripts(0);
    g_ScreenManager = saved_screen_;
    g_TrigTable = nullptr;
    EffectWindowTest::TearDown();
  }

  std::string HandleText(CImageInterface* object) { return std::to_string(object->ScriptHandle(host_.Handles())); }
  void RunScript(const std::string& source) {
    game_.WriteFile("SCRIPT/MAIN.SOB", sob_test::AsText(sob_test::Assemble(source).bytes));
    ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
    ASSERT_EQ(host_.RunLoop(), CScriptHost::kRunFinished);
  }
  // Where the red square lies on the row through its middle: its left edge, -1 when none shows.
  static int32_t SquareLeft(const std::vector<uint32_t>& shown) {
    const size_t row = static_cast<size_t>(kSide / 2) * kWidth;
    for (int32_t x = 0; x < kWidth; ++x) {
      if ((shown[row + static_cast<size_t>(x)] & 0xFFFFFF) == kRed) return x;
    }
    return -1;
  }
  static int RedCount(const std::vector<uint32_t>& shown) {
    int count = 0;
    for (const uint32_t pixel : shown) count += (pixel & 0xFFFFFF) == kRed ? 1 : 0;
    return count;
  }

  CTrigTables trig_;
  CGameScriptHost host_;
  CScreenManager* saved_screen_ = nullptr;
};

TEST_F(DrawableScriptGuiTest, AScriptMovesASpriteOnTheFramesLayer) {
  CImage* square = nullptr;
  ASSERT_EQ(screen_->CreateImage(&square, kSide, kSide, 32, 0), 0u);
  square->FillRectArgb(0xFF000000 | kRed, nullptr);
  RunScript(".kind script\n"
            "  CallNative native(402), sprite_args, insert_sprite\n"
            "  Copy insert_sprite, move_args\n"
            "  CallNative native(409), insert_args, result\n"
            "  CallNative native(446), move_args, move_task\n"
            "  Return\n"
            "result: .word 0\n"
            "move_task: .word 0\n"
            "sprite_args: .word " + HandleText(square) + ", 65535, 0, 0, 0, 0, 0\n"
            "insert_args: .word " + HandleText(&frame_) + "\n"
            "insert_sprite: .word 0, 0, 0, 0\n"
            "move_args: .word 0, 500, points, 0, 0, 65535, 7, 7, 7, 7\n"
            "points: .string \"(0,0,255)(100,0,255)\"\n");
  // Key 0 is where the sprite stands, (0, 0); the text's points are keys 1 and 2, each reached
  // one segment of 500 ms after the one before.
  EXPECT_EQ(SquareLeft(FrameAt(0, "sprite_motion_0ms.png")), 0);
  EXPECT_EQ(SquareLeft(FrameAt(250, "sprite_motion_250ms.png")), 0) << "from its place to the first point";
  EXPECT_EQ(SquareLeft(FrameAt(500, "sprite_motion_500ms.png")), 0) << "at the first point";
  const std::vector<uint32_t> half = FrameAt(750, "sprite_motion_750ms.png");
  EXPECT_EQ(SquareLeft(half), 50) << "half way between the two points";
  EXPECT_EQ(RedCount(half), kSide * kSide);
  const std::vector<uint32_t> end = FrameAt(1000, "sprite_motion_1000ms.png");
  EXPECT_EQ(SquareLeft(end), 100) << "at the second point";
  EXPECT_EQ(RedCount(end), kSide * kSide);
  EXPECT_EQ(SquareLeft(FrameAt(1100, "sprite_motion_1100ms.png")), 100) << "no loop";
  EXPECT_EQ(timers_.GetCount(), 0u) << "the motion has ended";
}

TEST_F(DrawableScriptGuiTest, ALayerFilterAttachedByNameRunsToItsEnd) {
  RunScript(".kind script\n"
            "  CallNative native(238), back_args, link_back\n"
            "  Copy link_back, colour_args\n"
            "  CallNative native(419), colour_args, result\n"
            "  CallNative native(253), link_args, result\n"
            "  CallNative native(256), filter_args, result\n"
            "  Return\n"
            "result: .word 0\n"
            "back_args: .word " + std::to_string(kWidth) + ", " + std::to_string(kHeight) + ", 32, 1\n"
            "link_args: .word " + HandleText(&frame_) + "\n"
            "link_back: .word 0\n"
            "colour_args: .word 0, 0xFFFF0000, 1\n"
            "filter_args: .word " + HandleText(&frame_) + ", addsub, 1, 1, 400, 0\n"
            "addsub: .string \"addsub\"\n");
  EXPECT_NE(frame_.GetPartner(), nullptr) << "linked";
  EXPECT_TRUE(frame_.HasAttached());
  EXPECT_EQ(RedCount(FrameAt(0, "part_filter_0ms.png")), 0) << "the front page";
  EXPECT_EQ(RedCount(FrameAt(200, "part_filter_200ms.png")), 0) << "the front page brightened";
  FrameAt(401, "part_filter_end.png");
  EXPECT_FALSE(frame_.HasAttached());
  EXPECT_EQ(RedCount(FrameAt(420, "part_filter_after.png")), kWidth * kHeight) << "the back page";
}

}  // namespace

// The novel frame's rule transition in a real window (run under Xvfb) on a fake clock: the front
// page (blue) goes over to the back page (red) through a left-to-right ramp rule, read back at
// the start, half way, the end and a frame later; and the fade-in from black after a load. The
// frames are written as PNG pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/system/app_hooks.h"
#include "gfx/display/image_canvas.h"
#include "novel/frame/vov_frame.h"
#include "novel/frame/vov_window_fixture.h"
#include "novel/page/vov_page_fixture.h"

namespace {

constexpr std::int32_t kWidth = 800;
constexpr std::int32_t kHeight = 600;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kRed = 0xFF0000;

class ScreenTransitionsGuiTest : public NovelWindowTest {
 protected:
  ScreenTransitionsGuiTest() : NovelWindowTest("screen transitions test") {}
  void SetUp() override {
    NovelWindowTest::SetUp();
    game_.WriteFile("SYS/RULE001.ELG", page_test::RampRule(kWidth, kHeight));
  }
  static std::uint32_t At(const std::vector<std::uint32_t>& shown, std::int32_t x) {
    return shown[static_cast<std::size_t>(kHeight / 2 * kWidth + x)] & 0xFFFFFF;
  }
  static bool All(const std::vector<std::uint32_t>& shown, std::uint32_t colour) {
    for (const std::uint32_t pixel : shown) {
      if ((pixel & 0xFFFFFF) != colour) return false;
    }
    return true;
  }
};

TEST_F(ScreenTransitionsGuiTest, ARuleGoesFromTheFrontPageToTheBackPageLeftToRight) {
  novel_->Page().ClearBg(kBlue, 0);
  novel_->Page().ClearBg(kRed, 1);
  EXPECT_TRUE(All(FrameAt(0, "screen_rule_before.png"), kBlue));
  const std::vector<VovOperand> operands = {{1, 1, {}}, {1, 500, {}}, {1, 0, {}}};
  ASSERT_EQ(novel_->CallOpcode(94, operands), 0);
  ASSERT_TRUE(novel_->Page().Part(0)->HasAttached());

  EXPECT_TRUE(All(FrameAt(1, "screen_rule_0ms.png"), kBlue)) << "the front page at the start";
  const std::vector<std::uint32_t> half = FrameAt(1 + 250, "screen_rule_250ms.png");
  EXPECT_EQ(At(half, 20), kRed) << "the back page on the left";
  EXPECT_EQ(At(half, kWidth - 20), kBlue) << "the front page on the right";
  EXPECT_TRUE(All(FrameAt(1 + 500, "screen_rule_500ms.png"), kRed)) << "the back page at the end";
  EXPECT_FALSE(novel_->Page().Part(0)->HasAttached());
  EXPECT_TRUE(All(FrameAt(1 + 516, "screen_rule_516ms.png"), kRed));
  EXPECT_FALSE(novel_->FilterRunning() && novel_->Page().Part(0)->HasAttached());
  EXPECT_EQ(novel_->Page().Bg(0).color, kRed) << "the back records are the front ones";
}

// The frame procedure of the restore's wait: each pass shows the frame of the next time.
std::function<void()>* g_Pass = nullptr;
int RunPass() {
  (*g_Pass)();
  return 1;
}

TEST_F(ScreenTransitionsGuiTest, AfterALoadTheScreenFadesInFromBlackToTheRestoredPage) {
  novel_->Page().ClearBg(kBlue, 0);
  novel_->Page().ClearBg(kRed, 1);
  struct Shot {
    std::uint32_t now;
    const char* picture;
  };
  const std::vector<Shot> shots = {
      {1, "screen_fadein_0ms.png"}, {1 + 250, "screen_fadein_250ms.png"}, {1 + 500, "screen_fadein_500ms.png"}};
  std::vector<std::vector<std::uint32_t>> shown;
  std::function<void()> pass = [&] {
    const Shot& shot = shots[std::min(shown.size(), shots.size() - 1)];
    shown.push_back(FrameAt(shot.now, shot.picture));
  };
  g_Pass = &pass;
  g_FrameProcedureHook = &RunPass;
  const std::int32_t restored = novel_->RestoreState();
  g_FrameProcedureHook = nullptr;
  g_Pass = nullptr;
  ASSERT_EQ(restored, 0);
  ASSERT_EQ(shown.size(), 3u) << "the fade ends with the present at 500 ms";
  EXPECT_TRUE(All(shown[0], 0)) << "black at the start";
  const std::uint32_t half = At(shown[1], 400);
  EXPECT_EQ(half & 0xFFFF00, 0u) << "nothing of the back page";
  EXPECT_GE(half, 0x78u) << "half way: the page at half its brightness";
  EXPECT_LE(half, 0x84u);
  EXPECT_TRUE(All(shown[1], half));
  EXPECT_TRUE(All(shown[2], kBlue)) << "the page at the end";
  EXPECT_FALSE(novel_->Page().Part(0)->HasAttached());
  EXPECT_TRUE(All(FrameAt(1 + 516, "screen_fadein_516ms.png"), kBlue));
}

}  // namespace

// The built demo game played through in a real window (under Xvfb) at a fixed frame step: the
// title, "はじめから", the story read click by click down the branch of the first choice to its
// last line, the title again, and "おわる", which ends the game. The key frames are written as
// demo_*.png into the build folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/fixed_step_game.h"
#include "support/log_capture.h"
#include "support/scoped_environment.h"
#include "support/temp_game_folder.h"
#include "support/test_window.h"

namespace {

// The demo's pictures: the moon of the title, Mio's dress where she stands in the middle, and
// the message window's text rectangle (the window at y 466, 134 high, margins 28, 13, 16, 34).
constexpr std::int32_t kMoonX = 640;
constexpr std::int32_t kMoonY = 110;
constexpr std::uint32_t kMoonColour = 0xFFF4E9B0;
constexpr std::int32_t kDressX = 400;
constexpr std::int32_t kDressY = 416;
constexpr std::uint32_t kDressColour = 0xFFD04870;
constexpr std::int32_t kTextLeft = 28;
constexpr std::int32_t kTextRight = 800 - 16;
constexpr std::int32_t kTextTop = 466 + 13;
constexpr std::int32_t kFirstLineBottom = kTextTop + 22;
// The choice list's two items (a 10-pixel header, items 28 high, centred on y 220).
constexpr std::int32_t kChoiceX = 400;
constexpr std::int32_t kFirstChoiceY = 206;
constexpr std::int32_t kSecondChoiceY = 234;
// Any point away from the buttons and the choices ends a wait for the reader.
constexpr std::int32_t kReadX = 400;
constexpr std::int32_t kReadY = 320;

// Two seconds between the reader's clicks, longer than any line takes to print.
constexpr int kStep = 120;
constexpr int kStartFrame = 2 * kStep;  // "はじめから"
// The story: four lines, the choice, four lines on the hill, the ending line.
constexpr int kLinesBeforeChoice = 4;
constexpr int kChoiceFrame = kStartFrame + (kLinesBeforeChoice + 1) * kStep;
constexpr int kLinesAfterChoice = 5;
constexpr int kLastClickFrame = kChoiceFrame + kLinesAfterChoice * kStep;
constexpr int kEndFrame = kLastClickFrame + 2 * kStep;  // "おわる"

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

class DemoRunGuiTest : public WindowTestBase {
 protected:
  void SetUp() override {
    const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
    ASSERT_NE(tools, nullptr) << "KESTRUNE_TOOLS_DIR names the build folder";
    // A copy, so that nothing the game writes lands in the build's demo.
    std::filesystem::copy(std::string(tools) + "/demo", game_.HostPath(),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  }

  static std::uint32_t At(const std::vector<std::uint32_t>& shown, std::int32_t x, std::int32_t y) {
    return shown[static_cast<std::size_t>(y * 800 + x)] | 0xFF000000;
  }
  // Pixels of the message window's first text line that differ from the window's own colour at
  // the left margin of their row.
  static int InkOnFirstLine(const std::vector<std::uint32_t>& shown) {
    int ink = 0;
    for (std::int32_t y = kTextTop; y < kFirstLineBottom; ++y) {
      for (std::int32_t x = kTextLeft; x < kTextRight; ++x) ink += At(shown, x, y) != At(shown, 8, y) ? 1 : 0;
    }
    return ink;
  }

  test_support::TempGameFolder game_;
  // The demo keeps the user's settings and its read-text log in the data home.
  ScopedEnvironment data_home_{"XDG_DATA_HOME", (game_.HostPath() + "data").c_str()};
};

TEST_F(DemoRunGuiTest, TheTitleTheStoryTheTitleAgainAndTheEnd) {
  constexpr int kTitleFrame = kStartFrame - 20;
  constexpr int kSecondLineFrame = kStartFrame + kStep + kStep / 2;
  constexpr int kChoicesFrame = kChoiceFrame - 20;
  constexpr int kHillFrame = kChoiceFrame + 2 * kStep + kStep / 2;
  constexpr int kTitleAgainFrame = kEndFrame - 20;
  LogCapture log;
  test_support::FixedStepGame run;
  run.SetLastFrame(kEndFrame + kStep);
  run.PlanClick(kStartFrame, kChoiceX, kFirstChoiceY);
  for (int line = 1; line <= kLinesBeforeChoice; ++line) run.PlanClick(kStartFrame + line * kStep, kReadX, kReadY);
  run.PlanClick(kChoiceFrame, kChoiceX, kFirstChoiceY);
  for (int line = 1; line <= kLinesAfterChoice; ++line) run.PlanClick(kChoiceFrame + line * kStep, kReadX, kReadY);
  run.PlanClick(kEndFrame, kChoiceX, kSecondChoiceY);
  run.PlanPicture(kTitleFrame, "demo_title.png");
  run.PlanPicture(kSecondLineFrame, "demo_story.png");
  run.PlanPicture(kChoicesFrame, "demo_choice.png");
  run.PlanPicture(kHillFrame, "demo_hill.png");
  run.PlanPicture(kTitleAgainFrame, "demo_title_again.png");

  EXPECT_EQ(run.Run(game_.HostPath()), 0) << "おわる ends the game";

  EXPECT_FALSE(run.GaveUp()) << Joined(log.Lines());
  EXPECT_GE(run.Frames(), kEndFrame);
  EXPECT_TRUE(run.AllPicturesWritten());
  EXPECT_TRUE(run.MessageBoxes().empty()) << run.MessageBoxes().front().request.text;
  const std::vector<std::uint32_t>& title = run.PictureAt(kTitleFrame);
  ASSERT_FALSE(title.empty());
  EXPECT_EQ(At(title, kMoonX, kMoonY), kMoonColour) << "the title picture";
  const std::vector<std::uint32_t>& story = run.PictureAt(kSecondLineFrame);
  ASSERT_FALSE(story.empty());
  EXPECT_GT(InkOnFirstLine(story), 50) << "Mio's first line";
  EXPECT_EQ(At(story, kDressX, kDressY), kDressColour) << "Mio in the middle";
  const std::vector<std::uint32_t>& hill = run.PictureAt(kHillFrame);
  ASSERT_FALSE(hill.empty());
  EXPECT_NE(At(hill, 8, 300), At(story, 8, 300)) << "the night sky of the hill after the park's evening";
  EXPECT_EQ(At(hill, kDressX, kDressY), kDressColour) << "Mio came along";
  const std::vector<std::uint32_t>& again = run.PictureAt(kTitleAgainFrame);
  ASSERT_FALSE(again.empty());
  EXPECT_EQ(At(again, kMoonX, kMoonY), kMoonColour) << "back at the title after the story";
  EXPECT_NE(At(again, kDressX, kDressY), kDressColour) << "without Mio";
}

}  // namespace

// The fixed-step whole-program fixture on a game made here: a script that polls an action once a
// frame and ends when it sees it. Planned input arrives at its frame, the frames come at the
// pacer's fixed step, and planned pictures are read back and written.
#include "support/fixed_step_game.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "base/input/game_key_bindings.h"
#include "base/input/player_input.h"
#include "sob_assembler.h"
#include "support/action_polling_main.h"
#include "support/game_settings_files.h"
#include "support/log_capture.h"
#include "support/temp_game_folder.h"
#include "support/test_window.h"

namespace {

bool StartsAsPng(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char magic[8] = {};
  file.read(magic, sizeof magic);
  return file && std::string(magic, sizeof magic) == "\x89PNG\r\n\x1a\n";
}

// The right button is bound to the system menu by default.
class FixedStepGameGuiTest : public WindowTestBase {
 protected:
  void SetUp() override {
    kvxtools::SobAssembly main;
    std::string error;
    ASSERT_TRUE(kvxtools::AssembleSob(test_support::ActionPollingMain(kActionSystemMenu), nullptr, main, error)) << error;
    game_.WriteFile("SCRIPT/MAIN.SOB",
                    std::string_view(reinterpret_cast<const char*>(main.bytes.data()), main.bytes.size()));
    test_support::WriteGameSettingsFiles(game_);
  }

  test_support::TempGameFolder game_;
};

TEST_F(FixedStepGameGuiTest, APlannedClickArrivesAtItsFrameAndPlannedPicturesAreWritten) {
  constexpr int kClickFrame = 40;
  LogCapture log;
  test_support::FixedStepGame run;
  run.PlanClick(kClickFrame, 120, 90, SDL_BUTTON_RIGHT);
  run.PlanPicture(10, "fixed_step_game.png");
  // Never reached: the script ends at the click.
  run.PlanPicture(kClickFrame + 20, "fixed_step_game_late.png");
  std::remove("fixed_step_game.png");
  std::remove("fixed_step_game_late.png");

  EXPECT_EQ(run.Run(game_), 0);

  EXPECT_FALSE(run.GaveUp());
  // The script saw the click in the slice of the frame it was planned for, and ended there.
  EXPECT_EQ(run.Frames(), kClickFrame);
  // Sixty frames a second, whatever the machine: each frame comes 1000 / 60 ms after the one
  // before, rounded up to the clock's whole milliseconds.
  for (int frame = 2; frame <= kClickFrame; ++frame) {
    ASSERT_EQ(run.TimeAt(frame) - run.TimeAt(frame - 1), 17u) << "frame " << frame;
  }
  EXPECT_EQ(run.PictureAt(10).size(), static_cast<std::size_t>(run.Width()) * run.Height());
  EXPECT_TRUE(StartsAsPng("fixed_step_game.png"));
  EXPECT_TRUE(run.PictureAt(kClickFrame + 20).empty());
  EXPECT_FALSE(run.AllPicturesWritten());
  EXPECT_TRUE(run.MessageBoxes().empty());
}

// The waits of the novel frame read the left button as the player's click: newly pressed in the
// frame it was planned for, and in no other.
TEST_F(FixedStepGameGuiTest, APlannedLeftClickIsNewlyPressedInItsFrameOnly) {
  constexpr int kClickFrame = 12;
  LogCapture log;
  test_support::FixedStepGame run;
  run.PlanClick(kClickFrame, 200, 150);
  run.SetLastFrame(kClickFrame + 5);
  std::vector<int> pressed;
  run.SetFrameObserver([&pressed](int frame) {
    if (IsMouseLeftPressed()) pressed.push_back(frame);
  });
  EXPECT_EQ(run.Run(game_), 0);
  EXPECT_TRUE(run.GaveUp());
  EXPECT_EQ(pressed, std::vector<int>{kClickFrame});
}

TEST_F(FixedStepGameGuiTest, AGameThatNeverSeesItsInputIsStoppedAtTheLastFrame) {
  LogCapture log;
  test_support::FixedStepGame run;
  run.SetLastFrame(25);
  EXPECT_EQ(run.Run(game_), 0);
  EXPECT_TRUE(run.GaveUp());
  EXPECT_EQ(run.Frames(), 26);
  EXPECT_NE(run.TimeAt(25), 0u);
  EXPECT_EQ(run.TimeAt(26), 0u);
}

}  // namespace

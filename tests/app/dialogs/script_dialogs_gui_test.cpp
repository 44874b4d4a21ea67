// The scripts' dialogs in a whole game run: the text-input parameters that a script sets reach
// the dialog that the next text-input call shows through the main window's menu command, and a
// dialog closed without OK answers as closed, after which the script goes on to the folder
// chooser, which it names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window/dialog_host.h"
#include "support/fixed_step_game.h"
#include "support/log_capture.h"
#include "support/script_only_game.h"
#include "support/temp_game_folder.h"
#include "support/test_window.h"

namespace {

// 74 sets the parameters, 73 shows the text input; only when it answers "empty" (1) does the
// script open the folder chooser (160).
constexpr const char* kMain =
    ".kind script\n"
    "  CallNative native(74), params, result\n"
    "  CallNative native(73), input, result\n"
    "  Copy result, check+4\n"
    "check:\n"
    "  JumpIfZero 0, done\n"
    "  CallNative native(160), folder_args, result\n"
    "done:\n"
    "  Return\n"
    "params: .word title, prompt, 0, 16, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF\n"
    "input: .word entry\n"
    "folder_args: .word 0, folder_title, folder, 0\n"
    "title: .string \"Player name\"\n"
    "prompt: .string \"Who are you?\"\n"
    "folder_title: .string \"Pick a folder\"\n"
    "entry: .word 0, 0, 0, 0, 0, 0, 0, 0\n"
    "folder: .word 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0\n"
    "       .word 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0\n"
    "       .word 0, 0, 0\n"
    "result: .word 0\n";

class ScriptDialogsGuiTest : public WindowTestBase {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(test_support::WriteScriptOnlyGame(game_, kMain, error)) << error;
  }

  test_support::TempGameFolder game_;
};

TEST_F(ScriptDialogsGuiTest, TheTextInputShowsTheScriptsTitleAndAClosedOneLeadsToTheFolderChooser) {
  LogCapture log;
  std::vector<std::string> titles;
  const plat::ScopedDialogWatcher watcher([&titles](const plat::DialogShot& shot) {
    if (shot.frame == 1) titles.push_back(shot.title);
    return shot.frame >= 1;
  });
  test_support::FixedStepGame run;
  run.SetLastFrame(200);
  EXPECT_EQ(run.Run(game_), 0) << log.Last();
  EXPECT_FALSE(run.GaveUp());
  EXPECT_EQ(titles, (std::vector<std::string>{"Player name", "Pick a folder"}));
}

}  // namespace

// A built-in function called with its argument array outside script memory, in a running game:
// the run ends as a bad script with the engine's message, and the program ends in order.
#include <gtest/gtest.h>

#include <string>

#include "platform/encoding/text_encoding.h"
#include "sob_assembler.h"
#include "support/action_polling_main.h"
#include "support/fixed_step_game.h"
#include "support/game_settings_files.h"
#include "support/log_capture.h"
#include "support/temp_game_folder.h"
#include "support/test_window.h"

namespace {

class BadBuiltinArgumentsGuiTest : public WindowTestBase {};

TEST_F(BadBuiltinArgumentsGuiTest, AnArgumentArrayOutsideScriptMemoryEndsTheRunAsABadScript) {
  test_support::TempGameFolder game;
  kvxtools::SobAssembly main;
  std::string error;
  // A few frames first, so that the failure comes in a running game.
  ASSERT_TRUE(kvxtools::AssembleSob(".kind script\n  Yield\n  Yield\n  CallNative native(" +
                                        std::to_string(test_support::kNativeIsActionPressed) +
                                        "), 0xFFFFFFF0, r\n  Return\nr: .word 0\n",
                                    nullptr, main, error))
      << error;
  game.WriteFile("SCRIPT/MAIN.SOB", std::string_view(reinterpret_cast<const char*>(main.bytes.data()), main.bytes.size()));
  test_support::WriteGameSettingsFiles(game);
  LogCapture log;
  test_support::FixedStepGame run;

  EXPECT_EQ(run.Run(game), 0);

  EXPECT_FALSE(run.GaveUp());
  EXPECT_EQ(run.Frames(), 3);
  ASSERT_EQ(run.MessageBoxes().size(), 1u);
  EXPECT_EQ(plat::SjisToUtf8(run.MessageBoxes()[0].request.text), "不正なスクリプトを実行しました");
  EXPECT_EQ(run.MessageBoxes()[0].frame, 3);
  bool logged = false;
  for (const std::string& line : log.Lines()) logged |= line.find("bad address 0xFFFFFFF0") != std::string::npos;
  EXPECT_TRUE(logged);
  EXPECT_FALSE(run.Game().GetMainWindow().IsWindow());
  EXPECT_EQ(run.Game().GetFatalError(), 0);
}

}  // namespace

// A game's script that asks the desktop to open a web address, in a whole game run: the player
// is asked first, the question shows the address, and only a yes hands it to the desktop.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/encoding/text_encoding.h"
#include "platform/window/system_message_box.h"
#include "support/fixed_step_game.h"
#include "support/log_capture.h"
#include "support/message_box_answers.h"
#include "support/scoped_environment.h"
#include "support/script_only_game.h"
#include "support/temp_game_folder.h"
#include "support/test_window.h"

namespace {

constexpr const char* kAddress = "https://example.org/news?id=7";

constexpr const char* kMain =
    ".kind script\n"
    "  CallNative native(802), open_args, result\n"
    "  Return\n"
    "open_args: .word address\n"
    "address: .string \"https://example.org/news?id=7\"\n"
    "result: .word 0\n";

class ShellOpenGuiTest : public WindowTestBase {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(test_support::WriteScriptOnlyGame(game_, kMain, error)) << error;
    // A stand-in for the desktop's opener, first on the search path: it records what it was given.
    tools_.MakeFolder("bin");
    const std::string opener = tools_.HostPath() + "bin/xdg-open";
    std::ofstream(opener) << "#!/bin/sh\necho \"$1\" >> '" << tools_.HostPath() << "opened.txt'\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
  }

  // Runs the game with the player answering the address's question with `answer`; what the
  // question said.
  std::vector<std::string> RunAnswering(int answer) {
    std::vector<std::string> asked;
    test_support::FixedStepGame run([&](const plat::MessageBoxRequest& request) {
      const std::string text = plat::SjisToUtf8(request.text);
      if (text.find(kAddress) == std::string::npos) return test_support::AgreeingAnswer(request);
      asked.push_back(text);
      return answer;
    });
    run.SetLastFrame(30);
    LogCapture log;
    EXPECT_EQ(run.Run(game_), 0) << log.Last();
    EXPECT_FALSE(run.GaveUp());
    return asked;
  }

  // What the opener was handed, once it ran (it is not waited for).
  std::string Opened() const {
    for (int tries = 0; tries < 3000 && !tools_.Exists("opened.txt"); ++tries) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return tools_.Exists("opened.txt") ? tools_.ReadFile("opened.txt") : std::string();
  }

  test_support::TempGameFolder game_;
  test_support::TempGameFolder tools_;
  ScopedEnvironment path_{"PATH", (tools_.HostPath() + "bin:/usr/bin:/bin").c_str()};
};

TEST_F(ShellOpenGuiTest, TheAddressIsOpenedOnlyAfterThePlayerSaysYes) {
  const std::vector<std::string> refused = RunAnswering(plat::IDNO);
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_NE(refused[0].find("よろしいですか"), std::string::npos) << refused[0];
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(tools_.Exists("opened.txt"));

  EXPECT_EQ(RunAnswering(plat::IDYES).size(), 1u);
  EXPECT_EQ(Opened(), std::string(kAddress) + "\n");
}

}  // namespace

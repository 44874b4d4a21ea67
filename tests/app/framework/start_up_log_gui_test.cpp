// The start-up log of a real start on an X display (run under Xvfb).
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "app/game/game_app.h"
#include "platform/files/host_path.h"
#include "platform/window/system_message_box.h"
#include "sob_assembler.h"
#include "support/game_settings_files.h"
#include "support/log_capture.h"
#include "support/message_box_answers.h"
#include "support/temp_game_folder.h"
#include "support/test_window.h"

namespace {

// The first or last line of the log: its text with the date and time, each '#' a digit.
bool IsDateLine(const std::string& line, const std::string& word) {
  const std::string shape = "< Initialize " + word + "...  ####/##/##  ##:##:## >\r";
  return line.size() == shape.size() && std::equal(shape.begin(), shape.end(), line.begin(), [](char want, char got) {
           return want == '#' ? std::isdigit(static_cast<unsigned char>(got)) != 0 : want == got;
         });
}

class StartUpLogGuiTest : public WindowTestBase {
 protected:
  void SetUp() override {
    kvxtools::SobAssembly main;
    std::string error;
    ASSERT_TRUE(kvxtools::AssembleSob(".kind script\n  Yield\n  Yield\n  Return\n", nullptr, main, error)) << error;
    game_.WriteFile("SCRIPT/MAIN.SOB",
                    std::string_view(reinterpret_cast<const char*>(main.bytes.data()), main.bytes.size()));
    test_support::WriteGameSettingsFiles(game_);
  }

  // A user's settings file with the defaults and the log switch as given.
  void WriteUserConfig(bool log_on, uint8_t screen_mode = kScreenModeNotChosen) {
    const EnvironmentBlock defaults = DefaultEnvironmentBlock();
    const WindowBlock window = DefaultWindowBlock();
    kvxtools::UserConfigFile user{{defaults.begin(), defaults.end()}, {window.begin(), window.end()}, {}, {}};
    user.window[kWinScreenMode] = screen_mode;
    user.environment[kEnvStartUpLog] = log_on ? 1 : 0;
    user.environment[kEnvMeasureClock] = 1;
    const std::vector<uint8_t> bytes = kvxtools::WriteUserConfigFile(user);
    game_.WriteFile("USER.CFG", std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }

  int RunGame() {
    LogCapture log;
    plat::ScopedMessageBoxAnswers answers{&test_support::AgreeingAnswer};
    CGameApp game;
    return game.Run("/L" + plat::ToEnginePath(game_.HostPath()), 1);
  }

  test_support::TempGameFolder game_;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

TEST_F(StartUpLogGuiTest, WithTheLogSwitchOnTheLogHoldsEverySectionInOrder) {
  WriteUserConfig(true);
  ASSERT_EQ(RunGame(), 0);
  ASSERT_TRUE(game_.Exists("SYS_LOG.TXT"));
  const std::string text = game_.ReadFile("SYS_LOG.TXT");
  const std::vector<std::string> lines = Lines(text);
  ASSERT_GT(lines.size(), 20u);
  for (const std::string& line : lines) EXPECT_TRUE(!line.empty() && line.back() == '\r') << line;
  EXPECT_TRUE(IsDateLine(lines.front(), "Start")) << lines.front();
  EXPECT_TRUE(IsDateLine(lines.back(), "Done")) << lines.back();
  std::size_t position = 0;
  for (const char* heading : {"[ System ]\r\n", "OS       : ", "Memory   : ", "[ CPU ]\r\n", "CpuClock: ",
                              "Support : FPU", "[ Input Window Message ]\r\nJoyStick: ", "[ DirectSound ]\r\n",
                              "[ Window Mode ]\r\n", "[ Drive Info ]\r\n", "[ Application ]\r\n",
                              "[ Process ]\r\n", "< Initialize Done..."}) {
    const std::size_t found = text.find(heading, position);
    EXPECT_NE(found, std::string::npos) << heading << " after " << position << "\n" << text;
    if (found != std::string::npos) position = found;
  }
}

// The display block tells what the screen runs: in full screen the display mode, and the
// drawing device with the texture the frames are shown through, not a bare "< GDI >".
TEST_F(StartUpLogGuiTest, TheDisplayBlockTellsTheModeAndTheDeviceThatRun) {
  WriteUserConfig(true, kScreenModeFullScreen);
  ASSERT_EQ(RunGame(), 0);
  const std::string text = game_.ReadFile("SYS_LOG.TXT");
  const std::size_t block = text.find("[ FullScreen Mode ]\r\nDisplay : ");
  ASSERT_NE(block, std::string::npos) << text;
  const std::string display = text.substr(block, text.find("[ Drive Info ]", block) - block);
  SDL_DisplayMode desktop{};
  ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
  // The mode follows "Display : " at once, or on the next line behind the display's name.
  const std::string mode = std::to_string(desktop.w) + " x " + std::to_string(desktop.h) + "  32bit\r\n";
  const std::string head = "Display : ";
  const std::size_t mode_at = display.find(mode);
  ASSERT_NE(mode_at, std::string::npos) << display;
  const std::size_t after_head = display.find(head) + head.size();
  ASSERT_LE(after_head, mode_at) << display;
  const std::string before = display.substr(after_head, mode_at - after_head);
  const std::string name_line_end = "\r\n" + std::string(10, ' ');
  EXPECT_TRUE(before.empty() || (before.size() > name_line_end.size() && before.ends_with(name_line_end) &&
                                 before.find('\n') == before.size() - name_line_end.size() + 1))
      << display;
  EXPECT_EQ(display.find("< GDI >"), std::string::npos) << display;
  std::size_t position = 0;
  for (const char* line : {"< DirectDraw >\r\nDriver Name   : ", "DirectDraw    : ", "Pixel         : 32bit",
                           "< Direct3D >\r\nTexture       : ", "DirectBlt     : Yes\r\n"}) {
    const std::size_t found = display.find(line, position);
    EXPECT_NE(found, std::string::npos) << line << "\n" << display;
    if (found != std::string::npos) position = found;
  }
}

TEST_F(StartUpLogGuiTest, WithTheLogSwitchOffNoLogIsWritten) {
  WriteUserConfig(false);
  ASSERT_EQ(RunGame(), 0);
  EXPECT_FALSE(game_.Exists("SYS_LOG.TXT"));
}

}  // namespace

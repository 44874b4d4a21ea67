// The fixture of the game's set-up tests: a generated game folder, the player's folders inside
// it, the log and the message boxes, answered as the test says.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/game/game_app.h"
#include "platform/window/dialog_host.h"
#include "platform/window/system_message_box.h"
#include "support/game_settings_files.h"
#include "support/log_capture.h"
#include "support/scoped_environment.h"
#include "support/temp_game_folder.h"

class SetUpGame : public CGameApp {
 public:
  explicit SetUpGame(const std::string& folder) {
    SetThreaded(false);
    SetCommandLine("/L" + folder);
  }
};

class GameSetUpTest : public ::testing::Test {
 protected:
  void WriteGame(uint8_t save_folder_mode, const std::string& save_folder_name = "",
                 const std::string& application_name = "Tale") {
    kvxtools::AppDefinitionFile definition;
    definition.save_folder_mode = save_folder_mode;
    kvxtools::AppInformationFile information;
    information.name = application_name;
    information.save_folder = save_folder_name;
    test_support::WriteGameSettingsFiles(game_, definition, information);
  }
  // The game's settings template, naming a save folder as a game of kind 2 may.
  void WriteTemplateNaming(const std::string& folder) {
    const std::vector<uint8_t> bytes = kvxtools::WriteUserConfigFile({{}, {}, {}, folder});
    game_.WriteFile("USER.CFG", std::string(bytes.begin(), bytes.end()));
  }
  // Whether a line logged (from line `from` on) holds the text.
  bool Logged(const std::string& text, std::size_t from = 0) const {
    return std::any_of(log_.Lines().begin() + static_cast<std::ptrdiff_t>(from), log_.Lines().end(),
                       [&](const std::string& line) { return line.find(text) != std::string::npos; });
  }

  test_support::TempGameFolder game_;
  ScopedEnvironment config_{"XDG_CONFIG_HOME", (game_.HostPath() + "config").c_str()};
  ScopedEnvironment data_{"XDG_DATA_HOME", (game_.HostPath() + "data").c_str()};
  LogCapture log_;
  std::vector<plat::MessageBoxRequest> boxes_;
  int answer_ = plat::IDYES;
  plat::ScopedMessageBoxAnswers answers_{[this](const plat::MessageBoxRequest& request) {
    boxes_.push_back(request);
    return answer_;
  }};
};

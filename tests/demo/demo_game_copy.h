// A window test that plays a copy of the built demo, so that nothing the game writes (settings,
// saves, the read-text log) lands in the build's demo or the user's data home, and nothing a
// player left there reaches the test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/scoped_environment.h"
#include "support/temp_game_folder.h"
#include "support/test_window.h"

// Copies the built demo into `game` as a fresh player's game: the build's demo folder keeps the
// saves and settings of whoever played it, so the settings start again from their templates and
// the saves go.
inline void CopyBuiltDemo(const std::string& build, const test_support::TempGameFolder& game) {
  std::filesystem::copy(build + "/demo", game.HostPath(),
                        std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  std::filesystem::remove_all(game.HostPath() + "SAVEDATA");
  std::filesystem::create_directory(game.HostPath() + "SAVEDATA");
  constexpr auto kReplace = std::filesystem::copy_options::overwrite_existing;
  std::filesystem::copy_file(build + "/demo-loose/SAVEDATA/APP_CFG.DAT", game.HostPath() + "SAVEDATA/APP_CFG.DAT",
                             kReplace);
  std::filesystem::copy_file(build + "/demo-files/USER.CFG", game.HostPath() + "USER.CFG", kReplace);
}

class DemoGameCopyTest : public WindowTestBase {
 protected:
  void SetUp() override {
    const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
    ASSERT_NE(tools, nullptr) << "KESTRUNE_TOOLS_DIR names the build folder";
    CopyBuiltDemo(tools, game_);
  }

  test_support::TempGameFolder game_;
  ScopedEnvironment data_home_{"XDG_DATA_HOME", (game_.HostPath() + "data").c_str()};
};

// A window test that plays a copy of the built demo, so that nothing the game writes (settings,
// saves, the read-text log) lands in the build's demo or the user's data home.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/scoped_environment.h"
#include "support/temp_game_folder.h"
#include "support/test_window.h"

class DemoGameCopyTest : public WindowTestBase {
 protected:
  void SetUp() override {
    const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
    ASSERT_NE(tools, nullptr) << "KESTRUNE_TOOLS_DIR names the build folder";
    std::filesystem::copy(std::string(tools) + "/demo", game_.HostPath(),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  }

  test_support::TempGameFolder game_;
  ScopedEnvironment data_home_{"XDG_DATA_HOME", (game_.HostPath() + "data").c_str()};
};

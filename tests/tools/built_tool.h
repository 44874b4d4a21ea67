// Runs a command of tools/ as built (in KESTRUNE_TOOLS_DIR) with its output caught in a file of
// the test's folder.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "support/temp_game_folder.h"

class BuiltToolTest : public ::testing::Test {
 protected:
  // The exit status (-1 when the tool did not end by itself); `output` what it printed.
  int Run(std::string_view tool, const std::string& arguments, std::string& output) {
    const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
    EXPECT_NE(tools, nullptr) << "KESTRUNE_TOOLS_DIR names the folder of the built tools";
    if (tools == nullptr) return -1;
    const std::string command =
        std::string(tools) + "/" + std::string(tool) + " " + arguments + " > '" + folder_.HostPath() + "tool.log' 2>&1";
    const int status = std::system(command.c_str());
    output = folder_.ReadFile("tool.log");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // The same with what the tool printed on standard output and on standard error apart.
  int Run(std::string_view tool, const std::string& arguments, std::string& output, std::string& errors) {
    const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
    EXPECT_NE(tools, nullptr) << "KESTRUNE_TOOLS_DIR names the folder of the built tools";
    if (tools == nullptr) return -1;
    const std::string command = "timeout 60 " + std::string(tools) + "/" + std::string(tool) + " " + arguments + " > '" +
                                folder_.HostPath() + "tool.out' 2> '" + folder_.HostPath() + "tool.err'";
    const int status = std::system(command.c_str());
    output = folder_.ReadFile("tool.out");
    errors = folder_.ReadFile("tool.err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Path(std::string_view name) const { return "'" + folder_.HostPath() + std::string(name) + "'"; }

  test_support::TempGameFolder folder_;
};

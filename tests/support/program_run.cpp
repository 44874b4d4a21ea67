#include "support/program_run.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace test_support {

std::string BuiltProgram() {
  const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
  EXPECT_NE(tools, nullptr) << "KESTRUNE_TOOLS_DIR names the folder of the built program";
  return std::string(tools != nullptr ? tools : ".") + "/kestrune";
}

int RunProgram(const std::string& environment, const std::string& arguments, const std::string& output,
               std::string& printed, const std::string& launcher, const std::string& program) {
  const std::string command = "env " + environment + " ASAN_OPTIONS=detect_leaks=0 " + launcher + " '" +
                              (program.empty() ? BuiltProgram() : program) + "' " + arguments + " > '" + output +
                              "' 2>&1";
  const int status = std::system(command.c_str());
  std::ifstream stream(output);
  std::stringstream text;
  text << stream.rdbuf();
  printed = text.str();
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace test_support

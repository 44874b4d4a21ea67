// Which steps of a whole start and exit of the program are not built yet: the program runs in a
// process of its own, so that its "not built yet" lines are its own and none was reported before.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "sob_assembler.h"
#include "support/game_settings_files.h"
#include "support/temp_game_folder.h"

namespace {

constexpr std::string_view kNotBuilt = "not built yet: ";

// The steps that later issues build; each leaves this list with the issue that builds it.
const std::set<std::string> kStillUnbuilt = {};

// The "not built yet" lines of the program's log when it starts, runs `main` and ends.
std::set<std::string> UnbuiltStepsOfARun(const std::string& main, int& exit_status) {
  test_support::TempGameFolder game;
  test_support::WriteGameSettingsFiles(game);
  kvxtools::SobAssembly assembly;
  std::string error;
  EXPECT_TRUE(kvxtools::AssembleSob(main, nullptr, assembly, error)) << error;
  game.WriteFile("SCRIPT/MAIN.SOB",
                 std::string_view(reinterpret_cast<const char*>(assembly.bytes.data()), assembly.bytes.size()));
  const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
  const std::string program = std::string(tools != nullptr ? tools : ".") + "/kestrune";
  const std::string command = "ASAN_OPTIONS=detect_leaks=0 '" + program + "' '/L" + game.HostPath() + "' 2> '" +
                              game.HostPath() + "run.log'";
  const int status = std::system(command.c_str());
  exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::istringstream log(game.ReadFile("run.log"));
  std::set<std::string> steps;
  for (std::string line; std::getline(log, line);) {
    if (const std::size_t at = line.find(kNotBuilt); at != std::string::npos) {
      steps.insert(line.substr(at + kNotBuilt.size()));
    }
  }
  return steps;
}

TEST(StartUpStepsTest, TheStartUpAndTheExitLeaveNoStepUnbuilt) {
  int exit_status = -1;
  const std::set<std::string> unbuilt = UnbuiltStepsOfARun(".kind script\n  Yield\n  Return\n", exit_status);
  EXPECT_EQ(exit_status, 0);
  // A step built since leaves the list; a step reported but not listed is a gap.
  EXPECT_EQ(unbuilt, kStillUnbuilt);
}

}  // namespace

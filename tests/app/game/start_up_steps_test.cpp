// Which steps of a whole start and exit of the program are not built yet: the program runs in a
// process of its own, so that its "not built yet" lines are its own and none was reported before.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "ogg_writer.h"
#include "sob_assembler.h"
#include "support/game_settings_files.h"
#include "support/temp_game_folder.h"

namespace {

constexpr std::string_view kNotBuilt = "not built yet: ";

// The steps that later issues build; each leaves this list with the issue that builds it.
const std::set<std::string> kStillUnbuilt = {};

// Runs the program on `game` with the main script `main` and `environment` (assignments for the
// shell) set; its exit status, its log in "run.log" of the game folder.
int RunProgram(const test_support::TempGameFolder& game, const std::string& main, const std::string& environment) {
  test_support::WriteGameSettingsFiles(game);
  kvxtools::SobAssembly assembly;
  std::string error;
  EXPECT_TRUE(kvxtools::AssembleSob(main, nullptr, assembly, error)) << error;
  game.WriteFile("SCRIPT/MAIN.SOB",
                 std::string_view(reinterpret_cast<const char*>(assembly.bytes.data()), assembly.bytes.size()));
  const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
  const std::string program = std::string(tools != nullptr ? tools : ".") + "/kestrune";
  const std::string command = "ASAN_OPTIONS=detect_leaks=0 " + environment + " '" + program + "' '/L" +
                              game.HostPath() + "' 2> '" + game.HostPath() + "run.log'";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The "not built yet" lines of the program's log when it starts, runs `main` and ends.
std::set<std::string> UnbuiltStepsOfARun(const std::string& main, int& exit_status) {
  test_support::TempGameFolder game;
  exit_status = RunProgram(game, main, "");
  std::istringstream log(game.ReadFile("run.log"));
  std::set<std::string> steps;
  for (std::string line; std::getline(log, line);) {
    if (const std::size_t at = line.find(kNotBuilt); at != std::string::npos) {
      steps.insert(line.substr(at + kNotBuilt.size()));
    }
  }
  return steps;
}

// The libraries the engine opens at their first use.
const std::vector<std::string> kOnDemandLibraries = {"libvorbisfile.so.3", "libharfbuzz.so.0", "libfreetype.so.6",
                                                     "libfontconfig.so.1"};

// How the dynamic loader came to load each of `libraries` during a run of `main` ("needed by" the
// program at start, "dynamically loaded by" it later); empty for one it never loaded. The run
// must end well.
std::map<std::string, std::string> HowLibrariesCameIn(const test_support::TempGameFolder& game, const std::string& main,
                                                      const std::vector<std::string>& libraries) {
  EXPECT_EQ(RunProgram(game, main, "LD_DEBUG=files LD_DEBUG_OUTPUT='" + game.HostPath() + "loader'"), 0)
      << game.ReadFile("run.log");
  std::map<std::string, std::string> how;
  for (const std::string& library : libraries) how[library];
  for (const auto& entry : std::filesystem::directory_iterator(game.HostPath())) {
    if (!entry.path().filename().string().starts_with("loader.")) continue;
    std::ifstream trace(entry.path());
    for (std::string line; std::getline(trace, line);) {
      for (const std::string& library : libraries) {
        const std::size_t at = line.find("file=" + library + " ");
        if (at == std::string::npos || !how[library].empty()) continue;
        for (const char* way : {"needed by", "dynamically loaded by"}) {
          if (line.find(way, at) != std::string::npos) how[library] = way;
        }
      }
    }
  }
  return how;
}

TEST(StartUpStepsTest, TheStartUpAndTheExitLeaveNoStepUnbuilt) {
  int exit_status = -1;
  const std::set<std::string> unbuilt = UnbuiltStepsOfARun(".kind script\n  Yield\n  Return\n", exit_status);
  EXPECT_EQ(exit_status, 0);
  // A step built since leaves the list; a step reported but not listed is a gap.
  EXPECT_EQ(unbuilt, kStillUnbuilt);
}

}  // namespace

namespace {

TEST(StartUpStepsTest, TheStartUpLoadsNoneOfTheLibrariesOpenedAtTheirFirstUse) {
  test_support::TempGameFolder game;
  const std::map<std::string, std::string> how =
      HowLibrariesCameIn(game, ".kind script\n  Yield\n  Return\n", kOnDemandLibraries);
  for (const std::string& library : kOnDemandLibraries) {
    EXPECT_EQ(how.at(library), "") << library << " was loaded by an empty game";
  }
}

// A game that lists the installed fonts and loads an Ogg sound: the font list and the sound's
// decoder open their libraries then, and the run goes on to its end.
TEST(StartUpStepsTest, ALaterFirstUseOpensItsLibraryThenAndTheRunGoesOn) {
  test_support::TempGameFolder game;
  const std::vector<std::uint8_t> sound = EncodeOggVorbis(MakeSine(4410, 1, 22050, 440), 1, 22050);
  game.WriteFile("SE/TONE.OGG", std::string_view(reinterpret_cast<const char*>(sound.data()), sound.size()));
  const std::string main =
      ".kind script\n"
      "  CallNative native(193), japanese_fonts, result\n"
      "  CallNative native(668), channel_count, result\n"
      "  CallNative native(672), tone, result\n"
      "  Return\n"
      "japanese_fonts: .word 128, 0\n"
      "channel_count: .word 4\n"
      "tone: .word 1, tone_name\n"
      "result: .word 0\n"
      "tone_name: .string \"SE\\\\TONE.OGG\"\n";
  const std::map<std::string, std::string> how =
      HowLibrariesCameIn(game, main, {"libvorbisfile.so.3", "libfontconfig.so.1"});
  EXPECT_EQ(how.at("libvorbisfile.so.3"), "dynamically loaded by");
  EXPECT_EQ(how.at("libfontconfig.so.1"), "dynamically loaded by");
  const std::string log = game.ReadFile("run.log");
  EXPECT_EQ(log.find("cannot load"), std::string::npos) << log;
}

}  // namespace

// A game made as a hostile author would make it, with the tools as every test game is, and run by
// the program: its main script tries every road out of the game that scripts have, to make the
// engine run code of the game's choosing or write outside the game's folder and the player's save
// folder. It ships libraries under the plug-in names and loads them by every loader, writes a
// library of its own and loads it, names libraries outside the folders, rewrites files it ships
// into programs (in place and by copying one over them) and starts them, starts a "#!" text, writes
// its variable file and text log through a folder link, writes, makes and exports outside, and its
// settings name a save folder outside and a save-folder name that climbs. The run ends with none of
// that code run and nothing changed outside the game's folder and its save folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/game/chosen_save_folders.h"
#include "sob_assembler.h"
#include "settings_writer.h"
#include "support/program_run.h"
#include "support/scoped_environment.h"
#include "support/temp_game_folder.h"

namespace {

namespace fs = std::filesystem;

const std::string kMarkers = KESTRUNE_CODE_MARKER_DIR;

// The switch of the user's settings that loads the movie libraries at the start.
constexpr std::size_t kMovieLibrariesSwitch = 7;

// The save folder the game gets: its climbing name made one plain name, under the player's data
// folder, where its settings lie too, and which the player chose to keep the saves in.
constexpr const char* kSaveFolder = "a/data/kestrune/.._.._ESCAPED/";
constexpr const char* kSaveFolderEngine = "a\\data\\kestrune\\.._.._ESCAPED";

// A text as an assembler string: backslashes and quotes escaped.
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// A script's label `name` on the text `text`.
std::string Text(const std::string& name, const std::string& text) { return name + ": .string " + Quoted(text) + "\n"; }

// Script lines that take a file object into the word `file`, hand it to the argument lists
// `opened`, `written` and `closed`, open the file by built-in `open` (130 makes it, 131 opens it),
// write to it and close it.
std::string WrittenThroughAFile(const std::string& file, int open, const std::string& opened, const std::string& written,
                                const std::string& closed) {
  std::string lines = "  CallNative native(124), none, " + file + "\n";
  for (const std::string* list : {&opened, &written, &closed}) lines += "  Copy " + file + ", " + *list + "\n";
  lines += "  CallNative native(" + std::to_string(open) + "), " + opened + ", result\n";
  lines += "  CallNative native(141), " + written + ", result\n";
  return lines + "  CallNative native(132), " + closed + ", result";
}

// The script of a game that tries every road; `program` is the folder of the program that runs it
// (an engine path ending with a backslash), where it leaves libraries for the next start.
std::string HostileMain(const std::string& outside, const std::string& program) {
  return R"(.kind script
  ; The game's own libraries, under every loader's name and by every loader.
  CallNative native(103), adl_one, result
  CallNative native(104), plugin_folder, result
  CallNative native(116), spi_one, result
  CallNative native(117), plugin_folder, result
  CallNative native(205), gll_one, result
  CallNative native(206), plugin_folder, result
  CallNative native(598), sll_one, result
  CallNative native(599), plugin_folder, result
  ; Libraries named outside every folder, by drive and by climbing.
  CallNative native(205), gll_outside, result
  CallNative native(116), spi_beside, result
  ; A library the script writes from the bytes it carries as data, then loads.
  CallNative native(124), none, data_file
  Copy data_file, load_data
  Copy data_file, data_of
  Copy data_file, size_of
  CallNative native(127), load_data, result
  CallNative native(133), data_of, write_made+4
  CallNative native(134), size_of, write_made+8
)" + WrittenThroughAFile("made_file", 130, "create_made", "write_made", "close_made") + R"(
  CallNative native(205), made_one, result
  CallNative native(206), game_folder, result
  ; Programs: a "#!" text, a shipped program opened for writing and rewritten, one copied over.
  CallNative native(161), run_shell, result
)" + WrittenThroughAFile("prog_file", 131, "open_prog", "write_prog", "close_prog") + R"(
  CallNative native(161), run_prog, result
  CallNative native(164), copy_over, result
  CallNative native(161), run_other, result
  ; The variable file, the persistent file and the text log through a folder link.
  CallNative native(34), var_name, result
  CallNative native(31), save_vars, result
  CallNative native(495), log_name, result
  CallNative native(35), none, result
  ; Writes, folders, moves and exports outside, and the desktop's opener on outside files.
  CallNative native(124), none, out_file
  Copy out_file, create_outside
  Copy out_file, create_beside
  CallNative native(130), create_outside, result
  CallNative native(130), create_beside, result
  CallNative native(162), make_folder, result
  CallNative native(163), move_out, result
  CallNative native(805), export_out, result
  CallNative native(802), open_outside, result
  CallNative native(804), open_outside, result
  CallNative native(94), base_outside, result
  Copy out_file, create_relative
  CallNative native(130), create_relative, result
  ; Libraries for the program's next start, in its plug-in folder and beside it, and 16 bytes
  ; over the movie library it has loaded.
  CallNative native(805), export_plugin, result
  CallNative native(805), export_player, result
)" + WrittenThroughAFile("lib_file", 131, "open_lib", "write_lib", "close_lib") + R"(
  Return
none: .word 0
result: .word 0
lib_file: .word 0
export_plugin: .word library_bytes_name, program_plugin
export_player: .word library_bytes_name, program_player
open_lib: .word 0, program_movie
write_lib: .word 0, sixteen_bytes, 16
close_lib: .word 0
data_file: .word 0
made_file: .word 0
prog_file: .word 0
out_file: .word 0
adl_one: .word adl_name
spi_one: .word spi_name
gll_one: .word gll_name
sll_one: .word sll_name
plugin_folder: .word plugin_name
gll_outside: .word gll_outside_name
spi_beside: .word spi_beside_name
load_data: .word 0, library_bytes_name
data_of: .word 0
size_of: .word 0
create_made: .word 0, made_name, 1
write_made: .word 0, 0, 0
close_made: .word 0
made_one: .word made_name
game_folder: .word dot
run_shell: .word shell_name, 1
open_prog: .word 0, prog_name
write_prog: .word 0, elf_magic, 4
close_prog: .word 0
run_prog: .word prog_name, 1
copy_over: .word other_name, spare_name, 1
run_other: .word other_name, 1
var_name: .word var_file
save_vars: .word 0, 0, 0, 0
log_name: .word log_file
create_outside: .word 0, outside_file, 1
create_beside: .word 0, beside_file, 1
make_folder: .word outside_folder
move_out: .word spare_name, moved_out
export_out: .word library_bytes_name, exported
open_outside: .word outside_file
base_outside: .word outside_base
create_relative: .word 0, relative_file, 1
adl_name: .string "PLUGIN\\X.ADL"
spi_name: .string "PLUGIN\\X.SPI"
gll_name: .string "PLUGIN\\X.GLL"
sll_name: .string "PLUGIN\\X.SLL"
plugin_name: .string "PLUGIN"
)" + Text("gll_outside_name", outside + "X.GLL") + R"(
spi_beside_name: .string "..\\outside\\X.SPI"
library_bytes_name: .string "DATA\\LIBRARY.BIN"
made_name: .string "MADE.GLL"
dot: .string "."
shell_name: .string "TOOLS\\RUN.SH"
prog_name: .string "TOOLS\\PROG"
elf_magic: .string "\x7F" "ELF"
other_name: .string "TOOLS\\OTHER"
spare_name: .string "TOOLS\\SPARE"
var_file: .string "LINK\\KITOUT.DAT"
log_file: .string "LINK\\KITLOG.DAT"
)" + Text("outside_file", outside + "W.TXT") + R"(
beside_file: .string "..\\outside\\W2.TXT"
)" + Text("outside_folder", outside + "FOLDER") + R"(
)" + Text("moved_out", outside + "MOVED") + R"(
)" + Text("exported", outside + "EXPORTED.BIN") + R"(
)" + Text("outside_base", outside) + R"(
relative_file: .string "W3.TXT"
)" + Text("program_plugin", program + "plugin\\X.SLL") + R"(
)" + Text("program_player", program + "movie_player.so") + R"(
)" + Text("program_movie", program + "DS_MOVIE.DLL") + R"(
sixteen_bytes: .string "0123456789ABCDEF"
)";
}

struct Entry {
  bool folder = false;
  std::uintmax_t size = 0;
  std::int64_t changed = 0;
  bool operator==(const Entry&) const = default;
};

// Every file and folder below `root` (links not followed), but those below the given folders.
std::map<std::string, Entry> Snapshot(const std::string& root, const std::vector<std::string>& skipped) {
  std::map<std::string, Entry> entries;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string relative = it->path().lexically_relative(root).string();
    bool skip = false;
    for (const std::string& folder : skipped) skip = skip || (relative + "/").starts_with(folder);
    if (skip) {
      if (it->is_directory() && !it->is_symlink()) it.disable_recursion_pending();
      continue;
    }
    struct stat status {};
    ::lstat(it->path().c_str(), &status);
    entries[relative] = {S_ISDIR(status.st_mode), S_ISREG(status.st_mode) ? static_cast<std::uintmax_t>(status.st_size) : 0,
                         static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
  }
  return entries;
}

// The marks of code that ran below `root`: a library's "<file>.ran", a program's "ran", the
// shell's "SHELL_RAN".
std::vector<std::string> MarksIn(const std::string& root) {
  std::vector<std::string> marks;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = entry.path().filename().string();
    if (name == "ran" || name == "SHELL_RAN" || entry.path().extension() == ".ran") marks.push_back(entry.path());
  }
  return marks;
}

class HostileGameGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string outside = sandbox_.EnginePath("outside\\");
    // The game: its main script, user variables with a persistent one, a read-text table, and
    // settings of save-folder kind 2 whose template names a folder outside and whose save-folder
    // name climbs out of the player's data folder.
    Assemble("SCRIPT/MAIN.SOB", HostileMain(outside, outside + "PROGRAM\\"));
    Assemble("SCRIPT/USER_VAR.SOB", ".kind uservar\n.var kept 0 2 4 7\n.var value 0 1 4 9\n");
    Assemble("SCRIPT/SOB_INIT.DAT", ".kind init\n.record MAIN 8 0\n");
    kvxtools::AppDefinitionFile definition;
    definition.single_instance = 0;
    definition.save_folder_mode = 2;
    kvxtools::AppInformationFile information;
    information.name = "Hostile";
    information.save_folder = "..\\..\\ESCAPED";
    WriteBytes("game/SCRIPT/DL_APP.SYS", kvxtools::WriteAppDefinition(definition));
    WriteBytes("game/SCRIPT/DL_APP.INF", kvxtools::WriteAppInformation(information));
    WriteUserConfig("game/USER.CFG", outside + "CHOSEN");
    // What it ships: a library under each plug-in name, the library's bytes as data, a program of
    // this machine, "#!" texts, and two of them with an execute bit that it makes programs of.
    for (const char* name : {"PLUGIN/X.ADL", "PLUGIN/X.SPI", "PLUGIN/X.GLL", "PLUGIN/X.SLL", "DATA/LIBRARY.BIN"}) {
      Ship(kMarkers + "/marker.so", name);
    }
    Ship(kMarkers + "/marker", "TOOLS/SPARE");
    for (const char* name : {"TOOLS/PROG", "TOOLS/OTHER"}) {
      sandbox_.WriteFile(std::string("game/") + name, "#!/bin/sh\n");
      fs::permissions(sandbox_.HostPath() + "game/" + name, fs::perms::owner_all);
    }
    sandbox_.WriteFile("game/TOOLS/RUN.SH", "#!/bin/sh\necho ran > '" + sandbox_.HostPath() + "outside/SHELL_RAN'\n");
    fs::permissions(sandbox_.HostPath() + "game/TOOLS/RUN.SH", fs::perms::owner_all);
    // Outside: libraries to name, the folder the template names.
    sandbox_.MakeFolder("outside/CHOSEN");
    for (const char* name : {"outside/X.GLL", "outside/X.SPI"}) fs::copy_file(kMarkers + "/marker.so", sandbox_.HostPath() + name);
    // The player's data folder already holds the game's settings, and a link out beside them; the
    // player chose the game's folder there for the saves.
    WriteUserConfig(std::string(kSaveFolder) + "USER.CFG", sandbox_.EnginePath(kSaveFolderEngine));
    fs::create_symlink(sandbox_.HostPath() + "outside", sandbox_.HostPath() + kSaveFolder + "LINK");
    for (const char* folder : {"home", "config"}) sandbox_.MakeFolder(folder);
    const ScopedEnvironment config("XDG_CONFIG_HOME", (sandbox_.HostPath() + "config").c_str());
    ASSERT_TRUE(RememberChosenSaveFolder(sandbox_.EnginePath(std::string(kSaveFolderEngine) + "\\USER.CFG"),
                                         sandbox_.EnginePath(kSaveFolderEngine)));
  }

  void Assemble(const std::string& name, const std::string& source) {
    kvxtools::SobAssembly assembly;
    std::string error;
    ASSERT_TRUE(kvxtools::AssembleSob(source, nullptr, assembly, error)) << error;
    WriteBytes("game/" + name, assembly.bytes);
  }
  void WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    sandbox_.WriteFile(name, std::string(bytes.begin(), bytes.end()));
  }
  // Settings that name `chosen` as the save folder and load the movie libraries.
  void WriteUserConfig(const std::string& name, const std::string& chosen) const {
    kvxtools::UserConfigFile settings;
    settings.run_time[kMovieLibrariesSwitch] = 1;
    settings.chosen_folder = chosen;
    WriteBytes(name, kvxtools::WriteUserConfigFile(settings));
  }
  void Ship(const std::string& from, const std::string& name) const {
    const std::string path = sandbox_.HostPath() + "game/" + name;
    fs::create_directories(fs::path(path).parent_path());
    fs::copy_file(from, path);
    fs::permissions(path, fs::perms::owner_all);
  }

  // Runs the program (or a copy of it) on the game, named by /L or as the program's own folder,
  // with the sandbox as the player's home; its exit status, with what it printed in `printed`.
  int Run(std::string& printed, const std::string& program = "", bool game_named = true) {
    const std::string environment = "SDL_AUDIODRIVER=dummy HOME='" + sandbox_.HostPath() + "home' XDG_DATA_HOME='" +
                                    sandbox_.HostPath() + "a/data' XDG_CONFIG_HOME='" + sandbox_.HostPath() +
                                    "config' XDG_CACHE_HOME='" + caches_.HostPath() + "'";
    return test_support::RunProgram(environment, game_named ? "'/L" + sandbox_.HostPath() + "game/'" : "",
                                    caches_.HostPath() + "run.log", printed, "", program);
  }

  // The player's home, data and settings folders, the game's folder and a folder beside it.
  test_support::TempGameFolder sandbox_;
  // The libraries' caches (fonts and the like) and the program's log, apart from the sandbox.
  test_support::TempGameFolder caches_;
};

TEST_F(HostileGameGuiTest, EveryRoadEndsWithNoCodeOfTheGameRunAndNothingWrittenOutsideItsFolders) {
  const std::map<std::string, Entry> before = Snapshot(sandbox_.HostPath(), {"game/", kSaveFolder});
  std::string printed;
  // The settings naming the folder outside, as the game's scripts could have written them: not the
  // player's choice, it counts as a folder that is gone; the question whether to choose another
  // has nobody to answer it here (no display shows it), and the start ends, writing nothing.
  WriteUserConfig(std::string(kSaveFolder) + "USER.CFG", sandbox_.EnginePath("outside\\CHOSEN"));
  EXPECT_EQ(Run(printed), 1) << printed;
  EXPECT_NE(printed.find("was not chosen by the player on this machine"), std::string::npos) << printed;
  EXPECT_EQ(Snapshot(sandbox_.HostPath(), {"game/", kSaveFolder}), before);
  WriteUserConfig(std::string(kSaveFolder) + "USER.CFG", sandbox_.EnginePath(kSaveFolderEngine));

  ASSERT_EQ(Run(printed), 0) << printed;

  // No code of the game ran: no library was loaded, no program or shell started.
  EXPECT_EQ(MarksIn(sandbox_.HostPath()), std::vector<std::string>{});
  // Nothing outside the game's folder and the save folder was made or changed, and the save
  // folder is the player's data folder, not the one the settings named nor one above it.
  EXPECT_EQ(Snapshot(sandbox_.HostPath(), {"game/", kSaveFolder}), before);
  EXPECT_TRUE(fs::exists(sandbox_.HostPath() + kSaveFolder + "APP_CFG.DAT")) << printed;
  EXPECT_FALSE(fs::exists(sandbox_.HostPath() + "ESCAPED"));
  // Each road was tried and refused, and said so.
  for (const char* said : {"not loading the library", "a script may not start", "a script may not write",
                           "which is not one plain folder name"}) {
    EXPECT_NE(printed.find(said), std::string::npos) << said << "\n" << printed;
  }
}

// The program kept in the game's folder, as a game may ship it beside its data, started with /L
// or from there without: the libraries beside it, under the plug-in names in its folder "plugin"
// and as the movie libraries and their player, are the game's, and none runs. One line says why.
TEST_F(HostileGameGuiTest, AProgramKeptInTheGamesFolderRunsNoLibraryOfTheGame) {
  const std::string program = sandbox_.HostPath() + "game/kestrune";
  fs::copy_file(test_support::BuiltProgram(), program);
  for (const char* name : {"DS_SPRITE.DLL", "DS_PRIM.DLL", "DS_MOVIE.DLL", "movie_player.so"}) {
    Ship(kMarkers + "/marker.so", name);
  }
  for (const bool game_named : {true, false}) {
    SCOPED_TRACE(game_named ? "started with /L" : "started without /L");
    std::string printed;
    ASSERT_EQ(Run(printed, program, game_named), 0) << printed;
    EXPECT_EQ(MarksIn(sandbox_.HostPath()), std::vector<std::string>{});
    EXPECT_NE(printed.find("keep the program in a folder apart from the game"), std::string::npos) << printed;
  }
}

// The program with its movie libraries kept in the game's own folder inside each of the player's
// folders, where the game's scripts write: the script leaves a library in the program's plug-in
// folder and beside it and writes over the movie library the program loaded. None of it is
// written, so the next start runs no code of the game's, and both runs end by themselves. (In
// the data folder the game's own folder is its save folder too, and the program loads nothing.)
TEST_F(HostileGameGuiTest, AProgramKeptInAPlayersFolderRunsNoCodeOfTheGameThenOrAtTheNextStart) {
  const std::string built = fs::path(test_support::BuiltProgram()).parent_path().string() + "/";
  for (const char* folder : {"home/Documents/", "home/Pictures/", "home/Desktop/", "a/data/kestrune/"}) {
    SCOPED_TRACE(folder);
    const std::string program = std::string(folder) + ".._.._ESCAPED/program/";
    sandbox_.MakeFolder(program + "plugin");
    for (const char* name : {"kestrune", "DS_SPRITE.DLL", "DS_PRIM.DLL", "DS_MOVIE.DLL", "movie_player.so"}) {
      fs::copy_file(built + name, sandbox_.HostPath() + program + name);
    }
    Assemble("SCRIPT/MAIN.SOB", HostileMain(sandbox_.EnginePath("outside\\"), sandbox_.EnginePath(program)));
    const std::map<std::string, Entry> before = Snapshot(sandbox_.HostPath(), {"game/", kSaveFolder});
    const std::map<std::string, Entry> program_before = Snapshot(sandbox_.HostPath() + program, {});
    for (const char* start : {"first start", "next start"}) {
      SCOPED_TRACE(start);
      std::string printed;
      ASSERT_EQ(Run(printed, sandbox_.HostPath() + program + "kestrune"), 0) << printed;
      EXPECT_EQ(MarksIn(sandbox_.HostPath()), std::vector<std::string>{});
      EXPECT_EQ(Snapshot(sandbox_.HostPath() + program, {}), program_before);
      EXPECT_EQ(Snapshot(sandbox_.HostPath(), {"game/", kSaveFolder}), before);
    }
  }
}

}  // namespace

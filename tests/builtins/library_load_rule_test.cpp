// The eight built-ins that load plug-in libraries (103, 104, 116, 117, 205, 206, 598, 599) never
// load one that a game's data could choose: shipped with the game, written by its scripts, named
// outside every folder, or reached through a link, also where the player's plug-in folder itself
// lies in the game folder or where scripts write. Loading alone would run the library's code, so
// the test library marks its loading from its constructor, and no mark may appear; the player's
// own plug-in folder still loads.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "base/files/script_code_rule.h"
#include "base/files/user_folders.h"
#include "builtin_call.h"
#include "platform/files/host_path.h"
#include "platform/files/special_folders.h"
#include "resource/archives/file_system.h"
#include "resource/pictures/image_loader_manager.h"
#include "resource/plugins/plugin_library.h"
#include "resource/plugins/sound_decoder_manager.h"
#include "scene/movies/dshow_library.h"
#include "support/data_files_fixture.h"
#include "support/log_capture.h"
#include "support/native_code_folder.h"
#include "support/own_mounts.h"
#include "support/scoped_environment.h"
#include "support/scoped_user_folder_game_name.h"
#include "support/script_folders.h"

namespace {

const std::string kMarkerLibrary = std::string(KESTRUNE_CODE_MARKER_DIR) + "/marker.so";

struct Loader {
  std::uint32_t one;     // loads the library a path names
  std::uint32_t folder;  // loads every library of a folder with the extension
  const char* extension;
};

constexpr Loader kLoaders[] = {{103, 104, "ADL"}, {116, 117, "SPI"}, {205, 206, "GLL"}, {598, 599, "SLL"}};

class LibraryLoadRuleTest : public test_support::DataFilesTest, public builtin_test::BuiltinCaller {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    game_.MakeFolder("SAVE");
    folders_.emplace(game_.EnginePath(), game_.EnginePath("SAVE\\"));
    saved_files_ = std::exchange(g_ScriptDataFiles, files_.get());
    saved_loaders_ = std::exchange(g_GllHost, &loaders_);
    saved_decoders_ = std::exchange(g_SoundDecoderManager, &decoders_);
    for (const char* folder : {"DATA", "MADE", "SAVE/MADE"}) game_.MakeFolder(folder);
    std::filesystem::copy_file(kMarkerLibrary, game_.HostPath() + "DATA/LIBRARY.BIN");
  }
  void TearDown() override {
    Call(126, {});
    g_ScriptDataFiles = saved_files_;
    g_GllHost = saved_loaders_;
    g_SoundDecoderManager = saved_decoders_;
    folders_.reset();
    DataFilesTest::TearDown();
  }

  static void Install(const test_support::TempGameFolder& folder, const std::string& name) {
    std::filesystem::create_directories(std::filesystem::path(folder.HostPath() + name).parent_path());
    std::filesystem::copy_file(kMarkerLibrary, folder.HostPath() + name);
  }
  // What a game's main script does to make a library of its own: the bytes it carries as data,
  // written under the plug-in's name through the file built-ins.
  void ScriptWrites(const std::string& name) {
    const std::uint32_t data = Call(124, {});
    ASSERT_EQ(Call(127, {data, Text("DATA\\LIBRARY.BIN")}), 0u);
    const std::uint32_t made = Call(124, {});
    ASSERT_EQ(Call(130, {made, Text(name), 1}), 0u);
    ASSERT_EQ(Call(141, {made, Call(133, {data}), Call(134, {data})}), Call(134, {data}));
    Call(132, {made});
  }
  // Whether a library's constructor ran anywhere under the folder.
  static bool AnyMarkIn(const test_support::TempGameFolder& folder) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.HostPath())) {
      if (entry.path().extension() == ".ran") return true;
    }
    return false;
  }

  test_support::TempGameFolder outside_;
  test_support::TempGameFolder player_;
  test_support::ScopedNativeCodeFolder native_code_{player_.EnginePath()};
  CImageLoaderManager loaders_;
  CSoundDecoderManager decoders_;

 private:
  std::optional<test_support::ScopedScriptFolders> folders_;
  CFileSystem* saved_files_ = nullptr;
  CImageLoaderManager* saved_loaders_ = nullptr;
  CSoundDecoderManager* saved_decoders_ = nullptr;
};

TEST_F(LibraryLoadRuleTest, NoLoaderRunsALibraryThatTheGamesDataCouldChoose) {
  const std::string beside = "..\\" + std::filesystem::path(outside_.HostPath()).parent_path().filename().string();
  LogCapture log;
  for (const Loader& loader : kLoaders) {
    SCOPED_TRACE(loader.extension);
    const std::string leaf = std::string("X.") + loader.extension;
    Install(game_, "PLUGIN/" + leaf);
    Install(outside_, leaf);
    ScriptWrites("SAVE\\MADE\\" + leaf);
    ScriptWrites("MADE\\" + leaf);
    player_.MakeFolder("plugin");
    std::filesystem::create_symlink(game_.HostPath() + "PLUGIN/" + leaf, player_.HostPath() + "plugin/LINKED." + loader.extension);
    for (const std::string& path : {"PLUGIN\\" + leaf, "SAVE\\MADE\\" + leaf, "MADE\\" + leaf, outside_.EnginePath(leaf),
                                    beside + "\\" + leaf, player_.EnginePath("plugin\\LINKED.") + loader.extension}) {
      EXPECT_EQ(Call(loader.one, {Text(path)}), kPluginNotLoadable) << path;
    }
    for (const std::string& folder : {std::string("PLUGIN"), std::string("SAVE\\MADE"), std::string("MADE"),
                                      outside_.EnginePath(), player_.EnginePath("plugin")}) {
      EXPECT_EQ(Call(loader.folder, {Text(folder)}), 0u) << folder;
    }
  }
  EXPECT_FALSE(AnyMarkIn(game_));
  EXPECT_FALSE(AnyMarkIn(outside_));
  EXPECT_FALSE(AnyMarkIn(player_));
  const std::string refusal = "not loading the library " + game_.EnginePath("PLUGIN\\X.ADL");
  EXPECT_TRUE(std::any_of(log.Lines().begin(), log.Lines().end(),
                          [&](const std::string& line) { return line.starts_with(refusal); }));

  // The player's own library loads: its code runs, which is what the marks above would show.
  Install(player_, "plugin/MINE.ADL");
  EXPECT_EQ(Call(103, {Text(player_.EnginePath("plugin\\MINE.ADL"))}), kPluginMissingExport);
  EXPECT_TRUE(player_.Exists("plugin/MINE.ADL.ran"));
}

// Where the player's plug-in folder lies in the game folder, a library the game ships there is
// the game's; where it lies in a folder scripts write (a user folder), a library a script wrote
// there is the game's too.
TEST_F(LibraryLoadRuleTest, APluginFolderInTheGameFolderOrWhereScriptsWriteLoadsNoLibraryOfTheGame) {
  {
    const test_support::ScopedNativeCodeFolder in_game(game_.EnginePath("PLAYER\\"));
    Install(game_, "PLAYER/plugin/X.ADL");
    EXPECT_EQ(Call(103, {Text(game_.EnginePath("PLAYER\\plugin\\X.ADL"))}), kPluginNotLoadable);
    EXPECT_FALSE(game_.Exists("PLAYER/plugin/X.ADL.ran")) << "the game shipped it";
  }
  const ScopedEnvironment home("HOME", (outside_.HostPath() + "home").c_str());
  const ScopedEnvironment config("XDG_CONFIG_HOME", (outside_.HostPath() + "home/.config").c_str());
  std::optional<test_support::ScopedUserFolderGameName> game_named(std::in_place, "Tale");
  const test_support::ScopedScriptFolders user_folders_now(game_.EnginePath(), game_.EnginePath("SAVE\\"));
  const std::string program = UserFolderPath(1).value() + "PLAYER\\";
  std::filesystem::create_directories(plat::ToHostPath(program).value() + "plugin");
  ScriptWrites(program + "plugin\\X.ADL");
  // A player may keep the program there later: what a script wrote still does not load.
  const test_support::ScopedNativeCodeFolder where_scripts_wrote(program);
  game_named.reset();
  ASSERT_TRUE(std::filesystem::exists(plat::ToHostPath(program + "plugin\\X.ADL").value()));
  EXPECT_EQ(Call(103, {Text(program + "plugin\\X.ADL")}), kPluginNotLoadable);
  EXPECT_FALSE(AnyMarkIn(outside_)) << "a script wrote it";
}

// Through a bind mount a folder's files are named elsewhere, and so is the program's own path
// when it lies there (/proc/self/exe names the mount). A program whose folder is the game folder
// reached that way loads none of the game's plug-ins nor its movie library, and says why; one
// whose folder is reached that way from where a script wrote loads nothing the script wrote; and
// the running program's folder mounted where scripts write takes none of their writes.
TEST_F(LibraryLoadRuleTest, AProgramFolderBindMountedFromTheGameFolderOrWhereScriptsWroteLoadsNoneOfIt) {
  const ScopedEnvironment home("HOME", (outside_.HostPath() + "home").c_str());
  const ScopedEnvironment config("XDG_CONFIG_HOME", (outside_.HostPath() + "home/.config").c_str());
  const test_support::ScopedUserFolderGameName game_named("Tale");
  const test_support::ScopedScriptFolders user_folders_now(game_.EnginePath(), game_.EnginePath("SAVE\\"));
  const std::string documents = UserFolderPath(1).value();
  std::filesystem::create_directories(plat::ToHostPath(documents + "PLAYER\\plugin").value());
  ScriptWrites(documents + "PLAYER\\plugin\\X.ADL");
  Install(game_, "plugin/X.SLL");
  Install(game_, kDShowMovieLibrary.file_name);
  outside_.MakeFolder("program");
  outside_.MakeFolder("documents");
  std::filesystem::create_directories(plat::ToHostPath(documents + "RUNNING").value());
  const test_support::OwnMountsRun run = test_support::RunWithBindMounts(
      {{game_.HostPath(), outside_.HostPath() + "program"},
       {plat::ToHostPath(plat::ProgramFolder().value()).value(), plat::ToHostPath(documents + "RUNNING").value()},
       {plat::ToHostPath(documents).value(), outside_.HostPath() + "documents"}},
      [&] {
        std::string failures;
        {
          const test_support::ScopedNativeCodeFolder in_game(outside_.EnginePath("program\\"));
          if (const std::string why = WhyNoNativeCodeLoads(); why.find("lies in the game's") == std::string::npos) {
            failures += "the program's folder in the game folder gives no reason: \"" + why + "\"\n";
          }
          if (Call(598, {Text(outside_.EnginePath("program\\plugin\\X.SLL"))}) != kPluginNotLoadable) {
            failures += "the game's plug-in was not refused\n";
          }
          const std::string program = outside_.EnginePath("program\\");
          if (CDShowLibrary().Load(program.c_str(), kDShowMovieLibrary, MayLoadProgramLibrary)) {
            failures += "the game's movie library loaded\n";
          }
        }
        if (MayScriptWriteAt((documents + "RUNNING\\plugin\\X.ADL").c_str())) {
          failures += "a script may write in the running program's folder mounted in the documents\n";
        }
        const test_support::ScopedNativeCodeFolder where_scripts_wrote(outside_.EnginePath("documents\\PLAYER\\"));
        if (Call(103, {Text(outside_.EnginePath("documents\\PLAYER\\plugin\\X.ADL"))}) != kPluginNotLoadable) {
          failures += "the plug-in a script wrote was not refused\n";
        }
        return failures;
      });
  if (!run.refused.empty()) GTEST_SKIP() << "no mount namespace of its own: " << run.refused;
  EXPECT_EQ(run.failures, "");
  EXPECT_FALSE(AnyMarkIn(game_));
  EXPECT_FALSE(AnyMarkIn(outside_));
}

}  // namespace

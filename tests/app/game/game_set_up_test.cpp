// The game's set-up in a generated game folder: where the user's settings come from on a first
// run, what the user is asked, what the settings files hold when they are written back, where the
// save folder may lie, and from where the player's plug-ins load.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "app/game/chosen_save_folders.h"
#include "app/game/game_set_up_fixture.h"
#include "base/files/file_services.h"
#include "base/files/script_write_rule.h"
#include "base/numbers/little_endian.h"
#include "platform/files/host_path.h"
#include "platform/encoding/text_encoding.h"
#include "platform/window/dialog_host.h"
#include "platform/window/system_message_box.h"
#include "support/game_settings_files.h"
#include "support/log_capture.h"
#include "support/native_code_folder.h"
#include "support/scoped_environment.h"
#include "support/temp_game_folder.h"

namespace {

TEST_F(GameSetUpTest, AFirstRunCreatesTheUserFolderAndCopiesTheTemplateWithoutAQuestion) {
  WriteGame(3);
  SetUpGame game(game_.EnginePath());
  ASSERT_EQ(game.SetUp(), 0);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_TRUE(game_.Exists("data/kestrune/Tale SaveData/USER.CFG"));
  EXPECT_EQ(std::string(game.GetSaveFolder()), game_.EnginePath("data\\kestrune\\Tale SaveData\\"));
  // No game settings file yet: the defaults stand, with the two drawing choices filled in.
  GameSettingsBlock expected = DefaultGameSettings();
  expected[kSettingResolutionMethod] = 1;
  expected[kSettingEnlargedDrawing] = 1;
  EXPECT_EQ(game.GetGameSettings(), expected);
}

TEST_F(GameSetUpTest, DecliningToCreateTheSettingsInAnExistingFolderEndsTheStartWithThree) {
  WriteGame(3);
  game_.MakeFolder("data/kestrune/Tale SaveData");
  answer_ = plat::IDNO;
  SetUpGame game(game_.EnginePath());
  EXPECT_EQ(game.SetUp(), 3);
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(boxes_[0].style & plat::kMessageBoxIconMask, plat::MB_ICONQUESTION);
  // Both name the folder by its path on this machine, as the box shows it and the log keeps it.
  for (const plat::MessageBoxRequest& box : boxes_) {
    const std::string text = plat::MessageBoxText(box);
    EXPECT_EQ(text.rfind(game_.HostPath() + "data/kestrune/Tale SaveData/\n", 0), 0u) << text;
    EXPECT_EQ(text.find("Z:"), std::string::npos) << text;
  }
  EXPECT_NE(plat::MessageBoxText(boxes_[1]).find("を移動させるか名前を変更して"), std::string::npos);
  EXPECT_FALSE(game_.Exists("data/kestrune/Tale SaveData/USER.CFG"));
}

TEST_F(GameSetUpTest, MissingApplicationFilesEndTheStartWithOneAndTwo) {
  SetUpGame without_definition(game_.EnginePath());
  EXPECT_EQ(without_definition.SetUp(), 1);
  WriteGame(5);
  std::remove((game_.HostPath() + "SCRIPT/DL_APP.INF").c_str());
  SetUpGame without_information(game_.EnginePath());
  EXPECT_EQ(without_information.SetUp(), 2);
  EXPECT_EQ(boxes_.size(), 2u);
}

TEST_F(GameSetUpTest, ACancelledFolderChoiceEndsTheStartWithFour) {
  WriteGame(2);
  SetUpGame game(game_.EnginePath());
  // The chooser, when a display shows it, is closed as its close box would.
  const plat::ScopedDialogWatcher cancel([](const plat::DialogShot&) { return true; });
  EXPECT_EQ(game.SetUp(), 4);
  ASSERT_FALSE(boxes_.empty());
  EXPECT_EQ(boxes_.back().text, plat::Utf8ToSjis("セーブデータ作成フォルダがないため、起動できません。"));
}

// The folders scripts may write in are the game's as its set-up found them, for as long as the
// game lives.
TEST_F(GameSetUpTest, TheStartOpensTheGameAndSaveFoldersToScriptWritesUntilTheGameEnds) {
  WriteGame(1);
  {
    SetUpGame game(game_.EnginePath());
    ASSERT_EQ(game.SetUp(), 0);
    EXPECT_EQ(std::string(game.GetSaveFolder()), game_.EnginePath("SAVEDATA\\"));
    EXPECT_TRUE(MayScriptWriteAt("SAVEDATA\\SAVE01.DAT"));
    EXPECT_TRUE(MayScriptWriteAt(game_.EnginePath("NEW.DAT").c_str()));
    EXPECT_FALSE(MayScriptWriteAt("Z:\\etc\\kestrune-test"));
  }
  EXPECT_FALSE(MayScriptWriteAt(game_.EnginePath("SAVEDATA\\SAVE01.DAT").c_str()));
}

// Once started, the game's data files come only from where scripts may read: a loose file
// outside those folders is as good as missing.
TEST_F(GameSetUpTest, TheStartConfinesLooseDataFilesToTheFoldersScriptsMayRead) {
  WriteGame(1);
  const test_support::TempGameFolder outside;
  outside.WriteFile("SECRET.TXT", "secret");
  SetUpGame game(game_.EnginePath());
  EXPECT_TRUE(DataFileExists(outside.EnginePath("SECRET.TXT").c_str()));
  ASSERT_EQ(game.SetUp(), 0);
  EXPECT_FALSE(DataFileExists(outside.EnginePath("SECRET.TXT").c_str()));
  EXPECT_TRUE(DataFileExists("SCRIPT\\DL_APP.INF"));
}

// A folder that the game's settings template names (settings copied, a template naming its
// author's folder) is not a save folder the player chose: the start takes it as a folder that is
// gone and asks whether to choose another, naming it by its path on this machine; declined, the
// start ends and nothing was written into it. Once the player chose that folder on this machine,
// it counts.
TEST_F(GameSetUpTest, AKindTwoFolderCountsOnlyWhenThePlayerChoseItOnThisMachine) {
  WriteGame(2);
  const test_support::TempGameFolder outside;
  WriteTemplateNaming(outside.EnginePath());
  answer_ = plat::IDNO;
  {
    SetUpGame game(game_.EnginePath());
    EXPECT_EQ(game.SetUp(), 4);
    EXPECT_FALSE(MayScriptWriteAt(outside.EnginePath("SAVE01.DAT").c_str()));
  }
  EXPECT_TRUE(std::filesystem::is_empty(outside.HostPath()));
  EXPECT_TRUE(Logged("that USER.CFG names was not chosen by the player on this machine")) << log_.Last();
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(plat::MessageBoxText(boxes_[0]),
            outside.HostPath() + "\nセーブデータ作成フォルダが見つかりません。\n新しくセーブデータ作成フォルダを設定しますか？");
  EXPECT_EQ(boxes_[0].style & plat::kMessageBoxIconMask, plat::MB_ICONQUESTION);
  EXPECT_EQ(plat::MessageBoxText(boxes_[1]), "セーブデータ作成フォルダがないため、起動できません。");

  ASSERT_TRUE(RememberChosenSaveFolder(game_.EnginePath("data\\kestrune\\Tale SaveData\\USER.CFG"), outside.EnginePath()));
  SetUpGame chosen(game_.EnginePath());
  ASSERT_EQ(chosen.SetUp(), 0);
  EXPECT_EQ(std::string(chosen.GetSaveFolder()), outside.EnginePath());
  EXPECT_EQ(boxes_.size(), 2u) << "the chosen folder is taken without a question";
}

// Where a save folder named by the game's data lies, and what is said of it. The save-folder
// name of the information file, or the application name, names one folder inside the user's
// folder, whatever separators or ".." it holds. A game kept in the home folder itself with its
// saves beside it gets the application data folder: the home folder is never the save folder.
// The desktop reads its data folder (services, launchers, autostart): a game named after one of
// its folders gets a folder of its own in the engine's, whatever its kind, and the desktop's
// stays as it was.
TEST_F(GameSetUpTest, ASaveFolderTheGamesDataNamesLiesInTheEnginesOwnFolder) {
  struct Case {
    const char* data_home;  // below the game folder
    bool game_in_home;      // the game folder is the home folder
    uint8_t kind;
    std::string save_folder_name;
    std::string application;
    const char* save_folder;  // below the game folder
    const char* said;         // nullptr where nothing need be said
    const char* never_made;   // nullptr where no folder is at stake
  };
  for (const Case& c : std::initializer_list<Case>{
           {"a/b/c/data", false, 3, "..\\..\\..\\ESCAPED", "Tale", "a\\b\\c\\data\\kestrune\\.._.._.._ESCAPED\\",
            "which is not one plain folder name", "a/ESCAPED"},
           {"a/b/c/data", false, 3, "", "Tale/Part 2", "a\\b\\c\\data\\kestrune\\Tale_Part 2 SaveData\\", nullptr,
            "a/b/c/data/kestrune/Tale"},
           {"data", true, 5, "", "Tale", "data\\kestrune\\Tale SaveData\\",
            "is the root, the home folder or a folder of the system", nullptr},
           {"data", false, 3, "dbus-1", "Tale", "data\\kestrune\\dbus-1\\", nullptr, "data/dbus-1"},
           {"data", false, 4, "dbus-1", "Tale", "data\\kestrune\\dbus-1\\", nullptr, "data/dbus-1"}}) {
    SCOPED_TRACE(c.save_folder);
    const ScopedEnvironment data_home("XDG_DATA_HOME", (game_.HostPath() + c.data_home).c_str());
    std::optional<ScopedEnvironment> home;
    if (c.game_in_home) home.emplace("HOME", game_.HostPath().c_str());
    const std::size_t lines_before = log_.Lines().size();
    WriteGame(c.kind, c.save_folder_name, c.application);
    SetUpGame game(game_.EnginePath());
    ASSERT_EQ(game.SetUp(), 0);
    EXPECT_EQ(std::string(game.GetSaveFolder()), game_.EnginePath(c.save_folder));
    game.SaveSettings(0);
    if (c.said != nullptr) {
      EXPECT_TRUE(Logged(c.said, lines_before)) << log_.Last();
    }
    if (c.never_made != nullptr) {
      EXPECT_FALSE(game_.Exists(c.never_made));
    }
  }
}

TEST_F(GameSetUpTest, SavingWritesBothFilesOnlyForExitCodeZero) {
  WriteGame(1);
  SetUpGame game(game_.EnginePath());
  ASSERT_EQ(game.SetUp(), 0);
  game.GetGameSettings()[kSettingSaveWindowPosition] = 0;
  game.GetGameSettings()[29] = 42;  // pages kept in the text history
  WriteBlockInt32(game.GetWindowSettings(), kWinLeft, 300);

  game.SaveSettings(3);
  EXPECT_FALSE(game_.Exists("SAVEDATA/APP_CFG.DAT"));
  EXPECT_EQ(game_.ReadFile("USER.CFG").size(), 8u);  // the template, untouched

  game.SaveSettings(0);
  const std::string user = game_.ReadFile("USER.CFG");
  ASSERT_EQ(user.size(), 2u + 72 + 2 + 14 + 2 + 17 + 2);
  const auto* bytes = reinterpret_cast<const uint8_t*>(user.data());
  EXPECT_EQ(LoadLe16(bytes), 72);
  EXPECT_EQ(LoadLe16(bytes + 74), 14);
  EXPECT_EQ(static_cast<int32_t>(LoadLe32(bytes + 76 + kWinLeft)), -1);  // the position is not kept
  EXPECT_EQ(LoadLe16(bytes + 90), 17);
  const std::string settings = game_.ReadFile("SAVEDATA/APP_CFG.DAT");
  ASSERT_EQ(settings.size(), 4u + kGameSettingsSize);
  EXPECT_EQ(LoadLe32(reinterpret_cast<const uint8_t*>(settings.data())), kGameSettingsSize);

  SetUpGame next_run(game_.EnginePath());
  ASSERT_EQ(next_run.SetUp(), 0);
  EXPECT_EQ(next_run.GetGameSettings()[29], 42);
  EXPECT_TRUE(boxes_.empty());
}

// Settings files cut short (a crash in a copy, a disk that filled) keep the settings they lack at
// their defaults, and the log names each with the reason.
TEST_F(GameSetUpTest, SettingsFilesCutShortAreNamedInTheLog) {
  WriteGame(1);
  game_.WriteFile("USER.CFG", std::string("\x48\x00\x01", 3));
  game_.WriteFile("SAVEDATA/APP_CFG.DAT", std::string("\xC0\x00\x00\x00\x05", 5));
  SetUpGame game(game_.EnginePath());
  ASSERT_EQ(game.SetUp(), 0);
  for (const std::string& line :
       {"the user's settings file " + game_.HostPath() + "USER.CFG", "the game settings file " + game_.HostPath() + "SAVEDATA/APP_CFG.DAT"}) {
    EXPECT_NE(std::find(log_.Lines().begin(), log_.Lines().end(),
                        line + " is damaged (cut short): the settings it lacks keep their defaults"),
              log_.Lines().end())
        << line;
  }
  EXPECT_EQ(game.GetGameSettings()[0], 5) << "read before the cut";
  EXPECT_EQ(game.GetGameSettings()[1], DefaultGameSettings()[1]);
}

}  // namespace

namespace {

// A save cut short by a crash left its temporary file; the next start clears the save folder of
// them and of nothing else.
TEST_F(GameSetUpTest, TheStartRemovesTheTemporaryFilesOfCutShortSavesFromTheSaveFolder) {
  WriteGame(3);
  const std::string folder = "data/kestrune/Tale SaveData/";
  for (const char* name : {"KVX0000.TMP", "KVXBEEF.TMP", "KVX12G4.TMP", "KVX123.TMP", "KVX12345.TMP", "SAVE01.DAT",
                           "DLF1234.TMP", "KVX1234.TMPX"}) {
    game_.WriteFile(folder + name, "x");
  }
  game_.MakeFolder(folder + "KVXAAAA.TMP");
  SetUpGame game(game_.EnginePath());
  ASSERT_EQ(game.SetUp(), 0);
  for (const char* removed : {"KVX0000.TMP", "KVXBEEF.TMP"}) EXPECT_FALSE(game_.Exists(folder + removed)) << removed;
  for (const char* kept : {"KVX12G4.TMP", "KVX123.TMP", "KVX12345.TMP", "SAVE01.DAT", "DLF1234.TMP", "KVX1234.TMPX",
                           "KVXAAAA.TMP"}) {
    EXPECT_TRUE(game_.Exists(folder + kept)) << kept;
  }
}

// A game that keeps its settings file in its own folder and its saves in SAVEDATA: the litter of
// a cut-short settings write beside USER.CFG goes too.
TEST_F(GameSetUpTest, TheStartAlsoClearsTheFolderOfTheSettingsFile) {
  WriteGame(1);
  game_.WriteFile("KVX00A1.TMP", "x");
  game_.WriteFile("SAVEDATA/KVX00A2.TMP", "x");
  SetUpGame game(game_.EnginePath());
  ASSERT_EQ(game.SetUp(), 0);
  EXPECT_FALSE(game_.Exists("KVX00A1.TMP"));
  EXPECT_FALSE(game_.Exists("SAVEDATA/KVX00A2.TMP"));
  EXPECT_TRUE(game_.Exists("USER.CFG"));
}

// A library whose constructor writes "<its file>.ran".
const std::string kMarkerLibrary = std::string(KESTRUNE_CODE_MARKER_DIR) + "/marker.so";
constexpr const char* kPluginNames[] = {"X.GLL", "X.ADL", "X.SLL", "X.SPI"};

// The player's plug-ins of every family, image loaders too, load at the start from the folder
// "plugin" beside the program, once the game's folders are known: a program kept in the game's
// folder loads none of the libraries there, and one line says why and what to do.
TEST_F(GameSetUpTest, ThePlayersPluginsLoadAtTheStartOnlyFromAProgramFolderApartFromTheGame) {
  WriteGame(1);
  const test_support::TempGameFolder player;
  const test_support::TempGameFolder* const programs[] = {&player, &game_};
  for (const test_support::TempGameFolder* program : programs) {
    program->MakeFolder("plugin");
    for (const char* name : kPluginNames) {
      std::filesystem::copy_file(kMarkerLibrary, program->HostPath() + "plugin/" + name);
    }
  }
  {
    const test_support::ScopedNativeCodeFolder apart(player.EnginePath());
    SetUpGame game(game_.EnginePath());
    ASSERT_EQ(game.SetUp(), 0);
  }
  for (const char* name : kPluginNames) EXPECT_TRUE(player.Exists(std::string("plugin/") + name + ".ran")) << name;

  const test_support::ScopedNativeCodeFolder in_game(game_.EnginePath());
  const std::size_t lines_before = log_.Lines().size();
  SetUpGame game(game_.EnginePath());
  ASSERT_EQ(game.SetUp(), 0);
  for (const char* name : kPluginNames) EXPECT_FALSE(game_.Exists(std::string("plugin/") + name + ".ran")) << name;
  const std::vector<std::string> lines(log_.Lines().begin() + static_cast<std::ptrdiff_t>(lines_before), log_.Lines().end());
  const auto says_why = [](const std::string& line) {
    return line.find("the program's folder") != std::string::npos && line.find("start it with /L") != std::string::npos;
  };
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), says_why), 1);
  EXPECT_FALSE(Logged("not loading the library")) << "one line for all";
}

// A save folder lies, its links followed, where its kind puts it: SAVEDATA inside the game
// folder, the user folder inside the documents or data folder it is made in. A link out of there
// (a game may ship SAVEDATA as one) is not used, and nothing is written through it.
TEST_F(GameSetUpTest, ASaveFolderThatLeadsOutOfWhereItsKindPutsItIsNotUsed) {
  const test_support::TempGameFolder outside;
  const ScopedEnvironment home("HOME", (game_.HostPath() + "home").c_str());
  game_.MakeFolder("home/Documents");
  game_.MakeFolder("data/kestrune");
  std::filesystem::create_symlink(outside.HostPath(), game_.HostPath() + "SAVEDATA");
  std::filesystem::create_symlink(outside.HostPath(), game_.HostPath() + "home/Documents/Tale SaveData");
  std::filesystem::create_symlink(outside.HostPath(), game_.HostPath() + "data/kestrune/Saga SaveData");
  struct Case {
    uint8_t kind;
    const char* application;
    int result;
    const char* said;
  };
  for (const Case& test : {Case{1, "Tale", 0, "leads out of the game folder: the saves go to"},
                           Case{0, "Tale", 0, "leads out of the folder it is made in: the settings and saves go to"},
                           Case{3, "Saga", 3, "leads out of the folder it is made in, and no other folder"}}) {
    SCOPED_TRACE(test.kind);
    WriteGame(test.kind, "", test.application);
    SetUpGame game(game_.EnginePath());
    ASSERT_EQ(game.SetUp(), test.result);
    if (test.result == 0) {
      EXPECT_EQ(std::string(game.GetSaveFolder()), game_.EnginePath("data\\kestrune\\Tale SaveData\\"));
      game.SaveSettings(0);
    }
    EXPECT_TRUE(Logged(test.said)) << log_.Last();
  }
  EXPECT_TRUE(std::filesystem::is_empty(outside.HostPath()));
  // Nor is a documents folder that the user-dirs file puts among the home folder's hidden ones,
  // where other programs keep their settings, made yet or not: a game "plugin" in a ~/.vim to come
  // would be the editor's plug-ins.
  game_.MakeFolder("home/.config");
  struct HiddenCase {
    const char* documents;
    const char* game;
    const char* untouched;
  };
  for (const HiddenCase& test :
       {HiddenCase{".config", "git", "home/.config/git"}, HiddenCase{".vim", "plugin", "home/.vim"}}) {
    SCOPED_TRACE(test.documents);
    game_.WriteFile("config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/" + std::string(test.documents) + "\"\n");
    WriteGame(0, test.game, test.game);
    const std::size_t from = log_.Lines().size();
    SetUpGame game(game_.EnginePath());
    ASSERT_EQ(game.SetUp(), 0);
    EXPECT_EQ(std::string(game.GetSaveFolder()), game_.EnginePath("data\\kestrune\\" + std::string(test.game) + "\\"));
    EXPECT_TRUE(Logged("lies in a hidden folder of the home folder: the settings and saves go to", from))
        << log_.Last();
    EXPECT_FALSE(std::filesystem::exists(game_.HostPath() + test.untouched));
  }
}

// The desktop's own folders where XDG_CONFIG_HOME or XDG_DATA_HOME put them apart from the home
// folder's hidden ones: a documents folder that is one of them gives a game named as a program
// (git, the desktop's environment.d, its applications) or as the engine's data folder nothing
// there. The settings and saves go to the engine's data folder, and scripts get no documents
// folder.
TEST_F(GameSetUpTest, ADocumentsFolderThatIsOneOfTheDesktopsOwnIsNotUsed) {
  const ScopedEnvironment home("HOME", (game_.HostPath() + "home").c_str());
  struct Case {
    const char* variable;
    const char* game;
  };
  for (const Case& test : {Case{"XDG_CONFIG_HOME", "git"}, Case{"XDG_CONFIG_HOME", "environment.d"},
                           Case{"XDG_DATA_HOME", "applications"}, Case{"XDG_DATA_HOME", "kestrune"}}) {
    SCOPED_TRACE(test.game);
    std::filesystem::remove_all(game_.HostPath() + "home");
    const std::string desk = game_.HostPath() + "home/desk/";
    const ScopedEnvironment moved(test.variable, desk.c_str());
    const bool config_moved = std::string(test.variable) == "XDG_CONFIG_HOME";
    game_.WriteFile(config_moved ? "home/desk/user-dirs.dirs" : "config/user-dirs.dirs",
                    "XDG_DOCUMENTS_DIR=\"$HOME/desk\"\n");
    WriteGame(0, test.game, test.game);
    const std::size_t from = log_.Lines().size();
    SetUpGame game(game_.EnginePath());
    ASSERT_EQ(game.SetUp(), 0);
    game.SaveSettings(0);
    const std::string data = config_moved ? game_.HostPath() + "data/" : desk;
    EXPECT_EQ(std::string(game.GetSaveFolder()), plat::ToEnginePath(data + "kestrune/" + test.game + "/"));
    EXPECT_TRUE(Logged("which is, lies in or holds the desktop's own folder " + desk, from)) << log_.Last();
    EXPECT_TRUE(Logged("scripts get no folder there", from));
    for (const std::filesystem::directory_entry& entry : std::filesystem::recursive_directory_iterator(desk)) {
      const std::string path = entry.path().string();
      EXPECT_TRUE(path == desk + "user-dirs.dirs" || path.starts_with(desk + "kestrune")) << path;
    }
    EXPECT_FALSE(std::filesystem::exists(desk + "kestrune/USER.CFG"));
  }
}

// A save-folder name that makes the folder's path longer than the engine's paths allow stops the
// start, and the log says so, with the limit.
TEST_F(GameSetUpTest, ASaveFolderBeyondThePathLimitIsNamedInTheLogWithTheLimit) {
  WriteGame(3, std::string(240, 'n'));
  SetUpGame game(game_.EnginePath());
  EXPECT_NE(game.SetUp(), 0);
  EXPECT_TRUE(Logged("data/kestrune/" + std::string(240, 'n'))) << log_.Last();
  EXPECT_TRUE(Logged("the engine's paths leave a save folder at most 248")) << log_.Last();
}

}  // namespace

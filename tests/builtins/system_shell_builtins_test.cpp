// Built-ins 802 to 808: the desktop's opener for files, folders and web addresses, the user's
// folders, a data file copied out only where scripts may write, and the desktop settings that
// stay unchanged.
#include "builtins/system_shell_builtins.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "base/files/script_write_rule.h"
#include "base/files/user_folders.h"
#include "builtin_call.h"
#include "platform/encoding/text_encoding.h"
#include "platform/window/system_message_box.h"
#include "support/data_files_fixture.h"
#include "support/fake_app_services.h"
#include "support/log_capture.h"
#include "support/scoped_environment.h"
#include "support/scoped_user_folder_game_name.h"

namespace {

class SystemShellBuiltinsTest : public test_support::DataFilesTest, public builtin_test::BuiltinCaller {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    game_.MakeFolder("SAVE");
    SetScriptWriteFolders(game_.EnginePath(), game_.EnginePath("SAVE\\"));
    files_->SetLooseFileRule(MayScriptReadAt);
  }
  void TearDown() override {
    Call(126, {});
    ClearScriptWriteFolders();
    DataFilesTest::TearDown();
  }

  // A stand-in for the desktop's opener, first on the search path: it records what it was given.
  void InstallOpenerRecorder() {
    game_.MakeFolder("bin");
    const std::string opener = game_.HostPath() + "bin/xdg-open";
    std::ofstream(opener) << "#!/bin/sh\necho \"$1\" >> '" << game_.HostPath() << "opened.txt'\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
  }
  // What the recorder was handed, once it wrote `lines` lines (it runs without being waited for).
  std::string Opened(std::size_t lines) const {
    for (int tries = 0; tries < 500; ++tries) {
      if (game_.Exists("opened.txt")) {
        const std::string text = game_.ReadFile("opened.txt");
        if (static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) >= lines) return text;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return game_.Exists("opened.txt") ? game_.ReadFile("opened.txt") : std::string();
  }

  test_support::ScopedUserFolderGameName game_name_{"Tale"};
  ScopedEnvironment home_{"HOME", (game_.HostPath() + "home").c_str()};
  ScopedEnvironment config_{"XDG_CONFIG_HOME", (game_.HostPath() + "home/.config").c_str()};
  ScopedEnvironment data_{"XDG_DATA_HOME", (game_.HostPath() + "data").c_str()};
  ScopedEnvironment path_{"PATH", (game_.HostPath() + "bin:/usr/bin:/bin").c_str()};
  // The player answers the questions as `answer_` says; what was asked is kept.
  test_support::FakeAppServices app_;
  int answer_ = plat::IDYES;
  std::vector<std::string> asked_;
  plat::ScopedMessageBoxAnswers answers_{[this](const plat::MessageBoxRequest& request) {
    asked_.push_back(plat::SjisToUtf8(request.text));
    return answer_;
  }};
};

TEST_F(SystemShellBuiltinsTest, TheGamesUserFoldersAreWrittenWithATrailingSeparatorAndOtherNumbersLeaveTheDestination) {
  const std::uint32_t destination = Text(std::string(259, 'x'));
  EXPECT_EQ(Call(803, {destination, 1}), 1u);
  EXPECT_STREQ(Memory().String(destination), game_.EnginePath("home\\Documents\\Tale\\").c_str());
  EXPECT_EQ(Call(803, {destination, 4}), 1u);
  EXPECT_STREQ(Memory().String(destination), game_.EnginePath("home\\Desktop\\Tale\\").c_str());
  EXPECT_EQ(Call(803, {destination, 3}), 1u);
  const std::string data_home = Memory().String(destination);
  EXPECT_EQ(data_home, game_.EnginePath("data\\kestrune\\Tale\\"));
  // What 803 names is where the file built-ins may write.
  EXPECT_TRUE(MayScriptWriteAt((data_home + "NOTE.TXT").c_str()));
  for (const std::uint32_t which : {0u, 5u, 0xFFFFFFFFu}) {
    EXPECT_EQ(Call(803, {destination, which}), 0u) << which;
    EXPECT_EQ(Memory().String(destination), data_home) << which;
  }
  EXPECT_FALSE(game_.Exists("home/Documents"));
}

// The files below a host folder, by their paths relative to it.
std::vector<std::string> RegularFilesBelow(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files.push_back(entry.path().string().substr(folder.size()));
  }
  std::sort(files.begin(), files.end());
  return files;
}

// A player's home apart from the game folder, with its settings and data folders; the script
// folders are to be set again once it is there.
struct PlayerHome {
  explicit PlayerHome(const std::string& user_dirs = {}) {
    if (!user_dirs.empty()) root.WriteFile("home/.config/user-dirs.dirs", user_dirs + "\n");
  }
  std::string Path(const std::string& relative) const { return root.EnginePath(relative); }

  test_support::TempGameFolder root;
  ScopedEnvironment home{"HOME", (root.HostPath() + "home").c_str()};
  ScopedEnvironment config{"XDG_CONFIG_HOME", (root.HostPath() + "home/.config").c_str()};
  ScopedEnvironment data{"XDG_DATA_HOME", (root.HostPath() + "data").c_str()};
};

// A user folder that the user-dirs file makes the home folder (as the desktop's own tool writes
// it for a folder the user removed), a folder above it, the root or a system folder is no
// folder of the game's: nothing is written there, least of all the home folder's dot files.
TEST_F(SystemShellBuiltinsTest, AUserFolderAtOrAboveTheHomeFolderOrOfTheSystemGivesScriptsNone) {
  game_.WriteFile("DATA/NOTE.TXT", "[Desktop Entry]\nExec=sh\n");
  struct Case {
    const char* user_dirs;
    std::uint32_t which;
  };
  for (const Case& c : {Case{"XDG_DESKTOP_DIR=\"$HOME/\"", 4}, Case{"XDG_DOCUMENTS_DIR=\"$HOME/..\"", 1},
                        Case{"XDG_PICTURES_DIR=\"/\"", 2}, Case{"XDG_DESKTOP_DIR=\"/usr/share\"", 4}}) {
    SCOPED_TRACE(c.user_dirs);
    const PlayerHome player(c.user_dirs);
    LogCapture log;
    SetScriptWriteFolders(game_.EnginePath(), game_.EnginePath("SAVE\\"));
    EXPECT_NE(log.Last().find("scripts get no folder there"), std::string::npos) << log.Last();
    EXPECT_EQ(Call(803, {Text(std::string(259, 'x')), c.which}), 0u);
    for (const char* name : {"home\\.profile", "home\\.bashrc", "home\\.config\\autostart\\x.desktop",
                             "home\\Tale\\NOTE.TXT", "home\\NOTE.TXT"}) {
      EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), Text(player.Path(name))}), 2u) << name;
    }
    EXPECT_EQ(RegularFilesBelow(player.root.HostPath()), std::vector<std::string>{"home/.config/user-dirs.dirs"});
  }
}

// The documents and pictures folders a script gets are the game's own inside the player's: its
// writes land there, and the player's files beside it can be neither read, overwritten, copied
// nor moved away.
TEST_F(SystemShellBuiltinsTest, ScriptsWriteInTheGamesOwnFoldersAndNeverReachThePlayersFilesBesideThem) {
  const PlayerHome player;
  SetScriptWriteFolders(game_.EnginePath(), game_.EnginePath("SAVE\\"));
  game_.WriteFile("DATA/NOTE.TXT", "note");
  struct Case {
    std::uint32_t which;
    std::string folder;
  };
  for (const Case& c : {Case{1, "home/Documents/"}, Case{2, "home/Pictures/"}}) {
    SCOPED_TRACE(c.folder);
    player.root.WriteFile(c.folder + "LETTER.TXT", "the player's");
    const std::uint32_t destination = Text(std::string(259, 'x'));
    ASSERT_EQ(Call(803, {destination, c.which}), 1u);
    const std::string games = Memory().String(destination);
    EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), Text(games + "NOTE.TXT")}), 0u);
    EXPECT_EQ(player.root.ReadFile(c.folder + "Tale/NOTE.TXT"), "note");
    std::string letter = games.substr(0, games.size() - std::string_view("Tale\\").size()) + "LETTER.TXT";
    const std::uint32_t file = Call(124, {});
    EXPECT_EQ(Call(127, {file, Text(letter)}), 3u);
    EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), Text(letter)}), 2u);
    EXPECT_EQ(Call(164, {Text(games + "COPY.TXT"), Text(letter), 1}), 2u);
    EXPECT_EQ(Call(163, {Text(letter), Text(games + "LETTER.TXT")}), 1u);
    EXPECT_EQ(player.root.ReadFile(c.folder + "LETTER.TXT"), "the player's");
    EXPECT_FALSE(player.root.Exists(c.folder + "Tale/COPY.TXT"));
  }
}

// Below the user folders scripts write no dot names and no launchers, and move in no folder whose
// files were never looked at; nor do they reach the desktop's own data beside the game's folder.
TEST_F(SystemShellBuiltinsTest, NoLauncherNorHiddenFileIsWrittenInTheUserFolders) {
  const PlayerHome player;
  SetScriptWriteFolders(game_.EnginePath(), game_.EnginePath("SAVE\\"));
  game_.WriteFile("DATA/NOTE.TXT", "[Desktop Entry]\nExec=sh\n");
  game_.WriteFile("KIT/start.desktop", "[Desktop Entry]\nExec=sh\n");
  for (const char* name : {"data\\applications\\browser.desktop", "data\\mimeapps.list", "data\\kestrune\\Tale\\game.desktop",
                           "data\\kestrune\\Tale\\GAME.DESKTOP", "data\\kestrune\\Tale\\.hidden", "data\\kestrune\\Tale\\sub\\.config\\x",
                           "home\\Desktop\\Tale\\start.Desktop", "home\\Documents\\Tale\\.bashrc"}) {
    EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), Text(player.Path(name))}), 2u) << name;
  }
  EXPECT_EQ(Call(163, {Text("KIT"), Text(player.Path("data\\kestrune\\Tale\\KIT"))}), 2u);
  EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), Text(player.Path("data\\kestrune\\Tale\\game.desktop.txt"))}), 0u);
  EXPECT_EQ(RegularFilesBelow(player.root.HostPath()), std::vector<std::string>{"data/kestrune/Tale/game.desktop.txt"});
}

TEST_F(SystemShellBuiltinsTest, ADataFileIsCopiedOutOnlyWhereScriptsMayWrite) {
  game_.WriteFile("DATA/NOTE.TXT", "note contents");
  game_.WriteFile("SAVE/OLD.TXT", "old");
  EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), Text(game_.EnginePath("SAVE\\OLD.TXT"))}), 0u);
  EXPECT_EQ(game_.ReadFile("SAVE/OLD.TXT"), "note contents");
  EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), Text("SAVE\\COPY.TXT")}), 0u);
  EXPECT_EQ(game_.ReadFile("SAVE/COPY.TXT"), "note contents");

  EXPECT_EQ(Call(805, {Text("DATA\\MISSING.TXT"), Text(game_.EnginePath("SAVE\\NONE.TXT"))}), 1u);
  EXPECT_EQ(Call(805, {0, Text(game_.EnginePath("SAVE\\NONE.TXT"))}), 1u);
  EXPECT_FALSE(game_.Exists("SAVE/NONE.TXT"));
  for (const std::string& refused : {std::string("Z:\\tmp\\kestrune-export.txt"),
                                     game_.EnginePath("SAVE\\..\\..\\OUT.TXT"), game_.EnginePath("SAVE")}) {
    EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), Text(refused)}), 2u) << refused;
  }
  EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), 0}), 2u);
  EXPECT_FALSE(std::filesystem::exists("/tmp/kestrune-export.txt"));
  // A folder where the file should be: the old folder stays and nothing half-written is left.
  game_.MakeFolder("SAVE/TAKEN");
  EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), Text(game_.EnginePath("SAVE\\TAKEN"))}), 2u);
  EXPECT_TRUE(std::filesystem::is_directory(game_.HostPath() + "SAVE/TAKEN"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(game_.HostPath() + "SAVE"), {}), 3);
}

TEST_F(SystemShellBuiltinsTest, FilesFoldersAndWebAddressesGoToTheDesktopsOpener) {
  InstallOpenerRecorder();
  game_.MakeFolder("MANUAL");
  EXPECT_EQ(Call(802, {Text("https://example.org/a b")}), 0u);
  Opened(1);
  EXPECT_EQ(Call(802, {Text("MANUAL\\")}), 0u);
  Opened(2);
  EXPECT_EQ(Call(804, {Text("MANUAL")}), 1u);
  EXPECT_EQ(Opened(3), "https://example.org/a b\n" + game_.HostPath() + "MANUAL/\n" + game_.HostPath() + "MANUAL\n");
  // Neither a script's other address kinds nor a missing text start anything.
  EXPECT_EQ(Call(802, {Text("mailto:someone@example.org")}), 0u);
  EXPECT_EQ(Call(802, {0}), 0u);
  EXPECT_EQ(Call(804, {0}), 0u);
  EXPECT_EQ(Call(804, {Text("Q:\\ELSEWHERE")}), 0u);
}

TEST_F(SystemShellBuiltinsTest, NothingIsOpenedWithoutThePlayersYes) {
  InstallOpenerRecorder();
  game_.MakeFolder("MANUAL");
  answer_ = plat::IDNO;
  EXPECT_EQ(Call(802, {Text("https://example.org/?secret=1")}), 0u);
  EXPECT_EQ(Call(804, {Text("MANUAL")}), 0u);
  ASSERT_EQ(asked_.size(), 2u);
  EXPECT_NE(asked_[0].find("https://example.org/?secret=1"), std::string::npos) << asked_[0];
  EXPECT_NE(asked_[0].find("よろしいですか"), std::string::npos) << asked_[0];
  EXPECT_NE(asked_[1].find(plat::SjisToUtf8(game_.EnginePath("MANUAL"))), std::string::npos) << asked_[1];
  answer_ = plat::IDYES;
  EXPECT_EQ(Call(804, {Text("MANUAL")}), 1u);
  EXPECT_EQ(Opened(1), game_.HostPath() + "MANUAL\n");
}

TEST_F(SystemShellBuiltinsTest, OnlyWebAddressesAndTheOpenFoldersAreOfferedToThePlayer) {
  InstallOpenerRecorder();
  const test_support::TempGameFolder outside;
  outside.WriteFile("SECRET.TXT", "secret");
  std::filesystem::create_symlink(outside.HostPath(), game_.HostPath() + "LINK");
  for (const std::string& target : {outside.EnginePath("SECRET.TXT"), std::string("LINK\\SECRET.TXT"), std::string("..\\"),
                                    std::string("file:///etc/passwd"), std::string("Z:\\bin\\sh")}) {
    EXPECT_EQ(Call(802, {Text(target)}), 0u) << target;
    EXPECT_EQ(Call(804, {Text(target)}), 0u) << target;
  }
  EXPECT_TRUE(asked_.empty());
  EXPECT_FALSE(game_.Exists("opened.txt"));
}

// An address built to hide where it leads (a trusted name before "@", then lines and thousands of
// characters that push the rest out of the box) is shown on one line, cut to a readable length,
// with the host it really reaches named on a line of its own.
TEST_F(SystemShellBuiltinsTest, TheQuestionShowsTheAddressOnOneReadableLineWithItsHostApart) {
  answer_ = plat::IDNO;
  const std::string address =
      "https://trusted.example.org@evil.example/?\x81\n" + std::string(40, '\n') + std::string(3000, 'a') + "\r\tend";
  EXPECT_EQ(Call(802, {Text(address)}), 0u);
  EXPECT_EQ(Call(802, {Text("http://plain.example:8080/a\\b#c")}), 0u);
  ASSERT_EQ(asked_.size(), 2u);
  for (const std::string& question : asked_) {
    SCOPED_TRACE(question);
    EXPECT_EQ(std::count(question.begin(), question.end(), '\n'), 5);
    EXPECT_LT(question.size(), 300u);
  }
  EXPECT_NE(asked_[0].find("\nhttps://trusted.example.org@evil.example/?%81%0A%0A"), std::string::npos);
  EXPECT_NE(asked_[0].find("…\n接続先：evil.example\n"), std::string::npos);
  EXPECT_NE(asked_[1].find("\nhttp://plain.example:8080/a\\b#c\n接続先：plain.example:8080\n"), std::string::npos);
}

// The opener gets folders and documents it shows; never a launcher, a program, an installer or a
// script, whatever its name, nor anything with an execute bit.
TEST_F(SystemShellBuiltinsTest, TheOpenerGetsNoLauncherProgramOrScript) {
  InstallOpenerRecorder();
  struct Shipped {
    const char* name;
    const char* contents;
  };
  const Shipped refused[] = {{"GAME.DESKTOP", "[Desktop Entry]\nExec=sh\n"}, {"SETUP.EXE", "MZ"},
                             {"INSTALL.SH", "echo"}, {"README.TXT", "#!/bin/sh\n"},
                             {"TOOL.TXT", "\x7F" "ELF"}, {"NOTES.TXT", "notes"}};
  for (const Shipped& file : refused) game_.WriteFile(file.name, file.contents);
  std::filesystem::permissions(game_.HostPath() + "NOTES.TXT", std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  game_.WriteFile("MANUAL.PDF", "%PDF-1.4");
  for (const Shipped& file : refused) {
    EXPECT_EQ(Call(802, {Text(file.name)}), 0u) << file.name;
    EXPECT_EQ(Call(804, {Text(file.name)}), 0u) << file.name;
  }
  EXPECT_TRUE(asked_.empty());
  EXPECT_FALSE(game_.Exists("opened.txt"));
  EXPECT_EQ(Call(804, {Text("MANUAL.PDF")}), 1u);
  EXPECT_EQ(Opened(1), game_.HostPath() + "MANUAL.PDF\n");
}

// A host too long for its line keeps its last labels, where a name built to deceive ends; the
// address reaches the browser in UTF-8.
TEST_F(SystemShellBuiltinsTest, ALongHostShowsItsLastLabelsAndTheAddressGoesOutInUtf8) {
  InstallOpenerRecorder();
  answer_ = plat::IDNO;
  EXPECT_EQ(Call(802, {Text("https://www.bank.example.com." + std::string(200, 'x') + ".evil.example/login")}), 0u);
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_NE(asked_[0].find("接続先：…xxxx"), std::string::npos) << asked_[0];
  EXPECT_NE(asked_[0].find("xxxx.evil.example\n"), std::string::npos) << asked_[0];
  answer_ = plat::IDYES;
  EXPECT_EQ(Call(802, {Text("https://example.org/" + plat::Utf8ToSjis("物語"))}), 0u);
  EXPECT_EQ(Opened(1), "https://example.org/物語\n");
}

TEST_F(SystemShellBuiltinsTest, ADataFileIsNeverExportedThroughALink) {
  const test_support::TempGameFolder outside;
  std::filesystem::create_symlink(outside.HostPath(), game_.HostPath() + "SAVE/LINK");
  game_.WriteFile("DATA/NOTE.TXT", "note contents");
  EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), Text("SAVE\\LINK\\OUT.TXT")}), 2u);
  EXPECT_FALSE(outside.Exists("OUT.TXT"));
}

TEST_F(SystemShellBuiltinsTest, TheDesktopSettingsStayUnchangedAndSaySoOnce) {
  LogCapture log;
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(Call(806, {Text("WALL.BMP"), 1}), 0u);
    EXPECT_EQ(Call(807, {Text("SAVER.SCR")}), 0u);
    EXPECT_EQ(Call(808, {}), 0u);
  }
  std::size_t said = 0;
  for (const std::string& line : log.Lines()) said += line.find("not set") != std::string::npos ? 1 : 0;
  EXPECT_LE(said, 1u);
}

TEST_F(SystemShellBuiltinsTest, NoDesktopBuiltInIsLeftUnbuilt) {
  LogCapture log;
  for (std::uint32_t id = 802; id <= 808; ++id) Call(id, {0, 0, 0});
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
}

}  // namespace

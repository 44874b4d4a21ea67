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
#include <utility>
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
    SetScriptFolders();
    files_->SetLooseFileRule(MayScriptReadAt);
  }
  void TearDown() override {
    Call(126, {});
    ClearScriptWriteFolders();
    DataFilesTest::TearDown();
  }

  // The game folder and its save folder, as a run sets them (again once a player's home is there).
  void SetScriptFolders() const { SetScriptWriteFolders(game_.EnginePath(), game_.EnginePath("SAVE\\")); }
  // A path text long enough for any folder 803 writes.
  std::uint32_t Destination() { return Text(std::string(259, 'x')); }
  // 805 with the game's DATA\NOTE.TXT copied out to `target`.
  std::uint32_t ExportNote(const std::string& target) { return Call(805, {Text("DATA\\NOTE.TXT"), Text(target)}); }

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
  const std::uint32_t destination = Destination();
  // Documents, desktop and data folder, each the game's own below the player's; the data folder
  // comes last, as it is what the other numbers must leave in place.
  for (const auto& [which, folder] : {std::pair{1u, "home\\Documents\\Tale\\"}, std::pair{4u, "home\\Desktop\\Tale\\"},
                                      std::pair{3u, "data\\kestrune\\Tale\\"}}) {
    EXPECT_EQ(Call(803, {destination, which}), 1u) << which;
    EXPECT_EQ(Memory().String(destination), game_.EnginePath(folder)) << which;
  }
  const std::string data_home = Memory().String(destination);
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
  for (const auto& [user_dirs, which] : {std::pair{"XDG_DESKTOP_DIR=\"$HOME/\"", 4u}, std::pair{"XDG_DOCUMENTS_DIR=\"$HOME/..\"", 1u},
                                         std::pair{"XDG_PICTURES_DIR=\"/\"", 2u}, std::pair{"XDG_DESKTOP_DIR=\"/usr/share\"", 4u}}) {
    SCOPED_TRACE(user_dirs);
    const PlayerHome player(user_dirs);
    LogCapture log;
    SetScriptFolders();
    EXPECT_NE(log.Last().find("scripts get no folder there"), std::string::npos) << log.Last();
    EXPECT_EQ(Call(803, {Destination(), which}), 0u);
    for (const char* name : {"home\\.profile", "home\\.bashrc", "home\\.config\\autostart\\x.desktop",
                             "home\\Tale\\NOTE.TXT", "home\\NOTE.TXT"}) {
      EXPECT_EQ(ExportNote(player.Path(name)), 2u) << name;
    }
    EXPECT_EQ(RegularFilesBelow(player.root.HostPath()), std::vector<std::string>{"home/.config/user-dirs.dirs"});
  }
}

// The home folder's hidden folders hold other programs' settings and data, where a game named as
// a program (a game "git" in ~/.config) would write that program's own: a user folder that is one
// of them, or lies in one, made yet or not, gives scripts none, as the system's trees do where the
// home folder is the root or one of them. The documents folder (also beside a hidden link to the
// home folder), one elsewhere beside a home folder that is not there (a system user's
// /nonexistent, which holds no hidden folder) and the engine's own data folder stay the game's.
TEST_F(SystemShellBuiltinsTest, AHiddenFolderOfTheHomeOrASystemTreeUnderAnOddHomeGivesScriptsNoUserFolder) {
  struct Case {
    const char* home;  // the player's home in the test's folder when null
    const char* user_dirs;
    std::uint32_t which;
    bool usable;
  };
  for (const Case& c : {Case{nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/.config\"", 1, false},
                        Case{nullptr, "XDG_PICTURES_DIR=\"$HOME/.local\"", 2, false},
                        Case{nullptr, "XDG_DESKTOP_DIR=\"$HOME/.ssh\"", 4, false},
                        Case{nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/.config/notes\"", 1, false},
                        Case{nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/.vim\"", 1, false},
                        Case{nullptr, "XDG_PICTURES_DIR=\"$HOME/.vim/pack/kit/start\"", 2, false},
                        Case{nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"", 1, true},
                        Case{"/", "XDG_DOCUMENTS_DIR=\"/etc\"", 1, false},
                        Case{"/", "XDG_PICTURES_DIR=\"/usr\"", 2, false},
                        Case{"/", "XDG_DESKTOP_DIR=\"/tmp\"", 4, false},
                        Case{"/usr", "XDG_DOCUMENTS_DIR=\"/usr/share\"", 1, false},
                        Case{"/nonexistent", "XDG_DOCUMENTS_DIR=\"/opt/kestrune-documents\"", 1, true}}) {
    SCOPED_TRACE(c.user_dirs);
    const PlayerHome player(c.user_dirs);
    for (const char* folder : {"home/.config/notes", "home/.local", "home/.ssh", "home/Documents"}) {
      player.root.MakeFolder(folder);
    }
    std::filesystem::create_directory_symlink(player.root.HostPath() + "home", player.root.HostPath() + "home/.home");
    const ScopedEnvironment home("HOME", c.home != nullptr ? c.home : (player.root.HostPath() + "home").c_str());
    LogCapture log;
    SetScriptFolders();
    EXPECT_EQ(log.Last().find("scripts get no folder there") == std::string::npos, c.usable) << log.Last();
    EXPECT_EQ(Call(803, {Destination(), c.which}), c.usable ? 1u : 0u);
  }
  // Where the desktop names no data folder of its own, the engine's lies among the hidden ones.
  const PlayerHome player;
  player.root.MakeFolder("home/.local/share/kestrune");
  const ScopedEnvironment desktop_data("XDG_DATA_HOME", nullptr);
  SetScriptFolders();
  const std::uint32_t destination = Destination();
  ASSERT_EQ(Call(803, {destination, 3}), 1u);
  EXPECT_EQ(Memory().String(destination), player.Path("home\\.local\\share\\kestrune\\Tale\\"));
}

// The documents and pictures folders a script gets are the game's own inside the player's: its
// writes land there, and the player's files beside it can be neither read, overwritten, copied
// nor moved away.
TEST_F(SystemShellBuiltinsTest, ScriptsWriteInTheGamesOwnFoldersAndNeverReachThePlayersFilesBesideThem) {
  const PlayerHome player;
  SetScriptFolders();
  game_.WriteFile("DATA/NOTE.TXT", "note");
  for (const auto& [which, folder] : {std::pair{1u, std::string("home/Documents/")}, std::pair{2u, std::string("home/Pictures/")}}) {
    SCOPED_TRACE(folder);
    player.root.WriteFile(folder + "LETTER.TXT", "the player's");
    const std::uint32_t destination = Destination();
    ASSERT_EQ(Call(803, {destination, which}), 1u);
    const std::string games = Memory().String(destination);
    EXPECT_EQ(ExportNote(games + "NOTE.TXT"), 0u);
    EXPECT_EQ(player.root.ReadFile(folder + "Tale/NOTE.TXT"), "note");
    std::string letter = games.substr(0, games.size() - std::string_view("Tale\\").size()) + "LETTER.TXT";
    const std::uint32_t file = Call(124, {});
    EXPECT_EQ(Call(127, {file, Text(letter)}), 3u);
    EXPECT_EQ(ExportNote(letter), 2u);
    EXPECT_EQ(Call(164, {Text(games + "COPY.TXT"), Text(letter), 1}), 2u);
    EXPECT_EQ(Call(163, {Text(letter), Text(games + "LETTER.TXT")}), 1u);
    EXPECT_EQ(player.root.ReadFile(folder + "LETTER.TXT"), "the player's");
    EXPECT_FALSE(player.root.Exists(folder + "Tale/COPY.TXT"));
  }
}

// Below the user folders scripts write no dot names and no launchers, and move in no folder whose
// files were never looked at; nor do they reach the desktop's own data beside the game's folder.
TEST_F(SystemShellBuiltinsTest, NoLauncherNorHiddenFileIsWrittenInTheUserFolders) {
  const PlayerHome player;
  SetScriptFolders();
  game_.WriteFile("DATA/NOTE.TXT", "[Desktop Entry]\nExec=sh\n");
  game_.WriteFile("KIT/start.desktop", "[Desktop Entry]\nExec=sh\n");
  for (const char* name : {"data\\applications\\browser.desktop", "data\\mimeapps.list", "data\\kestrune\\Tale\\game.desktop",
                           "data\\kestrune\\Tale\\GAME.DESKTOP", "data\\kestrune\\Tale\\.hidden", "data\\kestrune\\Tale\\sub\\.config\\x",
                           "home\\Desktop\\Tale\\start.Desktop", "home\\Documents\\Tale\\.bashrc"}) {
    EXPECT_EQ(ExportNote(player.Path(name)), 2u) << name;
  }
  EXPECT_EQ(Call(163, {Text("KIT"), Text(player.Path("data\\kestrune\\Tale\\KIT"))}), 2u);
  EXPECT_EQ(ExportNote(player.Path("data\\kestrune\\Tale\\game.desktop.txt")), 0u);
  EXPECT_EQ(RegularFilesBelow(player.root.HostPath()), std::vector<std::string>{"data/kestrune/Tale/game.desktop.txt"});
}

TEST_F(SystemShellBuiltinsTest, ADataFileIsCopiedOutOnlyWhereScriptsMayWrite) {
  game_.WriteFile("DATA/NOTE.TXT", "note contents");
  game_.WriteFile("SAVE/OLD.TXT", "old");
  EXPECT_EQ(ExportNote(game_.EnginePath("SAVE\\OLD.TXT")), 0u);
  EXPECT_EQ(game_.ReadFile("SAVE/OLD.TXT"), "note contents");
  EXPECT_EQ(ExportNote("SAVE\\COPY.TXT"), 0u);
  EXPECT_EQ(game_.ReadFile("SAVE/COPY.TXT"), "note contents");

  EXPECT_EQ(Call(805, {Text("DATA\\MISSING.TXT"), Text(game_.EnginePath("SAVE\\NONE.TXT"))}), 1u);
  EXPECT_EQ(Call(805, {0, Text(game_.EnginePath("SAVE\\NONE.TXT"))}), 1u);
  // Outside the save folder, through a link out of it, or where a folder stands: nothing is written.
  const test_support::TempGameFolder outside;
  std::filesystem::create_symlink(outside.HostPath(), game_.HostPath() + "SAVE/LINK");
  game_.MakeFolder("SAVE/TAKEN");
  for (const std::string& refused : {std::string("Z:\\tmp\\kestrune-export.txt"), game_.EnginePath("SAVE\\..\\..\\OUT.TXT"),
                                     game_.EnginePath("SAVE"), std::string("SAVE\\LINK\\OUT.TXT"),
                                     game_.EnginePath("SAVE\\TAKEN")}) {
    EXPECT_EQ(ExportNote(refused), 2u) << refused;
  }
  EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), 0}), 2u);
  EXPECT_FALSE(game_.Exists("SAVE/NONE.TXT"));
  EXPECT_FALSE(std::filesystem::exists("/tmp/kestrune-export.txt"));
  EXPECT_FALSE(outside.Exists("OUT.TXT"));
  // The old folder stays where the file should have gone, and nothing half-written is left.
  EXPECT_TRUE(std::filesystem::is_directory(game_.HostPath() + "SAVE/TAKEN"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(game_.HostPath() + "SAVE"), {}), 4);
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

// Only web addresses and the game's folders and documents are offered to the player: nothing
// outside the game folder (by its path, a link or "..") nor another address kind, and never a
// launcher, a program, an installer or a script, whatever its name, nor anything with an execute
// bit. None of these is asked about or opened; a document the opener shows is.
TEST_F(SystemShellBuiltinsTest, TheOpenerGetsOnlyWebAddressesAndTheGamesFoldersAndDocuments) {
  InstallOpenerRecorder();
  const test_support::TempGameFolder outside;
  outside.WriteFile("SECRET.TXT", "secret");
  std::filesystem::create_symlink(outside.HostPath(), game_.HostPath() + "LINK");
  std::vector<std::string> refused = {outside.EnginePath("SECRET.TXT"), "LINK\\SECRET.TXT", "..\\",
                                      "file:///etc/passwd", "Z:\\bin\\sh"};
  for (const auto& [name, contents] : {std::pair{"GAME.DESKTOP", "[Desktop Entry]\nExec=sh\n"}, std::pair{"SETUP.EXE", "MZ"},
                                       std::pair{"INSTALL.SH", "echo"}, std::pair{"README.TXT", "#!/bin/sh\n"},
                                       std::pair{"TOOL.TXT", "\x7F" "ELF"}, std::pair{"NOTES.TXT", "notes"}}) {
    game_.WriteFile(name, contents);
    refused.emplace_back(name);
  }
  std::filesystem::permissions(game_.HostPath() + "NOTES.TXT", std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  game_.WriteFile("MANUAL.PDF", "%PDF-1.4");
  for (const std::string& target : refused) {
    EXPECT_EQ(Call(802, {Text(target)}), 0u) << target;
    EXPECT_EQ(Call(804, {Text(target)}), 0u) << target;
  }
  EXPECT_TRUE(asked_.empty());
  EXPECT_FALSE(game_.Exists("opened.txt"));
  EXPECT_EQ(Call(804, {Text("MANUAL.PDF")}), 1u);
  EXPECT_EQ(Opened(1), game_.HostPath() + "MANUAL.PDF\n");
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

  // A host is cut at whole characters: not at the '\' second byte of ソ (83 5C) nor at the '@'
  // second byte of ァ (83 40).
  for (const auto& [host, shown] : {std::pair{"\x83\x5C\x81\x5B\x83\x68.example", "ソード.example"},
                                    std::pair{"\x83\x40.example", "ァ.example"}}) {
    EXPECT_EQ(Call(802, {Text("https://" + std::string(host) + "/a")}), 0u);
    EXPECT_NE(asked_.back().find("\n接続先：" + std::string(shown) + "\n"), std::string::npos) << asked_.back();
  }
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

TEST_F(SystemShellBuiltinsTest, TheDesktopSettingsStayUnchangedAndSaySoOnce) {
  LogCapture log;
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(Call(806, {Text("WALL.BMP"), 1}), 0u);
    EXPECT_EQ(Call(807, {Text("SAVER.SCR")}), 0u);
    EXPECT_EQ(Call(808, {}), 0u);
  }
  EXPECT_LE(std::count_if(log.Lines().begin(), log.Lines().end(),
                          [](const std::string& line) { return line.find("not set") != std::string::npos; }),
            1);
}

TEST_F(SystemShellBuiltinsTest, NoDesktopBuiltInIsLeftUnbuilt) {
  LogCapture log;
  for (std::uint32_t id = 802; id <= 808; ++id) Call(id, {0, 0, 0});
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
}

}  // namespace

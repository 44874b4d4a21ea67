// Where scripts may write: the game folder, the save folder and the four user folders, after the
// engine's path rules; nothing that leaves them or only looks like them.
#include "base/files/script_write_rule.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>

#include "base/files/path.h"
#include "base/files/user_folders.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/host_path.h"
#include "platform/files/special_folders.h"
#include "support/log_capture.h"
#include "support/scoped_environment.h"
#include "support/scoped_user_folder_game_name.h"
#include "support/temp_game_folder.h"

namespace {

// A path and whether a rule lets scripts at it.
struct PathCase {
  std::string path;
  bool allowed;
};

// Each path in turn against `rule`, the row named on failure.
void ExpectRule(bool (*rule)(const char*), std::initializer_list<PathCase> cases) {
  for (const PathCase& c : cases) EXPECT_EQ(rule(c.path.c_str()), c.allowed) << c.path;
}

class ScriptWriteRuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memcpy(saved_base_, g_ModuleFolder, kMaxPath);
    // Pictures and desktop moved by the user-dirs file, documents at its usual place.
    root_.WriteFile("home/.config/user-dirs.dirs",
                    "XDG_PICTURES_DIR=\"$HOME/Bilder\"\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    root_.MakeFolder("GAME");
    root_.MakeFolder("SAVE");
    SetBaseFolder(Path("GAME\\").c_str());
    SetScriptWriteFolders(Path("GAME\\"), Path("SAVE"));
  }
  void TearDown() override {
    ClearScriptWriteFolders();
    std::memcpy(g_ModuleFolder, saved_base_, kMaxPath);
  }

  std::string Path(const std::string& relative) const { return root_.EnginePath(relative); }
  void Link(const std::string& target, const std::string& link) const {
    std::filesystem::create_symlink(root_.HostPath() + target, root_.HostPath() + link);
  }

  test_support::TempGameFolder root_;
  test_support::ScopedUserFolderGameName game_name_{"Tale"};
  ScopedEnvironment home_{"HOME", (root_.HostPath() + "home").c_str()};
  ScopedEnvironment config_{"XDG_CONFIG_HOME", (root_.HostPath() + "home/.config").c_str()};
  ScopedEnvironment data_{"XDG_DATA_HOME", (root_.HostPath() + "data").c_str()};
  char saved_base_[kMaxPath] = {};
};

TEST_F(ScriptWriteRuleTest, TheGamesOwnUserFoldersAreNamedInTheScriptsOrderAndNeverCreated) {
  // Documents, pictures, data and desktop by the numbers scripts give; 0 and 5 name none.
  for (const auto& [which, folder] : {std::pair{1, "home\\Documents\\Tale\\"}, std::pair{2, "home\\Bilder\\Tale\\"},
                                      std::pair{3, "data\\kestrune\\Tale\\"}, std::pair{4, "home\\Schreibtisch\\Tale\\"}}) {
    EXPECT_EQ(UserFolderPath(which), Path(folder)) << which;
  }
  for (const int which : {0, 5}) EXPECT_FALSE(UserFolderPath(which).has_value()) << which;
  EXPECT_EQ(UserFolderPaths().size(), 4u);
  EXPECT_FALSE(root_.Exists("home/Documents"));
  EXPECT_FALSE(root_.Exists("home/Bilder"));
  EXPECT_FALSE(root_.Exists("data"));
  // A game named as a folder the desktop reads in its data folder gets one of the engine's.
  const test_support::ScopedUserFolderGameName desktop_named("applications");
  EXPECT_EQ(UserFolderPath(3), Path("data\\kestrune\\applications\\"));
}

// Files in the game folder (by its full path, from the base folder, or back into it), the save
// folder (in any case of its name) and each user folder may be written; paths that leave them,
// only begin like them, name a folder itself, a stream, another drive or a share, or are too
// long, may not.
TEST_F(ScriptWriteRuleTest, FilesInTheGameTheSaveAndEachUserFolderMayBeWrittenAndNothingElse) {
  root_.MakeFolder("SAVE2");
  ExpectRule(MayScriptWriteAt,
             {{Path("SAVE\\SAVE01.DAT"), true}, {Path("save\\Sub\\SAVE02.DAT"), true}, {Path("GAME\\SAVEDATA\\A.DAT"), true},
              {"SAVEDATA\\B.DAT", true}, {"SAVEDATA/C.DAT", true}, {".\\D.DAT", true}, {"..\\GAME\\E.DAT", true},
              {Path("home\\Documents\\Tale\\note.txt"), true}, {Path("home\\Bilder\\Tale\\shot.png"), true},
              {Path("data\\kestrune\\Tale\\USER.CFG"), true}, {Path("home\\Schreibtisch\\Tale\\readme.txt"), true},
              {"Z:\\etc\\kestrune-test", false}, {Path("SAVE\\..\\escape.txt"), false}, {"SAVEDATA\\..\\..\\up.txt", false},
              {"..\\up.txt", false}, {Path("SAVE2\\SAVE01.DAT"), false}, {Path("GAMEX\\a.txt"), false},
              {Path("SAVE\\"), false}, {Path("SAVE"), false}, {Path("SAVE\\a.txt:stream"), false},
              {"C:\\SAVE\\a.txt", false}, {"\\\\server\\share\\a.txt", false},
              {"SAVEDATA\\" + std::string(300, 'x'), false}});
  EXPECT_FALSE(MayScriptWriteAt(nullptr));
}

// A script that moves the base folder (to the root, say) does not move the folders it may write in.
TEST_F(ScriptWriteRuleTest, MovingTheBaseFolderOpensNothingNew) {
  SetBaseFolder("Z:\\");
  EXPECT_FALSE(MayScriptWriteAt("etc\\kestrune-test"));
  EXPECT_TRUE(MayScriptWriteAt(Path("GAME\\F.DAT").c_str()));
  ClearScriptWriteFolders();
  ExpectRule(MayScriptWriteAt, {{Path("GAME\\F.DAT"), false}, {Path("SAVE\\F.DAT"), false},
                                {Path("data\\kestrune\\Tale\\F.DAT"), false}});
}

// Only single-byte letters compare without case: "ホ" (0x83 0x7A, a lower-case 'z' second byte)
// is not the folder "セ" (0x83 0x5A, 'Z').
TEST_F(ScriptWriteRuleTest, TwoByteCharactersCompareExactly) {
  SetScriptWriteFolders(Path("GAME\\"), Path("\x83\x5A\\"));
  ExpectRule(MayScriptWriteAt, {{Path("\x83\x5A\\a.txt"), true}, {Path("\x83\x7A\\a.txt"), false}});
}

// Paths are read as the file layer converts them, by the code page's characters: a game folder
// named ﾃｽﾄ (C3 BD C4, half-width) ends at the separator after it, so its files may be written and
// listed; and a user folder named ア (83 41) is not the one named ヂ (83 61).
TEST_F(ScriptWriteRuleTest, HalfWidthAndTwoByteNamesAreReadByCharacters) {
  root_.MakeFolder("ﾃｽﾄ");
  const std::string kana = Path(plat::Utf8ToSjis("ﾃｽﾄ\\"));
  SetScriptWriteFolders(kana, Path("SAVE"));
  ExpectRule(MayScriptWriteAt, {{kana + "A.TXT", true}, {kana + "..\\A.TXT", false}});
  ExpectRule(MayScriptListAt, {{kana + "*.TXT", true}, {kana + "..\\*.TXT", false}});
  const test_support::ScopedUserFolderGameName named("\x83\x41");
  EXPECT_TRUE(LiesInUserFolder(Path("home\\Documents\\\x83\x41\\a.txt")));
  EXPECT_FALSE(LiesInUserFolder(Path("home\\Documents\\\x83\x61\\a.txt")));
}

// What lies behind links counts: a path whose text stays inside but whose links lead out is
// refused, for reading and writing alike, while reads follow links between the open folders. A
// write follows no link below the folder it lies in, wherever the link leads.
TEST_F(ScriptWriteRuleTest, LinksThatLeadOutAreRefusedAndLinksThatStayInAreFollowedByReads) {
  root_.WriteFile("OUT/SECRET.TXT", "secret");
  root_.WriteFile("SAVE/KEEP.TXT", "keep");
  Link("OUT", "GAME/LINK");
  Link("OUT/SECRET.TXT", "GAME/SECRET_LINK");
  Link("OUT/NEW.TXT", "SAVE/DANGLING");
  Link("SAVE", "GAME/TO_SAVE");
  for (const std::string& path : {Path("GAME\\LINK\\OUT4.TXT"), Path("GAME\\LINK\\SECRET.TXT"), Path("GAME\\SECRET_LINK"),
                                  Path("SAVE\\DANGLING"), Path("GAME\\LINK\\NEW\\X.TXT"), std::string("LINK\\OUT.TXT")}) {
    EXPECT_FALSE(MayScriptWriteAt(path.c_str())) << path;
    EXPECT_FALSE(MayScriptReadAt(path.c_str())) << path;
  }
  EXPECT_FALSE(MayScriptReadAt(Path("GAME\\LINK\\").c_str()));
  for (const std::string& path : {Path("GAME\\TO_SAVE\\KEEP.TXT"), std::string("TO_SAVE\\NEW.TXT")}) {
    EXPECT_FALSE(MayScriptWriteAt(path.c_str())) << path;
    EXPECT_TRUE(MayScriptReadAt(path.c_str())) << path;
  }
  EXPECT_TRUE(MayScriptWriteAt(Path("SAVE\\KEEP.TXT").c_str()));
}

// Reads reach the same folders as writes and the folders themselves, and nothing beside them;
// a folder listing is a read of the folder it looks in, and a program runs only from the game
// folder, never through a link out of it.
TEST_F(ScriptWriteRuleTest, ReadsListingsAndProgramsStayInTheirFolders) {
  root_.MakeFolder("SAVE2");
  root_.MakeFolder("home/.ssh");
  Link("home", "GAME/HOME_LINK");
  root_.WriteFile("GAME/RUN.SH", "#!/bin/sh\n");
  root_.WriteFile("SAVE/RUN.SH", "#!/bin/sh\n");
  std::filesystem::create_symlink("/bin/sh", root_.HostPath() + "GAME/SH_LINK");
  ExpectRule(MayScriptReadAt,
             {{Path("GAME\\"), true}, {Path("SAVE"), true}, {".", true}, {Path("SAVE\\SAVE01.DAT"), true},
              {"SAVEDATA\\A.DAT", true}, {Path("home\\Documents\\Tale\\"), true}, {"..\\SECRET.TXT", false},
              {"Z:\\etc\\passwd", false}, {Path("SAVE2\\"), false}, {Path("SECRET.TXT"), false},
              {"C:\\SECRET.TXT", false}, {"\\\\server\\a.txt", false}});
  EXPECT_FALSE(MayScriptReadAt(nullptr));
  ExpectRule(MayScriptListAt, {{"*.*", true}, {"SAVEDATA\\*.DAT", true}, {"..\\*.*", false},
                               {"Z:\\etc\\*.conf", false}, {"HOME_LINK\\.ssh\\*", false}});
  ExpectRule(MayScriptRunAt, {{Path("GAME\\RUN.SH"), true}, {"RUN.SH", true}, {Path("SAVE\\RUN.SH"), false},
                              {"Z:\\bin\\sh", false}, {Path("GAME\\SH_LINK"), false}, {Path("GAME\\"), false},
                              {Path("home\\Documents\\run.sh"), false}});
}

TEST_F(ScriptWriteRuleTest, TheProgramsFolderIsOutOfEveryScriptsReach) {
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  const std::string holder = program.parent_path().string() + "/";
  const std::string name = program.filename().string();
  const std::string program_folder = plat::ProgramFolder().value();
  root_.WriteFile("home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"" + holder + "\"\n");
  const test_support::ScopedUserFolderGameName program_named(name);
  SetScriptWriteFolders(Path("GAME\\"), Path("SAVE"));
  ASSERT_EQ(UserFolderPath(1), program_folder);
  struct Case {
    std::string game_folder;
    std::string game_name;
    std::string path;
    bool written;
  };
  for (const Case& c : std::initializer_list<Case>{
           {Path("GAME\\"), name, program_folder + "plugin\\X.SLL", false},
           {Path("GAME\\"), name, program_folder + "X.TXT", false},
           {plat::ToEnginePath(holder), "Tale", program_folder + "plugin\\X.SLL", false},
           {plat::ToEnginePath(holder), "Tale", plat::ToEnginePath(holder) + "BESIDE.TXT", true},
           {program_folder, "Tale", program_folder + "SAVEDATA\\A.DAT", true}}) {
    const test_support::ScopedUserFolderGameName named(c.game_name);
    SetScriptWriteFolders(c.game_folder, Path("SAVE"));
    EXPECT_EQ(MayScriptWriteAt(c.path.c_str()), c.written) << c.path << " with the game in " << c.game_folder;
  }
}

TEST_F(ScriptWriteRuleTest, ARefusalIsLoggedWithThePath) {
  LogCapture log;
  EXPECT_FALSE(MayScriptReadAt("Z:\\etc\\passwd"));
  EXPECT_NE(log.Last().find("Z:\\etc\\passwd"), std::string::npos) << log.Last();
  EXPECT_NE(log.Last().find("read"), std::string::npos) << log.Last();
}

}  // namespace

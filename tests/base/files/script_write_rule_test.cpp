// Where scripts may write: the game folder, the save folder and the four user folders, after the
// engine's path rules; nothing that leaves them or only looks like them.
#include "base/files/script_write_rule.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "base/files/path.h"
#include "base/files/user_folders.h"
#include "platform/files/host_path.h"
#include "platform/files/special_folders.h"
#include "support/log_capture.h"
#include "support/scoped_environment.h"
#include "support/scoped_user_folder_game_name.h"
#include "support/temp_game_folder.h"

namespace {

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
  EXPECT_EQ(UserFolderPath(1), Path("home\\Documents\\Tale\\"));
  EXPECT_EQ(UserFolderPath(2), Path("home\\Bilder\\Tale\\"));
  EXPECT_EQ(UserFolderPath(3), Path("data\\kestrune\\Tale\\"));
  EXPECT_EQ(UserFolderPath(4), Path("home\\Schreibtisch\\Tale\\"));
  EXPECT_FALSE(UserFolderPath(0).has_value());
  EXPECT_FALSE(UserFolderPath(5).has_value());
  EXPECT_EQ(UserFolderPaths().size(), 4u);
  EXPECT_FALSE(root_.Exists("home/Documents"));
  EXPECT_FALSE(root_.Exists("home/Bilder"));
  EXPECT_FALSE(root_.Exists("data"));
  // A game named as a folder the desktop reads in its data folder gets one of the engine's.
  const test_support::ScopedUserFolderGameName desktop_named("applications");
  EXPECT_EQ(UserFolderPath(3), Path("data\\kestrune\\applications\\"));
}

TEST_F(ScriptWriteRuleTest, FilesInTheGameTheSaveAndEachUserFolderMayBeWritten) {
  for (const std::string& path :
       {Path("SAVE\\SAVE01.DAT"), Path("save\\Sub\\SAVE02.DAT"), Path("GAME\\SAVEDATA\\A.DAT"),
        std::string("SAVEDATA\\B.DAT"), std::string("SAVEDATA/C.DAT"), std::string(".\\D.DAT"),
        std::string("..\\GAME\\E.DAT"), Path("home\\Documents\\Tale\\note.txt"), Path("home\\Bilder\\Tale\\shot.png"),
        Path("data\\kestrune\\Tale\\USER.CFG"), Path("home\\Schreibtisch\\Tale\\readme.txt")}) {
    EXPECT_TRUE(MayScriptWriteAt(path.c_str())) << path;
  }
}

TEST_F(ScriptWriteRuleTest, PathsOutsideThoseFoldersAreRefused) {
  root_.MakeFolder("SAVE2");
  for (const std::string& path :
       {std::string("Z:\\etc\\kestrune-test"), Path("SAVE\\..\\escape.txt"), std::string("SAVEDATA\\..\\..\\up.txt"),
        std::string("..\\up.txt"), Path("SAVE2\\SAVE01.DAT"), Path("GAMEX\\a.txt"), Path("SAVE\\"), Path("SAVE"),
        Path("SAVE\\a.txt:stream"), std::string("C:\\SAVE\\a.txt"), std::string("\\\\server\\share\\a.txt"),
        std::string("SAVEDATA\\") + std::string(300, 'x')}) {
    EXPECT_FALSE(MayScriptWriteAt(path.c_str())) << path;
  }
  EXPECT_FALSE(MayScriptWriteAt(nullptr));
}

// A script that moves the base folder (to the root, say) does not move the folders it may write in.
TEST_F(ScriptWriteRuleTest, MovingTheBaseFolderOpensNothingNew) {
  SetBaseFolder("Z:\\");
  EXPECT_FALSE(MayScriptWriteAt("etc\\kestrune-test"));
  EXPECT_TRUE(MayScriptWriteAt(Path("GAME\\F.DAT").c_str()));
  ClearScriptWriteFolders();
  for (const char* path : {"GAME\\F.DAT", "SAVE\\F.DAT", "data\\kestrune\\Tale\\F.DAT"}) {
    EXPECT_FALSE(MayScriptWriteAt(Path(path).c_str())) << path;
  }
}

// Only single-byte letters compare without case: "ホ" (0x83 0x7A, a lower-case 'z' second byte)
// is not the folder "セ" (0x83 0x5A, 'Z').
TEST_F(ScriptWriteRuleTest, TwoByteCharactersCompareExactly) {
  SetScriptWriteFolders(Path("GAME\\"), Path("\x83\x5A\\"));
  EXPECT_TRUE(MayScriptWriteAt(Path("\x83\x5A\\a.txt").c_str()));
  EXPECT_FALSE(MayScriptWriteAt(Path("\x83\x7A\\a.txt").c_str()));
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

TEST_F(ScriptWriteRuleTest, ReadsReachTheSameFoldersAndTheFoldersThemselves) {
  root_.MakeFolder("SAVE2");
  for (const std::string& path : {Path("GAME\\"), Path("SAVE"), std::string("."), Path("SAVE\\SAVE01.DAT"),
                                  std::string("SAVEDATA\\A.DAT"), Path("home\\Documents\\Tale\\")}) {
    EXPECT_TRUE(MayScriptReadAt(path.c_str())) << path;
  }
  for (const std::string& path : {std::string("..\\SECRET.TXT"), std::string("Z:\\etc\\passwd"), Path("SAVE2\\"),
                                  Path("SECRET.TXT"), std::string("C:\\SECRET.TXT"), std::string("\\\\server\\a.txt")}) {
    EXPECT_FALSE(MayScriptReadAt(path.c_str())) << path;
  }
  EXPECT_FALSE(MayScriptReadAt(nullptr));
}

TEST_F(ScriptWriteRuleTest, FolderListingsAreReadsOfTheFolderTheyLookIn) {
  root_.MakeFolder("home/.ssh");
  Link("home", "GAME/HOME_LINK");
  for (const char* pattern : {"*.*", "SAVEDATA\\*.DAT"}) EXPECT_TRUE(MayScriptListAt(pattern)) << pattern;
  for (const char* pattern : {"..\\*.*", "Z:\\etc\\*.conf", "HOME_LINK\\.ssh\\*"}) {
    EXPECT_FALSE(MayScriptListAt(pattern)) << pattern;
  }
}

TEST_F(ScriptWriteRuleTest, ProgramsRunOnlyFromTheGameFolder) {
  root_.WriteFile("GAME/RUN.SH", "#!/bin/sh\n");
  root_.WriteFile("SAVE/RUN.SH", "#!/bin/sh\n");
  std::filesystem::create_symlink("/bin/sh", root_.HostPath() + "GAME/SH_LINK");
  EXPECT_TRUE(MayScriptRunAt(Path("GAME\\RUN.SH").c_str()));
  EXPECT_TRUE(MayScriptRunAt("RUN.SH"));
  for (const std::string& path : {Path("SAVE\\RUN.SH"), std::string("Z:\\bin\\sh"), Path("GAME\\SH_LINK"),
                                  Path("GAME\\"), Path("home\\Documents\\run.sh")}) {
    EXPECT_FALSE(MayScriptRunAt(path.c_str())) << path;
  }
}

// Whatever folder holds the program (the documents folder's game folder, the game folder), no
// script writes at or below it, where the player's plug-ins lie, but inside a game folder kept there.
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

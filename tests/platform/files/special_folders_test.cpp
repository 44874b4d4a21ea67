// The folders that are never a place for a game's files: the root, the home folder itself and
// its parents, and the system's own trees, as named or reached through a link.
#include "platform/files/special_folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/own_mounts.h"
#include "support/scoped_environment.h"
#include "support/temp_game_folder.h"

namespace {

TEST(SpecialFolders, TheRootTheHomeFolderAndTheSystemsFoldersAreNoPlaceForAGame) {
  const test_support::TempGameFolder folder;
  folder.MakeFolder("var/home/player/games");
  const ScopedEnvironment home("HOME", (folder.HostPath() + "var/home/player").c_str());
  std::filesystem::create_symlink("/etc", folder.HostPath() + "var/home/player/games/ETC_LINK");
  for (const std::string& refused :
       {std::string("Z:\\"), std::string("Z:\\etc"), std::string("Z:\\usr\\share\\games\\"), std::string("Z:\\tmp"),
        std::string("Z:\\home"), std::string("Z:\\var"), folder.EnginePath("var\\home\\player"),
        folder.EnginePath("var\\home\\"), folder.EnginePath("var\\home\\player\\games\\ETC_LINK\\x")}) {
    EXPECT_TRUE(plat::IsRootHomeOrSystemFolder(refused)) << refused;
  }
  for (const std::string& allowed : {folder.EnginePath("var\\home\\player\\games"), std::string("Z:\\tmp\\game"),
                                     std::string("Z:\\opt\\game\\SAVEDATA"), std::string("Z:\\media\\disk\\saves")}) {
    EXPECT_FALSE(plat::IsRootHomeOrSystemFolder(allowed)) << allowed;
  }
}

// Folders are told by what they are: the root and a system tree mounted elsewhere are still no
// place for a game, nor is a hidden folder of the home folder; the documents folder still is.
TEST(SpecialFolders, AFolderMountedElsewhereIsJudgedAsItself) {
  const test_support::TempGameFolder folder;
  for (const char* name : {"home/.config", "home/Documents", "ROOT", "ETC", "CONFIG", "DOCUMENTS"}) {
    folder.MakeFolder(name);
  }
  const ScopedEnvironment home("HOME", (folder.HostPath() + "home").c_str());
  const test_support::OwnMountsRun run = test_support::RunWithBindMounts(
      {{"/", folder.HostPath() + "ROOT"},
       {"/etc", folder.HostPath() + "ETC"},
       {folder.HostPath() + "home/.config", folder.HostPath() + "CONFIG"},
       {folder.HostPath() + "home/Documents", folder.HostPath() + "DOCUMENTS"}},
      [&] {
        std::string failures;
        for (const char* name : {"ROOT", "ETC", "ROOT\\usr\\share"}) {
          if (!plat::IsRootHomeOrSystemFolder(folder.EnginePath(name))) failures += name + std::string(" let in\n");
        }
        if (!plat::IsHiddenFolderOfHome(folder.EnginePath("CONFIG\\notes"))) failures += "CONFIG let in\n";
        if (plat::IsRootHomeOrSystemFolder(folder.EnginePath("DOCUMENTS")) ||
            plat::IsHiddenFolderOfHome(folder.EnginePath("DOCUMENTS"))) {
          failures += "DOCUMENTS refused\n";
        }
        return failures;
      });
  if (!run.refused.empty()) GTEST_SKIP() << "no mount namespace of its own: " << run.refused;
  EXPECT_EQ(run.failures, "");
}

}  // namespace

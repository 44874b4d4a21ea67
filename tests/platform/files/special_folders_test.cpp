// The folders that are never a place for a game's files: the root, the home folder itself and
// its parents, and the system's own trees, as named or reached through a link.
#include "platform/files/special_folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

}  // namespace

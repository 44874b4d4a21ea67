// Where an engine path leads with its links followed: through linked folders and files, past
// names that do not exist yet, and nowhere for a link that leads nowhere.
#include "platform/files/resolved_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_game_folder.h"

namespace {

class ResolvedPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game_.MakeFolder("GAME/REAL");
    game_.WriteFile("OUT/SECRET.TXT", "secret");
    std::filesystem::create_symlink(Host("OUT"), Host("GAME/LINK"));
    std::filesystem::create_symlink(Host("OUT/SECRET.TXT"), Host("GAME/FILE_LINK"));
    std::filesystem::create_symlink(Host("OUT/NEW.TXT"), Host("GAME/DANGLING"));
    std::filesystem::create_symlink(Host("GAME/LOOP"), Host("GAME/LOOP"));
  }

  std::string Host(const std::string& relative) const {
    return std::filesystem::weakly_canonical(game_.HostPath() + relative).string();
  }

  test_support::TempGameFolder game_;
};

TEST_F(ResolvedPathTest, LinksOnTheWayAreFollowedAndMissingNamesKept) {
  struct Case {
    const char* engine;
    const char* host;
  };
  for (const Case& c : {Case{"GAME\\REAL\\A.TXT", "GAME/REAL/A.TXT"}, Case{"game\\real", "GAME/REAL"},
                        Case{"GAME\\LINK\\SECRET.TXT", "OUT/SECRET.TXT"}, Case{"GAME\\LINK\\NEW\\B.TXT", "OUT/NEW/B.TXT"},
                        Case{"GAME\\FILE_LINK", "OUT/SECRET.TXT"}, Case{"GAME\\LINK\\..\\REAL", "GAME/REAL"}}) {
    EXPECT_EQ(plat::ResolveLinks(game_.EnginePath(c.engine)), Host(c.host)) << c.engine;
  }
}

TEST_F(ResolvedPathTest, LinksThatLeadNowhereAndOtherDrivesResolveToNothing) {
  for (const std::string& engine : {game_.EnginePath("GAME\\DANGLING"), game_.EnginePath("GAME\\LOOP\\A.TXT"),
                                    std::string("C:\\WINDOWS"), std::string("relative\\name")}) {
    EXPECT_FALSE(plat::ResolveLinks(engine).has_value()) << engine;
  }
}

TEST_F(ResolvedPathTest, BelowMeansInsideTheFolderNotBesideIt) {
  EXPECT_TRUE(plat::IsSameOrBelow("/a/game", "/a/game"));
  EXPECT_TRUE(plat::IsSameOrBelow("/a/game/x", "/a/game/"));
  EXPECT_TRUE(plat::IsSameOrBelow("/a/game/x", "/"));
  EXPECT_FALSE(plat::IsSameOrBelow("/a/game2/x", "/a/game"));
  EXPECT_FALSE(plat::IsSameOrBelow("/a", "/a/game"));
}

}  // namespace

// Below the write roots a write follows no link on its way, wherever it leads, so that a link
// put there after a path was checked is never followed; a root named through a link, and writes
// outside every root, are written as named.
#include "platform/files/write_roots.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/files/file_handle.h"
#include "platform/files/file_system_ops.h"
#include "support/temp_game_folder.h"

namespace {

using test_support::TempGameFolder;

class WriteRootsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_.MakeFolder("GAME/SUB");
    root_.WriteFile("GAME/FILE.TXT", "file");
    outside_.WriteFile("X.TXT", "outside");
    std::filesystem::create_symlink(root_.HostPath() + "GAME", root_.HostPath() + "NAMED_GAME");
    plat::SetWriteRoots({root_.EnginePath("NAMED_GAME\\")});
  }
  void TearDown() override { plat::SetWriteRoots({}); }

  // The folder SUB of the game replaced by a link, as another program could do between a check
  // and a write.
  void SwapSubForLink(const std::string& target) const {
    std::filesystem::remove(root_.HostPath() + "GAME/SUB");
    std::filesystem::create_symlink(target, root_.HostPath() + "GAME/SUB");
  }
  std::string Path(const std::string& relative) const { return root_.EnginePath("NAMED_GAME\\" + relative); }

  TempGameFolder root_;
  TempGameFolder outside_;
};

TEST_F(WriteRootsTest, ARootNamedThroughALinkIsWrittenAtItsPlace) {
  EXPECT_EQ(plat::WriteTarget(Path("SUB\\A.TXT")), std::filesystem::canonical(root_.HostPath() + "GAME").string() + "/SUB/A.TXT");
  EXPECT_TRUE(plat::FileHandle::Open(Path("SUB\\A.TXT"), plat::FileOpenMode::kCreateNew).IsOpen());
  EXPECT_TRUE(plat::CreateFolder(Path("SUB\\NEW")));
  EXPECT_TRUE(plat::ReplaceFile(Path("FILE.TXT"), Path("SUB\\MOVED.TXT")));
  EXPECT_TRUE(plat::DeleteFile(Path("SUB\\MOVED.TXT")));
  EXPECT_TRUE(root_.Exists("GAME/SUB/A.TXT"));
  EXPECT_TRUE(root_.Exists("GAME/SUB/NEW"));
}

TEST_F(WriteRootsTest, ALinkBelowARootIsFollowedByNoWriteWhereverItLeads) {
  for (const std::string& target : {outside_.HostPath(), root_.HostPath() + "GAME"}) {
    SCOPED_TRACE(target);
    SwapSubForLink(target);
    EXPECT_FALSE(plat::WriteTarget(Path("SUB\\X.TXT")).has_value());
    for (const plat::FileOpenMode mode :
         {plat::FileOpenMode::kCreateAlways, plat::FileOpenMode::kCreateNew, plat::FileOpenMode::kReadWrite}) {
      EXPECT_FALSE(plat::FileHandle::Open(Path("SUB\\X.TXT"), mode).IsOpen());
    }
    EXPECT_FALSE(plat::CopyFile(Path("FILE.TXT"), Path("SUB\\COPY.TXT"), true));
    EXPECT_FALSE(plat::CreateFolder(Path("SUB\\NEW")));
    EXPECT_FALSE(plat::ReplaceFile(Path("FILE.TXT"), Path("SUB\\MOVED.TXT")));
    EXPECT_FALSE(plat::DeleteFile(Path("SUB\\X.TXT")));
    EXPECT_FALSE(plat::MakeWritable(Path("SUB\\X.TXT")));
    EXPECT_EQ(plat::FindFiles(Path("SUB\\*")).size(), 0u) << "nor listed";
  }
  EXPECT_EQ(outside_.ReadFile("X.TXT"), "outside");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(outside_.HostPath()), {}), 1);
  EXPECT_TRUE(root_.Exists("GAME/FILE.TXT"));
}

// The engine's own files outside the roots keep the folders as named.
TEST_F(WriteRootsTest, WritesOutsideEveryRootFollowFolderLinks) {
  std::filesystem::create_symlink(outside_.HostPath(), root_.HostPath() + "ELSEWHERE");
  EXPECT_TRUE(plat::FileHandle::Open(root_.EnginePath("ELSEWHERE\\NEW.TXT"), plat::FileOpenMode::kCreateNew).IsOpen());
  EXPECT_TRUE(outside_.Exists("NEW.TXT"));
}

}  // namespace

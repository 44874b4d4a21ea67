#include "base/files/drop_files.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// The order of the queue and the refusal as the window delivers them: tests/app.
TEST(DropFilesTest, ARefusedDropIsFinishedAndAcceptReachesTheWindow) {
  CDropFiles files;
  const plat::DropHandle first = plat::RegisterDrop({"Z:\\a.txt"});
  EXPECT_EQ(files.OnDropFiles(first), CDropFiles::kTaken);
  EXPECT_EQ(plat::DragQueryFileCount(first), 0u);
  const plat::DropHandle second = plat::RegisterDrop({"Z:\\b.txt"});
  EXPECT_EQ(files.OnDropFiles(second), CDropFiles::kRefused);
  EXPECT_EQ(plat::DragQueryFileCount(second), 0u);  // its file is lost
  EXPECT_EQ(files.GetFile(0), "Z:\\a.txt");
  EXPECT_EQ(files.GetFile(-1), std::nullopt);

  constexpr plat::WindowId kWindow = 4711;
  files.Accept(kWindow, 3);
  EXPECT_TRUE(plat::AcceptsDroppedFiles(kWindow));
  EXPECT_EQ(files.GetAcceptFlag(), 3u);
  files.Accept(kWindow, 0);
  EXPECT_FALSE(plat::AcceptsDroppedFiles(kWindow));
}

}  // namespace

#include "base/drop_files.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(DropFilesTest, ADropQueuesItsPathsInOrderAndASecondIsRefusedUntilTheQueueIsCleared) {
  CDropFiles files;
  const plat::DropHandle first = plat::RegisterDrop({"Z:\\b.txt", "Z:\\a.txt", "Z:\\c"});
  EXPECT_EQ(files.OnDropFiles(first), CDropFiles::kTaken);
  EXPECT_EQ(plat::DragQueryFileCount(first), 0u);  // finished
  ASSERT_EQ(files.GetCount(), 3u);
  EXPECT_EQ(files.GetFile(0), "Z:\\b.txt");
  EXPECT_EQ(files.GetFile(1), "Z:\\a.txt");
  EXPECT_EQ(files.GetFile(2), "Z:\\c");
  EXPECT_EQ(files.GetFile(3), std::nullopt);
  EXPECT_EQ(files.GetFile(-1), std::nullopt);

  const plat::DropHandle second = plat::RegisterDrop({"Z:\\d"});
  EXPECT_EQ(files.OnDropFiles(second), CDropFiles::kRefused);
  EXPECT_EQ(plat::DragQueryFileCount(second), 0u);  // finished too: its file is lost
  EXPECT_EQ(files.GetCount(), 3u);

  files.Clear();
  EXPECT_EQ(files.GetFile(0), std::nullopt);
  EXPECT_EQ(files.OnDropFiles(plat::RegisterDrop({"Z:\\d"})), CDropFiles::kTaken);
  EXPECT_EQ(files.GetFile(0), "Z:\\d");
}

TEST(DropFilesTest, AcceptSwitchesTheWindowsDropsAndKeepsTheFlag) {
  constexpr plat::WindowId kWindow = 4711;
  CDropFiles files;
  files.Accept(kWindow, 3);
  EXPECT_TRUE(plat::AcceptsDroppedFiles(kWindow));
  EXPECT_EQ(files.GetAcceptFlag(), 3u);
  files.Accept(kWindow, 0);
  EXPECT_FALSE(plat::AcceptsDroppedFiles(kWindow));
  EXPECT_EQ(files.GetAcceptFlag(), 0u);
}

}  // namespace

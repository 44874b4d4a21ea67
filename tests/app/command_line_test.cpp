#include "app/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLine, ArgumentsAreJoinedBySpaces) {
  const char* argv[] = {"kestrune", "/L/opt/my", "game"};
  EXPECT_EQ(JoinCommandLine(3, argv), "/L/opt/my game");
  EXPECT_EQ(JoinCommandLine(1, argv), "");
}

TEST(CommandLine, OnlyALeadingSlashLNamesTheDataFolder) {
  EXPECT_EQ(DataFolderFromCommandLine("/L/opt/game"), "/opt/game");
  EXPECT_EQ(DataFolderFromCommandLine("/lZ:\\games\\a b"), "Z:\\games\\a b");
  EXPECT_EQ(DataFolderFromCommandLine("/L"), "");
  EXPECT_FALSE(DataFolderFromCommandLine(""));
  EXPECT_FALSE(DataFolderFromCommandLine("/X/opt"));
  EXPECT_FALSE(DataFolderFromCommandLine(" /L/opt"));
  EXPECT_FALSE(DataFolderFromCommandLine("L/opt"));
}

#include "app/framework/command_line.h"

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

TEST(CommandLine, AHostDataFolderBecomesAnEnginePath) {
  const char* absolute[] = {"kestrune", "/L/opt/my", "game/./saves/.."};
  EXPECT_EQ(EngineCommandLine(3, absolute), "/LZ:\\opt\\my game\\");
  const char* relative[] = {"kestrune", "/lgame"};
  const std::string line = EngineCommandLine(2, relative);
  EXPECT_TRUE(line.starts_with("/lZ:\\")) << line;
  EXPECT_TRUE(line.ends_with("\\game")) << line;
}

TEST(CommandLine, EngineFormsAndOtherLinesStayAsGiven) {
  const char* drive[] = {"kestrune", "/LZ:\\games\\a"};
  EXPECT_EQ(EngineCommandLine(2, drive), "/LZ:\\games\\a");
  const char* server[] = {"kestrune", "/L\\\\server\\share"};
  EXPECT_EQ(EngineCommandLine(2, server), "/L\\\\server\\share");
  const char* other[] = {"kestrune", "-x", "/L/opt"};
  EXPECT_EQ(EngineCommandLine(3, other), "-x /L/opt");
  const char* empty[] = {"kestrune", "/L"};
  EXPECT_EQ(EngineCommandLine(2, empty), "/L");
  const char* japanese[] = {"kestrune", "/L/opt/ゲーム"};
  EXPECT_EQ(EngineCommandLine(2, japanese), "/LZ:\\opt\\\x83\x51\x81\x5B\x83\x80");
}

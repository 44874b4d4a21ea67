#include "app/framework/start_up_log.h"

#include <gtest/gtest.h>

namespace {

TEST(StartUpLogTest, DriveSpaceIsPrintedInThousandsGroupsInFixedColumns) {
  EXPECT_EQ(FormatDriveSpace(1234567, 2000000), "  1,234,567 /   2,000,000 MB");
  EXPECT_EQ(FormatDriveSpace(12345, 999), "     12,345 /         999 MB");
  EXPECT_EQ(FormatDriveSpace(0, 1000), "          0 /       1,000 MB");
}

TEST(StartUpLogTest, AFixedDriveLineStartsWithItsRootAndEndsWithCrLf) {
  CStartUpLog log;
  log.WriteDrives({{"/", CStartUpLog::DriveKind::kFixed, 1234567ull << 20, 3000000ull << 20},
                   {"/media/disc", CStartUpLog::DriveKind::kOptical, 0, 0}});
  EXPECT_EQ(log.Text(),
            "[ Drive Info ]\r\n [/]   1,234,567 /   3,000,000 MB\r\n [/media/disc] CD/DVD-ROM Drive\r\n");
}

TEST(StartUpLogTest, MemoryAboveFourGigabytesIsReportedWhole) {
  plat::SystemFacts facts;
  facts.os_name = "Linux";
  facts.os_version = "6.1";
  facts.memory_total = 24ull << 30;
  facts.memory_available = 5ull << 30;
  facts.swap_total = 8ull << 30;
  CStartUpLog log;
  log.WriteSystem(facts, plat::DesktopInfo{1920, 1080, 32, 60, {}}, "C:\\GAME\\");
  const std::string& text = log.Text();
  EXPECT_NE(text.find("\r\nMemory   : 24576MB (Avail 5120MB)\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Display  : 1920 x 1080  32bit 60Hz (Not MonitorInfo)\r\nDirectX  : Unknown\r\n"
                      "PageFile : 8192MB (Avail 0MB)"),
            std::string::npos)
      << text;
}

}  // namespace

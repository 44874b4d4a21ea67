#include "platform/files/optical_drives.h"

#include <gtest/gtest.h>

#include "support/temp_game_folder.h"

namespace {

TEST(OpticalDrives, OnlyIso9660AndUdfMountsCountAndEscapesAreRead) {
  test_support::TempGameFolder folder;
  folder.WriteFile("mounts",
                   "/dev/sda1 / ext4 rw,relatime 0 0\n"
                   "/dev/sr0 /media/cd\\040rom iso9660 ro 0 0\n"
                   "proc /proc proc rw 0 0\n"
                   "/dev/sr1 /mnt/dvd udf ro 0 0\n"
                   "broken line\n");
  EXPECT_EQ(plat::OpticalDriveRoots(folder.HostPath() + "mounts"),
            (std::vector<std::string>{"Z:\\media\\cd rom\\", "Z:\\mnt\\dvd\\"}));
  EXPECT_TRUE(plat::OpticalDriveRoots(folder.HostPath() + "missing").empty());
}

}  // namespace

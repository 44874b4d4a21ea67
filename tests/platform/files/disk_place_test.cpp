// Where a path lies in a folder, told by what the folders are: the same folder through a bind
// mount, also one mounted inside itself, and names that do not exist yet below a folder that does.
#include "platform/files/disk_place.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/own_mounts.h"
#include "support/temp_game_folder.h"

namespace {

using plat::Placement;

struct Case {
  const char* path;
  const char* folder;
  Placement placement;
};

// The failed rows, one line each, with the folders relative to `base`.
std::string Failures(const test_support::TempGameFolder& base, std::initializer_list<Case> cases) {
  std::string failures;
  for (const Case& c : cases) {
    if (plat::PlacementOnDisk(base.HostPath() + c.path, base.HostPath() + c.folder) != c.placement) {
      failures += std::string(c.path) + " in " + c.folder + "\n";
    }
  }
  return failures;
}

TEST(DiskPlace, AFolderIsItselfThroughABindMountAndHoldsTheNamesBelowIt) {
  const test_support::TempGameFolder base;
  base.WriteFile("GAME/SUB/FILE.TXT", "");
  for (const char* folder : {"GAME/SELF", "GAME2", "MOUNT"}) base.MakeFolder(folder);
  EXPECT_EQ(Failures(base, {{"GAME", "GAME/", Placement::kSame},
                            {"GAME/SUB/FILE.TXT", "GAME", Placement::kBelow},
                            {"GAME/SUB/NEW/X", "GAME/SUB", Placement::kBelow},
                            {"GAME/new", "GAME/NEW", Placement::kSame},
                            {"GAME/NEW/X", "GAME/new", Placement::kBelow},
                            {"GAME/NEWER", "GAME/NEW", Placement::kApart},
                            {"GAME2", "GAME", Placement::kApart},
                            {"GAME", "GAME/SUB", Placement::kApart}}),
            "");
  // The game folder mounted elsewhere, and inside itself, where it is itself and ".." meets it again.
  const test_support::OwnMountsRun run = test_support::RunWithBindMounts(
      {{base.HostPath() + "GAME", base.HostPath() + "MOUNT"},
       {base.HostPath() + "GAME", base.HostPath() + "GAME/SELF"}},
      [&] {
        return Failures(base, {{"MOUNT", "GAME", Placement::kSame},
                               {"MOUNT/SUB/FILE.TXT", "GAME/SUB", Placement::kBelow},
                               {"GAME/SELF", "GAME", Placement::kSame},
                               {"GAME/SELF/SUB", "GAME/SUB", Placement::kSame},
                               {"GAME/SELF/SUB", "", Placement::kBelow},
                               {"MOUNT", "GAME2", Placement::kApart}});
      });
  if (!run.refused.empty()) GTEST_SKIP() << "no mount namespace of its own: " << run.refused;
  EXPECT_EQ(run.failures, "");
}

// Folders of two file systems may have one inode number (the roots of /proc and /sys have 1): the
// device tells them apart, and what lies in one lies not in the other.
TEST(DiskPlace, FoldersOfOneNumberOnTwoFileSystemsAreApart) {
  std::vector<std::pair<std::string, struct stat>> roots;
  for (const char* root : {"/proc", "/sys", "/dev", "/dev/pts", "/dev/shm", "/dev/mqueue", "/sys/fs/cgroup", "/run"}) {
    struct stat status {};
    if (stat(root, &status) == 0 && S_ISDIR(status.st_mode)) roots.emplace_back(root, status);
  }
  std::string first, second;
  for (std::size_t i = 0; i < roots.size() && first.empty(); ++i) {
    for (std::size_t j = i + 1; j < roots.size(); ++j) {
      if (roots[i].second.st_ino == roots[j].second.st_ino && roots[i].second.st_dev != roots[j].second.st_dev) {
        first = roots[i].first;
        second = roots[j].first;
        break;
      }
    }
  }
  ASSERT_FALSE(first.empty()) << "no two file systems here whose roots have one number";
  std::string within;
  for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(first)) {
    if (entry.is_directory() && !entry.is_symlink()) {
      within = entry.path().string();
      break;
    }
  }
  ASSERT_FALSE(within.empty()) << first << " holds no folder";
  EXPECT_EQ(plat::PlacementOnDisk(first, second), Placement::kApart) << first << " in " << second;
  EXPECT_EQ(plat::PlacementOnDisk(second, first), Placement::kApart) << second << " in " << first;
  EXPECT_EQ(plat::PlacementOnDisk(within, second), Placement::kApart) << within << " in " << second;
}

}  // namespace

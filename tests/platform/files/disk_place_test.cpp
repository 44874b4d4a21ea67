// Where a path lies in a folder, told by what the folders are: the same folder through a bind
// mount, also one mounted inside itself, and names that do not exist yet below a folder that does.
#include "platform/files/disk_place.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>

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

}  // namespace

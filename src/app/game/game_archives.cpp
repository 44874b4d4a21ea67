#include "app/game/game_archives.h"

#include <cstdint>
#include <cstdio>

namespace {

constexpr int32_t kGameArchiveId = -2;
constexpr int kArchiveAtFolder = 0;
constexpr int kArchiveAtItsName = 1;

}  // namespace

void MountGameArchives(CFileSystem& files) {
  if (files.MountArchive("PATCH.DPK", kGameArchiveId, kArchiveAtFolder, true, nullptr) == 0) {
    for (int number = 2;; ++number) {
      char name[32];
      std::snprintf(name, sizeof name, "PATCH%d.DPK", number);
      if (files.MountArchive(name, kGameArchiveId, kArchiveAtFolder, false, nullptr) != 0) break;
    }
  }
  files.MountArchive("SCRIPT.DPK", kGameArchiveId, kArchiveAtItsName, true, nullptr);
}

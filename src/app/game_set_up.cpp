// The game's set-up as far as the engine has it: the built-in decoders, the priority hooks, the
// base data folder of the command line and the data archives. The settings files, the
// application files and the save folder join with the set-up's issue; until then the defaults
// stand.
#include <cstdio>

#include "app/command_line.h"
#include "app/game_app.h"
#include "app/not_built.h"
#include "app/path.h"
#include "resource/dpk_decoder.h"
#include "resource/elg_decoder.h"

namespace {

constexpr int32_t kGameArchiveId = -2;
constexpr int kArchiveAtFolder = 0;
constexpr int kArchiveAtItsName = 1;

int LowerThroughApp() { return g_App != nullptr ? g_App->LowerGameThreadPriority() : -1; }
int RestoreThroughApp() { return g_App != nullptr ? g_App->RestoreGameThreadPriority() : 0; }

// The patches come first: "PATCH.DPK", then "PATCH2.DPK", "PATCH3.DPK" ... in front of it until
// one is missing, then the scripts' archive.
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

}  // namespace

int CGameApp::SetUp() {
  RegisterElgDecoder(image_loaders_);
  RegisterDpkDecoder(data_files_);
  g_LowerPriorityHook = &LowerThroughApp;
  g_RestorePriorityHook = &RestoreThroughApp;
  InitModuleFolder();
  if (const auto folder = DataFolderFromCommandLine(GetCommandLine()); folder && !folder->empty()) {
    SetDataBaseFolder(folder->c_str());
  }
  MountGameArchives(data_files_);
  ReportNotBuiltYet(
      "game set-up: plug-ins, sound decoders, built-in transitions and draw objects, the application files, the "
      "save folder and the settings files; the default settings are used");
  saved_frame_wait_mode_ = game_switches_[kSwitchFrameWaitMode];
  saved_high_res_ = game_switches_[kSwitchHighResCounter];
  return CFrameworkApp::SetUp();
}

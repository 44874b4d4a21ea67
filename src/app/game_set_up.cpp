// The game's set-up as far as the engine has it: the built-in decoders, the sound-decoder and Susie
// plug-ins, the priority hooks, the base data folder of the command line and the data archives. The
// settings files, the application files and the save folder join with the set-up's issue; until
// then the defaults stand.
#include "app/command_line.h"
#include "app/game_app.h"
#include "app/game_archives.h"
#include "base/app_hooks.h"
#include "base/not_built.h"
#include "base/path.h"
#include "resource/bmp_decoder.h"
#include "resource/dpk_decoder.h"
#include "resource/elg_decoder.h"
#include "resource/susie_plugin_host.h"

namespace {

// The program's folder of plug-in libraries, resolved while the base folder is still the
// program's own.
constexpr const char* kPluginFolder = "plugin";

int LowerThroughApp() { return g_App != nullptr ? g_App->LowerGameThreadPriority() : -1; }
int RestoreThroughApp() { return g_App != nullptr ? g_App->RestoreGameThreadPriority() : 0; }

}  // namespace

int CGameApp::SetUp() {
  RegisterElgDecoder(image_loaders_);
  RegisterBmpDecoder(image_loaders_);
  RegisterDpkDecoder(data_files_);
  InitModuleFolder();
  sound_decoders_.LoadDecoderPlugins(kPluginFolder);
  LoadSusiePlugins(kPluginFolder, SusieHosts{&image_loaders_, &data_files_});
  g_LowerPriorityHook = &LowerThroughApp;
  g_RestorePriorityHook = &RestoreThroughApp;
  if (const auto folder = DataFolderFromCommandLine(GetCommandLine()); folder && !folder->empty()) {
    SetDataBaseFolder(folder->c_str());
  }
  MountGameArchives(data_files_);
  ReportNotBuiltYet(
      "game set-up: the image-loader and archive-decoder plug-ins, the Ogg Vorbis decoder, built-in transitions and "
      "draw objects, the application files, the save folder and the settings files; the default settings are used");
  saved_frame_wait_mode_ = game_switches_[kSwitchFrameWaitMode];
  saved_high_res_ = game_switches_[kSwitchHighResCounter];
  requested_drawing_method_ = game_settings_[kSettingEnlargedDrawing];
  return CFrameworkApp::SetUp();
}

// The game's set-up: the built-in decoders, the base data folder of the command line, the data
// archives, the application files, the user's settings and save folder, the player's plug-ins, the
// game settings and the install information, in the order the rest of the start-up relies on.
#include <algorithm>

#include "app/framework/command_line.h"
#include "app/game/game_app.h"
#include "app/game/game_archives.h"
#include "base/files/file_services.h"
#include "base/files/path.h"
#include "base/files/script_code_rule.h"
#include "base/files/script_write_rule.h"
#include "base/files/user_folders.h"
#include "base/system/app_hooks.h"
#include "effects/table/builtin_effect_table.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/file_system_ops.h"
#include "platform/files/find_data.h"
#include "platform/files/host_path.h"
#include "platform/system/diagnostic_log.h"
#include "platform/window/monitors.h"
#include "resource/archives/dpk_decoder.h"
#include "resource/pictures/bmp_decoder.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/susie_plugin_host.h"
#include "sound/ogg_vorbis_module.h"

namespace {

int LowerThroughApp() { return g_App != nullptr ? g_App->LowerGameThreadPriority() : -1; }
int RestoreThroughApp() { return g_App != nullptr ? g_App->RestoreGameThreadPriority() : 0; }
bool PriorityControlOffInApp() {
  return g_App != nullptr && g_App->GetGameSwitches()[kSwitchPriorityHooksOff] != 0;
}

constexpr int kSetUpNoDefinition = 1;
constexpr int kSetUpNoInformation = 2;

// Why a file of the game could not be read, in plain words for the log: whether the game folder
// itself is missing, or only the file, and where the game was looked for.
std::string WhyGameFileIsMissing(const char* name, bool folder_given) {
  const std::string folder = g_ModuleFolder;
  const std::string shown = plat::ToHostPath(folder).value_or(plat::SjisToUtf8(folder));
  const std::optional<uint32_t> attributes = plat::GetFileAttributes(folder);
  if (!attributes || (*attributes & plat::kFileAttributeDirectory) == 0) {
    return "the game folder " + shown + " does not exist";
  }
  std::string file = plat::SjisToUtf8(name);
  std::replace(file.begin(), file.end(), '\\', '/');
  if (DataFileExists(name)) return file + " in the game folder " + shown + " cannot be read";
  if (!folder_given) {
    return "no game folder was given (start the program with /L<game folder>), and the program's folder " + shown +
           " holds no " + file;
  }
  return "the game folder " + shown + " holds no " + file;
}

}  // namespace

int CGameApp::SetUp() {
  RegisterDecoders();
  if (const auto folder = DataFolderFromCommandLine(GetCommandLine()); folder && !folder->empty()) {
    SetDataBaseFolder(folder->c_str());
  }
  MountGameArchives(data_files_);
  if (const int result = ReadApplicationFiles(); result != 0) return result;
  LogSaveFolderName();
  AppInfo& info = GetAppInfo();
  if (info.allow_cd_start != 0 && info.save_folder_kind == 1) info.save_folder_kind = 0;
  if (const int result = PrepareUserConfig(); result != 0) return result;
  if (const int result = ReadUserConfigFile(); result != 0) return result;
  // The file may hold any place: the window is placed on the desktop as it is now.
  if (const std::optional<plat::Rect> desktop = plat::DesktopBounds()) HoldWindowPlaceTo(GetWindowSettings(), *desktop);
  if (game_switches_[kSwitchFrameWaitMode] == kFrameWaitAutomatic) GetScreenManager().SetUse60Hz(true);
  saved_frame_wait_mode_ = game_switches_[kSwitchFrameWaitMode];
  saved_high_res_ = game_switches_[kSwitchHighResCounter];
  bool chosen = false;
  if (const int result = ChooseSaveFolder(chosen); result != 0) return result;
  SetUserFolderGameName(SaveFolderName());
  SetScriptWriteFolders(g_ModuleFolder, save_folder_);
  data_files_.SetLooseFileRule(MayScriptReadAt);
  LoadPlayerPlugins();
  if (info.save_folder_kind != kSaveFolderNone) {
    RemoveStaleReplacingFiles(save_folder_);
    // The settings file may lie apart from the saves, with litter of its own.
    if (const std::string folder = UserConfigFolder(); !folder.empty() && folder != save_folder_) {
      RemoveStaleReplacingFiles(folder);
    }
  }
  ReadGameSettings();
  if (game_settings_[kSettingStartInWindow] != 0 && GetWindowSettings()[kWinScreenMode] == kScreenModeFullScreen) {
    GetWindowSettings()[kWinScreenMode] = kScreenModeWindow;
  }
  ReadInstallInformationFile();
  if (chosen) SaveSettings(0);
  ApplyDrawingSettings();
  return 0;
}

void CGameApp::RegisterDecoders() {
  InitModuleFolder();
  RegisterElgDecoder(image_loaders_);
  RegisterBmpDecoder(image_loaders_);
  RegisterDpkDecoder(data_files_);
  if (RegisterOggVorbisModule(sound_decoders_) != 0) {
    plat::LogDiagnostic("set-up: the Ogg Vorbis sound decoder could not be registered");
  }
  g_LowerPriorityHook = &LowerThroughApp;
  g_RestorePriorityHook = &RestoreThroughApp;
  g_PriorityControlOffHook = &PriorityControlOffInApp;
  RegisterSetUpEffects(draw_objects_, transitions_);
}

// Once the game and save folders are known: the game's archives open with the built-in decoder
// alone, and the player's plug-ins load only when the program lies apart from both folders.
void CGameApp::LoadPlayerPlugins() {
  if (const std::string why = WhyNoNativeCodeLoads(); !why.empty()) {
    plat::LogDiagnostic(why);
    return;
  }
  const std::string folder = PlayerPluginFolder();
  image_loaders_.LoadLoaderPlugins(folder.c_str());
  data_files_.LoadArchiveDecoderPlugins(folder.c_str());
  sound_decoders_.LoadDecoderPlugins(folder.c_str());
  LoadSusiePlugins(folder.c_str(), SusieHosts{&image_loaders_, &data_files_});
}

int CGameApp::ReadApplicationFiles() {
  AppInfo& info = GetAppInfo();
  const bool folder_given = DataFolderFromCommandLine(GetCommandLine()).value_or("") != "";
  const auto definition = LoadDataFile("SCRIPT\\DL_APP.SYS");
  if (!definition || !ReadAppDefinition(*definition, info)) {
    plat::LogDiagnostic("the game cannot start: " + WhyGameFileIsMissing("SCRIPT\\DL_APP.SYS", folder_given));
    ShowMessageBox(plat::Utf8ToSjis("アプリケーション設定ファイルの読み込みに失敗"), kBoxStop, plat::kDesktopWindow);
    return kSetUpNoDefinition;
  }
  const auto information = LoadDataFile("SCRIPT\\DL_APP.INF");
  if (!information || !ReadAppInformation(*information, info)) {
    plat::LogDiagnostic("the game cannot start: " + WhyGameFileIsMissing("SCRIPT\\DL_APP.INF", folder_given));
    ShowMessageBox(plat::Utf8ToSjis("アプリケーション情報ファイルの読み込みに失敗"), kBoxStop, plat::kDesktopWindow);
    return kSetUpNoInformation;
  }
  return 0;
}

void CGameApp::ReadGameSettings() {
  const std::string path = save_folder_ + "APP_CFG.DAT";
  const auto file = LoadDataFile(path.c_str());
  if (file && !ReadGameSettingsFile(*file, game_settings_)) LogCutShort("the game settings file", path);
}

// This system keeps no uninstall records, so the install information stays 0 and the install
// source absent, as for a game whose record is missing.
void CGameApp::ReadInstallInformationFile() {
  install_information_ = 0;
  const auto file = LoadDataFile("SET_UP.IFG");
  if (!file) return;
  if (const auto install = ReadInstallInformation(*file)) {
    plat::LogDiagnostic("install information \"" + install->key_name + "\": no uninstall records on this system");
  }
}

void CGameApp::ApplyScreenDrawingSettings() {
  CScreenManager& screen = GetScreenManager();
  screen.SetScalingMethod(game_settings_[kSettingEnlargedDrawing]);
  screen.SetDirectDrawInWindowMode(game_settings_[kSettingDrawingUnenlarged] != 0);
  screen.SetPowerOfTwoTexture(game_settings_[kSettingPowerOfTwoTextures] != 0);
  screen.SetLinearFiltering(game_settings_[kSettingBilinearFiltering] != 0);
  screen.SetPresentThroughDc(game_settings_[kSettingTransferThroughDc] != 0);
}

// Both drawing choices start unset; this system composes the desktop itself, the case that
// picks 1 for both.
void CGameApp::ApplyDrawingSettings() {
  for (const std::size_t byte : {kSettingResolutionMethod, kSettingEnlargedDrawing}) {
    if (game_settings_[byte] == 0) game_settings_[byte] = 1;
  }
  GetAppInfo().display_list_switch = game_settings_[kSettingResolutionMethod] == 2 ? 1 : 0;
  ApplyScreenDrawingSettings();
  requested_drawing_method_ = game_settings_[kSettingEnlargedDrawing];
  set_up_screen_mode_ = GetWindowSettings()[kWinScreenMode];
}

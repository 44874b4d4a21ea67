// The user's settings file and the save folder: where they lie for each save-folder kind, the
// first-run copy of the game's template, and writing both settings files back. The save folder
// is the player's, never the game's: a folder the game's data names counts only when the player
// chose it here, a name from the game's settings is one plain folder name, a folder lies, its
// links followed, inside the folder its kind puts it in, and the root, the home folder and the
// system's folders are never a save folder.
#include <cstdio>
#include <optional>

#include "app/game/chosen_save_folders.h"
#include "app/game/earlier_data_folder.h"
#include "app/game/game_app.h"
#include "base/files/file_services.h"
#include "base/files/file_dialog.h"
#include "base/files/path.h"
#include "platform/system/diagnostic_log.h"
#include "platform/files/disk_place.h"
#include "platform/files/file_system_ops.h"
#include "platform/files/host_path.h"
#include "platform/files/resolved_path.h"
#include "platform/files/special_folders.h"
#include "platform/encoding/text_encoding.h"
#include "platform/window/system_message_box.h"

namespace {

constexpr const char* kUserConfigName = "USER.CFG";

constexpr int kSetUpNoUserConfig = 3;
constexpr int kSetUpNoSaveFolder = 4;
constexpr int kFolderCommonApplicationData = 0x23;

// Save-folder kinds; kind 3 keeps the user folder under the application data, as the kinds
// not named here do.
constexpr uint8_t kInDocuments = 0;
constexpr uint8_t kInGameFolder = 1;
constexpr uint8_t kChosenByUser = 2;
constexpr uint8_t kInCommonApplicationData = 4;

bool UsesUserFolder(uint8_t kind) { return kind <= kInCommonApplicationData && kind != kInGameFolder; }

bool FolderExists(const std::string& path) { return plat::GetFileAttributes(path).has_value(); }

std::string Shown(const std::string& folder) { return plat::ToHostPath(folder).value_or(plat::SjisToUtf8(folder)); }

// Whether `folder` lies, its links followed, inside `parent` (its links followed too), not being
// it, told by what the folders are, not by their names.
bool LiesInside(const std::string& folder, const std::string& parent) {
  const std::optional<std::string> place = plat::ResolveLinks(folder);
  const std::optional<std::string> parent_place = plat::ResolveLinks(parent);
  return place && parent_place && plat::PlacementOnDisk(*place, *parent_place) == plat::Placement::kBelow;
}

// The game settings file, the longest name the set-up writes into the settings and save folders.
constexpr std::string_view kGameSettingsName = "APP_CFG.DAT";

// Whether the engine can name the settings files in `folder`; when not, the log names the folder
// and the limit.
bool FitsPathLimit(const std::string& folder) {
  const std::size_t limit = kMaxPath - 1 - kGameSettingsName.size();
  if (folder.size() <= limit) return true;
  plat::LogDiagnostic("the game cannot start: its save folder " + Shown(folder) + " is " +
                      std::to_string(folder.size()) + " bytes long, and the engine's paths leave a save folder at most " +
                      std::to_string(limit) + " (a shorter save-folder name, or a data folder nearer the root, fits)");
  return false;
}

std::string WithBackslash(std::string path) {
  if (!EndsWithSeparator(path.c_str())) path += '\\';
  return path;
}

// A box's text in UTF-8 about `folder` (an engine path), which it names by its path on this
// machine, and the game `sjis_name`.
std::string FolderText(const char* utf8_format, const std::string& folder, const std::string& sjis_name = {}) {
  const std::string path = LoggedPath(folder);
  const std::string name = plat::SjisToUtf8(sjis_name);
  const int size = std::snprintf(nullptr, 0, utf8_format, path.c_str(), name.c_str());
  std::string text(static_cast<std::size_t>(size), '\0');
  std::snprintf(text.data(), text.size() + 1, utf8_format, path.c_str(), name.c_str());
  return text;
}

constexpr const char* kCreationFailed =
    "%s\nセーブデータ作成フォルダの作成に失敗しました。\nセーブデータの作成、アプリケーション設定の保存を行うことができません。";
constexpr const char* kAskSettingsData =
    "%s\nに、「%s」の環境設定データを作成します。\n作成する設定ファイルと同名のファイルが存在する場合、上書きされます。\nよろしいですか？";
constexpr const char* kAskSaveData =
    "%s\nに、「%s」のセーブデータを作成します。\n作成するセーブファイルと同名のファイルが存在する場合、\n上書きされる可能性があります。\nよろしいですか？";
constexpr const char* kMoveOrRename =
    "%s\nを移動させるか名前を変更して、セーブデータを保存できる状態にしてから、\n「%s」を再度、実行して下さい。";

}  // namespace

std::string CGameApp::SaveFolderName() {
  const AppInfo& info = GetAppInfo();
  return info.save_folder_name.empty() ? info.application_name + " SaveData" : info.save_folder_name;
}

void CGameApp::LogSaveFolderName() {
  const std::string name = SaveFolderName();
  if (const std::string plain = PlainFolderName(name); plain != name) {
    plat::LogDiagnostic("the game names its save folder \"" + plat::SjisToUtf8(name) +
                        "\", which is not one plain folder name: the folder is named \"" + plat::SjisToUtf8(plain) +
                        "\"");
  }
}

std::string CGameApp::UserFolder(int special_folder) {
  char base[kMaxPath] = {};
  if (!GetSpecialFolderPath(base, special_folder) || base[0] == '\0') return {};
  return WithBackslash(WithBackslash(base) + PlainFolderName(SaveFolderName()));
}

// Earlier versions kept a game's folder in the desktop's data folder itself, where a game named
// as one of the desktop's own folders got that folder. The saves kept there go on in the game's
// folder in the application data folder (see earlier_data_folder.h), and so does the player's
// choice of save folder recorded for the earlier settings file: the record lies in the player's
// settings folder, where no game writes, so the choice is the player's own.
std::optional<std::string> CGameApp::CarryOverEarlierDataFolder(const std::string& folder) {
  char data[kMaxPath] = {};
  if (folder != UserFolder(kFolderApplicationData) || !GetSpecialFolderPath(data, kFolderApplicationData)) {
    return std::nullopt;
  }
  const std::optional<std::string> desktop_data =
      plat::GetSpecialFolder(plat::SpecialFolder::kDesktopData, plat::FolderCreation::kNameOnly);
  if (!desktop_data) return std::nullopt;
  const std::string name = PlainFolderName(SaveFolderName());
  const std::string earlier = *desktop_data + name + '\\';
  if (!FolderExists(folder)) {
    if (std::optional<std::string> failed_at = CarryEarlierFolderOver(earlier, WithBackslash(data), name)) {
      return failed_at;
    }
  }
  MoveChosenSaveFolder(earlier + kUserConfigName, folder + kUserConfigName);
  return std::nullopt;
}

UserConfigBlocks CGameApp::UserConfigView() {
  return UserConfigBlocks{GetEnvironment(), GetWindowSettings(), game_switches_, &chosen_save_folder_};
}

// The user folder under the special folder of the kind, when it lies there once its links are
// followed; else the one under the application-data folder, said in the log; empty when neither
// can be had.
std::string CGameApp::SettingsUserFolder(uint8_t kind) {
  int special = kind == kInDocuments ? kFolderDocuments : kFolderApplicationData;
  std::string folder;
  if (kind == kInCommonApplicationData) folder = UserFolder(kFolderCommonApplicationData);
  if (!folder.empty()) special = kFolderCommonApplicationData;
  if (folder.empty()) folder = UserFolder(special);
  char base[kMaxPath] = {};
  if (folder.empty()) return folder;
  std::string why;
  if (!GetSpecialFolderPath(base, special) || !LiesInside(folder, base)) {
    why = "the user folder " + Shown(folder) + " leads out of the folder it is made in";
  } else if (plat::IsHiddenFolderOfHome(folder)) {
    // A documents folder that the user-dirs file puts among the home folder's hidden ones holds
    // other programs' settings, which a game named as such a program would overwrite.
    why = "the user folder " + Shown(folder) + " lies in a hidden folder of the home folder";
  } else if (const std::optional<std::string> desktop =
                 special == kFolderDocuments ? plat::OverlappingDesktopFolder(base) : std::nullopt) {
    // So does a documents folder that is, lies in or holds the desktop's own folders where the
    // XDG variables put them apart from the hidden ones, or the engine's data folder.
    why = "the user folder " + Shown(folder) + " is made in " + Shown(base) +
          ", which is, lies in or holds the desktop's own folder " + *desktop;
  } else {
    return folder;
  }
  if (special == kFolderApplicationData) {
    plat::LogDiagnostic(why + ", and no other folder for the settings may be used");
    return {};
  }
  folder = UserFolder(kFolderApplicationData);
  if (folder.empty() || !GetSpecialFolderPath(base, kFolderApplicationData) || !LiesInside(folder, base)) {
    plat::LogDiagnostic(why + ", and so does the one in the application data folder");
    return {};
  }
  plat::LogDiagnostic(why + ": the settings and saves go to " + Shown(folder));
  return folder;
}

int CGameApp::PrepareUserConfig() {
  const AppInfo& info = GetAppInfo();
  const uint8_t kind = info.save_folder_kind;
  if (!UsesUserFolder(kind)) {
    user_config_path_ = kUserConfigName;
    return 0;
  }
  const std::string folder = SettingsUserFolder(kind);
  if (folder.empty() || !FitsPathLimit(folder)) {
    if (folder.empty()) plat::LogDiagnostic("the folder for the user's settings cannot be had");
    ShowMessageBox(plat::Utf8ToSjis("環境設定ファイルの読み込みに失敗"), kBoxStop, plat::kDesktopWindow);
    return kSetUpNoUserConfig;
  }
  user_config_path_ = folder + kUserConfigName;
  // A copy that failed is tried again at the next start: no folder or template may stand in its
  // way. The box names what stood in the way of the copy.
  if (const std::optional<std::string> failed_at = CarryOverEarlierDataFolder(folder)) {
    ShowUtf8MessageBox(FolderText(kCreationFailed, *failed_at), kBoxStop, plat::kDesktopWindow);
    return kSetUpNoUserConfig;
  }
  if (!FolderExists(folder)) {
    if (!plat::CreateFolder(folder)) {
      ShowUtf8MessageBox(FolderText(kCreationFailed, folder), kBoxStop, plat::kDesktopWindow);
    }
  } else if (!FolderExists(user_config_path_)) {
    if (!AskUtf8YesNo(FolderText(kind == kChosenByUser ? kAskSettingsData : kAskSaveData, folder, info.application_name),
                      kBoxQuestion, plat::kDesktopWindow)) {
      ShowUtf8MessageBox(FolderText(kMoveOrRename, folder, info.application_name), kBoxExclamation,
                         plat::kDesktopWindow);
      return kSetUpNoUserConfig;
    }
  } else {
    return 0;
  }
  const std::string template_path = std::string(g_ModuleFolder) + kUserConfigName;
  if (plat::CopyFile(template_path, user_config_path_, true)) plat::MakeWritable(user_config_path_);
  return 0;
}

int CGameApp::ReadUserConfigFile() {
  const auto file = LoadDataFile(user_config_path_.c_str());
  if (!file) {
    ShowMessageBox(plat::Utf8ToSjis("環境設定ファイルの読み込みに失敗"), kBoxStop, plat::kDesktopWindow);
    return kSetUpNoUserConfig;
  }
  if (!ReadUserConfig(*file, UserConfigView())) LogCutShort("the user's settings file", user_config_path_);
  return 0;
}

int CGameApp::ChooseSaveFolder(bool& chosen) {
  if (const int result = FindSaveFolder(chosen); result != 0) return result;
  if (UsesUserFolder(GetAppInfo().save_folder_kind) && !FitsPathLimit(save_folder_)) {
    ShowMessageBox(plat::Utf8ToSjis("セーブデータ作成フォルダがないため、起動できません。"), kBoxExclamation,
                   plat::kDesktopWindow);
    return kSetUpNoSaveFolder;
  }
  if (!plat::IsRootHomeOrSystemFolder(save_folder_)) return 0;
  return UseDataSaveFolder("the save folder " + LoggedPath(save_folder_) +
                           " is the root, the home folder or a folder of the system");
}

int CGameApp::UseDataSaveFolder(const std::string& why) {
  const std::string folder = UserFolder(kFolderApplicationData);
  const bool usable = !folder.empty() && !plat::IsRootHomeOrSystemFolder(folder) && !CarryOverEarlierDataFolder(folder);
  char data[kMaxPath] = {};
  if (!usable || (!FolderExists(folder) && !plat::CreateFolders(folder)) ||
      !GetSpecialFolderPath(data, kFolderApplicationData) || !LiesInside(folder, data)) {
    plat::LogDiagnostic(why + ", and no folder for the saves can be made in the application data folder");
    ShowMessageBox(plat::Utf8ToSjis("セーブデータ作成フォルダがないため、起動できません。"), kBoxExclamation,
                   plat::kDesktopWindow);
    return kSetUpNoSaveFolder;
  }
  plat::LogDiagnostic(why + ": the saves go to " + LoggedPath(folder));
  save_folder_ = folder;
  return 0;
}

int CGameApp::FindSaveFolder(bool& chosen) {
  chosen = false;
  const uint8_t kind = GetAppInfo().save_folder_kind;
  if (UsesUserFolder(kind) && kind != kChosenByUser) {
    save_folder_ = user_config_path_.substr(0, user_config_path_.size() - std::string_view(kUserConfigName).size());
    return 0;
  }
  if (kind == kInGameFolder) {
    save_folder_ = std::string(g_ModuleFolder) + "SAVEDATA\\";
    // The game ships its folder: a SAVEDATA that is a link out of it is not the player's.
    if (!LiesInside(save_folder_, g_ModuleFolder)) {
      return UseDataSaveFolder("the save folder " + Shown(save_folder_) + " leads out of the game folder");
    }
    if (!FolderExists(save_folder_) && !plat::CreateFolder(save_folder_)) {
      ShowUtf8MessageBox(FolderText(kCreationFailed, save_folder_), kBoxStop, plat::kDesktopWindow);
    }
    return 0;
  }
  if (kind != kChosenByUser) {
    save_folder_ = g_ModuleFolder;
    return 0;
  }
  // The settings file comes from the game's template and lies where scripts may write it: the
  // folder it names is taken only when the player chose it here. One the player did not choose
  // (settings restored or copied, a template naming its author's folder) is as good as gone: the
  // player is asked for a new one.
  const bool named = !chosen_save_folder_.empty();
  const bool chosen_here = named && IsChosenSaveFolder(user_config_path_, chosen_save_folder_);
  if (named && !chosen_here) {
    plat::LogDiagnostic("the save folder " + LoggedPath(chosen_save_folder_) +
                        " that USER.CFG names was not chosen by the player on this machine: it is not used");
  }
  if (chosen_here && FolderExists(chosen_save_folder_)) {
    save_folder_ = WithBackslash(chosen_save_folder_);
    return 0;
  }
  const bool choose =
      !named ||
      AskUtf8YesNo(FolderText("%s\nセーブデータ作成フォルダが見つかりません。\n新しくセーブデータ作成フォルダを設定しますか？",
                              chosen_save_folder_),
                   kBoxQuestion, plat::kDesktopWindow);
  if (choose) {
    if (const std::optional<int> result = ChooseNewSaveFolder(chosen)) return *result;
  }
  ShowMessageBox(plat::Utf8ToSjis("セーブデータ作成フォルダがないため、起動できません。"), kBoxExclamation,
                 plat::kDesktopWindow);
  return kSetUpNoSaveFolder;
}

// The user picks the folder under which the game's save folder is made (or taken when it is
// there already, after asking): 0, or kSetUpNoSaveFolder after its message; none when nothing
// was chosen.
std::optional<int> CGameApp::ChooseNewSaveFolder(bool& chosen) {
  const AppInfo& info = GetAppInfo();
  char documents[kMaxPath] = {};
  GetSpecialFolderPath(documents, kFolderDocuments);
  const std::string parent = BrowseForFolder(
      plat::kDesktopWindow,
      plat::Utf8ToSjis("「") + info.application_name + plat::Utf8ToSjis("」\nセーブデータ作成フォルダの選択"), documents);
  if (parent.empty()) return std::nullopt;
  const std::string folder = WithBackslash(parent) + PlainFolderName(SaveFolderName());
  if (!FolderExists(folder)) {
    if (!plat::CreateFolder(folder)) {
      ShowUtf8MessageBox(FolderText(kCreationFailed, folder), kBoxStop, plat::kDesktopWindow);
      return kSetUpNoSaveFolder;
    }
  } else if (!AskUtf8YesNo(FolderText(kAskSaveData, folder, info.application_name), kBoxQuestion,
                           plat::kDesktopWindow)) {
    ShowUtf8MessageBox(FolderText(kMoveOrRename, folder, info.application_name), kBoxExclamation,
                       plat::kDesktopWindow);
    return kSetUpNoSaveFolder;
  }
  chosen_save_folder_ = folder;
  save_folder_ = WithBackslash(folder);
  chosen = true;
  RememberChosenSaveFolder(user_config_path_, chosen_save_folder_);
  return 0;
}

void CGameApp::SaveSettings(int code) {
  const AppInfo& info = GetAppInfo();
  if (code != 0 || info.save_folder_kind == kSaveFolderNone) return;
  game_switches_[kSwitchFrameWaitMode] = saved_frame_wait_mode_;
  game_switches_[kSwitchHighResCounter] = saved_high_res_;
  if (game_settings_[kSettingSaveWindowPosition] == 0) {
    WriteBlockInt32(GetWindowSettings(), kWinLeft, -1);
    WriteBlockInt32(GetWindowSettings(), kWinTop, -1);
  }
  const std::string folder = UserConfigFolder();
  const std::string user_config = folder + kUserConfigName;
  if (folder.empty() || SaveFileReplacing(user_config.c_str(), WriteUserConfig(UserConfigView())) != 0) {
    TellUnwrittenSettings("the settings file", user_config, "環境設定ファイルの保存に失敗");
    return;
  }
  const std::string game_settings = save_folder_ + std::string(kGameSettingsName);
  if (SaveFileReplacing(game_settings.c_str(), WriteGameSettingsFile(game_settings_)) != 0) {
    TellUnwrittenSettings("the game settings file", game_settings, "アプリケーション設定ファイルの保存に失敗");
  }
}

void CGameApp::TellUnwrittenSettings(const char* what, const std::string& path, const char* box_text) {
  if (unwritten_settings_told_.contains(path)) return;
  LogUnwrittenFile(what, path);
  unwritten_settings_told_.insert(path);
  ShowBox(plat::Utf8ToSjis(box_text), kBoxStop, plat::kDesktopWindow, nullptr, plat::MB_OK, false, !ending_session_);
}

std::string CGameApp::UserConfigFolder() {
  const AppInfo& info = GetAppInfo();
  if (UsesUserFolder(info.save_folder_kind) && info.save_folder_kind != kChosenByUser) return save_folder_;
  if (info.save_folder_kind == kInGameFolder) return g_ModuleFolder;
  return UserFolder(kFolderApplicationData);
}

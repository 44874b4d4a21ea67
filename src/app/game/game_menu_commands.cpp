// The game's menu commands and the menu groups that the scripts permit.
// In a window no menu bar exists: the commands come from the system keys, the in-game menus, the
// full-screen menu and the game thread.
#include <string>

#include "app/framework/modal_state_scope.h"
#include "app/framework/private_messages.h"
#include "app/game/game_app.h"
#include "base/threads/lock_guard.h"
#include "platform/encoding/text_encoding.h"

namespace {

constexpr uint32_t kCmdBackToTitle = 40002;
constexpr uint32_t kCmdClose = 40003;
constexpr uint32_t kCmdVersion = 40004;
constexpr uint32_t kCmdSettings = 40005;
constexpr uint32_t kCmdSettingsToo = 40006;
constexpr uint32_t kCmdSave = 40007;
constexpr uint32_t kCmdLoad = 40008;

// The menu in the order it shows, each item with the group that permits it (-1 always).
struct MenuEntry {
  const char* label;  // UTF-8
  uint32_t command;
  int group;
};
constexpr MenuEntry kMenuEntries[] = {
    {"セーブ", kCmdSave, CGameApp::kMenuSave},
    {"ロード", kCmdLoad, CGameApp::kMenuLoad},
    {"環境設定", kCmdSettings, CGameApp::kMenuSettings},
    {"ウィンドウ表示", kCmdScreenModeToggle, CGameApp::kMenuScreenModeToggle},
    {"タイトルに戻る", kCmdBackToTitle, CGameApp::kMenuBackToTitle},
    {"バージョン情報", kCmdVersion, -1},
    {"終了", kCmdClose, -1},
};

}  // namespace

int CGameApp::OnMenuCommand(MessageBlock& block) {
  const uint32_t command = block.wparam & 0xFFFF;
  switch (command) {
    case kCmdBackToTitle:
      BackToTitle();
      break;
    case kCmdClose:
      GetMainWindow().SendMessage(plat::WM_CLOSE, 0, 0);
      break;
    case kCmdScreenModeToggle:
      ToggleScreenMode();
      break;
    case kCmdSoundDevice:
      return OnSoundDeviceCommand(block);
    case kCmdVersion:
      ShowVersionDialog();
      break;
    case kCmdSettings:
    case kCmdSettingsToo:
      ShowConfigSheet();
      break;
    case kCmdOpenFileDialog:
    case kCmdSaveFileDialog:
      if (auto* request = dynamic_cast<FileDialogRequestBlock*>(block.payload)) {
        ShowFileDialog(*request, command == kCmdSaveFileDialog);
      }
      break;
    case kCmdFolderDialog:
      if (auto* request = dynamic_cast<FolderDialogRequestBlock*>(block.payload)) ShowFolderDialog(*request);
      break;
    case kCmdTextInputDialog:
      if (auto* request = dynamic_cast<TextInputRequestBlock*>(block.payload)) {
        request->result = ShowTextInputDialog(request->settings);
      }
      break;
    default:
      break;
  }
  return 0;
}

std::vector<plat::MenuOverlayItem> CGameApp::MenuItems() const {
  std::vector<plat::MenuOverlayItem> items;
  for (const MenuEntry& entry : kMenuEntries) {
    bool enabled = entry.group < 0 || IsMenuPermitted(entry.group);
    if (entry.command == kCmdScreenModeToggle) enabled = enabled && GetAppInfo().allowed_screen_modes != kWindowModeOnly;
    items.push_back(plat::MenuOverlayItem{entry.label, entry.command, enabled});
  }
  return items;
}

void CGameApp::BackToTitle() {
  if (modal_state_ != 0 || !IsMenuPermitted(kMenuBackToTitle)) return;
  bool yes = false;
  {
    ModalStateScope asking(modal_state_, kAskingBackToTitle);
    yes = AskYesNo(plat::Utf8ToSjis("タイトルに戻ります。\nよろしいですか？"), kBoxInformation);
    // The scripts may have withdrawn the permission while the player was asked.
    if (yes && !IsMenuPermitted(kMenuBackToTitle)) {
      ShowMessageBox(plat::Utf8ToSjis("現在の状態でタイトルに戻ることは出来ません。\r\n"
                                      "行える状態になってから再度、実行して下さい。"),
                     kBoxInformation);
      yes = false;
    }
  }
  if (yes) SetRestart(1);
}

void CGameApp::ToggleScreenMode() {
  if (GetAppInfo().allowed_screen_modes == kWindowModeOnly || !IsMenuPermitted(kMenuScreenModeToggle)) return;
  {
    CLockGuard display(GetDisplayLock());
    WindowBlock& window = GetWindowSettings();
    const uint8_t old_mode = window[kWinScreenMode];
    const uint8_t old_depth = window[kWinColourDepth];
    const uint8_t mode = old_mode == kScreenModeWindow ? kScreenModeFullScreen : kScreenModeWindow;
    CScreenManager& screen = GetScreenManager();
    uint8_t depth = old_depth;
    if (mode == kScreenModeFullScreen) {
      if (GetMonitorForWindow(&GetMainWindow(), 0) != 0) {
        ShowMessageBox(plat::Utf8ToSjis("画面モード変更に失敗"), kBoxStop);
        return;
      }
      depth = screen.GetFullScreenDepth();
    }
    const uint8_t old_scaling = screen.GetScalingMethod();
    if (ChangeScreenMode(mode, depth, 1) != 0) {
      window[kWinScreenMode] = old_mode;
      window[kWinColourDepth] = old_depth;
      SetFatalError(kFatalModeSwitchFailed);
    } else if (screen.GetScalingMethod() != old_scaling) {
      // The display fell back to another way of drawing an enlarged screen: keep that choice.
      game_settings_[kSettingEnlargedDrawing] = 2;
      if (mode == kScreenModeWindow) game_settings_[kSettingDrawingUnenlarged] = 0;
    }
  }
  ApplyFrameRate(-1);
}

int CGameApp::SetMenuState(int group, bool enabled) {
  if (group < 0 || group > kMenuScreenModeToggle) return -1;
  // Without a menu bar there is nothing to gray: the commands read the permissions.
  menu_permissions_[static_cast<std::size_t>(group)] = enabled ? 1 : 0;
  return 0;
}

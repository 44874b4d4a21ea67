// An application for the built-ins and the novel frame, installed as g_AppServices while it
// lives: settings blocks to set, a cursor that records where it is put, and the window messages
// it was handed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/settings/framework_settings.h"
#include "base/system/app_services.h"
#include "builtins/voice_ducking.h"
#include "platform/window/system_message_box.h"
#include "ui/fonts/font_list.h"

namespace test_support {

class FakeAppServices : public IAppServices, public CursorMotionHost {
 public:
  struct WindowMessage {
    uint32_t message;
    uint32_t wparam;
    bool sent;  // sent from the game thread rather than posted
    bool operator==(const WindowMessage&) const = default;
  };

  FakeAppServices() { g_AppServices = this; }
  ~FakeAppServices() override { g_AppServices = nullptr; }

  WindowBlock& WindowSettingBytes() override { return window; }
  GameSwitches& SwitchBytes() override { return switches; }
  CFramePacer& Pacer() override { return pacer; }
  int SetMenuGroup(int group, bool enabled) override {
    if (group < 0 || group >= static_cast<int>(menu_groups.size())) return -1;
    menu_groups[static_cast<std::size_t>(group)] = enabled;
    return 0;
  }
  bool MenuGroupPermitted(int group) const override { return menu_groups[static_cast<std::size_t>(group)]; }
  uint8_t AllowedScreenModes() const override { return allowed_screen_modes; }
  uint8_t InstallInformation() const override { return 0; }
  void SwitchBackFormatRefresh(bool) override {}
  void SwitchZeroSleep(bool) override {}
  CursorMotionHost& CursorHost() override { return *this; }
  plat::Point CursorInGame() const override { return in_game; }
  plat::Point GameScreenSize() const override { return game_screen; }
  uint8_t WindowBehaviourBits() const override { return behaviour; }
  uint8_t VoiceDuckingSetting() const override { return ducking; }
  int32_t RequestSoundDeviceSetUp(std::array<uint32_t, 3>& words) override {
    sound_device_requests.push_back(words);
    words[0] = static_cast<uint32_t>(sound_device_status);
    return sound_device_status;
  }
  // Shown through the platform's box; the check box is left as `sound_card_switch_off` says.
  void ShowSoundCardMessage(uint8_t* switch_off) override {
    plat::ShowMessageBox({0, "sound card", "Kestrune", plat::MB_OK});
    if (switch_off != nullptr) *switch_off = sound_card_switch_off;
  }
  bool LoadSoundsWholeSetting() const override { return load_sounds_whole; }
  void PostWindowMessage(uint32_t message, uint32_t wparam) override { messages.push_back({message, wparam, false}); }
  void SendWindowMessage(uint32_t message, uint32_t wparam) override { messages.push_back({message, wparam, true}); }
  // Shown through the platform's box, which the tests answer with scripted answers.
  void ShowStopMessage(const std::string& text) override {
    plat::ShowMessageBox({0, text, "Kestrune", plat::MB_OK | plat::MB_ICONSTOP});
  }
  // Shown through the platform's box, so that scripted answers reach the built-ins.
  uint8_t RequestScriptMessageBox(int box_type, const std::string& text, int icon_kind, const char* title) override {
    static constexpr uint32_t kButtons[] = {plat::MB_OK, plat::MB_YESNO, plat::MB_OKCANCEL};
    icon_kinds.push_back(icon_kind);
    const uint32_t buttons = box_type >= 0 && box_type <= 2 ? kButtons[box_type] : plat::MB_OK;
    const int answer = plat::ShowMessageBox({0, text, title != nullptr ? title : "Kestrune", buttons});
    return answer == plat::IDYES || answer == plat::IDOK ? 1 : 0;
  }
  uint8_t RequestScriptMessageDialog(const std::string& text, uint32_t kind, const char* title) override {
    dialogs.push_back({text, kind, title != nullptr ? title : ""});
    return dialog_answer;
  }
  bool ReturnToTitlePending() const override { return return_to_title; }
  bool SettingsChangedMark() const override { return settings_changed; }
  void ClearSettingsChangedMark() override { settings_changed = false; }
  uint8_t CursorEdgeZone() const override { return edge_zone; }
  void SetCursorVisible(bool show) override { cursor_visible = show; }
  // The dialogs answer with what the test put here and record what they were asked.
  void SetTextInputParameters(const ScriptTextInputParameters& parameters) override { text_input = parameters; }
  std::string InputText() override { return entered_text; }
  int32_t ChooseFile(ScriptFileChoice& choice, bool save) override {
    asked_file = choice;
    asked_save = save;
    if (chosen_file.empty()) return 0;
    choice.file = chosen_file;
    choice.file_title = chosen_file.substr(chosen_file.rfind('\\') + 1);
    return 1;
  }
  std::string ChooseFolder(const std::string& title, const std::string& initial_folder) override {
    asked_file = {title, {}, {}, initial_folder, {}};
    return chosen_folder;
  }
  CDropFiles& DroppedFiles() override { return dropped; }
  plat::WindowId MainWindowId() const override { return 0; }
  void ApplyFrameRate(int32_t frames_per_second) override { applied_rates.push_back(frames_per_second); }
  int BeginNoWait() override { return ++no_wait; }
  int EndNoWait() override { return --no_wait; }
  int SuspendHighResTimer() override { return ++high_res_suspension; }
  int ResumeHighResTimer() override { return --high_res_suspension; }
  int LowerGameThreadPriority() override { return ++priority_lowered; }
  int RestoreGameThreadPriority() override { return --priority_lowered; }
  void AllowScreenModeChange(bool allowed) override { screen_mode_change_allowed = allowed; }
  void SetKeyboardHook(uint8_t bits, bool install) override {
    keyboard_hook_bits = bits;
    keyboard_hook = install;
  }
  bool TakeScreenModeSwitched() override { return std::exchange(screen_mode_switched, false); }
  uint32_t SelectFullScreenDisplay(uint8_t depth) override {
    selected_depths.push_back(depth);
    return display_refused ? 1 : 0;
  }
  int32_t RequestScreenMode(uint8_t mode, uint8_t depth) override {
    requested_modes.push_back({mode, depth});
    return switch_answer;
  }
  void MarkModeSwitchFailed() override { mode_switch_failed = true; }
  uint8_t ModalState() const override { return modal_state; }
  std::string SaveFolderText() override { return save_folder; }
  void PutCursorInGame(int32_t x, int32_t y) override { in_game = {x, y}; }
  CCriticalSection& MovieLock() override { return movie_lock; }
  void SetMovieState(uint8_t state) override { movie_state = state; }
  bool UsesMovieSprite() const override { return movie_sprite; }
  CFontList& InstalledFonts() override { return installed_fonts; }

  bool IsActive() const override { return true; }
  plat::Point GameToScreen(plat::Point point) const override { return point; }
  plat::Point GetCursorPos() const override { return cursor; }
  void SetCursorPos(plat::Point point) override { cursor = point; }

  WindowBlock window = DefaultWindowBlock();
  GameSwitches switches = DefaultGameSwitches();
  CFramePacer pacer{60, false};
  std::array<bool, 5> menu_groups{};
  uint8_t allowed_screen_modes = 2;
  plat::Point in_game{10, 10};
  plat::Point game_screen{640, 480};
  plat::Point cursor{0, 0};
  uint8_t behaviour = 0;
  uint8_t ducking = kDuckingSettingDefault;
  std::vector<std::array<uint32_t, 3>> sound_device_requests;
  int32_t sound_device_status = 0;
  uint8_t sound_card_switch_off = 0;
  bool load_sounds_whole = false;
  std::vector<WindowMessage> messages;
  struct Dialog {
    std::string text;
    uint32_t kind;
    std::string title;
    bool operator==(const Dialog&) const = default;
  };
  std::vector<int> icon_kinds;
  std::vector<Dialog> dialogs;
  uint8_t dialog_answer = 0;
  bool return_to_title = false;
  bool settings_changed = false;
  uint8_t edge_zone = 0;
  bool cursor_visible = true;
  ScriptTextInputParameters text_input;
  std::string entered_text;
  ScriptFileChoice asked_file;
  bool asked_save = false;
  std::string chosen_file;
  std::string chosen_folder;
  CDropFiles dropped;
  std::vector<int32_t> applied_rates;
  int no_wait = 0;
  int high_res_suspension = 0;
  int priority_lowered = 0;
  bool screen_mode_change_allowed = false;
  uint8_t keyboard_hook_bits = 0;
  bool keyboard_hook = false;
  bool screen_mode_switched = false;
  std::vector<uint8_t> selected_depths;
  bool display_refused = false;
  std::vector<std::pair<uint8_t, uint8_t>> requested_modes;
  int32_t switch_answer = 0;
  bool mode_switch_failed = false;
  uint8_t modal_state = 0;
  std::string save_folder;
  CCriticalSection movie_lock;
  uint8_t movie_state = 0;
  bool movie_sprite = false;
  CFontList installed_fonts;
};

}  // namespace test_support

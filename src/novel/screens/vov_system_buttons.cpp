// The system commands of the novel frame: the ten buttons of the message window, the system menu
// and the return to the title, chosen by a click or polled from the pointer and the keys; and the
// select screens' twin of the handler. Quick saves go to the quick group, a quick load stores the
// save's path and ends the page, so that the calling script loads it outside the run.
#include <array>
#include <string>
#include <vector>

#include "base/input/game_key_bindings.h"
#include "base/input/input_bindings.h"
#include "base/input/input_manager.h"
#include "base/input/player_input.h"
#include "base/settings/game_settings.h"
#include "base/system/app_services.h"
#include "base/time/millisecond_clock.h"
#include "novel/frame/vov_frame.h"
#include "novel/screens/system_command_tables.h"
#include "novel/screens/vov_system_prompts.h"
#include "platform/encoding/text_encoding.h"
#include "platform/system/diagnostic_log.h"
#include "script/game_host_access.h"
#include "sound/sound_channel_manager.h"
#include "ui/dialogs/game_message_box.h"
#include "ui/gui/gui_window.h"

namespace {

using vov_system::ActionPressed;
using vov_system::Ask;
using vov_system::AskUtf8;
using vov_system::kClickChannel;
using vov_system::KeyDown;
using vov_system::KeyPressed;
using vov_system::MousePressed;
using vov_system::Permitted;
using vov_system::PlaySystemSound;
using vov_system::Setting;

constexpr std::int32_t kQuickGroup = 11;
constexpr std::uint16_t kAutoTimer = 1;
constexpr std::size_t kAutoButton = 6;
constexpr std::int32_t kLastCommand = 11;
constexpr std::int32_t kMenuCommand = 10;
constexpr std::int32_t kFullMenu = 0;
constexpr std::int32_t kShortMenu = 1;
constexpr std::int32_t kBottomEdgeZone = 2;
// The right button's setting that keeps a right click from ending auto mode.
constexpr std::uint8_t kRightClickKeepsAuto = 3;

constexpr std::uint32_t kFirstCommandAction = kActionAutoPlay;
// F1 to F5 choose the quick slots 0 to 4 unless an Alt key is down.
constexpr std::uint32_t kFirstFunctionKey = 0x3B;
constexpr std::int32_t kQuickSlots = 5;
constexpr std::uint32_t kLeftAlt = 0x38;
constexpr std::uint32_t kRightAlt = 0xB8;
constexpr std::array<const char*, kQuickSlots> kSlotDigits = {"１", "２", "３", "４", "５"};


// The save/load script's words: the mode pair, the result, the configuration choice and the
// change flags, as configuration words 2 to 5 name them.
constexpr std::size_t kModeWords = 2;
constexpr std::size_t kResultWord = 3;
constexpr std::size_t kConfigChoiceWord = 4;
constexpr std::size_t kChangeFlagWords = 5;
constexpr std::int32_t kScriptLoadedAGame = 2;

// A Shift-JIS text from the UTF-8 pattern, "%s" replaced by the slot's full-width digit.
std::string SlotText(const char* pattern, std::int32_t slot) {
  std::string text = plat::Utf8ToSjis(pattern);
  const std::size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, plat::Utf8ToSjis(kSlotDigits[static_cast<std::size_t>(slot)]));
  return text;
}

void Notice(const std::string& sjis_text) { g_MessageBox.ShowNotice(sjis_text.c_str()); }

// The notice of a quick slot (slot_text) or of the rotating one (quick_text).
void SlotNotice(std::int32_t slot, const char* slot_text, const char* quick_text) {
  Notice(slot >= 0 ? SlotText(slot_text, slot) : plat::Utf8ToSjis(quick_text));
}

}  // namespace

void CVovFrame::SetPendingRequest(std::int32_t request) {
  static constexpr std::array<std::int32_t, 4> kResults = {0, kCommandBackToTitle, kCommandLoaded,
                                                           kCommandBackToChoice};
  pending_request_ = request;
  pending_screen_result_ = request >= 1 && request <= 3 ? kResults[static_cast<std::size_t>(request)] : 0;
}

CVovFrame::PolledCommand CVovFrame::PollCommandKeys() const {
  PolledCommand chosen;
  if (g_KeyBindings != nullptr) {
    chosen.command = SystemCommandOfAction(g_KeyBindings->FindActionPressed(kFirstCommandAction, 0));
    if (chosen.command != kNoSystemCommand) return chosen;
  }
  for (std::int32_t slot = 0; slot < kQuickSlots; ++slot) {
    const std::uint32_t key = kFirstFunctionKey + static_cast<std::uint32_t>(slot);
    if (!KeyPressed(key)) continue;
    // The modifiers as the key found them: a fast chord may be let go before the frame reads it.
    if (g_Keyboard->WasDownAtPress(kLeftAlt, key) || g_Keyboard->WasDownAtPress(kRightAlt, key)) return chosen;
    chosen.slot = slot;
    chosen.command = IsSkipKeyDownAtPress(key) ? 0 : 1;
    break;
  }
  return chosen;
}

CVovFrame::PolledCommand CVovFrame::PollSystemCommand() const {
  PolledCommand chosen;
  if (Setting(kSettingBottomEdgeHidesWindow) && g_AppServices != nullptr &&
      g_AppServices->CursorEdgeZone() == kBottomEdgeZone) {
    chosen.command = 9;
    chosen.by_pointer = true;
    return chosen;
  }
  if (auto_mode_ && MousePressed(kMouseRight) && !Setting(kSettingRightClickKeepsAutoOn) &&
      CurrentGameSettings()[kSettingRightButtonChoice] != kRightClickKeepsAuto) {
    chosen.command = static_cast<std::int32_t>(kAutoButton);
    return chosen;
  }
  return PollCommandKeys();
}

std::int32_t CVovFrame::HandleSystemButton(std::int32_t button) {
  PolledCommand chosen;
  if (button < 0) {
    chosen = PollSystemCommand();
  } else {
    chosen.command = button;
  }
  if (chosen.command < 0 || chosen.command > kLastCommand) return kCommandNone;
  if (chosen.command < static_cast<std::int32_t>(kButtonCount) &&
      ButtonState(static_cast<std::size_t>(chosen.command)) == kButtonDisabled) {
    return kCommandNone;
  }
  return RunSystemCommand(chosen);
}

std::int32_t CVovFrame::RunSystemCommand(const PolledCommand& chosen) {
  switch (chosen.command) {
    case 0:
      return QuickSave(chosen.slot);
    case 1:
      return QuickLoad(chosen.slot);
    case 2:
      return ConfirmBackToChoice();
    case 3:
    case 4:
      return RunSaveLoadScript(chosen.command == 3, true);
    case 5:
      return ToggleSkipMode();
    case 6:
      return ToggleAutoMode();
    case 7:
      return ShowTextHistory(true);
    case 8:
      return RunConfigScript(true);
    case 9:
      return HideMessageWindow(chosen.by_pointer);
    case kMenuCommand:
      return OpenSystemMenu();
    default:
      return ConfirmBackToTitle();
  }
}

std::int32_t CVovFrame::HandleSelectScreenButton(std::int32_t command) {
  PolledCommand chosen;
  if (command >= 0) {
    chosen.command = command;
  } else {
    chosen = PollCommandKeys();
    chosen.command = SelectCommandOfButton(chosen.command);
  }
  if (chosen.command < 0 || chosen.command >= kSelectCommands) return kCommandNone;
  const std::size_t button = ButtonOfSelectCommand(chosen.command);
  if (button < kButtonCount && ButtonState(button) == kButtonDisabled) return kCommandNone;

  std::int32_t result = kCommandNone;
  switch (chosen.command) {
    case 0:
    case 1:
    case 2:
      result = RunSystemCommand(chosen);
      break;
    case 3:
    case 4:
      result = RunSaveLoadScript(chosen.command == 3, false);
      break;
    case 5:
      result = ShowTextHistory(false);
      break;
    case 6:
      result = RunConfigScript(false);
      break;
    case 7: {
      // The short menu's results 10, 12, 13 and 14 run the screen's history, save, load and
      // configuration; the others come back as they are.
      result = RunSystemMenu(kShortMenu);
      if (result == 10) result = ShowTextHistory(false);
      if (result == 12 || result == 13) result = RunSaveLoadScript(result == 12, false);
      if (result == 14) result = RunConfigScript(false);
      break;
    }
    default:
      result = ConfirmBackToTitle();
      break;
  }
  // Back on the screen, its bar starts without focus or hover.
  if ((result == kCommandDone || result == kCommandHistoryClosed) && root_window_ != nullptr) root_window_->Reset();
  return result;
}

std::int32_t CVovFrame::QuickSave(std::int32_t slot) {
  if (g_GameHost == nullptr || g_GameHost->SaveGame(kQuickGroup, slot) != 0) {
    Notice(plat::Utf8ToSjis("クイックセーブに失敗しました"));
  } else {
    SlotNotice(slot, "スロット%sにセーブしました", "クイックセーブを実行しました");
  }
  return kCommandDone;
}

std::int32_t CVovFrame::QuickLoad(std::int32_t slot) {
  auto missing = [slot] {
    SlotNotice(slot, "スロット%sにデータは存在しません", "クイックセーブデータは存在しません");
    return kCommandDone;
  };
  if (g_GameHost == nullptr) return missing();
  std::string path;
  if (g_GameHost->GetSaveFilePath(path, kQuickGroup, slot) != 0) return missing();
  // The run ends only for a save that will load: a damaged one would lose the story in progress.
  if (g_GameHost->CheckSaveFile(path) != 0) {
    NoticeLoadFailed(slot);
    return kCommandDone;
  }
  const bool confirm = !Setting(kSettingQuickLoadUnasked);
  if (confirm) {
    std::string stamp;
    if (g_GameHost->FormatSaveTimeStamp(&stamp, kQuickGroup, slot, 1) != 0) return missing();
    ShowHiddenCursor();
    const std::int32_t answer = Ask(stamp + plat::Utf8ToSjis("をロードしますか？"));
    if (answer < 0) return kCommandAppEnding;
    if (answer == 0) return kCommandDone;
  }
  g_GameHost->SetPendingLoadPath(path);
  if (!confirm) SlotNotice(slot, "スロット%sからロードしました", "クイックロードを実行しました");
  SetPendingRequest(kRequestLoad);
  return kCommandLoaded;
}

void CVovFrame::LogSystemScriptEnd(const char* script, std::int32_t served) const {
  const std::string name = std::string("\"") + script + "\"";
  if (served == kServeEnded) {
    plat::LogDiagnostic("the novel frame ends: the application is ending while the script " + name + " runs");
  } else {
    plat::LogDiagnostic("the novel frame ends: the script " + name + " could not run");
  }
}

void CVovFrame::NoticeLoadFailed(std::int32_t slot) {
  SlotNotice(slot, "スロット%sからのロードに失敗しました", "クイックセーブデータからのロードに失敗しました");
}

std::int32_t CVovFrame::ConfirmBackToChoice() {
  if (!Setting(kSettingBackToChoiceUnasked)) {
    const std::int32_t answer = AskUtf8("前の選択肢に戻ります。\nよろしいですか？");
    if (answer < 0) return kCommandAppEnding;
    if (answer == 0) return kCommandDone;
  }
  SetPendingRequest(kRequestBackToChoice);
  return kCommandBackToChoice;
}

std::int32_t CVovFrame::RunSaveLoadScript(bool save, bool paused) {
  if (paused) BeginSystemPause();
  if (std::int32_t* mode = ConfiguredWord(kModeWords)) *mode = save ? 1 : 0;
  if (const std::int32_t served = RunSystemScript("SaveLoad"); served != kServeDone) {
    LogSystemScriptEnd("SaveLoad", served);
    return kCommandAppEnding;
  }
  const std::int32_t* result = ConfiguredWord(kResultWord);
  if (result != nullptr && *result == kScriptLoadedAGame) {
    SetPendingRequest(kRequestLoad);
    return kCommandLoaded;
  }
  if (paused) EndSystemPause();
  return kCommandDone;
}

std::int32_t CVovFrame::ToggleSkipMode() {
  PlaySystemSound(kClickChannel);
  if (skip_mode_) {
    StopSkip();
    SetButtonState(kSkipButton, kButtonEnabled);
    return kCommandSkipOff;
  }
  skip_mode_ = true;
  SetButtonState(kSkipButton, kButtonLatched);
  return kCommandSkipOn;
}

std::int32_t CVovFrame::ToggleAutoMode() {
  PlaySystemSound(kClickChannel);
  SetAutoMode(!auto_mode_);
  return kCommandDone;
}

std::int32_t CVovFrame::ShowTextHistory(bool paused) {
  if (paused) BeginSystemPause();
  if (RunTextHistory() < 0) return kCommandAppEnding;
  if (paused) EndSystemPause();
  return kCommandHistoryClosed;
}

bool CVovFrame::ShowWindowAroundScreen(bool show) {
  constexpr std::uint32_t kScreenWindowFade = 100;
  if (!Setting(kSettingScreenEffectsOff)) return FadeMessageWindow(show, kScreenWindowFade, false);
  ShowMessageWindow(show, false);
  return true;
}

std::int32_t CVovFrame::RunConfigScript(bool whole) {
  // The select screens run it without the pause clock.
  if (whole) BeginSystemPause();
  const bool window_shown = message_window_shown_;
  if (whole && !ShowWindowAroundScreen(false)) return kCommandAppEnding;
  if (std::int32_t* mode = ConfiguredWord(kModeWords)) *mode = 0;
  if (std::int32_t* second = ConfiguredWord(kModeWords, 1)) *second = 1;
  const std::int32_t* choice = ConfiguredWord(kConfigChoiceWord);
  const char* script = choice != nullptr && *choice == 1 ? "Config2" : "Config1";
  const std::uint8_t skip_setting = CurrentGameSettings()[kSettingUnreadTextUnskippable];
  if (const std::int32_t served = RunSystemScript(script); served != kServeDone) {
    LogSystemScriptEnd(script, served);
    return kCommandAppEnding;
  }
  if (whole) {
    const std::int32_t* first_flag = ConfiguredWord(kChangeFlagWords);
    const std::int32_t* second_flag = ConfiguredWord(kChangeFlagWords, 1);
    if ((first_flag != nullptr && *first_flag != 0) || (second_flag != nullptr && *second_flag != 0)) {
      RelayOutMessageWindow();
    }
  }
  const std::uint8_t skip_now = CurrentGameSettings()[kSettingUnreadTextUnskippable];
  if (skip_now != skip_setting) {
    StopSkip();
    SetButtonState(kSkipButton, skip_now == 0 || line_read_ ? kButtonEnabled : kButtonDisabled);
  }
  if (whole && window_shown && !ShowWindowAroundScreen(true)) return kCommandAppEnding;
  if (whole) EndSystemPause();
  return kCommandDone;
}

// The page's message stays in the window: the window starts again with the new settings and
// draws it at once.
void CVovFrame::RelayOutMessageWindow() {
  const std::span<const std::uint8_t> shown = message_window_.text();
  const std::vector<std::uint8_t> message(shown.begin(), shown.end());
  const std::string speaker = message_window_.name();
  const std::string voice = message_window_.voice_name();
  ApplyUserSettings(true, true, true, false, false);
  message_window_.Refresh(true);
  if (!message.empty()) ShowMessageAtOnce(message, speaker, voice);
}

std::int32_t CVovFrame::HideMessageWindow(bool by_pointer) {
  if (!by_pointer) PlaySystemSound(kClickChannel);
  const bool window_shown = message_window_shown_;
  ShowMessageWindow(false, true);
  for (;;) {
    if (!RunFramePass()) return kCommandAppEnding;
    if (by_pointer && (g_AppServices == nullptr || g_AppServices->CursorEdgeZone() != kBottomEdgeZone)) break;
    if (MousePressed(kMouseLeft) || MousePressed(kMouseRight) || ActionPressed(kActionDecide) ||
        ActionPressed(kActionCancel) || ActionPressed(kActionHideWindow)) {
      PlaySystemSound(kClickChannel);
      break;
    }
  }
  StopSkip();
  if (!RunFramePass()) return kCommandAppEnding;
  if (window_shown) ShowMessageWindow(true, true);
  std::int32_t x = -1;
  std::int32_t y = -1;
  if (root_window_ != nullptr) root_window_->GetMousePos(x, y);
  if (!buttons_shown_ && y >= kButtonRowTop) ShowButtons(true, false);
  return kCommandDone;
}

std::int32_t CVovFrame::OpenSystemMenu() {
  BeginSystemPause();
  const std::int32_t result = RunSystemMenu(kFullMenu);
  if (pending_request_ != 0) return result;
  EndSystemPause();
  PolledCommand chosen;
  chosen.command = SystemCommandOfMenuResult(result);
  if (chosen.command == kNoSystemCommand) return result;
  return RunSystemCommand(chosen);
}

std::int32_t CVovFrame::ConfirmBackToTitle() {
  if (!Permitted(IAppServices::kMenuBackToTitle)) return kCommandDone;
  const std::int32_t answer = AskUtf8("タイトルに戻ります。\nよろしいですか？");
  if (answer < 0) return kCommandAppEnding;
  if (answer == 0) {
    mouse_x_ = -1;
    mouse_y_ = -1;
    StopSkip();
    return kCommandDone;
  }
  SetPendingRequest(kRequestTitle);
  return kCommandBackToTitle;
}

void CVovFrame::BeginSystemPause() {
  pause_start_ = ReadMillisecondClock();
  ShowHiddenCursor();
}

void CVovFrame::EndSystemPause() {
  const std::uint32_t paused = ReadMillisecondClock() - pause_start_;
  const std::uint32_t elapsed = timers_.GetElapsed(kAutoTimer);
  timers_.SetElapsed(kAutoTimer, elapsed > paused ? elapsed - paused : 0);
  mouse_x_ = -1;
  mouse_y_ = -1;
  StopSkip();
}

// The frame's timed waits and the states they share with the reader's waits: skip and auto
// mode, the buttons' showing and hiding, the idle cursor and the play clock. Every wait keeps
// the application alive by running one pass of its frame procedure per turn.

#include <algorithm>

#include "base/input/input_bindings.h"
#include "base/input/input_manager.h"
#include "base/input/player_input.h"
#include "base/settings/game_settings.h"
#include "base/system/app_hooks.h"
#include "base/system/app_services.h"
#include "base/time/millisecond_clock.h"
#include "base/time/timer_manager.h"
#include "effects/sprite/sp_fade_effect.h"
#include "novel/frame/vov_frame.h"
#include "scene/sprites/sprite.h"
#include "script/native_args.h"
#include "script/script_memory.h"
#include "sound/sound_channel_manager.h"
#include "ui/gui/gui_root_window.h"
#include "ui/gui/widget_input.h"
#include "ui/widgets/check_button.h"
#include "ui/widgets/image_button.h"

namespace {

constexpr std::uint16_t kFixedTimer = 0;
constexpr std::uint16_t kAutoTimer = 1;
constexpr std::size_t kAutoButton = 6;

bool Setting(std::size_t offset) { return CurrentGameSettings()[offset] != 0; }

}  // namespace

std::optional<std::uint32_t> CVovFrame::ConfiguredAddress(std::size_t index, std::size_t word) const {
  const std::uint64_t named = ConfigWord(index);
  const std::uint64_t wide = named + 4 * static_cast<std::uint64_t>(word);
  if (named == 0 || named % 4 != 0 || wide > UINT32_MAX) return std::nullopt;
  const auto address = static_cast<std::uint32_t>(wide);
  if (!host_.Memory().Contains(address, 4)) return std::nullopt;
  return address;
}

std::int32_t* CVovFrame::ConfiguredWord(std::size_t index, std::size_t word) const {
  const std::optional<std::uint32_t> address = ConfiguredAddress(index, word);
  if (!address) return nullptr;
  return reinterpret_cast<std::int32_t*>(host_.Memory().Range(*address, 4).data());
}

CListPart::DecisionSink CVovFrame::ConfiguredWordWriter(std::size_t index) const {
  const std::optional<std::uint32_t> address = ConfiguredAddress(index, 0);
  if (!address) return {};
  return [out = ScriptOut(host_.Memory(), *address)](std::uint32_t value) { out.Set(value); };
}

bool CVovFrame::RunFramePass() {
  commands_until_stop_check_ = kCommandsPerStopCheck;
  if (page_.PageImageLost()) return false;
  if (g_FrameProcedureHook != nullptr && g_FrameProcedureHook() != 0) return true;
  application_ending_ = true;
  return false;
}

bool CVovFrame::IsInterrupted(std::uint32_t mask) const {
  if (!input_allowed_) return false;
  if ((mask & kInterruptClick) != 0 && Setting(kSettingClickEndsWaits) &&
      (IsMouseLeftPressed() || IsDecidePressed(g_KeyBindings))) {
    return true;
  }
  return (mask & kInterruptSkip) != 0 && (Setting(kSettingAlwaysSkip) || IsSkipKeyDown());
}

std::int32_t CVovFrame::WaitTime(std::uint32_t milliseconds, bool clickable) {
  if (skip_mode_ || message_skip_mark_) return kWaitCutShort;
  timers_.Restart(kFixedTimer);
  for (;;) {
    if (!RunFramePass()) return kWaitAppEnding;
    if (timers_.GetElapsed(kFixedTimer) > milliseconds) return kWaitDone;
    if (IsSkipKeyDown()) return kWaitDone;
    if (clickable && IsInterrupted(kInterruptClick)) return kWaitCutShort;
  }
}

std::int32_t CVovFrame::WaitFixed(std::uint32_t milliseconds) {
  timers_.Restart(kFixedTimer);
  do {
    if (!RunFramePass()) return kWaitAppEnding;
  } while (timers_.GetElapsed(kFixedTimer) <= milliseconds);
  return kWaitDone;
}

std::int32_t CVovFrame::WaitTask(CTimedTask* task, bool pausable, bool stoppable) {
  CTimerManager* manager = pausable ? g_PausableTimerManager : g_TimerManager;
  if (manager == nullptr || task == nullptr) return kWaitDone;
  pending_task_ = task;
  pending_manager_ = manager;
  for (;;) {
    if (!manager->Contains(task)) break;
    if (stoppable && (skip_mode_ || IsInterrupted(kInterruptClick | kInterruptSkip))) {
      RemovePendingTask();
      return kWaitCutShort;
    }
    // The task stays pending: the page's reset takes it away.
    if (!RunFramePass()) return kWaitAppEnding;
  }
  pending_task_ = nullptr;
  pending_manager_ = nullptr;
  return kWaitDone;
}

void CVovFrame::RemovePendingTask() {
  if (pending_task_ != nullptr && pending_manager_ != nullptr && pending_manager_->Contains(pending_task_)) {
    pending_manager_->Remove(pending_task_);
  }
  pending_task_ = nullptr;
  pending_manager_ = nullptr;
}

bool CVovFrame::StopSkip() {
  const bool was_on = skip_mode_;
  message_skip_mark_ = false;
  if (ButtonState(kSkipButton) == kButtonLatched) SetButtonState(kSkipButton, kButtonEnabled);
  skip_mode_ = false;
  return was_on;
}

bool CVovFrame::SetAutoMode(bool on) {
  auto_mode_ = on;
  SetButtonState(kAutoButton, on ? kButtonLatched : kButtonEnabled);
  return timers_.Restart(kAutoTimer);
}

CSprite* CVovFrame::ButtonSprite(CGuiElement* button) {
  CWidgetFace* face = nullptr;
  if (auto* check = dynamic_cast<CCheckButton*>(button)) face = &check->GetFace();
  if (auto* image = dynamic_cast<CImageButton*>(button)) face = &image->GetFace();
  return face != nullptr ? dynamic_cast<CSprite*>(&face->GetDrawable()) : nullptr;
}

void CVovFrame::ShowButtons(bool show, bool fade) {
  if (show == buttons_shown_) return;
  buttons_shown_ = show;
  auto* fader = dynamic_cast<CSpFadeEffect*>(button_fade_);
  for (std::size_t index = 0; index < kButtonCount; ++index) {
    CGuiElement* button = buttons_[index];
    if (button == nullptr) continue;
    CSprite* sprite = fade && fader != nullptr ? ButtonSprite(button) : nullptr;
    if (sprite == nullptr) {
      button->SetActive(show);
      continue;
    }
    // A button fading in starts from nothing; one fading out stays where it is (its clicks are
    // not served while the buttons are hidden).
    if (show) {
      button->SetActive(true);
      sprite->SetOpacity(0);
    }
    fader->SetEntry(static_cast<std::uint32_t>(index), sprite, show, kButtonFadeTime, 0, false, 0, 0, 0);
  }
}

void CVovFrame::ShowMessageWindow(bool show, bool with_buttons) {
  ShowTextWindow(message_window_, show);
  if (choice_awaited_) choice_list_.SetActive(show);
  if (with_buttons && !(show && Setting(kSettingAutoHideButtons))) ShowButtons(show, false);
}

void CVovFrame::TrackMouse(bool& moved) {
  std::int32_t x = -1;
  std::int32_t y = -1;
  if (root_window_ != nullptr) root_window_->GetMousePos(x, y);
  moved = x != mouse_x_ || y != mouse_y_;
  if (moved) {
    ShowHiddenCursor();
    mouse_x_ = x;
    mouse_y_ = y;
  }
  if (Setting(kSettingAutoHideButtons)) {
    const bool in_button_row = y >= kButtonRowTop;
    if (in_button_row != buttons_shown_) ShowButtons(in_button_row, true);
  } else if (!buttons_shown_) {
    ShowButtons(true, false);
  }
}

bool CVovFrame::ShowHiddenCursor() {
  if (!cursor_hidden_) return false;
  cursor_hidden_ = false;
  if (g_AppServices != nullptr) g_AppServices->SetCursorVisible(true);
  return true;
}

void CVovFrame::HideIdleCursor() {
  if (!Setting(kSettingHideIdleCursor) || g_AppServices == nullptr) return;
  g_AppServices->SetCursorVisible(false);
  cursor_hidden_ = true;
}

void CVovFrame::StartClock() {
  ShowHiddenCursor();
  clock_start_ = ReadMillisecondClock();
}

void CVovFrame::StopClock() {
  play_time_ += ReadMillisecondClock() - clock_start_;
  mouse_x_ = -1;
  mouse_y_ = -1;
  StopSkip();
}

void CVovFrame::StopVoiceMark(bool stop_voice) {
  if (!voice_playing_) return;
  if (stop_voice && Setting(kSettingClickStopsVoice) && g_SoundChannels != nullptr) {
    g_SoundChannels->StopChannel(kVoiceChannel);
  }
  voice_playing_ = false;
}

std::int32_t CVovFrame::VoicePan(std::int32_t x) {
  constexpr std::int32_t kFarLeft = -5000;
  constexpr std::int32_t kFarRight = 5000;
  constexpr std::int32_t kCentre = 400;
  if (x <= 0) return kFarLeft;
  if (x >= 2 * kCentre) return kFarRight;
  if (x < kCentre) return x * kFarRight / kCentre + kFarLeft;
  return (x - kCentre) * kFarRight / kCentre;
}

std::int32_t CVovFrame::TakeWidgetCommand() {
  auto* root = dynamic_cast<CGuiRootWindow*>(root_window_);
  if (root == nullptr) return -1;
  root->ProcessInput(ReadMillisecondClock());
  return root->TakeCommandId();
}

CVovFrame::ServedButton CVovFrame::ServeSystemButton(std::int32_t button) {
  ServedButton served;
  const std::int32_t result = HandleSystemButton(button);
  if (result < kRunStopped) {
    served.ends = true;
    served.result = kRunStopped;
  } else if (result == 1 && pending_screen_result_ != 0) {
    served.ends = true;
    served.result = pending_screen_result_;
  } else if (result == 1 || result == 2) {
    served.restart_auto = true;
  } else if (result == 3) {
    served.click = true;
  } else if (result >= 5) {
    served.ends = true;
    served.result = pending_screen_result_;
  }
  return served;
}

bool CVovFrame::SkipKeyCounts() const {
  return IsSkipKeyDown() && (!Setting(kSettingSkipKeyReadTextOnly) || line_read_);
}

bool CVovFrame::PressIsOnButton() const {
  if (!buttons_shown_ || root_window_ == nullptr || !IsMouseLeftPressed()) return false;
  const CGuiElement* hovered = root_window_->GetHovered();
  return hovered != nullptr && hovered->IsEnabled() && std::find(buttons_.begin(), buttons_.end(), hovered) != buttons_.end();
}

bool CVovFrame::ReaderPressed() const {
  constexpr std::uint32_t kNextPageAction = 19;
  if (SkipKeyCounts() || IsMouseLeftPressed()) return true;
  return g_KeyBindings != nullptr &&
         (g_KeyBindings->IsActionPressed(kNextPageAction) || g_KeyBindings->IsActionPressed(kDecideAction));
}

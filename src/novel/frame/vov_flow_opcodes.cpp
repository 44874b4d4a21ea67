// The opcodes that carry a scenario from message to message: the line marker (12), the ends of
// a message with and without a choice list (13, 16), the choice wait (17), the timed waits (20,
// 21) and the showing of the message window with a fade or at once (114, 115); and FlushText,
// which hands a message's text to the window and to the backlog.
#include <algorithm>
#include <string>
#include <vector>

#include "base/settings/game_settings.h"
#include "novel/frame/vov_frame.h"

namespace {

constexpr std::size_t kFirstChoiceOperand = 1;
constexpr std::size_t kMostChoices = 8;
constexpr std::size_t kFirstBitOperand = 9;
constexpr std::size_t kBindWord = 0;
constexpr std::uint32_t kDefaultFadeTime = 300;
constexpr std::uint8_t kOpaque = 255;
constexpr std::int32_t kCurrentWindow = -1;

bool Setting(std::size_t offset) { return CurrentGameSettings()[offset] != 0; }
std::uint32_t Interval(std::size_t offset) { return std::max<std::uint32_t>(CurrentGameSettings()[offset], 1); }

std::uint32_t ValueOr(std::span<const VovOperand> operands, std::size_t n, std::uint32_t absent) {
  const VovOperand operand = VovOperandAt(operands, n);
  return operand.flags == 0 ? absent : operand.value;
}

// 12: the line marker.
std::int32_t LineHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const auto line = static_cast<std::int32_t>(VovOperandAt(operands, 0).value);
  frame.SetCurrentLine(line);
  frame.SetLineRead(line >= 0 && frame.IsLineRead(static_cast<std::uint32_t>(line)));
  if (!frame.LineRead() && Setting(kSettingUnreadTextUnskippable)) {
    frame.StopSkip();
    frame.SetButtonState(CVovFrame::kSkipButton, CVovFrame::kButtonDisabled);
  } else if (!frame.ChoiceAwaited() && frame.ButtonState(CVovFrame::kSkipButton) == CVovFrame::kButtonDisabled) {
    frame.SetButtonState(CVovFrame::kSkipButton, CVovFrame::kButtonEnabled);
  }
  return 0;
}

// 13: the end of a message that a choice list follows.
std::int32_t ChoicesHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const bool shown = frame.FlushText() == 0;
  if (frame.ChoicesPending()) {
    // A select screen takes the choices: the message only finishes typing.
    frame.MessageWindow().FinishTyping();
  } else if (shown || frame.GoingOn()) {
    if (const std::int32_t result = frame.WaitForReader(shown); result != 0) return result;
  } else if (frame.CurrentLine() >= 0) {
    frame.MarkLineRead(static_cast<std::uint32_t>(frame.CurrentLine()));
  }
  CListMenu& list = frame.ChoiceList();
  list.ReleaseItems();
  ReadTextRecord* record = frame.CurrentReadTextRecord();
  list.SetChoiceRecord(record != nullptr ? &record->choices : nullptr,
                       static_cast<std::int32_t>(VovOperandAt(operands, kFirstBitOperand).value),
                       frame.ConfiguredWordWriter(kBindWord));
  std::size_t count = 0;
  for (; count < kMostChoices; ++count) {
    const VovOperand text = VovOperandAt(operands, kFirstChoiceOperand + count);
    if (text.flags == 0) break;
    const std::string item(text.text);
    CListPart::ItemSetup setup;
    setup.text = item.c_str();
    setup.disabled = frame.ChoiceDisabled(count);
    list.AddMenuItem(setup);
  }
  // New items show at once: the list stays hidden until a choice wait takes it, so that nothing
  // of it shows while a choice screen owns the choices or the scenario waits before it.
  list.SetActive(false);
  frame.ClearChoiceMarks();
  frame.SetChoiceCount(count);
  return 0;
}

// 16: the end of a message.
std::int32_t MessageEndHandler(CVovFrame& frame, std::span<const VovOperand>) {
  const bool flushed = frame.FlushText() == 0;
  const bool shown = frame.GoingOn() ? frame.WindowWaiting() || flushed : flushed;
  if (const std::int32_t result = frame.WaitForReader(shown); result != 0) return result;
  return frame.AdvanceChoiceSerial();
}

// 17: the choice wait.
std::int32_t ChoiceWaitHandler(CVovFrame& frame, std::span<const VovOperand>) {
  if (!frame.GoingOn() && !(frame.TextBuffer().Empty() && frame.ChoiceCount() > 0)) return 0;
  frame.SetChoiceAwaited(true);
  frame.SetChoiceMark(true);
  const std::int32_t result = frame.WaitForChoice();
  frame.SetChoiceAwaited(false);
  if (result != 0) return result;
  return frame.AdvanceChoiceSerial();
}

// 20: a wait that the reader can cut short, and a run of them with one click.
std::int32_t TimedWaitHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const std::uint32_t milliseconds = VovOperandAt(operands, 0).value;
  return frame.SkippableWait(true, [] {}, [&] { return frame.WaitTime(milliseconds, true); });
}

// 21: a wait that nothing cuts short.
std::int32_t FixedWaitHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  frame.StopSkip();
  return frame.WaitFixed(VovOperandAt(operands, 0).value) != 0 ? CVovFrame::kRunStopped : 0;
}

// 114: the message window fades in or out.
std::int32_t FadeWindowHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const bool show = VovOperandAt(operands, 0).value != 0;
  const std::uint32_t time = ValueOr(operands, 1, kDefaultFadeTime);
  const bool with_buttons = VovOperandAt(operands, 2).value != 0 && !Setting(kSettingAutoHideButtons);
  if (frame.SkipMode() || frame.MessageSkipMark()) {
    frame.ShowMessageWindow(show, with_buttons);
    return 0;
  }
  return frame.FadeMessageWindow(show, time, with_buttons) ? 0 : CVovFrame::kRunStopped;
}

// 115: the message window at once, with its buttons.
std::int32_t ShowWindowAtOnceHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  frame.ShowMessageWindow(VovOperandAt(operands, 0).value != 0, true);
  return 0;
}

}  // namespace

bool CVovFrame::FadeMessageWindow(bool show, std::uint32_t time, bool with_buttons) {
  std::vector<CGuiElement*> parts = {&message_window_, &name_box_};
  if (choice_awaited_) parts.push_back(&choice_list_);
  const auto fade_to = [&](std::uint32_t elapsed) {
    const std::uint32_t part = std::min(elapsed, time) * kOpaque / std::max(time, 1u);
    for (CGuiElement* element : parts) element->SetOpacity(static_cast<std::uint8_t>(show ? part : kOpaque - part));
  };
  if (show) {
    fade_to(0);
    ShowMessageWindow(true, false);
  }
  if (with_buttons) ShowButtons(show, true);
  timers_.Restart(0);
  while (timers_.GetElapsed(0) < time) {
    if (!RunFramePass()) return false;
    fade_to(timers_.GetElapsed(0));
  }
  if (!show) ShowMessageWindow(false, false);
  for (CGuiElement* element : parts) element->SetOpacity(kOpaque);
  return true;
}

std::int32_t CVovFrame::FlushText() {
  if (text_.Empty()) return 1;
  // A new message ends what the window's effects still did to the last one.
  EndWindowEffects(kCurrentWindow);
  CTextWindow& window = *current_window_;
  std::uint32_t delay = 0;
  if (!line_read_) {
    delay = Setting(kSettingUnreadTextAtOnce) ? 0 : Interval(kSettingUnreadTextInterval);
  } else if (Setting(kSettingSkipReadText)) {
    message_skip_mark_ = true;
  } else {
    delay = Setting(kSettingReadTextAtOnce) ? 0 : Interval(kSettingReadTextInterval);
  }
  const std::span<const std::uint8_t> bytes = text_.Bytes();
  window.ClearText();
  window.SetText(bytes.data(), bytes.size());
  window.SetNames(speaker_.empty() ? nullptr : speaker_.c_str(), voice_.empty() ? nullptr : voice_.c_str());
  window.SetCharDelay(delay);
  window.Display(true);
  if (text_log_.Capacity() > 0) {
    // The record as the window holds it: the text and its two closing zero bytes.
    std::vector<std::uint8_t> record(bytes.begin(), bytes.end());
    record.insert(record.end(), 2, 0);
    text_log_.AppendMessage(record.data(), static_cast<std::uint32_t>(record.size()), 0, speaker_.c_str(),
                            voice_.c_str(), choice_mark_ ? choice_serial_ : 0);
  }
  if (!voice_.empty()) replay_voice_ = voice_;
  ClearNames();
  text_.Clear();
  return 0;
}

void CVovFrame::InstallFlowHandlers() {
  handlers_[12] = LineHandler;
  handlers_[13] = ChoicesHandler;
  handlers_[16] = MessageEndHandler;
  handlers_[17] = ChoiceWaitHandler;
  handlers_[20] = TimedWaitHandler;
  handlers_[21] = FixedWaitHandler;
  handlers_[114] = FadeWindowHandler;
  handlers_[115] = ShowWindowAtOnceHandler;
}

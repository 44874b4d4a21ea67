#include "ui/dialogs/text_anim_task.h"

#include <algorithm>

#include "base/input/player_input.h"
#include "base/settings/game_settings.h"
#include "base/time/millisecond_clock.h"
#include "ui/dialogs/script_text_box.h"
#include "ui/fonts/message_text_source.h"

namespace {

// A one-byte backslash in the text starts a new line (a two-byte character may end in 0x5C).
bool IsLineBreak(const char* piece) { return piece[0] == '\\'; }

}  // namespace

uint32_t CTextAnimTask::Start(bool at_once, bool mode) {
  ResumeForMessage();
  RestoreFontSize();
  box_.NewPage();
  box_.HideWaitIcon();
  if (!box_.IsActive()) box_.SetActive(true);
  box_.DrawSpeakerName();
  const uint32_t result = box_.TakeVoiceName();
  IMessageText& message = *box_.message_;
  message_read_ = message.IsRead();
  last_stop_ = 0;
  state_ = kStarted;
  if (at_once) {
    Finish();
    return result;
  }
  const GameSettingsBlock& settings = CurrentGameSettings();
  bool skip = false;
  bool skip_key_counts = true;
  if (message_read_) {
    instant_ = settings[kSettingReadTextAtOnce] != 0;
    interval_ = settings[kSettingReadTextInterval];
    skip = settings[kSettingSkipReadText] != 0 && mode && !box_.IsAdvanceRequested() && g_KeepReadTextUnskipped == 0;
    box_.AllowCompanion(true);
  } else {
    instant_ = settings[kSettingUnreadTextAtOnce] != 0;
    interval_ = settings[kSettingUnreadTextInterval];
    skip_key_counts = settings[kSettingSkipKeyReadTextOnly] == 0;
    box_.AllowCompanion(settings[kSettingUnreadTextUnskippable] == 0);
  }
  if (skip || box_.CompanionForcesSkip() || (skip_key_counts && IsSkipKeyDown())) {
    Finish();
    if (state_ == kEnded) state_ = kSkipped;
    return result;
  }
  state_ = kStarted;
  due_ = ReadMillisecondClock();
  return result;
}

uint32_t CTextAnimTask::Update(uint32_t now) {
  if (!box_.IsEnabled() || state_ >= kEnded) return 0;
  if ((IsSkipKeyDown() && SkipApplies()) || box_.CompanionForcesSkip()) {
    Finish();
    if (state_ == kEnded) state_ = kSkipped;
    return 0;
  }
  if (state_ == kPrinting && box_.click_to_advance_ && box_.IsAdvanceRequested()) {
    Step(true);
  } else if (state_ == kWaiting) {
    if (!box_.IsAdvanceRequested()) return 0;
    ContinueAfterWait();
  }
  if ((state_ == kStarted || state_ == kPrinting) && static_cast<int32_t>(now - due_) >= 0) {
    state_ = kPrinting;
    Step(instant_);
    due_ = now + interval_;
  }
  return 0;
}

uint32_t CTextAnimTask::Control(uint32_t operation) {
  switch (operation) {
    case kPrintToStop:
      if (state_ == kWaiting) ContinueAfterWait();
      if (state_ < kEnded) {
        state_ = kPrinting;
        Step(true);
      }
      return 0;
    case kPrintToWait:
      if (state_ == kWaiting) ContinueAfterWait();
      while (state_ < kEnded) {
        state_ = kPrinting;
        if (Step(true) != 0 || last_stop_ >= IMessageText::kWaitStopAlternate) break;
      }
      return 0;
    case kFinish:
      Finish();
      if (state_ == kEnded) state_ = kSkipped;
      return 0;
    case kContinue:
      if (state_ == kWaiting) ContinueAfterWait();
      return 0;
    default:
      return kBadOperation;
  }
}

uint32_t CTextAnimTask::Step(bool to_stop) {
  IMessageText& message = *box_.message_;
  for (;;) {
    const int32_t kind = message.AdvanceToStop();
    switch (kind) {
      case IMessageText::kCharacter: {
        bool line_break = false;
        if (!PlaceCharacter(line_break)) return 0;
        // A line break alone does not end a step.
        if (!to_stop && !line_break) return 0;
        break;
      }
      case IMessageText::kWaitStop:
      case IMessageText::kWaitStopAlternate:
      case IMessageText::kPageStop:
        StopAt(kind);
        return 0;
      case IMessageText::kNewPage:
        box_.NewPage();
        break;
      case IMessageText::kEnd:
        EndMessage(IMessageText::kEnd);
        return 0;
      case IMessageText::kString:
        box_.DrawStringAtPen(message.CurrentString());
        if (!to_stop) return 0;
        break;
      case IMessageText::kSizeChange:
        ChangeFontSize(message.SizeValue());
        break;
      case IMessageText::kEmbeddedRecord:
        break;
      default:
        last_stop_ = IMessageText::kBadMarkup;
        return 1;
    }
  }
}

void CTextAnimTask::Finish() {
  IMessageText& message = *box_.message_;
  // Skipping on from a full page starts the next one.
  if (state_ == kWaiting) ContinueAfterWait();
  for (;;) {
    const int32_t kind = message.AdvanceToStop();
    bool line_break = false;
    switch (kind) {
      case IMessageText::kCharacter:
        if (!PlaceCharacter(line_break)) return;
        break;
      case IMessageText::kWaitStop:
      case IMessageText::kWaitStopAlternate:
      case IMessageText::kPageStop:
      case IMessageText::kEmbeddedRecord:
        break;
      case IMessageText::kNewPage:
        box_.NewPage();
        break;
      case IMessageText::kString:
        box_.DrawStringAtPen(message.CurrentString());
        break;
      case IMessageText::kSizeChange:
        ChangeFontSize(message.SizeValue());
        break;
      case IMessageText::kEnd:
        EndMessage(IMessageText::kEnd);
        return;
      default:
        // Markup that cannot be read ends the message rather than the game.
        EndMessage(IMessageText::kBadMarkup);
        return;
    }
  }
}

bool CTextAnimTask::PlaceCharacter(bool& line_break) {
  const char* piece = box_.message_->CurrentPiece();
  line_break = IsLineBreak(piece);
  const bool full = line_break ? box_.NewLine() : box_.PutChar(&piece) == CTextLayout::kPageFull;
  if (!full) return true;
  box_.message_->AdvanceChars(-1);
  StopAt(IMessageText::kPageStop);
  return false;
}

void CTextAnimTask::StopAt(int32_t kind) {
  last_stop_ = static_cast<int8_t>(kind);
  state_ = kWaiting;
  box_.ShowWaitIcon();
}

void CTextAnimTask::EndMessage(int8_t last_stop) {
  PauseAtEnd();
  RestoreFontSize();
  last_stop_ = last_stop;
  state_ = kEnded;
}

void CTextAnimTask::ContinueAfterWait() {
  box_.HideWaitIcon();
  if (last_stop_ == IMessageText::kPageStop) box_.NewPage();
  state_ = kPrinting;
}

bool CTextAnimTask::SkipApplies() const {
  return message_read_ || CurrentGameSettings()[kSettingSkipKeyReadTextOnly] == 0;
}

void CTextAnimTask::ChangeFontSize(int32_t value) {
  if (saved_font_size_ == 0) saved_font_size_ = box_.FontSize();
  // A size change never shrinks the font away.
  box_.SetFontSize(std::max(saved_font_size_ + value, 1));
}

void CTextAnimTask::RestoreFontSize() {
  if (saved_font_size_ == 0) return;
  box_.SetFontSize(saved_font_size_);
  saved_font_size_ = 0;
}

void CTextAnimTask::PauseAtEnd() {
  if (end_notified_) return;
  Pause(ReadMillisecondClock());
  end_notified_ = true;
}

void CTextAnimTask::ResumeForMessage() {
  if (!end_notified_) return;
  Resume(ReadMillisecondClock());
  end_notified_ = false;
}

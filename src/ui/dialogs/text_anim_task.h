// The timing of a script text box: prints the current message character by character at the
// player's text speed, waits at the message's stops for an advance request, and lets the skip
// key, the skip toggle or the read-text setting finish a message at once. It runs on a timer
// manager from the box's first start until the box is destroyed, and pauses itself while no
// message is printing.
#pragma once

#include <cstdint>

#include "base/time/timed_task.h"

class CScriptTextBox;

class CTextAnimTask : public CTimedTask {
 public:
  static constexpr uint8_t kStarted = 0;
  static constexpr uint8_t kPrinting = 1;
  static constexpr uint8_t kWaiting = 2;
  static constexpr uint8_t kEnded = 3;
  static constexpr uint8_t kSkipped = 4;
  // Control operations.
  static constexpr uint32_t kPrintToStop = 0;
  static constexpr uint32_t kPrintToWait = 1;
  static constexpr uint32_t kFinish = 2;
  static constexpr uint32_t kContinue = 3;
  static constexpr uint32_t kBadOperation = 2;

  explicit CTextAnimTask(CScriptTextBox& box) : box_(box) {}

  uint32_t Update(uint32_t now) override;
  void Stop() override {}

  // Starts the box's current message: printed to its end at once with `at_once`, otherwise at
  // the speed the read flag picks; `mode` lets the read-text skip setting skip it. 0, or 2 when
  // the voice part of the speaker field was too long for the voice name (the message still
  // prints).
  uint32_t Start(bool at_once, bool mode);
  // 0, or kBadOperation.
  uint32_t Control(uint32_t operation);

  uint8_t state() const { return state_; }
  int8_t last_stop() const { return last_stop_; }
  bool message_read() const { return message_read_; }
  bool instant() const { return instant_; }
  uint8_t interval() const { return interval_; }

 private:
  // One step: a single character or string, or everything up to the next stop. 1 bad markup.
  uint32_t Step(bool to_stop);
  // Prints the rest of the message without waiting at its stops.
  void Finish();
  // Places the character of the last stop: false when the page was full, and the character
  // then waits for the next page.
  bool PlaceCharacter(bool& line_break);
  void StopAt(int32_t kind);
  void EndMessage(int8_t last_stop);
  void ContinueAfterWait();
  bool SkipApplies() const;
  void ChangeFontSize(int32_t value);
  void RestoreFontSize();
  void PauseAtEnd();
  void ResumeForMessage();

  CScriptTextBox& box_;
  uint8_t state_ = kEnded;
  int8_t last_stop_ = 0;
  bool end_notified_ = false;
  bool message_read_ = false;
  uint8_t interval_ = 0;
  bool instant_ = false;
  uint32_t due_ = 0;
  int32_t saved_font_size_ = 0;
};

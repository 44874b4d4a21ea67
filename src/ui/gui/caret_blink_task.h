// Blinks a text field's caret: while switched on, each call shows the caret if it is hidden and
// hides it if it is shown. The timer manager owns the task and calls it every 500 ms.
#pragma once

#include <cstdint>

#include "base/time/timed_task.h"
#include "scene/sprites/color_box.h"

class CCaretBlinkTask final : public CTimedTask {
 public:
  static constexpr uint32_t kPeriod = 500;

  explicit CCaretBlinkTask(CColorBox& caret) : caret_(caret) {}

  uint32_t Update(uint32_t /*now*/) override {
    if (on_) caret_.SetEnabled(!caret_.IsEnabled());
    return 0;
  }
  void Stop() override { on_ = false; }
  void SetOn(bool on) { on_ = on; }
  bool IsOn() const { return on_; }

 private:
  CColorBox& caret_;
  bool on_ = false;
};

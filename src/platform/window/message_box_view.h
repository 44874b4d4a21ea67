// A message box drawn as a dialog with the overlay GUI's Japanese font: the text, then the
// buttons of the box's style centred below it. Return (or keypad Enter) answers as the first
// button; Escape and the close box as the style's escape button.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/window/dialog_host.h"

namespace plat {

class MessageBoxView : public DialogView {
 public:
  // `text` is UTF-8; `style` the box's MB_* bits.
  MessageBoxView(std::string text, uint32_t style) : text_(std::move(text)), style_(style) {}

  void Build(DialogUi& ui) override;
  bool Step() override { return !answer_.has_value(); }

  // The button chosen (IDOK, IDCANCEL, IDYES or IDNO), the escape button's before any was.
  int Answer() const;

  // The width of the engine's message dialog, so that a box lays its text out as that does.
  static constexpr int32_t kWidth = 320;

 private:
  std::string text_;
  uint32_t style_;
  std::optional<int> answer_;
};

// The button a box of `style` answers when it is closed without one.
int ClosedAnswer(uint32_t style);

}  // namespace plat

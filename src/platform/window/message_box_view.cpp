#include "platform/window/message_box_view.h"

#include <vector>

#include "platform/window/system_message_box.h"

namespace plat {
namespace {

constexpr float kButtonWidth = 88.0F;

struct BoxButton {
  const char* label;
  int answer;
};

std::vector<BoxButton> ButtonsOf(uint32_t style) {
  switch (style & kMessageBoxButtonsMask) {
    case MB_OKCANCEL:
      return {{"OK", IDOK}, {"キャンセル", IDCANCEL}};
    case MB_YESNO:
      return {{"はい", IDYES}, {"いいえ", IDNO}};
    default:
      return {{"OK", IDOK}};
  }
}

}  // namespace

int ClosedAnswer(uint32_t style) {
  switch (style & kMessageBoxButtonsMask) {
    case MB_OKCANCEL:
      return IDCANCEL;
    case MB_YESNO:
      return IDNO;
    default:
      return IDOK;
  }
}

void MessageBoxView::Build(DialogUi& ui) {
  ui.WrappedText(text_, static_cast<float>(kWidth) - 24.0F);
  ui.Separator();
  const std::vector<BoxButton> buttons = ButtonsOf(style_);
  ui.SetCursorX((ui.ContentWidth() - static_cast<float>(buttons.size()) * kButtonWidth) / 2.0F);
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (i != 0) ui.SameLine();
    if (ui.Button(buttons[i].label, kButtonWidth) && !answer_) answer_ = buttons[i].answer;
  }
  if (ui.ReturnPressed() && !answer_) answer_ = buttons.front().answer;
  if (ui.CloseRequested() && !answer_) answer_ = ClosedAnswer(style_);
}

int MessageBoxView::Answer() const { return answer_.value_or(ClosedAnswer(style_)); }

}  // namespace plat

#include "app/dialogs/message_dialog_view.h"

namespace {

constexpr float kButtonWidth = 88.0F;
// Where the pointer goes from the first button's top-left corner.
constexpr int32_t kPointerRight = 56;
constexpr int32_t kPointerDown = 8;

}  // namespace

void CMessageDialogView::Build(plat::DialogUi& ui) {
  ui.WrappedText(text_, static_cast<float>(kWidth) - 24.0F);
  ui.Separator();
  if (model_.HasSwitchOff()) {
    bool switch_off = model_.SwitchOff();
    if (ui.Checkbox("今後、このメッセージを表示しない", switch_off)) model_.SetSwitchOff(switch_off);
  }
  const float width = ui.ContentWidth();
  ui.SetCursorX((width - (model_.AsksYesNo() ? 2.0F : 1.0F) * kButtonWidth) / 2.0F);
  if (ui.Button(model_.AsksYesNo() ? "はい" : "OK", kButtonWidth)) model_.Accept();
  // An auto-sized dialog takes its place in its first frame: the pointer follows in the second.
  if (place_pointer_ && ++frames_built_ == 2) ui.PutPointerOnLastItem(kPointerRight, kPointerDown);
  if (model_.AsksYesNo()) {
    ui.SameLine();
    if (ui.Button("いいえ", kButtonWidth)) model_.Refuse();
  }
  // Return and keypad Enter press the first button; Escape (a close request) answers no.
  if (ui.ReturnPressed() && !model_.Result()) model_.Accept();
  if (ui.CloseRequested() && !model_.Result()) model_.Refuse();
}

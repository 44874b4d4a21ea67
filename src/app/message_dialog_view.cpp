#include "app/message_dialog_view.h"

namespace {

constexpr float kButtonWidth = 88.0F;

}  // namespace

void CMessageDialogView::Build(plat::DialogUi& ui) {
  ui.WrappedText(text_, static_cast<float>(kWidth) - 24.0F);
  ui.Separator();
  if (model_.HasSwitchOff()) {
    bool switch_off = model_.SwitchOff();
    if (ui.Checkbox("今後、このメッセージを表示しない", switch_off)) model_.SetSwitchOff(switch_off);
  }
  const float width = ui.ContentWidth();
  if (model_.AsksYesNo()) {
    ui.SetCursorX((width - 2.0F * kButtonWidth) / 2.0F);
    if (ui.Button("はい", kButtonWidth)) model_.Accept();
    ui.SameLine();
    if (ui.Button("いいえ", kButtonWidth)) model_.Refuse();
  } else {
    ui.SetCursorX((width - kButtonWidth) / 2.0F);
    if (ui.Button("OK", kButtonWidth)) model_.Accept();
  }
  if (ui.CloseRequested() && !model_.Result()) model_.Refuse();
}

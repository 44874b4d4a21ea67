#include "app/dialogs/text_input_dialog_view.h"

#include <algorithm>

#include "platform/encoding/text_encoding.h"

namespace {

// The room that a dialog of a given width leaves its prompt and field.
constexpr float kFieldMargin = 16.0F;

}  // namespace

CTextInputDialogView::CTextInputDialogView(TextInputDialogSettings& settings)
    : settings_(settings), entry_(plat::SjisToUtf8(settings.text)) {}

plat::DialogFrame CTextInputDialogView::Frame(const TextInputDialogSettings& settings) {
  plat::DialogFrame frame;
  frame.title = plat::SjisToUtf8(settings.title.empty() ? plat::Utf8ToSjis("データ入力") : settings.title);
  frame.width = settings.width > 0 ? settings.width : kWidth;
  if (settings.x >= 0 && settings.y >= 0) {
    frame.x = settings.x;
    frame.y = settings.y;
  }
  frame.texts = {plat::SjisToUtf8(settings.prompt), plat::SjisToUtf8(settings.text)};
  return frame;
}

void CTextInputDialogView::Build(plat::DialogUi& ui) {
  const float field_width = std::max(ui.ContentWidth(), kFieldMargin) - kFieldMargin / 2.0F;
  ui.WrappedText(plat::SjisToUtf8(settings_.prompt), field_width);
  if (!focus_set_) {
    ui.FocusNext();
    focus_set_ = true;
  }
  ui.InputText("##entry", entry_, field_width);
  const bool enter = ui.ReturnPressed();
  ui.SetCursorX((ui.ContentWidth() - 80.0F) / 2.0F);
  if (ui.Button("OK", 80.0F) || enter) {
    settings_.text = CutEnteredText(plat::Utf8ToSjis(entry_), settings_.double_byte_only, settings_.max_length);
    ended_ = true;
    accepted_ = true;
  } else if (ui.CloseRequested()) {
    ended_ = true;
  }
}

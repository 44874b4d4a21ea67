#include "app/dialogs/version_dialog_view.h"

#include "platform/encoding/text_encoding.h"

namespace {

// The report field's colours: light grey on dark olive.
constexpr uint32_t kReportText = 0xDDDDDD;
constexpr uint32_t kReportBackground = 0x053535;  // 0x353505 as the dialog's COLORREF, red low

}  // namespace

void CVersionDialogView::Build(plat::DialogUi& ui) {
  if (ui.LinkText(product_)) pending_ = Action::kWebPage;
  ui.Text(version_line_);
  ui.Separator();
  ui.Text("システム情報");
  ui.ReadOnlyText("##report", plat::SjisToUtf8(model_.Report()), ui.ContentWidth(), 220.0F, kReportText,
                  kReportBackground);
  bool detailed = model_.Detailed();
  if (ui.Checkbox("詳細な情報を取得する", detailed)) model_.SetDetailed(detailed);
  if (ui.Button("クリップボードにコピー")) pending_ = Action::kCopy;
  ui.SameLine();
  if (ui.Button("ファイルに保存")) pending_ = Action::kSave;
  ui.SameLine(ui.ContentWidth() - 80.0F);
  if (ui.Button("OK", 80.0F) || ui.CloseRequested()) pending_ = Action::kClose;
}

bool CVersionDialogView::Step() {
  const Action action = pending_;
  pending_ = Action::kNone;
  if (action == Action::kClose) return false;
  return action == Action::kNone || handler_(action);
}

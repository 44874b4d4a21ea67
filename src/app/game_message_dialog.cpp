// The game's message dialog: OK or Yes/No, shown as a message box of the platform layer, which
// lays itself out for its text.
#include "app/game_app.h"
#include "base/not_built.h"
#include "platform/message_box.h"

int CGameApp::ShowMessageDialog(const std::string& text, uint32_t kind, uint8_t* switch_off, const char* title,
                                bool /*fit_to_text*/, plat::WindowId owner) {
  if (kind > kDialogYesNoWithSwitchOff) return 0;
  const bool with_switch_off = kind == kDialogOkWithSwitchOff || kind == kDialogYesNoWithSwitchOff;
  if (with_switch_off) {
    if (switch_off != nullptr) *switch_off = 0;
    ReportNotBuiltYet("the message dialog's check box that switches the message off");
  }
  if (owner == 0 && !GetMainWindow().IsWindow()) owner = plat::kDesktopWindow;
  const bool yes_no = kind == kDialogYesNo || kind == kDialogYesNoWithSwitchOff;
  const int answer = ShowBox(text, 0, owner, title, yes_no ? plat::MB_YESNO : plat::MB_OK);
  if (answer == plat::kMessageBoxNotShown) return kDialogNotShown;
  return answer == (yes_no ? plat::IDYES : plat::IDOK) ? 1 : 0;
}

int CGameApp::ShowRequestedDialog(MessageDialogRequestBlock* request) {
  if (request == nullptr || request->text.empty()) return 1;
  const int answer = ShowMessageDialog(request->text, request->kind, request->switch_off,
                                       request->title ? request->title->c_str() : nullptr, request->fit_to_text);
  if (request->kind == kDialogYesNo || request->kind == kDialogYesNoWithSwitchOff) {
    request->result = answer == 1 ? 1 : 0;
  }
  return answer;
}

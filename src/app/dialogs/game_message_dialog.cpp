// The game's message dialog: OK or Yes/No, with or without the check box that switches the
// message off, drawn over the main window (or in a window of its own before there is one).
#include "app/dialogs/dialog_modal_scope.h"
#include "app/dialogs/message_dialog_view.h"
#include "app/game/game_app.h"
#include "platform/encoding/text_encoding.h"
#include "platform/system/diagnostic_log.h"
#include "platform/window/system_message_box.h"

int CGameApp::ShowMessageDialog(const std::string& text, uint32_t kind, uint8_t* switch_off, const char* title,
                                bool /*fit_to_text*/, plat::WindowId owner) {
  if (kind > kDialogYesNoWithSwitchOff) return 0;
  CMessageDialogModel model(kind, switch_off);
  if (owner == 0) owner = GetMainWindow().IsWindow() ? GetMainWindow().GetHandle() : plat::kDesktopWindow;
  const std::string caption = title != nullptr ? title : GetAppInfo().application_name;
  plat::MessageBoxRequest request{owner, text, caption, model.AsksYesNo() ? plat::MB_YESNO : plat::MB_OK};
  if (HasQuit()) {
    plat::LogMessageBox(request, plat::kNotShownWhileEnding);
    return 0;
  }
  const DialogModalScope modal(*this);
  if (const std::optional<int> scripted = plat::ScriptedMessageBoxAnswer(request)) {
    if (*scripted == (model.AsksYesNo() ? plat::IDYES : plat::IDOK)) {
      model.Accept();
    } else {
      model.Refuse();
    }
  } else {
    plat::DialogFrame frame{plat::SjisToUtf8(caption), CMessageDialogView::kWidth, 0, -1, -1, {}};
    frame.texts.push_back(plat::SjisToUtf8(text));
    CMessageDialogView view(model, frame.texts.back(), GetWindowSettings()[kWinCursorMoves] != 0);
    if (!plat::RunModalDialog(owner, frame, view)) {
      plat::LogDiagnostic("message dialog (" + frame.title + "): " + frame.texts.back() + " [not shown: answered no]");
      model.Refuse();
    }
  }
  return model.Result().value_or(0);
}

int CGameApp::ShowRequestedDialog(MessageDialogRequestBlock* request) {
  if (request == nullptr || request->text.empty()) return 1;
  const int answer = ShowMessageDialog(request->text, request->kind, request->switch_off,
                                       request->title ? request->title->c_str() : nullptr, request->fit_to_text);
  if (request->kind == kDialogYesNo || request->kind == kDialogYesNoWithSwitchOff) request->result = answer == 1 ? 1 : 0;
  return answer;
}

uint8_t CGameApp::RequestMessageDialog(const std::string& text, uint32_t kind, uint8_t* switch_off, const char* title,
                                       bool fit_to_text) {
  if (!GetMainWindow().IsWindow() || text.empty()) return 0;
  MessageDialogRequestBlock request;
  request.kind = kind;
  request.text = text;
  if (title != nullptr) request.title = title;
  request.switch_off = switch_off;
  request.fit_to_text = fit_to_text;
  SendFromGameThread(kMsgDialogRequest, 0, 0, &request);
  return request.result;
}

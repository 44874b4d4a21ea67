// The window services of the framework application: message boxes, the modal state and
// centring.
#include "app/framework/framework_app.h"
#include "app/framework/private_messages.h"
#include "platform/window/native_window.h"
#include "platform/window/system_message_box.h"
#include "platform/window/x11_display.h"

namespace {

uint32_t IconStyleOf(int kind) {
  switch (kind) {
    case kBoxExclamation:
      return plat::MB_ICONEXCLAMATION;
    case kBoxInformation:
      return plat::MB_ICONINFORMATION;
    case kBoxQuestion:
      return plat::MB_ICONQUESTION;
    case kBoxStop:
      return plat::MB_ICONSTOP;
    default:
      return 0;
  }
}

}  // namespace

int CFrameworkApp::ShowBox(const std::string& text, int kind, plat::WindowId owner, const char* title,
                           uint32_t buttons, bool text_is_utf8, bool shown_while_ending) {
  plat::MessageBoxRequest request;
  request.owner = owner != 0 ? owner : main_window_.GetHandle();
  request.text = text;
  request.text_is_utf8 = text_is_utf8;
  request.caption = title != nullptr ? title : info_.application_name;
  request.style = buttons | IconStyleOf(kind);
  if (owner == plat::kDesktopWindow) request.style |= plat::MB_SYSTEMMODAL | plat::MB_SETFOREGROUND;
  // A box would hold an ending program open until someone clicks it: the log keeps it instead.
  // None shows once the display is lost.
  if (HasQuit() && (!shown_while_ending || plat::DisplayConnectionLost())) {
    plat::LogMessageBox(request, plat::kNotShownWhileEnding);
    return plat::kMessageBoxNotShown;
  }
  // A box shown inside a modal state already entered leaves that state to its owner.
  const bool enters_modal = !IsModal();
  if (enters_modal) EnterModal();
  const int answer = plat::ShowMessageBox(request);
  if (enters_modal) LeaveModal();
  return answer;
}

void CFrameworkApp::ShowMessageBox(const std::string& text, int kind, plat::WindowId owner, const char* title) {
  ShowBox(text, kind, owner, title, plat::MB_OK);
}

bool CFrameworkApp::AskYesNo(const std::string& text, int kind, plat::WindowId owner, const char* title) {
  return ShowBox(text, kind, owner, title, plat::MB_YESNO) == plat::IDYES;
}

void CFrameworkApp::ShowUtf8MessageBox(const std::string& utf8_text, int kind, plat::WindowId owner) {
  ShowBox(utf8_text, kind, owner, nullptr, plat::MB_OK, true);
}

bool CFrameworkApp::AskUtf8YesNo(const std::string& utf8_text, int kind, plat::WindowId owner) {
  return ShowBox(utf8_text, kind, owner, nullptr, plat::MB_YESNO, true) == plat::IDYES;
}

bool CFrameworkApp::AskOkCancel(const std::string& text, int kind, plat::WindowId owner, const char* title) {
  return ShowBox(text, kind, owner, title, plat::MB_OKCANCEL) == plat::IDOK;
}

uint8_t CFrameworkApp::RequestMessageBox(int box_type, const std::string& text, int kind, const char* title) {
  if (!main_window_.IsWindow()) return 0;
  MessageBoxRequestBlock request;
  request.box_type = box_type;
  request.text = text;
  if (title != nullptr) request.title = title;
  request.icon_kind = kind;
  SendFromGameThread(kMsgMessageBoxRequest, 0, 0, &request);
  return request.result;
}

int CFrameworkApp::RequestScreenModeChange(uint8_t mode, uint8_t depth, uint8_t flag) {
  if (!main_window_.IsWindow()) return 1;
  ScreenModeRequestBlock request;
  SendFromGameThread(kMsgScreenModeRequest, PackScreenModeRequest(mode, depth, flag), 0, &request);
  return request.result;
}

int32_t CFrameworkApp::SendFromGameThread(uint32_t message, uint32_t wparam, int32_t lparam,
                                          plat::RequestPayload* payload) {
  drawing_allowed_.store(0);
  OnEnterModal();
  const int32_t result = main_window_.SendMessage(message, wparam, lparam, payload);
  drawing_allowed_.store(1);
  OnLeaveModal();
  return result;
}

void CFrameworkApp::EnterModal() {
  modal_.store(1);
  menu_open_.store(1);
  if (!IsThreaded()) {
    drawing_allowed_.store(0);
    OnEnterModal();
  }
  if (main_window_.IsWindow()) main_window_.SendMessage(kMsgCursorRequest, 1, 0);
  // With exclusive full-screen rendering the screen saver is suspended and the clipper attached
  // here; they join with the screen modes.
}

void CFrameworkApp::LeaveModal() {
  if (system_cursor_hidden_) main_window_.SendMessage(kMsgCursorRequest, 0, 0);
  input_.KeepKeysInStep();
  if (!IsThreaded()) {
    drawing_allowed_.store(1);
    OnLeaveModal();
  }
  menu_open_.store(0);
  modal_.store(0);
}

void CFrameworkApp::CentreWindow(CWindow& window) {
  plat::Window* platform_window = window.GetPlatformWindow();
  if (platform_window == nullptr) return;
  const plat::Rect rect = platform_window->ClientRectOnScreen();
  CWindow* parent = window.GetParent();
  plat::Window* parent_window = parent != nullptr ? parent->GetPlatformWindow() : nullptr;
  if (parent_window != nullptr && parent_window->IsVisible()) {
    const plat::Rect area = parent_window->ClientRectOnScreen();
    platform_window->Move(area.left + (area.Width() - rect.Width()) / 2, area.top + (area.Height() - rect.Height()) / 2);
    return;
  }
  const auto desktop = plat::GetDesktopInfo();
  if (!desktop) return;
  platform_window->Move((desktop->work_area.Width() - rect.Width()) / 2, (desktop->work_area.Height() - rect.Height()) / 2);
  platform_window->SetTopmost(true);
}

#include "app/framework/app_base.h"

#include <string>
#include <utility>

#include "platform/encoding/text_encoding.h"
#include "platform/system/diagnostic_log.h"
#include "platform/window/message_queue.h"
#include "platform/window/system_message_box.h"

namespace {

bool IsMouseMoveFamily(uint32_t message) {
  return message == plat::WM_MOUSEMOVE || message == plat::WM_NCMOUSEMOVE || message == plat::WM_NCHITTEST ||
         message == plat::WM_SETCURSOR;
}

}  // namespace

int CAppBase::Run(const std::string& command_line, int show_command) {
  plat::MessageQueue::Instance().AttachToCurrentThread();
  command_line_ = command_line;
  show_command_ = show_command;
  if (const int code = Initialize(); code != 0) {
    Exit(code);
    return code;
  }
  if (!threaded_) {
    RunOwnLoop();
  } else {
    RunMessageLoop();
  }
  Exit(0);
  return 0;
}

void CAppBase::RunMessageLoop() {
  while (!HasQuit()) {
    plat::Message message;
    const int got = plat::GetMessage(message);
    if (got == 0) {
      SetQuit();
      break;
    }
    if (got == -1) {
      const char* title = GetTitle();
      plat::MessageBoxRequest request;
      request.owner = plat::kDesktopWindow;
      request.text = plat::Utf8ToSjis("GetMessage()でエラーが発生しました");
      request.caption = title != nullptr ? title : plat::Utf8ToSjis("エラー");
      request.style = plat::MB_ICONHAND | plat::MB_SYSTEMMODAL | plat::MB_SETFOREGROUND;
      plat::ShowMessageBox(request);
      break;
    }
    if (PreTranslateMessage(message)) continue;
    TranslateAndDispatch(message);
  }
}

bool CAppBase::LoadAccelerators(uint16_t resource_id, plat::WindowId window) {
  // The game's accelerator resources come with its menu resources; this build defines none.
  plat::LogDiagnostic("accelerators: resource " + std::to_string(resource_id) + " is not among this build's resources");
  accelerator_window_ = window;
  return false;
}

void CAppBase::SetAccelerators(plat::AcceleratorTable table, plat::WindowId window) {
  accelerators_ = std::move(table);
  accelerator_window_ = window;
}

int CAppBase::PumpMessages(bool allow_mouse_moves) {
  plat::Message message;
  while (plat::PeekMessage(message, true)) {
    if (!allow_mouse_moves && IsMouseMoveFamily(message.message)) continue;
    if (PreTranslateMessage(message)) continue;
    if (message.message == plat::WM_QUIT) {
      SetQuit();
      return 1;
    }
    TranslateAndDispatch(message);
  }
  return 0;
}

void CAppBase::TranslateAndDispatch(const plat::Message& message) {
  if (accelerators_) {
    if (const auto command = plat::MatchAccelerator(*accelerators_, message, plat::CurrentAcceleratorModifiers())) {
      plat::SendMessage(accelerator_window_, plat::WM_COMMAND, plat::MakeLong(*command, 1), 0);
      return;
    }
  }
  plat::TranslateMessage(message);
  plat::DispatchMessage(message);
}

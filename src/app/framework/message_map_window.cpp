#include "app/framework/message_map_window.h"

#include <string>
#include <utility>

#include "platform/system/diagnostic_log.h"
#include "platform/window/message_queue.h"

namespace {

plat::Rect Centred(int32_t width, int32_t height, const plat::Rect& work_area) {
  const int32_t x = work_area.Width() / 2 - width / 2;
  const int32_t y = work_area.Height() / 2 - height / 2;
  if (x < 0 || y < 0) return plat::Rect{0, 0, width, height};
  return plat::Rect{x, y, x + width, y + height};
}

bool LiesInside(const plat::Rect& rect, const plat::Rect& area) {
  return rect.left >= area.left && rect.top >= area.top && rect.right <= area.right && rect.bottom <= area.bottom;
}

}  // namespace

plat::Rect PlaceWindowRect(int32_t width, int32_t height, int32_t x, int32_t y, uint8_t placement_mode,
                           const plat::Rect& work_area) {
  const plat::Rect given = plat::RectAt(plat::Point{x, y}, width, height);
  const bool position_given = x != -1 || y != -1;
  switch (placement_mode) {
    case kPlaceAtPosition:
      return position_given ? given : Centred(width, height, work_area);
    case kPlaceInsideWorkArea:
      return position_given && LiesInside(given, work_area) ? given : Centred(width, height, work_area);
    default:
      return Centred(width, height, work_area);
  }
}

CWindow::~CWindow() { Destroy(); }

int CWindow::OnUnhandled(MessageBlock& block) {
  if (block.message == plat::WM_DESTROY && post_quit_) {
    plat::PostQuitMessage(0);
    return 0;
  }
  return 1;
}

// The class record of this system holds no more than what the window itself keeps, so there is
// no class to register; the window keeps the desktop's icon, as this build carries no icons.
unsigned CWindow::Create(const WindowCreateParams& params, CWindow* parent, bool post_quit, bool /*register_class*/) {
  // Windows here are all top-level; the parent only places dialogs (CentreWindow).
  parent_ = parent;
  if (params.menu_id != 0) {
    plat::LogDiagnostic("window: menu resource " + std::to_string(params.menu_id) +
                        " is not among this build's resources; the window has no menu bar");
  }
  placement_mode_ = params.placement_mode;
  post_quit_ = post_quit;
  const plat::Rect rect = ComputeWindowRect(params.client_width, params.client_height, params.style, params.ex_style,
                                            params.menu_id != 0, true, params.x, params.y);
  plat::WindowCreateInfo info;
  info.title = params.title;
  info.x = rect.left;
  info.y = rect.top;
  info.client_width = params.client_width;
  info.client_height = params.client_height;
  info.style = params.style;
  window_ = plat::Window::Create(info, [this](const plat::Message& message) { return WindowProcedure(message); });
  if (!window_) return kCreateFailed;
  id_.store(window_->Id());
  if (SendMessage(plat::WM_CREATE, 0, 0) == -1) {
    DestroyWindow();
    return kCreateFailed;
  }
  return kCreated;
}

void CWindow::AddHandler(uint32_t message, std::unique_ptr<CMessageHandlerBase> handler) {
  handlers_[message] = std::move(handler);
}

void CWindow::Destroy() {
  DestroyWindow();
  handlers_.clear();
}

void CWindow::DestroyWindow() {
  if (!window_ || destroying_) return;
  destroying_ = true;
  SendMessage(plat::WM_DESTROY, 0, 0);
  id_.store(0);
  window_.reset();
  destroying_ = false;
}

int32_t CWindow::SendMessage(uint32_t message, uint32_t wparam, int32_t lparam, plat::RequestPayload* payload) {
  const plat::WindowId id = id_.load();
  return id != 0 ? plat::SendMessage(id, message, wparam, lparam, payload) : 0;
}

bool CWindow::PostMessage(uint32_t message, uint32_t wparam, int32_t lparam) {
  const plat::WindowId id = id_.load();
  return id != 0 && plat::PostMessage(id, message, wparam, lparam);
}

bool CWindow::IsWindow() const {
  const plat::WindowId id = id_.load();
  return id != 0 && plat::MessageQueue::Instance().IsWindow(id);
}

plat::WindowId CWindow::GetHandle() const { return id_.load(); }

plat::Rect CWindow::GetClientRectOnScreen() const { return window_ ? window_->ClientRectOnScreen() : plat::Rect{}; }

plat::Rect CWindow::ComputeWindowRect(int32_t client_width, int32_t client_height, uint32_t /*style*/,
                                      uint32_t /*ex_style*/, bool /*has_menu*/, bool compute_position, int32_t x,
                                      int32_t y) const {
  const plat::Rect client{x, y, x + client_width, y + client_height};
  if (!compute_position) return client;
  // With several displays the display-device list will place the window; until it exists the
  // primary desktop's work area decides.
  const auto desktop = plat::GetDesktopInfo();
  const plat::Rect work_area = desktop ? desktop->work_area : plat::Rect{0, 0, client_width, client_height};
  return PlaceWindowRect(client_width, client_height, x, y, placement_mode_, work_area);
}

int32_t CWindow::WindowProcedure(const plat::Message& message) {
  MessageBlock block;
  block.window = this;
  block.message = message.message;
  block.wparam = message.wparam;
  block.lparam = message.lparam;
  block.payload = message.payload;
  if (auto it = handlers_.find(message.message); it != handlers_.end()) {
    if (it->second->Invoke(block) == 0) return block.result;
  }
  if (OnUnhandled(block) == 0) return block.result;
  return DefaultProcessing(block);
}

int32_t CWindow::DefaultProcessing(const MessageBlock& block) {
  // The defaults that matter to the engine: closing a window destroys it, the system commands
  // minimize, restore and close it, and Alt+F4 closes it.
  if (block.message == plat::WM_CLOSE) DestroyWindow();
  if (block.message == plat::WM_SYSCOMMAND) RunSystemCommand(block.wparam & 0xFFF0);
  // Alt+F4 is the system's close key.
  if (block.message == plat::WM_SYSKEYDOWN && block.wparam == plat::VK_F4 &&
      (static_cast<uint32_t>(block.lparam) & plat::kKeyContextBit) != 0) {
    RunSystemCommand(plat::SC_CLOSE);
  }
  return 0;
}

void CWindow::RunSystemCommand(uint32_t command) {
  if (command == plat::SC_CLOSE) {
    SendMessage(plat::WM_CLOSE, 0, 0);
    return;
  }
  if (!window_) return;
  if (command == plat::SC_MINIMIZE) window_->Minimize();
  if (command == plat::SC_RESTORE) window_->Restore();
}

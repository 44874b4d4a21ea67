// The framework's message map of the main window and its handlers.
#include <algorithm>
#include <memory>

#include "app/framework/framework_app.h"
#include "app/framework/private_messages.h"
#include "base/threads/lock_guard.h"
#include "platform/events/control_key.h"
#include "platform/system/clock.h"
#include "platform/system/diagnostic_log.h"
#include "platform/window/native_window.h"
#include "platform/window/screen_presenter.h"
#include "platform/window/text_out.h"

namespace {

using Handler = int (CFrameworkApp::*)(MessageBlock&);

}  // namespace

void CFrameworkApp::RegisterMessageMap() {
  const auto add = [this](uint32_t message, Handler handler) {
    main_window_.AddHandler(message, std::make_unique<CMessageHandler>(this, handler));
  };
  add(plat::WM_ACTIVATEAPP, &CFrameworkApp::OnActivateApp);
  add(plat::WM_ACTIVATE, &CFrameworkApp::OnActivate);
  add(plat::WM_DISPLAYCHANGE, &CFrameworkApp::OnDisplayChange);
  add(plat::WM_PAINT, &CFrameworkApp::OnPaint);
  add(plat::WM_CLOSE, &CFrameworkApp::OnClose);
  add(plat::WM_KEYDOWN, &CFrameworkApp::OnKeyDown);
  add(plat::WM_SYSKEYUP, &CFrameworkApp::OnSysKeyUp);
  add(plat::WM_MOUSEWHEEL, &CFrameworkApp::OnMouseWheel);
  add(plat::WM_SETCURSOR, &CFrameworkApp::OnSetCursor);
  add(plat::WM_ENTERMENULOOP, &CFrameworkApp::OnEnterMenuLoop);
  add(plat::WM_EXITMENULOOP, &CFrameworkApp::OnExitMenuLoop);
  add(kMsgCursorRequest, &CFrameworkApp::OnCursorRequest);
  add(kMsgMessageBoxRequest, &CFrameworkApp::OnMessageBoxRequest);
  add(kMsgScreenModeRequest, &CFrameworkApp::OnScreenModeRequest);
  add(kMsgShowMenuWindow, &CFrameworkApp::OnShowMenuWindow);
  add(kMsgHideMenuWindow, &CFrameworkApp::OnHideMenuWindow);
  add(kMsgImeRequest, &CFrameworkApp::OnImeRequest);
  add(kMsgTextInputNotify, &CFrameworkApp::OnTextInputNotify);
  add(plat::WM_CHAR, &CFrameworkApp::OnTextCharacter);
  add(plat::WM_IME_CHAR, &CFrameworkApp::OnTextCharacter);
  add(kMsgFrontRequest, &CFrameworkApp::OnFrontRequest);
  if (environment_[kEnvInputMethod] == kInputWindowMessages) {
    add(plat::WM_KEYUP, &CFrameworkApp::OnKeyUp);
    add(plat::WM_SYSKEYDOWN, &CFrameworkApp::OnSysKeyDown);
    add(plat::WM_LBUTTONDOWN, &CFrameworkApp::OnLButtonDown);
    add(plat::WM_LBUTTONUP, &CFrameworkApp::OnLButtonUp);
    add(plat::WM_RBUTTONDOWN, &CFrameworkApp::OnRButtonDown);
    add(plat::WM_RBUTTONUP, &CFrameworkApp::OnRButtonUp);
    add(plat::WM_MBUTTONDOWN, &CFrameworkApp::OnMButtonDown);
    add(plat::WM_MBUTTONUP, &CFrameworkApp::OnMButtonUp);
  }
  // The run mode is the setting's: the flag itself takes it over only after the window exists.
  if (!threaded_setting()) {
    add(plat::WM_ENTERSIZEMOVE, &CFrameworkApp::OnEnterSizeMove);
    add(plat::WM_EXITSIZEMOVE, &CFrameworkApp::OnExitSizeMove);
  } else {
    add(kMsgThreadEnded, &CFrameworkApp::OnCloseRequest);
  }
}

int CFrameworkApp::OnActivateApp(MessageBlock& block) {
  const bool activated = block.wparam != 0;
  active_.store(activated ? 1 : 0);
  if (!full_screen_ && pending_mode_restore_ == 0) {
    if (activated) {
      OnActivateWindowed();
    } else {
      OnDeactivateWindowed();
    }
    return 0;
  }
  if (activated) {
    ActivateFullScreen();
  } else {
    DeactivateFullScreen();
  }
  return 0;
}

void CFrameworkApp::DeactivateFullScreen() {
  if (menu_window_open_ != 0) {
    MessageBlock none{};
    OnExitMenuLoop(none);
  }
  CloseMenuWindow();
  if (screen_.GetDisplayState() == CScreenManager::kFullScreen && environment_[kEnvMinimizeOnDeactivation] != 0) {
    CLockGuard guard(display_lock_);
    // The monitor kept its own mode (the game's is emulated), so the desktop has it already;
    // only which size to take up again is remembered.
    pending_mode_restore_ = static_cast<uint8_t>(screen_.IsFullScreenScaling() ? 2 : 1);
    if (plat::Window* window = main_window_.GetPlatformWindow()) window->Minimize();
  }
  OnDeactivateFullScreen();
}

void CFrameworkApp::ActivateFullScreen() {
  CLockGuard guard(display_lock_);
  pending_mode_restore_ = 0;
  RestoreLostSurfaces(1);
  OnActivateFullScreen();
}

void CFrameworkApp::RestoreLostSurfaces(uint32_t most_allowed) {
  if (screen_.Restore() > most_allowed) fatal_error_.store(kFatalRestoreFailed);
}

int CFrameworkApp::OnActivate(MessageBlock& block) {
  CLockGuard guard(display_lock_);
  if (plat::LoWord(block.wparam) != plat::WA_INACTIVE) {
    input_.Activate();
  } else {
    input_.Deactivate();
  }
  return 1;
}

int CFrameworkApp::OnDisplayChange(MessageBlock& block) {
  if (full_screen_) return 0;
  desktop_bits_ = static_cast<int32_t>(block.wparam);
  desktop_width_ = static_cast<int32_t>(plat::LoWord(static_cast<uint32_t>(block.lparam)));
  desktop_height_ = static_cast<int32_t>(plat::HiWord(static_cast<uint32_t>(block.lparam)));
  // The system report reads the displays afresh each time it is written: only the list is kept.
  CLockGuard guard(display_lock_);
  if (!RebuildDisplayList()) plat::LogDiagnostic("display change: the list of displays cannot be made again");
  // In threaded mode the surfaces are given back at once, under the lock the game thread draws
  // under; the single-thread frame procedures give back what they find lost when they present.
  // A screen left without its back surface cannot show the game either: any restore failure is
  // fatal here.
  if (IsThreaded()) RestoreLostSurfaces(0);
  return 0;
}

bool CFrameworkApp::NeedsRepaintFromScreen() const {
  // Otherwise the game loop presents the next frame itself.
  const bool canvas = screen_.GetFrameImage() != nullptr;
  const bool needed = canvas || size_move_ != 0 || (drawing_allowed_.load() == 0 && !screen_mode_changing_) ||
                      (active_.load() == 0 && window_block_[kWinPauseWhileInactive] != 0) || blocking_wait_.load() != 0;
  const bool no_movie_covers = movie_playing_ == 0 || !full_screen_ || (canvas && screen_.GetPrimary() == nullptr);
  return needed && no_movie_covers;
}

void CFrameworkApp::PaintFromScreen(plat::DeviceContext& dc, const plat::Rect& paint) {
  if (NeedsRepaintFromScreen()) screen_.Repaint(&dc, paint);
  if (!screen_.IsFullScreenScaling() || !screen_.HasBars()) return;
  for (const plat::Rect& bar : {screen_.GetBar1(), screen_.GetBar2()}) {
    const plat::Rect black{std::max(bar.left, paint.left), std::max(bar.top, paint.top),
                           std::min(bar.right, paint.right), std::min(bar.bottom, paint.bottom)};
    if (black.left < black.right && black.top < black.bottom) plat::FillRect(dc, black, 0);
  }
}

// The main window has no child windows, so a playing movie has none to invalidate here.
int CFrameworkApp::OnPaint(MessageBlock& /*block*/) {
  const plat::WindowId window = main_window_.GetHandle();
  plat::PaintStruct paint;
  if (plat::DeviceContext* dc = plat::BeginPaint(window, paint); dc != nullptr) PaintFromScreen(*dc, paint.paint);
  plat::EndPaint(window, paint);
  return 0;
}

int CFrameworkApp::OnClose(MessageBlock& /*block*/) {
  // Without a running worker nobody would close the window for it, so it closes here.
  if (IsThreaded() && worker_.IsRunning()) {
    worker_.RequestStop();
  } else {
    main_window_.DestroyWindow();
  }
  return 0;
}

int CFrameworkApp::OnKeyDown(MessageBlock& block) {
  input_.OnKeyDown(block.wparam, static_cast<uint32_t>(block.lparam));
  if (text_window_ != nullptr) text_input_.SetPendingKey(block.wparam);
  return 0;
}

int CFrameworkApp::OnTextCharacter(MessageBlock& block) {
  if (text_window_ != nullptr) text_input_.AppendCharacter(block.wparam);
  return 1;
}

int CFrameworkApp::OnTextInputNotify(MessageBlock& block) {
  plat::SetTextInput(block.wparam != 0);
  return 0;
}

int CFrameworkApp::SetImeWindow(CWindow* window) {
  if (window != nullptr) {
    if (!ime_on_) window->SendMessage(kMsgImeRequest, 1, 0);
    text_window_ = window;
  } else if (text_window_ != nullptr) {
    if (ime_on_) text_window_->SendMessage(kMsgImeRequest, 0, 0);
    text_window_ = nullptr;
  }
  text_input_.Clear();
  return 0;
}

bool CFrameworkApp::SendImeMessage(uint32_t flag) {
  if (text_window_ == nullptr) return false;
  text_window_->SendMessage(kMsgTextInputNotify, flag, 0);
  return true;
}

int CFrameworkApp::OnSysKeyUp(MessageBlock& block) {
  input_.OnKeyUp(block.wparam);
  if (!full_screen_) return 1;
  if ((window_behaviour_ & kBehaviourSystemKeys) == 0) return 0;
  const uint32_t key = block.wparam;
  if (key != plat::VK_MENU && key != plat::VK_F10) return 1;
  // The key that closed the menu comes up just after it: the menu does not open again at once.
  const uint32_t since_close = plat::CoarseMilliseconds() - menu_window_closed_at_;
  if (info_.menu_id == 0 || info_.menu_in_fullscreen == 0 || menu_open_.load() != 0 || !IsActive() ||
      since_close <= kMenuReopenDelay) {
    return 0;
  }
  menu_window_open_ = 1;
  menu_open_.store(1);
  screen_.AttachClipper();
  if (ShowMenuWindow() > 0) {
    // No menu loop will run to close it.
    menu_window_open_ = 0;
    menu_open_.store(0);
    screen_.DetachClipper();
    return 0;
  }
  main_window_.SendMessage(plat::WM_ENTERMENULOOP, 0, 0);
  return 1;
}

bool CFrameworkApp::IsDroppedSystemKey(uint32_t message, uint32_t key, uint8_t behaviour, bool full_screen) {
  if (message != plat::WM_SYSKEYDOWN && message != plat::WM_SYSKEYUP) return false;
  const bool up = message == plat::WM_SYSKEYUP;
  // F10 never opens the window menu by itself.
  if (up && key == plat::VK_F10) return true;
  if ((behaviour & kBehaviourSystemKeys) == 0) {
    if (up) return true;
    if (key != plat::VK_F4 && key != plat::VK_MENU && key != plat::VK_F10) return true;
  }
  return full_screen && up && key == plat::VK_ESCAPE;
}

bool CFrameworkApp::IsSwallowedByKeyboardHook(uint32_t message, uint32_t key, int32_t lparam, bool control_held) {
  if (message != plat::WM_KEYDOWN && message != plat::WM_KEYUP && message != plat::WM_SYSKEYDOWN &&
      message != plat::WM_SYSKEYUP) {
    return false;
  }
  const bool alt = (static_cast<uint32_t>(lparam) & plat::kKeyContextBit) != 0;
  if (key == plat::VK_ESCAPE && (control_held || alt)) return true;
  if (key == plat::VK_TAB && alt) return true;
  return key == plat::VK_LWIN || key == plat::VK_RWIN;
}

bool CFrameworkApp::PreTranslateMessage(const plat::Message& message) {
  // The hook stands aside while the system keys are the desktop's (bits 01), unless a menu or a
  // dialog has the system cursor up.
  const bool hook_acts = keyboard_hook_ && full_screen_ &&
                         ((window_behaviour_ & kBehaviourSystemKeys) != 1 || menu_shown_.load() || menu_open_.load() != 0);
  if (hook_acts && IsSwallowedByKeyboardHook(message.message, message.wparam, message.lparam, plat::IsControlKeyHeld())) {
    return true;
  }
  return IsDroppedSystemKey(message.message, message.wparam, window_behaviour_, full_screen_);
}

int CFrameworkApp::InstallKeyboardHook() {
  if (keyboard_hook_ || !full_screen_) return 0;
  const uint8_t system_keys = window_behaviour_ & kBehaviourSystemKeys;
  // A menu window with a frame gives the system keys their own use.
  if ((system_keys != 0 && info_.menu_in_fullscreen == 1) || system_keys == 1) return 0;
  plat::Window* window = main_window_.GetPlatformWindow();
  if (window == nullptr) return 1;
  window->SetKeyboardGrab(true);
  keyboard_hook_ = true;
  return 0;
}

void CFrameworkApp::RemoveKeyboardHook() {
  if (!keyboard_hook_) return;
  keyboard_hook_ = false;
  if (plat::Window* window = main_window_.GetPlatformWindow()) window->SetKeyboardGrab(false);
}

int CFrameworkApp::ShowMenuWindow() {
  const plat::WindowId window = main_window_.GetHandle();
  if (plat::MenuOverlay::IsOpen(window)) {
    plat::ScreenPresenter::RepaintWindow(window);
    return -1;
  }
  if (RegisterMenuWindowHandlers() != 0) return 1;
  // The menu closes by itself when an item is chosen or it is dismissed: the menu loop that
  // Alt or F10 started ends then (one shown from the top row has none), and the chosen command
  // follows as the menu's own would.
  const bool shown = plat::MenuOverlay::Open(window, MenuItems(), [this](uint32_t command) {
    menu_shown_.store(false);
    if (menu_window_open_ != 0) main_window_.PostMessage(plat::WM_EXITMENULOOP, 0, 0);
    if (command != 0) main_window_.PostMessage(plat::WM_COMMAND, command, 0);
  });
  menu_shown_.store(shown);
  return shown ? 0 : 2;
}

void CFrameworkApp::CloseMenuWindow() {
  plat::MenuOverlay::Close(main_window_.GetHandle());
  menu_shown_.store(false);
}

int CFrameworkApp::OnMouseWheel(MessageBlock& block) {
  input_.OnWheel(block.wparam);
  return 0;
}

int CFrameworkApp::OnSetCursor(MessageBlock& block) {
  if (plat::LoWord(static_cast<uint32_t>(block.lparam)) != plat::HTCLIENT) return 1;
  if (const CMouse* mouse = input_.GetMouse()) mouse->ApplyCursorShape();
  return 0;
}

int CFrameworkApp::OnEnterMenuLoop(MessageBlock& /*block*/) {
  menu_open_.store(1);
  if (!IsThreaded()) {
    drawing_allowed_.store(0);
    OnEnterModal();
  }
  plat::ShowCursor(true);
  return 0;
}

int CFrameworkApp::OnExitMenuLoop(MessageBlock& /*block*/) {
  if (full_screen_ && menu_window_open_ != 0) {
    menu_window_open_ = 0;
    main_window_.SendMessage(kMsgHideMenuWindow, 0, 0);
    screen_.DetachClipper();
    menu_window_closed_at_ = plat::CoarseMilliseconds();
  }
  input_.KeepKeysInStep();
  if (!IsThreaded()) {
    drawing_allowed_.store(1);
    OnLeaveModal();
  }
  if (modal_.load() == 0) menu_open_.store(0);
  return 0;
}

int CFrameworkApp::OnEnterSizeMove(MessageBlock& /*block*/) {
  size_move_ = 1;
  return 0;
}

int CFrameworkApp::OnExitSizeMove(MessageBlock& /*block*/) {
  size_move_ = 0;
  return 0;
}

int CFrameworkApp::OnKeyUp(MessageBlock& block) {
  input_.OnKeyUp(block.wparam);
  return 0;
}

int CFrameworkApp::OnSysKeyDown(MessageBlock& block) {
  input_.OnKeyDown(block.wparam, static_cast<uint32_t>(block.lparam));
  return 1;
}

int CFrameworkApp::OnLButtonDown(MessageBlock& /*block*/) {
  input_.OnMouseButton(kMouseLeft, true);
  return 0;
}

int CFrameworkApp::OnLButtonUp(MessageBlock& /*block*/) {
  input_.OnMouseButton(kMouseLeft, false);
  return 0;
}

int CFrameworkApp::OnRButtonDown(MessageBlock& /*block*/) {
  input_.OnMouseButton(kMouseRight, true);
  return 0;
}

int CFrameworkApp::OnRButtonUp(MessageBlock& /*block*/) {
  input_.OnMouseButton(kMouseRight, false);
  return 0;
}

int CFrameworkApp::OnMButtonDown(MessageBlock& /*block*/) {
  input_.OnMouseButton(kMouseMiddle, true);
  return 0;
}

int CFrameworkApp::OnMButtonUp(MessageBlock& /*block*/) {
  input_.OnMouseButton(kMouseMiddle, false);
  return 0;
}

int CFrameworkApp::OnCursorRequest(MessageBlock& block) {
  if (CMouse* mouse = input_.GetMouse()) {
    mouse->ShowCursorVia(block.wparam != 0, 0, 0);
  } else {
    plat::ShowCursor(block.wparam != 0);
  }
  return 0;
}

int CFrameworkApp::OnMessageBoxRequest(MessageBlock& block) {
  auto* request = dynamic_cast<MessageBoxRequestBlock*>(block.payload);
  if (request == nullptr) return 0;
  const char* title = request->title ? request->title->c_str() : nullptr;
  switch (request->box_type) {
    case kBoxYesNo:
      request->result = AskYesNo(request->text, request->icon_kind, 0, title) ? 1 : 0;
      break;
    case kBoxOkCancel:
      request->result = AskOkCancel(request->text, request->icon_kind, 0, title) ? 1 : 0;
      break;
    default:
      ShowMessageBox(request->text, request->icon_kind, 0, title);
      break;
  }
  return 0;
}

int CFrameworkApp::OnScreenModeRequest(MessageBlock& block) {
  const int result = ChangeScreenMode(static_cast<uint8_t>(block.wparam >> 16), static_cast<uint8_t>(block.wparam >> 8),
                                      static_cast<uint8_t>(block.wparam));
  if (auto* request = dynamic_cast<ScreenModeRequestBlock*>(block.payload)) request->result = result;
  return 0;
}

int CFrameworkApp::OnShowMenuWindow(MessageBlock& /*block*/) {
  ShowMenuWindow();
  return 0;
}

int CFrameworkApp::OnHideMenuWindow(MessageBlock& /*block*/) {
  // A menu loop that runs ends first (it hides the menu again).
  if (menu_window_open_ != 0) {
    main_window_.SendMessage(plat::WM_EXITMENULOOP, 0, 0);
    return 0;
  }
  CloseMenuWindow();
  return 0;
}

int CFrameworkApp::OnImeRequest(MessageBlock& block) {
  EnableIme(block.wparam != 0);
  return 0;
}

int CFrameworkApp::OnCloseRequest(MessageBlock& /*block*/) {
  main_window_.DestroyWindow();
  return 0;
}

void CFrameworkApp::PlaceCandidateWindow() {
  plat::Window* window = main_window_.GetPlatformWindow();
  if (window == nullptr) return;
  // Through the desktop, so that a scaled full screen moves the area with the picture.
  const plat::Point origin = window->ClientOrigin();
  const plat::Point top_left = GameToScreen(plat::Point{text_input_area_.left, text_input_area_.top});
  const plat::Point bottom_right = GameToScreen(plat::Point{text_input_area_.right, text_input_area_.bottom});
  window->SetTextInputArea(plat::Rect{top_left.x - origin.x, top_left.y - origin.y, bottom_right.x - origin.x,
                                      bottom_right.y - origin.y});
}

int CFrameworkApp::FilterImeNotify(MessageBlock& block) {
  switch (block.wparam) {
    case plat::IMN_OPENSTATUSWINDOW:
      return full_screen_ ? 0 : 1;
    case plat::IMN_CLOSECANDIDATE:
      candidate_open_ = 0;
      return 1;
    case plat::IMN_OPENCANDIDATE:
      PlaceCandidateWindow();
      candidate_open_ = 1;
      return 1;
    default:
      return 1;
  }
}

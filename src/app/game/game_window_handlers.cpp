// The game's own entries in the main window's message map.
#include <memory>

#include "app/framework/modal_state_scope.h"
#include "app/game/game_app.h"
#include "base/threads/lock_guard.h"
#include "builtins/variable_builtins.h"
#include "platform/encoding/text_encoding.h"
#include "platform/events/control_key.h"
#include "platform/window/message_queue.h"
#include "platform/window/native_window.h"
#include "scene/movies/movie_display.h"
#include "scene/movies/movie_players.h"

int CGameApp::PrepareWindow() {
  // The icon stays the desktop's: this build carries no icon resources.
  if (plat::IsControlKeyHeld()) GetWindowSettings()[kWinScreenMode] = kScreenModeWindow;
  const auto add = [this](uint32_t message, int (CGameApp::*handler)(MessageBlock&)) {
    GetMainWindow().AddHandler(message, std::make_unique<CMessageHandler>(this, handler));
  };
  // No menu bar exists, so the creation has no menu to keep or gray.
  add(plat::WM_CLOSE, &CGameApp::OnClose);
  add(plat::WM_SYSCOMMAND, &CGameApp::OnSysCommand);
  add(plat::WM_COMMAND, &CGameApp::OnMenuCommand);
  add(plat::WM_DESTROY, &CGameApp::OnDestroy);
  add(plat::WM_QUERYENDSESSION, &CGameApp::OnQueryEndSession);
  add(plat::WM_DROPFILES, &CGameApp::OnDropFiles);
  add(kMsgDialogRequest, &CGameApp::OnDialogRequest);
  add(kMsgMovieNotify, &CGameApp::OnMovieNotify);
  if ((window_behaviour_ & kBehaviourMaximizeBox) != 0) CheckDisplayForWindow();
  return 0;
}

int CGameApp::OnClose(MessageBlock& block) {
  if (block.wparam == kCloseConfirmed) return CFrameworkApp::OnClose(block);
  // The close box pressed again while the question is open asks nothing more.
  if (modal_state_ == kAskingToClose) return 0;
  if (plat::Window* window = GetMainWindow().GetPlatformWindow(); window != nullptr && window->IsMinimized()) {
    GetMainWindow().SendMessage(plat::WM_SYSCOMMAND, plat::SC_RESTORE, 0);
  }
  int answer = 0;
  {
    ModalStateScope asking(modal_state_, kAskingToClose);
    EnterModal();
    const std::string text = plat::Utf8ToSjis("『") + GetAppInfo().application_name +
                             plat::Utf8ToSjis("』\nを終了しますか？");
    answer = ShowMessageDialog(text, kDialogYesNo, nullptr, nullptr, false);
    LeaveModal();
  }
  if (answer == 0) return 0;
  return CFrameworkApp::OnClose(block);
}

// The window movie paints into the window from its own thread; the other players' threads fill
// surfaces that the game thread draws, which the window's end takes away in single-thread mode,
// and which a game thread still running goes on using until it ends.
void CGameApp::EndMoviesOfWindow() {
  CLockGuard guard(app_lock_);
  if (IsThreaded() && GetWorkerThread().IsRunning()) {
    g_Movie.reset();
    return;
  }
  DeleteMoviePlayers();
}

void CGameApp::OnDeactivateFullScreen() {
  CLockGuard guard(app_lock_);
  g_Movie.reset();
}

int CGameApp::OnSysCommand(MessageBlock& block) {
  const uint32_t command = block.wparam & 0xFFF0;
  plat::Window* window = GetMainWindow().GetPlatformWindow();
  const bool minimized = window != nullptr && window->IsMinimized();
  if (command == plat::SC_MAXIMIZE) {
    if (minimized) window->Restore();
    GetMainWindow().SendMessage(plat::WM_COMMAND, kCmdScreenModeToggle, 0);
    return 0;
  }
  if (command == plat::SC_RESTORE && !minimized && IsActive()) {
    GetMainWindow().SendMessage(plat::WM_COMMAND, kCmdScreenModeToggle, 0);
    return 0;
  }
  return 1;
}

int CGameApp::OnDestroy(MessageBlock& /*block*/) {
  EndMoviesOfWindow();
  if (plat::Window* window = GetMainWindow().GetPlatformWindow()) {
    window->Hide();
    if (!IsFullScreen()) {
      const plat::Point origin = window->PlacedOrigin();
      WriteBlockInt32(GetWindowSettings(), kWinLeft, origin.x);
      WriteBlockInt32(GetWindowSettings(), kWinTop, origin.y);
    }
  }
  // The program ends from here on, whichever way the window went: a box asked for meanwhile
  // (the settings that cannot be written) is told by the log, not opened for the quit to close.
  SetQuit();
  plat::PostQuitMessage(0);
  return 0;
}

int CGameApp::OnQueryEndSession(MessageBlock& /*block*/) {
  // The program is ending from here on: a file that cannot be written is told by the log, not
  // by a box that would hold the end until someone clicks it.
  SetQuit();
  ending_session_ = true;
  SaveReadLogs();
  SaveSettings(0);
  return 1;
}

int CGameApp::OnDropFiles(MessageBlock& block) {
  if (plat::Window* window = block.window != nullptr ? block.window->GetPlatformWindow() : nullptr) window->Raise();
  drop_files_.OnDropFiles(block.wparam);
  return 0;
}

int CGameApp::OnDialogRequest(MessageBlock& block) {
  ShowRequestedDialog(dynamic_cast<MessageDialogRequestBlock*>(block.payload));
  return 0;
}

int CGameApp::OnPaint(MessageBlock& /*block*/) {
  const plat::WindowId window = GetMainWindow().GetHandle();
  plat::PaintStruct paint;
  if (plat::DeviceContext* dc = plat::BeginPaint(window, paint); dc != nullptr) {
    PaintFromScreen(*dc, paint.paint);
    if (movie_playing_ == 2) {
      CLockGuard guard(app_lock_);
      if (g_Movie != nullptr) g_Movie->Repaint(dc);
    }
  }
  plat::EndPaint(window, paint);
  return 0;
}

int CGameApp::OnDisplayChange(MessageBlock& block) {
  {
    CLockGuard guard(app_lock_);
    if (g_Movie != nullptr) g_Movie->NotifyDisplayChange();
  }
  return CFrameworkApp::OnDisplayChange(block);
}

static_assert(kMsgMovieNotify == kMovieNotifyMessage, "the movie library wakes the window by this message");

int CGameApp::OnMovieNotify(MessageBlock& /*block*/) {
  CLockGuard guard(app_lock_);
  if (g_Movie != nullptr) g_Movie->DrainEvents();
  return 0;
}

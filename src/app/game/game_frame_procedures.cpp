// The four frame procedures: one per run mode (single-thread or game thread) and display (back
// surface with render lists, or display canvas). Each waits for the next due frame, draws and
// presents it, and answers how many script slices are due; 0 stops the caller.
#include "app/game/game_app.h"

#include "base/threads/lock_guard.h"
#include "base/time/millisecond_clock.h"
#include "platform/system/clock.h"
#include "platform/window/message_queue.h"

namespace {

constexpr uint32_t kVerticalBlankSleepMs = 3;
// The sleep after a pass drawn while the priority is lowered: the shortest there is.
constexpr uint32_t kLoweredPassSleepMs = 1;

}  // namespace

int CGameApp::RunFrame() { return frame_procedure_ != nullptr ? (this->*frame_procedure_)() : kFrameStop; }

bool CGameApp::InactiveWait() const {
  if (IsActive()) return false;
  // A pending display-mode restore joins here with the screen modes.
  const bool exclusive = IsFullScreen() && GetScreenManager().GetCooperativeLevel() == kCooperativeExclusive;
  return window_block_[kWinPauseWhileInactive] != 0 || exclusive;
}

void CGameApp::Wait(uint32_t milliseconds, bool threaded) {
  if (threaded) {
    GetWorkerThread().WaitStopRequest(milliseconds);
  } else {
    plat::SleepMilliseconds(milliseconds);
  }
}

void CGameApp::SleepUntilDue(bool threaded) {
  if (!pacer_.UsesCounter()) {
    Wait(pacer_.GetWaitHint(), threaded);
    return;
  }
  // The counter's hint only covers the first half of the interval: the wait goes on to the
  // due reading itself, so that the loop never spins.
  const int64_t due = pacer_.GetDueCounterReading();
  if (threaded) {
    const int64_t frequency = plat::CounterFrequency();
    const double remaining_ns =
        frequency > 0 ? static_cast<double>(due - plat::CounterReading()) * 1e9 / static_cast<double>(frequency) : 0;
    // One precise wait, which a stop request ends at once, so that an idle frame wakes once.
    if (remaining_ns > 0 &&
        GetWorkerThread().WaitStopRequestFor(std::chrono::nanoseconds(static_cast<int64_t>(remaining_ns)))) {
      return;
    }
  }
  plat::SleepUntilCounter(due);
}

void CGameApp::SleepWhileVerticalBlankPaced(bool threaded) {
  if (GetScreenManager().GetWaitForVerticalBlank() == 0) return;
  Wait(zero_sleep_.load() ? 0 : kVerticalBlankSleepMs, threaded);
}

void CGameApp::UpdateInput() {
  TrackCursor();
  GetInputManager().Update();
}

void CGameApp::DrawRenderLists() {
  if (IsMoviePlaying()) return;
  CScreenManager& screen = GetScreenManager();
  if (back_format_refresh_.load()) screen.RefreshBackFormat();
  pausable_timers_.Advance(ReadMillisecondClock());
  if (plat::Surface* back = screen.GetBack()) screen.RenderAll(back, &screen.GetScreenRect(), &screen);
}

bool CGameApp::PresentBack() {
  CScreenManager& screen = GetScreenManager();
  if (screen.Present() == 2 && screen.Restore() != 0) {
    SetFatalError(kFatalRestoreFailed);
    return false;
  }
  return true;
}

void CGameApp::UpdateCanvas() {
  pausable_timers_.Advance(ReadMillisecondClock());
  GetScreenManager().UpdateScreen();
}

bool CGameApp::DrawWhileLowered(bool canvas) {
  if (canvas) {
    UpdateCanvas();
    return true;
  }
  if (IsMoviePlaying()) return true;
  DrawRenderLists();
  return PresentBack();
}

bool CGameApp::DrawLoweredPass(bool canvas, bool threaded) {
  const bool presented = threaded ? PresentOnGameThread(canvas) : DrawWhileLowered(canvas);
  if (presented) Wait(kLoweredPassSleepMs, threaded);
  return presented;
}

int CGameApp::DueFrameResult(bool threaded) {
  int slices = pacer_.GetFramesToSkip();
  if (slices == 0) return kFrameOneSlice;
  if (slices > kMostSlicesPerFrame) slices = kFrameOneSlice;
  if (const uint32_t hint = pacer_.GetWaitHint(); hint != 0) Wait(hint, threaded);
  return slices;
}

bool CGameApp::BeginPassOnMainThread() {
  for (;;) {
    if (PumpMessages(game_switches_[kSwitchMouseMoves] != 0) != 0) return false;
    if (GetFatalError() != 0 || restart_.load() != 0) return false;
    timers_.Advance(ReadMillisecondClock());
    if (!InactiveWait()) return true;
    plat::WaitMessage();
  }
}

void CGameApp::SleepBeforeReadingEvents() {
  if (priority_nesting_ == 0 && pacer_.CounterBeforeDue()) SleepUntilDue(false);
}

int CGameApp::FrameSingle() {
  if (!IsMoviePlaying() && !PresentBack()) return kFrameStop;
  SleepBeforeReadingEvents();
  for (;;) {
    if (!BeginPassOnMainThread()) return kFrameStop;
    if (pacer_.Tick()) {
      SleepWhileVerticalBlankPaced(false);
      UpdateInput();
      DrawRenderLists();
      return DueFrameResult(false);
    }
    if (priority_nesting_ == 0) {
      SleepUntilDue(false);
    } else if (!DrawLoweredPass(false, false)) {
      return kFrameStop;
    }
  }
}

int CGameApp::FrameSingleCanvas() {
  SleepBeforeReadingEvents();
  for (;;) {
    if (!BeginPassOnMainThread()) return kFrameStop;
    if (pacer_.Tick()) {
      UpdateInput();
      UpdateCanvas();
      return DueFrameResult(false);
    }
    if (priority_nesting_ == 0) {
      SleepUntilDue(false);
    } else {
      DrawLoweredPass(true, false);
    }
  }
}

int CGameApp::FrameThreaded() {
  if (!IsMoviePlaying()) {
    CLockGuard display(GetDisplayLock());
    if (!PresentBack()) return kFrameStop;
  }
  return FrameThreadedLoop(false);
}

int CGameApp::FrameThreadedCanvas() { return FrameThreadedLoop(true); }

// The game thread never reads the message queue: the main thread does, and parks the game
// thread through the blocking-wait flag when it needs the game to hold still.
int CGameApp::FrameThreadedLoop(bool canvas) {
  for (;;) {
    if (!GetWorkerThread().ShouldContinue()) return kFrameStop;
    if (ParkWhileBlockingWait()) continue;
    if (restart_.load() != 0) return kFrameStop;
    BeginGameThreadPass();
    if (InactiveWait()) {
      plat::SleepMilliseconds(kGameThreadIdleMs);
      continue;
    }
    if (GetFatalError() != 0) return kFrameStop;
    if (pacer_.Tick()) {
      DrawDueFrameOnGameThread(canvas);
      return DueFrameResult(true);
    }
    if (priority_nesting_ == 0) {
      SleepUntilDue(true);
    } else if (!DrawLoweredPass(canvas, true)) {
      return kFrameStop;
    }
  }
}

bool CGameApp::PresentOnGameThread(bool canvas) {
  CLockGuard display(GetDisplayLock());
  return DrawWhileLowered(canvas);
}

void CGameApp::DrawDueFrameOnGameThread(bool canvas) {
  if (!canvas) SleepWhileVerticalBlankPaced(true);
  CLockGuard display(GetDisplayLock());
  UpdateInput();
  if (canvas) {
    // A playing movie with a surface of its own keeps the canvas from being shown; movies join
    // with their issue.
    UpdateCanvas();
  } else {
    DrawRenderLists();
  }
}

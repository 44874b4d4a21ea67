#include "app/game_app.h"

#include "app/not_built.h"
#include "platform/message_queue.h"
#include "platform/thread_id.h"
#include "platform/thread_priority.h"

CGameApp* g_App = nullptr;
int (*g_LowerPriorityHook)() = nullptr;
int (*g_RestorePriorityHook)() = nullptr;

namespace {

int LowerThroughApp() { return g_App != nullptr ? g_App->LowerGameThreadPriority() : -1; }
int RestoreThroughApp() { return g_App != nullptr ? g_App->RestoreGameThreadPriority() : 0; }

}  // namespace

GameSwitches DefaultGameSwitches() {
  GameSwitches switches{};
  for (const std::size_t on : {1, 2, 4, 6, 7, 8, 9, 13, 14, 16}) switches[on] = 1;
  switches[12] = 2;  // 512 glyph-cache entries in bytes 11-12
  return switches;
}

CGameApp::CGameApp() { g_App = this; }

CGameApp::~CGameApp() {
  // The worker runs this object's operations: it ends before this part of the object does. The
  // windows go first, so that a worker sending to them is turned away instead of waiting.
  GetMenuWindow().Destroy();
  GetMainWindow().Destroy();
  GetWorkerThread().Stop();
  if (g_App == this) {
    g_App = nullptr;
    g_LowerPriorityHook = nullptr;
    g_RestorePriorityHook = nullptr;
  }
}

int CGameApp::SetUp() {
  ReportNotBuiltYet("game set-up (settings files, archives, save folder); the default settings are used");
  g_LowerPriorityHook = &LowerThroughApp;
  g_RestorePriorityHook = &RestoreThroughApp;
  return CFrameworkApp::SetUp();
}

void CGameApp::RunOwnLoop() {
  ReportNotBuiltYet("script engine and frame procedures: the window stays open, without a game, until it is closed");
  while (PumpMessages(game_switches_[kSwitchMouseMoves] != 0) == 0 && GetMainWindow().IsWindow()) {
    plat::WaitMessage();
  }
}

int CGameApp::OnThreadStart() {
  ReportNotBuiltYet("script engine and frame procedures: the game thread idles until the window is closed");
  return 0;
}

uint32_t CGameApp::PriorityTarget() {
  if (!IsThreaded()) return plat::CurrentThreadId();
  return GetWorkerThread().IsRunning() ? GetWorkerThread().GetThreadId() : 0;
}

int CGameApp::LowerGameThreadPriority() {
  if (game_switches_[kSwitchPriorityHooksOff] != 0) return -1;
  if (priority_nesting_ > 0) {
    ++priority_nesting_;
    return 1;
  }
  const uint32_t target = PriorityTarget();
  ++priority_nesting_;
  if (target == 0) return 2;
  return plat::SetThreadPriority(target, plat::ThreadPriority::kLowest) ? 0 : 2;
}

int CGameApp::RestoreGameThreadPriority() {
  if (game_switches_[kSwitchPriorityHooksOff] != 0) return priority_nesting_;
  if (priority_nesting_ == 0) return 0;
  const int before = priority_nesting_--;
  if (before == 1) {
    if (const uint32_t target = PriorityTarget(); target != 0) {
      plat::SetThreadPriority(target, plat::ThreadPriority::kNormal);
    }
  }
  return before;
}

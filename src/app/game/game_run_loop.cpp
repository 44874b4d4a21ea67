// The run loops around the script host: in single-thread mode RunScript on the main thread, in
// threaded mode the game thread's start, step and end. They decide how many script slices run
// per frame, restart the scripts at "MAIN" after a return to the title, and end the game with a
// message when a script fails.
#include "app/game/game_app.h"

#include "app/framework/private_messages.h"
#include "base/threads/lock_guard.h"
#include "base/time/millisecond_clock.h"
#include "game/game_script_host.h"
#include "platform/encoding/text_encoding.h"
#include "platform/system/clock.h"
#include "platform/window/message_queue.h"

namespace {

// Restart bytes from this value on are cleared without a restart on the game thread.
constexpr uint8_t kFirstIgnoredRestart = 3;

}  // namespace

void CGameApp::ShowStopMessage(const std::string& text) {
  // Message boxes belong to the window thread; the game thread asks it for one.
  if (plat::MessageQueue::Instance().OnWindowThread()) {
    ShowMessageBox(text, kBoxStop);
  } else {
    RequestMessageBox(kBoxPlain, text, kBoxStop);
  }
}

void CGameApp::ShowScriptFailure(const char* utf8_text) { ShowStopMessage(plat::Utf8ToSjis(utf8_text)); }

uint32_t CGameApp::RunSlice() {
  const uint32_t result = script_host_->RunLoop();
  switch (result) {
    case CScriptHost::kRunBadScript:
      ShowScriptFailure("不正なスクリプトを実行しました");
      break;
    case CScriptHost::kRunJumpLoadFailed:
      ShowScriptFailure("Jump命令でスクリプトのロードに失敗");
      break;
    case CScriptHost::kRunCallLoadFailed:
      ShowScriptFailure("Call命令でスクリプトのロードに失敗");
      break;
    default:
      break;
  }
  return result;
}

bool CGameApp::RestartScripts() {
  if (script_host_->RestartMain(restart_.load() - 1 != 0) != 0) {
    ShowScriptFailure("スクリプト割り込みに失敗しました");
    return false;
  }
  restart_.store(0);
  return true;
}

int CGameApp::StartScriptEngine() {
  pacer_.SetSkipEnabled(game_switches_[kSwitchFrameSkip] != 0);
  // No scene device exists: both states are only cached.
  GetScreenManager().SetColorKeyEnable(1);
  GetScreenManager().SetCullMode(1);
  return InitScriptEngine();
}

void CGameApp::RunOwnLoop() { RunScript(); }

int CGameApp::RunScript() {
  if (const int code = StartScriptEngine(); code != 0) return code;
  // Start-up already took longer than a frame: the first one is drawn without a wait.
  pacer_.MakeNextFrameDue();
  int result = 0;
  while (RunScriptPass(result)) {
  }
  return result;
}

bool CGameApp::RunScriptPass(int& result) {
  int slices = RunFrame();
  if (slices == kFrameStop) {
    if (restart_.load() == 0) {
      result = 0;
      return false;
    }
    if (!RestartScripts()) {
      result = kRunRestartFailed;
      return false;
    }
    return true;
  }
  for (;;) {
    const uint32_t run = RunSlice();
    if (run != CScriptHost::kRunSuspended) {
      result = static_cast<int>(run);
      return false;
    }
    if (restart_.load() != 0 && !RestartScripts()) {
      result = kRunRestartFailed;
      return false;
    }
    if (--slices <= 0) return true;
  }
}

bool CGameApp::ShouldStopRunningScript() {
  if (HasQuit()) return true;
  if (!plat::MessageQueue::Instance().OnWindowThread()) return !GetWorkerThread().ShouldContinue();
  return PumpMessages(game_switches_[kSwitchMouseMoves] != 0) != 0;
}

int CGameApp::OnThreadStart() { return StartScriptEngine() != 0 ? 1 : 0; }

bool CGameApp::ParkWhileBlockingWait() {
  const uint8_t flag = GetBlockingWaitFlag().load();
  if (flag == 0) return false;
  if (flag == kBlockingWaitRequested) GetBlockingWaitFlag().store(kBlockingWaitAcknowledged);
  plat::SleepMilliseconds(kGameThreadIdleMs);
  return true;
}

void CGameApp::BeginGameThreadPass() {
  TakeUpConfirmedBindings();
  CLockGuard game(game_lock_);
  timers_.Advance(ReadMillisecondClock());
}

int CGameApp::OnThreadStep() {
  if (ParkWhileBlockingWait()) return 0;
  BeginGameThreadPass();
  if (InactiveWait()) {
    plat::SleepMilliseconds(kGameThreadIdleMs);
    return 0;
  }
  if (GetFatalError() != 0) return 1;
  const bool canvas = GetScreenManager().GetFrameImage() != nullptr;
  if (!pacer_.Tick()) {
    if (priority_nesting_ == 0) {
      SleepUntilDue(true);
    } else {
      DrawLoweredPass(canvas, true);
    }
    return 0;
  }
  DrawStepFrameOnGameThread(canvas);
  const int frames_to_skip = pacer_.GetFramesToSkip();
  const int extra_slices = frames_to_skip > kMostSlicesPerFrame ? 0 : frames_to_skip;
  if (frames_to_skip != 0 && pacer_.GetWaitHint() != 0) Wait(pacer_.GetWaitHint(), true);
  for (int slice = 0; slice <= extra_slices; ++slice) {
    const uint32_t run = RunSlice();
    if (run == CScriptHost::kRunFinished) return -1;
    if (run != CScriptHost::kRunSuspended) return static_cast<int>(run) + 1;
    if (const uint8_t restart = restart_.load(); restart != 0) {
      if (restart < kFirstIgnoredRestart && !RestartScripts()) return kStepRestartFailed;
      restart_.store(0);
      return 0;
    }
  }
  PresentStepFrameOnGameThread(canvas);
  return 0;
}

// The due frame of a pass draws the render lists (a canvas is drawn by the scripts' slices)...
void CGameApp::DrawStepFrameOnGameThread(bool canvas) {
  if (!canvas) SleepWhileVerticalBlankPaced(true);
  CLockGuard display(GetDisplayLock());
  UpdateInput();
  if (!canvas) DrawRenderLists();
}

// ...and after the slices shows it once: the back surface, or the canvas's changes.
void CGameApp::PresentStepFrameOnGameThread(bool canvas) {
  CLockGuard display(GetDisplayLock());
  if (canvas) {
    UpdateCanvas();
  } else if (!IsMoviePlaying()) {
    PresentBack();
  }
}

void CGameApp::OnThreadEnd() { sound_output_.DestroyAllBuffers(); }

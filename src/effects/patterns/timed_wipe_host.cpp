#include "effects/patterns/timed_wipe_host.h"

#include <memory>

#include "base/time/millisecond_clock.h"
#include "base/time/timer_manager.h"

CTimedWipeHost* g_TimedWipeHost = nullptr;

namespace {

// Types 0 and 1 step in 256ths of their duration; the strip types on every pass.
constexpr uint32_t kFadeSteps = 256;

}  // namespace

// An ended wipe stays in the manager's list until its next pass deletes it: it is no longer held.
bool CTimedWipeHost::Holds(const CTimedWipe* wipe) const {
  return wipe != nullptr && timers_->Contains(wipe) && !wipe->IsFinished();
}

CTimedWipe* CTimedWipeHost::CreateTimedWipe(uint32_t type, uint32_t duration, CImage* target, CImage* source,
                                            const TimedWipeArgs& args) {
  if (timers_ == nullptr || target == nullptr || type >= kTimedWipeTypeCount) return nullptr;
  std::unique_ptr<CTimedWipe> wipe(CTimedWipe::Make(type, duration, ReadMillisecondClock(), target, source, args));
  if (wipe == nullptr) return nullptr;
  const uint32_t period = type < 2 ? wipe->GetDuration() / kFadeSteps : 0;
  if (timers_->Add(wipe.get(), period, period, 0) != CTimerManager::kAdded) return nullptr;
  CTimedWipe* held = wipe.release();
  held->LowerPriority();
  return held;
}

uint32_t CTimedWipeHost::FinishTimedWipe(CTimedWipe* wipe) {
  if (timers_ == nullptr) return 1;
  if (!Holds(wipe)) return 0;
  wipe->Update(wipe->GetStart() + wipe->GetDuration());
  timers_->Remove(wipe);
  return 0;
}

uint32_t CTimedWipeHost::StopTimedWipe(CTimedWipe* wipe) {
  if (timers_ == nullptr) return 1;
  if (Holds(wipe)) timers_->Remove(wipe);
  return 0;
}

bool CTimedWipeHost::IsTimedWipeRunning(const CTimedWipe* wipe) const {
  return timers_ != nullptr && Holds(wipe);
}

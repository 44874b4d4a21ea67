#include "base/time/elapsed_timer_array.h"

#include <new>

uint32_t CElapsedTimerArray::Allocate(uint16_t count) {
  timers_.clear();
  timers_.shrink_to_fit();
  if (count == 0) return 1;
  try {
    timers_.resize(count);
  } catch (const std::bad_alloc&) {
    return 2;
  }
  return 0;
}

namespace {

template <class Action>
bool WithTimer(std::vector<CElapsedTimer>& timers, uint16_t index, Action action) {
  if (index >= timers.size()) return false;
  action(timers[index]);
  return true;
}

}  // namespace

bool CElapsedTimerArray::Restart(uint16_t index) {
  return WithTimer(timers_, index, [](CElapsedTimer& timer) { timer.Restart(); });
}

uint32_t CElapsedTimerArray::GetElapsed(uint16_t index) const {
  return index < timers_.size() ? timers_[index].GetElapsed() : 0;
}

bool CElapsedTimerArray::SetElapsed(uint16_t index, uint32_t milliseconds) {
  return WithTimer(timers_, index, [milliseconds](CElapsedTimer& timer) { timer.SetElapsed(milliseconds); });
}

bool CElapsedTimerArray::Pause(uint16_t index) {
  return WithTimer(timers_, index, [](CElapsedTimer& timer) { timer.Pause(); });
}

bool CElapsedTimerArray::Resume(uint16_t index) {
  return WithTimer(timers_, index, [](CElapsedTimer& timer) { timer.Resume(); });
}

bool CElapsedTimerArray::PauseAll() {
  if (timers_.empty()) return false;
  for (CElapsedTimer& timer : timers_) timer.Pause();
  paused_ = true;
  return true;
}

bool CElapsedTimerArray::ResumeAll() {
  if (timers_.empty()) return false;
  for (CElapsedTimer& timer : timers_) timer.Resume();
  paused_ = false;
  return true;
}

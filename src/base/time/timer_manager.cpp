#include "base/time/timer_manager.h"

#include <algorithm>
#include <iterator>

#include "base/time/millisecond_clock.h"

CTimerManager* g_TimerManager = nullptr;
CTimerManager* g_PausableTimerManager = nullptr;

namespace {

uint32_t NowOrClock(uint32_t now) { return now != 0 ? now : ReadMillisecondClock(); }

}  // namespace

// Marks a stretch in which tasks are called. Slots emptied meanwhile are unlinked only when
// the outermost stretch ends, so no pass ever loses the node it stands on.
class CTimerManager::WalkScope {
 public:
  explicit WalkScope(CTimerManager& manager) : manager_(manager) { ++manager_.walk_depth_; }
  ~WalkScope() {
    if (--manager_.walk_depth_ != 0 || !manager_.has_empty_slots_) return;
    manager_.tasks_.remove_if([](const TaskSlot& slot) { return slot == nullptr; });
    manager_.has_empty_slots_ = false;
  }
  WalkScope(const WalkScope&) = delete;
  WalkScope& operator=(const WalkScope&) = delete;

 private:
  CTimerManager& manager_;
};

CTimerManager::~CTimerManager() {
  for (TaskSlot& slot : tasks_) {
    if (slot) slot->ForgetOwnerVariable();
  }
  tasks_.clear();
}

template <class Visit>
void CTimerManager::Walk(WalkExtent extent, Visit visit) {
  WalkScope scope(*this);
  if (tasks_.empty()) return;
  // Tasks added while a pass runs first run on the next pass.
  const auto last_at_start = std::prev(tasks_.end());
  for (auto it = tasks_.begin(); it != tasks_.end(); ++it) {
    if (*it) visit(*it);
    if (extent == WalkExtent::kPresentAtStart && it == last_at_start) break;
  }
}

CTimerManager::TaskSlot* CTimerManager::FindSlot(const CTimedTask* task) {
  for (TaskSlot& slot : tasks_) {
    if (slot && slot->identity_ == task) return &slot;
  }
  return nullptr;
}

void CTimerManager::DeleteTask(TaskSlot& slot) {
  slot.reset();
  --count_;
  has_empty_slots_ = true;
}

void CTimerManager::EndTask(CTimedTask& task) {
  task.ClearOwnerVariable();
  task.finished_ = true;
  task.Stop();
}

bool CTimerManager::IsOfKind(const CTimedTask& task, int32_t kind) {
  return static_cast<int32_t>(task.GetTypeId()) == kind;
}

bool CTimerManager::CountCall(CTimedTask& task) {
  return task.remaining_calls_ != 0 && --task.remaining_calls_ == 0;
}

uint32_t CTimerManager::Add(CTimedTask* task, uint32_t delay, uint32_t period, uint32_t repeat_count) {
  if (task == nullptr) return kNullTask;
  if (task->identity_ != nullptr) return kAlreadyAdded;
  task->identity_ = task;
  task->start_time_ = ReadMillisecondClock() + delay;
  task->interval_ = period;
  task->remaining_calls_ = repeat_count;
  tasks_.emplace_back(task);
  ++count_;
  return kAdded;
}

bool CTimerManager::Remove(CTimedTask* task) {
  bool removed = false;
  Walk(WalkExtent::kPresentAtStart, [&](TaskSlot& slot) {
    if (removed || slot->identity_ != task || slot->finished_) return;
    EndTask(*slot);
    removed = true;
  });
  return removed;
}

void CTimerManager::RemoveByKind(int32_t kind) {
  Walk(WalkExtent::kPresentAtStart, [kind](TaskSlot& slot) {
    if (!slot->finished_ && IsOfKind(*slot, kind)) EndTask(*slot);
  });
}

void CTimerManager::RemoveUsing(int32_t kind, const void* resource) {
  Walk(WalkExtent::kPresentAtStart, [kind, resource](TaskSlot& slot) {
    if (!slot->finished_ && IsOfKind(*slot, kind) && slot->UsesResource(resource)) EndTask(*slot);
  });
}

void CTimerManager::RemoveAll() {
  if (walk_depth_ != 0) {
    Walk(WalkExtent::kPresentAtStart, [](TaskSlot& slot) {
      if (!slot->finished_) EndTask(*slot);
    });
    return;
  }
  Walk(WalkExtent::kEverything, [this](TaskSlot& slot) {
    if (!slot->finished_) {
      slot->ClearOwnerVariable();
      slot->Stop();
    }
    if (slot) DeleteTask(slot);
  });
}

bool CTimerManager::Contains(const CTimedTask* task) const {
  return std::any_of(tasks_.begin(), tasks_.end(),
                     [task](const TaskSlot& slot) { return slot && slot->identity_ == task; });
}

void CTimerManager::SetDelay(CTimedTask* task, uint32_t milliseconds) {
  if (TaskSlot* slot = FindSlot(task)) (*slot)->start_time_ = ReadMillisecondClock() + milliseconds;
}

bool CTimerManager::PauseTask(CTimedTask* task) {
  const uint32_t now = ReadMillisecondClock();
  WalkScope scope(*this);
  TaskSlot* slot = FindSlot(task);
  if (slot == nullptr) return false;
  (*slot)->Pause(now);
  return true;
}

bool CTimerManager::ResumeTask(CTimedTask* task) {
  const uint32_t now = ReadMillisecondClock();
  WalkScope scope(*this);
  TaskSlot* slot = FindSlot(task);
  if (slot == nullptr) return false;
  (*slot)->Resume(now);
  return true;
}

void CTimerManager::PauseAll(int32_t kind) {
  const uint32_t now = ReadMillisecondClock();
  Walk(WalkExtent::kPresentAtStart, [kind, now](TaskSlot& slot) {
    if (kind < 0 || IsOfKind(*slot, kind)) slot->Pause(now);
  });
}

void CTimerManager::ResumeAll(int32_t kind) {
  const uint32_t now = ReadMillisecondClock();
  Walk(WalkExtent::kPresentAtStart, [kind, now](TaskSlot& slot) {
    if (kind < 0 || IsOfKind(*slot, kind)) slot->Resume(now);
  });
}

void CTimerManager::Dispatch(uint32_t now) {
  now = NowOrClock(now);
  Walk(WalkExtent::kPresentAtStart, [this, now](TaskSlot& slot) { DispatchTask(slot, now); });
}

void CTimerManager::Advance(uint32_t now) {
  now = NowOrClock(now);
  Walk(WalkExtent::kPresentAtStart, [this, now](TaskSlot& slot) { AdvanceTask(slot, now); });
}

// A slot can empty while its task runs (a nested pass deleted it), so it is looked at again
// after every call into the task.
void CTimerManager::DispatchTask(TaskSlot& slot, uint32_t now) {
  if (!slot->finished_ && (slot->IsPaused() || !slot->IsDueAt(now))) return;
  do {
    if (slot->finished_) {
      DeleteTask(slot);
      return;
    }
    if (!RunDueCall(slot, now)) return;
  } while (slot->IsDueAt(now));
}

void CTimerManager::AdvanceTask(TaskSlot& slot, uint32_t now) {
  if (slot->finished_) {
    DeleteTask(slot);
    return;
  }
  if (slot->IsPaused() || !slot->IsDueAt(now)) return;
  if (RunDueCall(slot, now) && slot->IsDueAt(now)) slot->start_time_ = now + slot->interval_;
}

// One due call: the task runs, and is deleted when it reports the end or has used up its calls.
// True while it stays and repeats (its next due time is then set one interval on).
bool CTimerManager::RunDueCall(TaskSlot& slot, uint32_t now) {
  const uint32_t finished = slot->Update(now);
  if (!slot) return false;
  if (finished != 0 || CountCall(*slot)) {
    DeleteTask(slot);
    return false;
  }
  if (slot->interval_ == 0) return false;
  slot->start_time_ += slot->interval_;
  return true;
}

CTimedTask* CTimerManager::FindByKind(int32_t kind) const {
  for (const TaskSlot& slot : tasks_) {
    if (slot && !slot->finished_ && IsOfKind(*slot, kind)) return slot.get();
  }
  return nullptr;
}

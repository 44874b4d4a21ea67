// The list of timed tasks that the frame loop advances. A manager owns every task added to it
// and deletes it once it has finished: by its own Update, by running out of calls, or by being
// ended through Remove, RemoveByKind or RemoveAll. Only the thread that runs the frame loop
// uses a manager. A task may call the manager that is running it (add, remove, pause, even
// RemoveAll); the list keeps the entries that a pass stands on until the pass is over.
#pragma once

#include <cstdint>
#include <list>
#include <memory>

#include "base/time/timed_task.h"

class CTimerManager {
 public:
  static constexpr uint32_t kAdded = 0;
  static constexpr uint32_t kNullTask = 1;
  static constexpr uint32_t kAlreadyAdded = 2;

  CTimerManager() = default;
  CTimerManager(const CTimerManager&) = delete;
  CTimerManager& operator=(const CTimerManager&) = delete;
  // Deletes every task without writing to the owners' variables.
  virtual ~CTimerManager();

  // Takes ownership of `task` on kAdded: first due `delay` ms from now, then every `period`
  // ms (0 = on every pass), `repeat_count` calls in all (0 = unlimited). A task that already
  // belongs to a manager is refused with kAlreadyAdded and left as it was.
  virtual uint32_t Add(CTimedTask* task, uint32_t delay, uint32_t period, uint32_t repeat_count);
  // Ends the task: false when it is absent or already ended.
  virtual bool Remove(CTimedTask* task);
  // Ends every running task of exactly this kind.
  virtual void RemoveByKind(int32_t kind);
  // Ends every running task of exactly this kind that uses the resource.
  void RemoveUsing(int32_t kind, const void* resource);
  // Ends and deletes every task. Called while the manager is running its tasks, it ends them
  // and leaves the deleting to the pass.
  virtual void RemoveAll();
  virtual bool Contains(const CTimedTask* task) const;
  // Makes the task due `milliseconds` from now.
  virtual void SetDelay(CTimedTask* task, uint32_t milliseconds);
  virtual bool PauseTask(CTimedTask* task);
  // Pauses every task of the kind (negative = every task); pauses nest in each task.
  virtual void PauseAll(int32_t kind);
  virtual bool ResumeTask(CTimedTask* task);
  virtual void ResumeAll(int32_t kind);
  // Runs every due task, catching up: one call per missed period, all with the same time.
  // `now` 0 reads the clock.
  virtual void Dispatch(uint32_t now);
  // Runs every due task once; missed periods are skipped. `now` 0 reads the clock.
  virtual void Advance(uint32_t now);

  // The first running task of the kind in list order, or null.
  CTimedTask* FindByKind(int32_t kind) const;
  uint32_t GetCount() const { return count_; }

 private:
  // A deleted task leaves an empty slot while a pass may stand on it.
  using TaskSlot = std::unique_ptr<CTimedTask>;
  enum class WalkExtent { kPresentAtStart, kEverything };
  class WalkScope;

  template <class Visit>
  void Walk(WalkExtent extent, Visit visit);
  TaskSlot* FindSlot(const CTimedTask* task);
  void DeleteTask(TaskSlot& slot);
  void DispatchTask(TaskSlot& slot, uint32_t now);
  void AdvanceTask(TaskSlot& slot, uint32_t now);
  bool RunDueCall(TaskSlot& slot, uint32_t now);
  // Counts one call against the task's repeat count; true when that was its last call.
  static bool CountCall(CTimedTask& task);
  static void EndTask(CTimedTask& task);
  static bool IsOfKind(const CTimedTask& task, int32_t kind);

  std::list<TaskSlot> tasks_;
  uint32_t count_ = 0;
  int32_t walk_depth_ = 0;
  bool has_empty_slots_ = false;
};

// The manager advanced on every pass of the frame loop.
extern CTimerManager* g_TimerManager;
// The manager advanced only when the frame loop draws a frame.
extern CTimerManager* g_PausableTimerManager;

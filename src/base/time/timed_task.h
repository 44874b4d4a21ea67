// The base of everything that runs against the millisecond clock: motions, animations, fades,
// transitions, effects. A task is handed to a CTimerManager, which owns it from then on, calls
// Update while it is due, pauses and resumes it, ends it on request and deletes it once it has
// finished. The creator may register the variable through which it refers to the task; that
// variable reads null as soon as the task is gone.
#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>

class CTimerManager;

// Something an upper layer keeps about a task that must end with it (the scripts' handle of the
// task, revoked when the task is deleted).
class CTaskAttachment {
 public:
  virtual ~CTaskAttachment() = default;
};

// The kinds that tasks report, by which the timer managers pause, resume and end them. The
// further forms of the motions and sprite effects are numbered with their classes.
enum ETimedTaskType : uint32_t {
  kTimedTaskMusicFade = 10000,
  kTimedTaskMusicCrossFade = 10001,
  kTimedTaskMusicControl = 10002,
  kTimedTaskVoiceDucking = 10003,
  kTimedTaskChannelFade = 10004,
  kTimedTaskScreenTransition = 11000,
  kTimedTaskMoveMotion = 12000,
  kTimedTaskResizeMotion = 12001,
  kTimedTaskRotoZoomMotion = 12002,
  kTimedTaskPatternAnimation = 13000,
  kTimedTaskPicturePart = 13001,
  kTimedTaskLipSync = 13002,
  kTimedTaskBackgroundEffect = 14000,
  kTimedTaskSpriteEffect = 14001,
  kTimedTaskStaffRoll = 14002,
  kTimedTaskScreenEffect = 14003,
  kTimedTaskDrawObject = 15000,
  kTimedTaskCursorMove = 20000,
};

class CTimedTask {
 public:
  CTimedTask() = default;
  CTimedTask(const CTimedTask&) = delete;
  CTimedTask& operator=(const CTimedTask&) = delete;
  // Writes null into the owner's variable when one is registered.
  virtual ~CTimedTask();

  // The task's ETimedTaskType; 0 for a task of no kind.
  virtual uint32_t GetTypeId() const { return 0; }
  // Advances the task to `now`: non-zero when it has finished.
  virtual uint32_t Update(uint32_t now) = 0;
  // Ends the task at once, leaving its object in its final state.
  virtual void Stop() = 0;
  // Whether the task works on the resource (a file or sheet the scripts loaded), which must then
  // not be released under it.
  virtual bool UsesResource(const void* /*resource*/) const { return false; }
  // Pauses nest; the outermost remembers `now`. Returns the new pause count.
  virtual uint32_t Pause(uint32_t now);
  // The last resume moves the start time on by the paused span and returns that span; an
  // inner one returns the pauses left. A resume without a pause is ignored and returns 0.
  virtual uint32_t Resume(uint32_t now);

  // Registers the creator's variable that holds this task.
  template <class Task>
  void SetOwnerReference(Task** variable) {
    static_assert(std::is_base_of_v<CTimedTask, Task>);
    owner_variable_ = variable;
    clear_owner_variable_ = [](void* owner) { *static_cast<Task**>(owner) = nullptr; };
  }

  // Due when the signed difference now - start time is not negative, so that the test holds
  // across a wrap of the clock.
  bool IsDueAt(uint32_t now) const { return static_cast<int32_t>(now - start_time_) >= 0; }
  bool IsFinished() const { return finished_; }
  // Whether a manager holds the task (from its Add until it deletes it).
  bool IsHeld() const { return identity_ != nullptr; }
  bool IsPaused() const { return pause_count_ != 0; }
  uint32_t GetPauseCount() const { return pause_count_; }
  uint32_t GetStartTime() const { return start_time_; }
  uint32_t GetInterval() const { return interval_; }
  uint32_t GetRemainingCalls() const { return remaining_calls_; }

  // The task keeps the attachment until it is deleted; a new one replaces the old.
  void Attach(std::unique_ptr<CTaskAttachment> attachment) { attachment_ = std::move(attachment); }
  CTaskAttachment* GetAttachment() const { return attachment_.get(); }

 private:
  friend class CTimerManager;

  // Writes null into the owner's variable and forgets it.
  void ClearOwnerVariable();
  // Forgets the owner's variable without writing to it.
  void ForgetOwnerVariable();

  // The manager that owns the task sets this to the task itself; null while unowned.
  const CTimedTask* identity_ = nullptr;
  uint32_t start_time_ = 0;
  // 0: called on every pass while it runs; otherwise the start time advances by this much
  // after each call.
  uint32_t interval_ = 0;
  // 0 = unlimited.
  uint32_t remaining_calls_ = 0;
  bool finished_ = false;
  uint32_t pause_count_ = 0;
  uint32_t pause_start_ = 0;
  void* owner_variable_ = nullptr;
  void (*clear_owner_variable_)(void*) = nullptr;
  std::unique_ptr<CTaskAttachment> attachment_;
};

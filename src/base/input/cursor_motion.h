// Moves the mouse cursor to a point of the game screen over a time, as a timed task: straight,
// or eased by a curve (c > 0 starts slowly, c < 0 ends slowly).
#pragma once

#include <cstdint>

#include "base/time/timed_task.h"
#include "platform/system/geometry.h"

class CTimerManager;

// What the motion needs of the application.
class CursorMotionHost {
 public:
  virtual ~CursorMotionHost() = default;
  virtual bool IsActive() const = 0;
  // A point of the game screen on the desktop.
  virtual plat::Point GameToScreen(plat::Point point) const = 0;
  virtual plat::Point GetCursorPos() const = 0;
  virtual void SetCursorPos(plat::Point point) = 0;
};

// How a motion treats an inactive application: 0 and 1 move only while it is active (1 still
// puts the cursor on the target when stopped while active), 2 moves whatever the activation.
inline constexpr uint8_t kCursorMotionWhileActive = 0;
inline constexpr uint8_t kCursorMotionStopOnTarget = 1;
inline constexpr uint8_t kCursorMotionAlways = 2;

class CCursorMotion : public CTimedTask {
 public:
  // Starts a motion to (x, y) of the game screen lasting `duration` ms, replacing the running
  // one: 0 started; 0 also when an inactive application with mode 2 moved the cursor at once;
  // -1 when the application is inactive otherwise; 2 when the manager refused the task.
  // `started`, when given, receives the running task, or null when none runs.
  static int32_t Start(CTimerManager& timers, CursorMotionHost& host, int32_t x, int32_t y, uint32_t duration,
                       double curve, uint8_t mode, CCursorMotion** started = nullptr);

  uint32_t GetTypeId() const override { return kTimedTaskCursorMove; }
  uint32_t Update(uint32_t now) override;
  void Stop() override;

 private:
  CCursorMotion(CursorMotionHost& host, plat::Point from, plat::Point to, uint32_t duration, double curve, uint8_t mode);

  bool MayMove() const { return mode_ == kCursorMotionAlways || host_.IsActive(); }

  CursorMotionHost& host_;
  plat::Point from_;
  plat::Point to_;
  uint32_t duration_;
  double curve_;
  uint8_t mode_;
  bool started_ = false;
  uint32_t start_ = 0;
};

// The base of the engine's effects: timed tasks, made by name through the draw-object host, that
// animate a background, sprites, the staff roll or the whole screen against the clock and own
// what they draw. The creator makes one, Setup checks its target and arguments, builds what it
// draws and hands the effect to a timer manager, which runs it until its Update reports the end
// and then deletes it.
#pragma once

#include <cstdint>

#include "base/time/timed_task.h"
#include "resource/plugins/plugin_objects.h"

class CTimerManager;

class CEffect : public CTimedTask, public CDcpObject {
 public:
  // The priority state.
  static constexpr std::uint8_t kPriorityControlOff = 0;
  static constexpr std::uint8_t kPriorityReady = 1;
  static constexpr std::uint8_t kPriorityLowered = 2;
  // Results of Setup shared by the effects: running, finished at once (the end state was
  // applied; nothing runs), and the unsupported SetParam or GetParam.
  static constexpr std::int32_t kRunning = 0;
  static constexpr std::int32_t kFinishedAtOnce = -1;
  static constexpr std::int32_t kNotSupported = -2;

  // Restores the game thread's priority when this effect lowered it.
  ~CEffect() override;

  // The registered name: the same string as the registration table's.
  virtual const char* GetName() const = 0;
  // What the effect works on: 0 a background slot, 1 sprites, 2 the staff roll, 3 the screen.
  virtual std::uint8_t GetType() const = 0;
  // Called by the draw-object host when it creates the effect with an argument list of its own.
  std::int32_t SetUp(const PluginArgs&) override { return 0; }
  // Checks the target (an object of the kind the effect's class works on) and the arguments,
  // builds what the effect draws and adds the effect to `manager` as its last step: kRunning;
  // kFinishedAtOnce; else the class's failure. A failed effect is not in the manager.
  virtual std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) = 0;
  virtual std::int32_t SetParam(const PluginArgs&) { return kNotSupported; }
  virtual std::int32_t GetParam(const PluginArgs&) { return kNotSupported; }
  // Lowers the game thread's priority for this effect's life, once, unless priority control is
  // off for it or there is no hook.
  virtual void LowerPriority();

  // The last resume moves, besides the due time, every time stamp of a running effect.
  std::uint32_t Resume(std::uint32_t now) override;

  std::uint8_t GetPriorityState() const { return priority_state_; }
  // Only the creation by name switches control off, before the set-up.
  void SwitchPriorityControlOff() {
    if (priority_state_ == kPriorityReady) priority_state_ = kPriorityControlOff;
  }

 protected:
  CEffect() = default;

  // Moves every time stamp the effect keeps by the span it was paused.
  virtual void OnResumed(std::uint32_t /*paused_span*/) {}

 private:
  std::uint8_t priority_state_ = kPriorityReady;
};

// Whether the user's settings switch the priority hooks off.
bool IsPriorityControlOff();

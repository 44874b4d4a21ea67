// The owner of the timed wipes: it starts them on its timer manager (the application's second
// one), finishes and stops them, and says whether one still runs. Without a manager it starts
// nothing and answers at once.
#pragma once

#include <cstdint>

#include "effects/patterns/timed_wipe.h"

class CTimerManager;

class CTimedWipeHost {
 public:
  void SetTimerManager(CTimerManager* timers) { timers_ = timers; }
  CTimerManager* GetTimerManager() const { return timers_; }

  // The new wipe of `type` (0 to 21), started now and held by the manager; null without a
  // manager or target, for a type of 22 or more, for a source type without a source, or when
  // the manager refuses it. A duration of 0 is taken as 1.
  CTimedWipe* CreateTimedWipe(uint32_t type, uint32_t duration, CImage* target, CImage* source,
                              const TimedWipeArgs& args);
  // Draws a wipe the manager holds complete and ends it, so that no later dispatch draws again:
  // 0 (also for a wipe it does not hold, which changes nothing); 1 without a manager.
  uint32_t FinishTimedWipe(CTimedWipe* wipe);
  // Ends a held wipe where it stands: 0; 1 without a manager.
  uint32_t StopTimedWipe(CTimedWipe* wipe);
  bool IsTimedWipeRunning(const CTimedWipe* wipe) const;

 private:
  bool Holds(const CTimedWipe* wipe) const;

  CTimerManager* timers_ = nullptr;
};

// The application's wipe owner, published by its device initialisation; null before and after.
extern CTimedWipeHost* g_TimedWipeHost;

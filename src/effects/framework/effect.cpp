#include "effects/framework/effect.h"

#include "base/system/app_hooks.h"

CEffect::~CEffect() {
  if (priority_state_ == kPriorityLowered && g_RestorePriorityHook != nullptr) g_RestorePriorityHook();
}

void CEffect::LowerPriority() {
  if (priority_state_ != kPriorityReady || g_LowerPriorityHook == nullptr) return;
  g_LowerPriorityHook();
  priority_state_ = kPriorityLowered;
}

std::uint32_t CEffect::Resume(std::uint32_t now) {
  const bool was_paused = IsPaused();
  const std::uint32_t result = CTimedTask::Resume(now);
  if (was_paused && !IsPaused() && IsHeld()) OnResumed(result);
  return result;
}

bool IsPriorityControlOff() { return g_PriorityControlOffHook != nullptr && g_PriorityControlOffHook(); }

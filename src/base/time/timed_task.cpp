#include "base/time/timed_task.h"

CTimedTask::~CTimedTask() { ClearOwnerVariable(); }

uint32_t CTimedTask::Pause(uint32_t now) {
  if (pause_count_ == 0) pause_start_ = now;
  return ++pause_count_;
}

uint32_t CTimedTask::Resume(uint32_t now) {
  if (pause_count_ == 0) return 0;
  if (--pause_count_ != 0) return pause_count_;
  const uint32_t paused_span = now - pause_start_;
  start_time_ += paused_span;
  return paused_span;
}

void CTimedTask::ClearOwnerVariable() {
  if (owner_variable_ != nullptr) clear_owner_variable_(owner_variable_);
  ForgetOwnerVariable();
}

void CTimedTask::ForgetOwnerVariable() {
  owner_variable_ = nullptr;
  clear_owner_variable_ = nullptr;
}

// What the frame's waits are doing, as the windows that show the text ask it.
#include "novel/frame/vov_frame.h"

std::int32_t CVovFrame::GetWaitState() const {
  if (choice_awaited_) return kWaitChoice;
  if (skip_mode_ || message_skip_mark_) return kWaitSkipping;
  return auto_mode_ ? kWaitAuto : kWaitNormal;
}

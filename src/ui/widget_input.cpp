#include "ui/widget_input.h"

#include "base/input_bindings.h"
#include "base/millisecond_clock.h"

bool IsDecidePressed(const CInputBindings* bindings) {
  return bindings != nullptr && bindings->IsActionPressed(kDecideAction);
}

bool IsPast(uint32_t due) { return static_cast<int32_t>(ReadMillisecondClock() - due) > 0; }

// Timed tasks that built-in functions hand to the scripts. A task lives in its timer manager,
// which deletes it when it ends, so the scripts never hold it directly: each task handed out gets
// a ticket, a script-visible object that the task clears when it goes. A handle to a task that
// has ended resolves to nothing, like a missing object.
#pragma once

#include <cstdint>

#include "base/timed_task.h"
#include "script/handle_table.h"
#include "script/native_args.h"

class ScriptTaskTicket : public ScriptVisible<ScriptTaskTicket> {
 public:
  ScriptTaskTicket() = default;
  ~ScriptTaskTicket();

  CTimedTask* task = nullptr;
};

// The handle of a running task, its ticket made on the first request; 0 for null. The task's
// owner reference becomes the ticket's, so only tasks that no other holder follows are handed
// out (the built-ins' own motions and cursor moves).
std::uint32_t ScriptTaskHandle(const NativeArgs& args, CTimedTask* task);
// The running task behind a handle: null for 0, a handle of another kind, or an ended task.
CTimedTask* TaskOfHandle(const NativeArgs& args, std::uint32_t handle);

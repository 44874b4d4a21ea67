// Timed tasks as the scripts hold them: a handle that names the task while it lives and is
// revoked when its timer manager deletes it, so that a word naming a finished task behaves as a
// missing one.
#pragma once

#include <cstdint>

#include "base/time/timed_task.h"
#include "script/native_args.h"

class ScriptTask : public CTaskAttachment, public ScriptVisible<ScriptTask> {
 public:
  explicit ScriptTask(CTimedTask& task) : task_(&task) {}
  CTimedTask& Task() const { return *task_; }

 private:
  CTimedTask* task_;
};

// The handle of the task, issued on the first request; 0 for null, when the table is full or
// when the task carries another attachment.
std::uint32_t TaskHandle(CTimedTask* task, HandleTable& handles);
// The task named by the handle; null for 0 and for a handle of a deleted task or of another kind.
CTimedTask* TaskOfHandle(HandleTable& handles, std::uint32_t handle);
// The task named by args[i], as a T; null when it is none or of another class.
template <class T = CTimedTask>
T* TaskArg(const NativeArgs& args, std::uint32_t i) {
  return dynamic_cast<T*>(TaskOfHandle(args.Handles(), args.U32(i)));
}

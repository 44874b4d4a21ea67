#include "builtins/script_task.h"

#include <memory>

std::uint32_t TaskHandle(CTimedTask* task, HandleTable& handles) {
  if (task == nullptr) return 0;
  if (task->GetAttachment() == nullptr) task->Attach(std::make_unique<ScriptTask>(*task));
  auto* held = dynamic_cast<ScriptTask*>(task->GetAttachment());
  return held != nullptr ? held->ScriptHandle(handles) : 0;
}

CTimedTask* TaskOfHandle(HandleTable& handles, std::uint32_t handle) {
  ScriptTask* held = handles.Get<ScriptTask>(handle);
  return held != nullptr ? &held->Task() : nullptr;
}

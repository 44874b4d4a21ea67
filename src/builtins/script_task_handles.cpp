#include "builtins/script_task_handles.h"

#include <list>

namespace {

// The tickets handed out; those whose task has ended go when the next one is made.
std::list<ScriptTaskTicket>& Tickets() {
  static std::list<ScriptTaskTicket> tickets;
  return tickets;
}

}  // namespace

ScriptTaskTicket::~ScriptTaskTicket() {
  // A task that outlives its ticket must not write into it.
  if (task != nullptr) task->SetOwnerReference<CTimedTask>(nullptr);
}

std::uint32_t ScriptTaskHandle(const NativeArgs& args, CTimedTask* task) {
  if (task == nullptr) return 0;
  std::list<ScriptTaskTicket>& tickets = Tickets();
  for (ScriptTaskTicket& ticket : tickets) {
    if (ticket.task == task) return ticket.ScriptHandle(args.Handles());
  }
  tickets.remove_if([](const ScriptTaskTicket& ticket) { return ticket.task == nullptr; });
  ScriptTaskTicket& ticket = tickets.emplace_back();
  ticket.task = task;
  task->SetOwnerReference(&ticket.task);
  return ticket.ScriptHandle(args.Handles());
}

CTimedTask* TaskOfHandle(const NativeArgs& args, std::uint32_t handle) {
  const ScriptTaskTicket* ticket = args.Handles().Get<ScriptTaskTicket>(handle);
  return ticket != nullptr ? ticket->task : nullptr;
}

#include "platform/system/thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/system/diagnostic_log.h"

namespace plat {
namespace {

// The nice value of the lowest priority.
constexpr int kLowestNice = 19;

std::mutex g_setter_lock;
ScopedThreadPrioritySetter::Setter g_setter = nullptr;
void* g_setter_context = nullptr;

// Whether this process may bring a thread from the lowest priority back to `nice`: it needs
// the right to lower nice values (root) or a nice limit that reaches that far.
bool CanRestoreTo(int nice) {
  if (geteuid() == 0) return true;
  rlimit limit{};
  if (getrlimit(RLIMIT_NICE, &limit) != 0) return false;
  return limit.rlim_cur == RLIM_INFINITY || static_cast<int>(limit.rlim_cur) >= 20 - nice;
}

bool SetNice(uint32_t thread_id, ThreadPriority priority) {
  static const int normal_nice = getpriority(PRIO_PROCESS, 0);
  static const bool can_restore = CanRestoreTo(normal_nice);
  if (!can_restore) {
    static std::once_flag reported;
    std::call_once(reported, [] {
      LogDiagnostic("thread priority: left unchanged, as this process may not raise it again afterwards");
    });
    return false;
  }
  const int nice = priority == ThreadPriority::kLowest ? kLowestNice : normal_nice;
  if (setpriority(PRIO_PROCESS, static_cast<id_t>(thread_id), nice) != 0) {
    LogDiagnostic(std::string("thread priority: ") + std::strerror(errno));
    return false;
  }
  return true;
}

}  // namespace

bool SetThreadPriority(uint32_t thread_id, ThreadPriority priority) {
  ScopedThreadPrioritySetter::Setter setter;
  void* context;
  {
    std::lock_guard guard(g_setter_lock);
    setter = g_setter;
    context = g_setter_context;
  }
  return setter != nullptr ? setter(context, thread_id, priority) : SetNice(thread_id, priority);
}

ScopedThreadPrioritySetter::ScopedThreadPrioritySetter(Setter setter, void* context) {
  std::lock_guard guard(g_setter_lock);
  previous_setter_ = g_setter;
  previous_context_ = g_setter_context;
  g_setter = setter;
  g_setter_context = context;
}

ScopedThreadPrioritySetter::~ScopedThreadPrioritySetter() {
  std::lock_guard guard(g_setter_lock);
  g_setter = previous_setter_;
  g_setter_context = previous_context_;
}

}  // namespace plat

#include "base/threads/thread_com.h"

#include <map>

#include "base/threads/critical_section.h"
#include "base/threads/lock_guard.h"
#include "platform/system/thread_id.h"

namespace {

struct ThreadComUses {
  CCriticalSection lock;
  std::map<uint32_t, int32_t> count_by_thread;
};

ThreadComUses& Uses() {
  static ThreadComUses uses;
  return uses;
}

}  // namespace

uint32_t CoInitializeForThread() {
  ThreadComUses& uses = Uses();
  CLockGuard guard(uses.lock);
  ++uses.count_by_thread[plat::CurrentThreadId()];
  return 0;
}

uint32_t CoUninitializeForThread() {
  ThreadComUses& uses = Uses();
  CLockGuard guard(uses.lock);
  int32_t& count = uses.count_by_thread[plat::CurrentThreadId()];
  if (count == 0) return 1;
  --count;
  return 0;
}

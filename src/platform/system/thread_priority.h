// Thread priorities as the engine uses them: a heavy task lowers the game thread to the lowest
// priority and restores it to normal afterwards. On Linux a thread's priority is its nice
// value; a process without the right to lower a nice value again could never restore the
// thread, so on such a system the priority is left alone and the change reports failure.
#pragma once

#include <cstdint>

namespace plat {

enum class ThreadPriority { kNormal, kLowest };

// Sets the priority of the thread with the given id (plat::CurrentThreadId's numbers). False
// when it is not changed.
bool SetThreadPriority(uint32_t thread_id, ThreadPriority priority);

// Replaces the priority setter for tests while it lives.
class ScopedThreadPrioritySetter {
 public:
  using Setter = bool (*)(void* context, uint32_t thread_id, ThreadPriority priority);
  ScopedThreadPrioritySetter(Setter setter, void* context);
  ~ScopedThreadPrioritySetter();
  ScopedThreadPrioritySetter(const ScopedThreadPrioritySetter&) = delete;
  ScopedThreadPrioritySetter& operator=(const ScopedThreadPrioritySetter&) = delete;

 private:
  Setter previous_setter_;
  void* previous_context_;
};

}  // namespace plat

// Messages that other threads send to a window: the sender queues its request and waits until
// the window's own thread has served it and handed back the result. The request keeps its typed
// payload in the sender's frame for as long as the sender waits.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/events/window_messages.h"

namespace plat {

class RequestQueue {
 public:
  using Server = std::function<int32_t(const Message&)>;

  // Called whenever a request arrives, so that a thread blocked waiting for messages wakes up.
  void SetWakeUp(std::function<void()> wake_up);

  // Queues the request and blocks until it was served or cancelled. `accept` is asked under
  // the queue's lock whether the window is still there, so that a window going away either
  // refuses the request or cancels it, never strands it. A refused or cancelled request gives 0.
  int32_t SendAndWait(const Message& request, const std::function<bool()>& accept);

  // Serves every queued request through `serve` (each once, in arrival order) and returns how
  // many there were. Runs on the thread that owns the windows.
  std::size_t ServePending(const Server& serve);

  // Ends every waiting request for `window` with the result 0.
  void CancelFor(WindowId window);

  bool HasPending() const;

 private:
  struct Pending {
    Message request;
    int32_t result = 0;
    bool done = false;
  };

  void Finish(Pending& pending, int32_t result);

  mutable std::mutex lock_;
  std::condition_variable finished_;
  std::deque<Pending*> queue_;
  std::function<void()> wake_up_;
};

}  // namespace plat

#include "platform/events/request_queue.h"

#include <algorithm>
#include <utility>

namespace plat {

void RequestQueue::SetWakeUp(std::function<void()> wake_up) {
  std::lock_guard guard(lock_);
  wake_up_ = std::move(wake_up);
}

int32_t RequestQueue::SendAndWait(const Message& request, const std::function<bool()>& accept) {
  Pending pending;
  pending.request = request;
  std::function<void()> wake_up;
  {
    std::lock_guard guard(lock_);
    if (!accept()) return 0;
    queue_.push_back(&pending);
    wake_up = wake_up_;
  }
  if (wake_up) wake_up();
  std::unique_lock guard(lock_);
  finished_.wait(guard, [&pending] { return pending.done; });
  return pending.result;
}

std::size_t RequestQueue::ServePending(const Server& serve) {
  std::size_t served = 0;
  for (;;) {
    Pending* pending = nullptr;
    {
      std::lock_guard guard(lock_);
      if (queue_.empty()) return served;
      pending = queue_.front();
      queue_.pop_front();
    }
    // The sender stays blocked until Finish, so its request and payload live through the call.
    Finish(*pending, serve(pending->request));
    ++served;
  }
}

void RequestQueue::CancelFor(WindowId window) {
  std::lock_guard guard(lock_);
  const auto cancelled = std::stable_partition(queue_.begin(), queue_.end(),
                                               [window](const Pending* pending) { return pending->request.window != window; });
  for (auto it = cancelled; it != queue_.end(); ++it) {
    (*it)->result = 0;
    (*it)->done = true;
  }
  queue_.erase(cancelled, queue_.end());
  finished_.notify_all();
}

bool RequestQueue::HasPending() const {
  std::lock_guard guard(lock_);
  return !queue_.empty();
}

void RequestQueue::Finish(Pending& pending, int32_t result) {
  std::lock_guard guard(lock_);
  pending.result = result;
  pending.done = true;
  finished_.notify_all();
}

}  // namespace plat

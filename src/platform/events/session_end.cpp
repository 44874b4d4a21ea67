#include "platform/events/session_end.h"

#include <signal.h>

#include <atomic>

namespace plat {
namespace {

// Lock-free, so that the signal handler may set it.
std::atomic<bool> g_EndRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void NoteEndRequest(int /*signal*/) { g_EndRequested.store(true); }

}  // namespace

void CatchEndRequests() {
  struct sigaction action {};
  action.sa_handler = &NoteEndRequest;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

bool TakeEndRequest() { return g_EndRequested.exchange(false); }

}  // namespace plat

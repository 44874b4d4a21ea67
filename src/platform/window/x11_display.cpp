#include "platform/window/x11_display.h"

#include <SDL_syswm.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "platform/system/diagnostic_log.h"

namespace plat {
namespace {

std::atomic<bool> g_ConnectionLost{false};
std::atomic<bool> g_RefusalLogged{false};

// A refused request (most often about a window that another client destroyed) is reported once
// and passed over, instead of ending the program.
int OnRefusedRequest(Display* /*display*/, XErrorEvent* error) {
  if (!g_RefusalLogged.exchange(true)) {
    LogDiagnostic("video: the display refused a request (error " + std::to_string(error->error_code) +
                  "); later refusals are passed over");
  }
  return 0;
}

// How long the program has to end in order once the display is lost.
constexpr auto kEndAfterLoss = std::chrono::seconds(5);

// The loss reaches the engine as its windows' destruction at the next read of the messages.
// A call into the display library that waits for the display's answer when the loss comes
// never returns; the program then ends here, late and without its own exit.
int OnConnectionLost(Display* /*display*/) {
  if (g_ConnectionLost.exchange(true)) return 0;
  LogDiagnostic("video: the connection to the display was lost; the program ends");
  std::thread([] {
    std::this_thread::sleep_for(kEndAfterLoss);
    LogDiagnostic("video: the program did not end after the display was lost; it stops now");
    _exit(1);
  }).detach();
  return 0;
}

// Returning keeps the program alive: it ends through its windows' messages instead.
void KeepRunningAfterLoss(Display* /*display*/, void* /*data*/) {}

bool X11InfoOf(SDL_Window* window, SDL_SysWMinfo& info) {
  SDL_VERSION(&info.version);
  return window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11;
}

}  // namespace

void WatchX11Display(SDL_Window* window) {
  SDL_SysWMinfo info;
  if (!X11InfoOf(window, info)) return;
  XSetErrorHandler(&OnRefusedRequest);
  XSetIOErrorHandler(&OnConnectionLost);
  XSetIOErrorExitHandler(info.info.x11.display, &KeepRunningAfterLoss, nullptr);
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

bool ReportsDestructionOf(const SDL_SysWMmsg& message, SDL_Window* window) {
  if (message.subsystem != SDL_SYSWM_X11 || message.msg.x11.event.type != DestroyNotify) return false;
  SDL_SysWMinfo info;
  return X11InfoOf(window, info) && message.msg.x11.event.xdestroywindow.window == info.info.x11.window;
}

bool DisplayConnectionLost() { return g_ConnectionLost.load(); }

namespace {

std::mutex g_GoneLock;
std::set<SDL_Window*> g_Gone;

}  // namespace

void NoteDestroyedOutside(SDL_Window* window) {
  std::lock_guard guard(g_GoneLock);
  g_Gone.insert(window);
}

bool WasDestroyedOutside(SDL_Window* window) {
  std::lock_guard guard(g_GoneLock);
  return g_Gone.count(window) != 0;
}

bool AnyDestroyedOutside() {
  std::lock_guard guard(g_GoneLock);
  return !g_Gone.empty();
}

}  // namespace plat

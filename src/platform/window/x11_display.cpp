#include "platform/window/x11_display.h"

#include <SDL_syswm.h>
#include <X11/Xutil.h>

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
// A connection of the platform's own that hears the root window's changes of size: SDL selects
// the root window's events on its connection anew whenever it makes a window (a renderer makes
// its window again), which would drop a selection made there. Used on the window thread only,
// as is the size last seen.
Display* g_RootWatch = nullptr;
Point g_RootSize;
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

// Opens the root window's watch on the display SDL draws on, once.
void WatchRootSize(Display* sdl_display) {
  if (g_RootWatch != nullptr) return;
  g_RootWatch = XOpenDisplay(DisplayString(sdl_display));
  if (g_RootWatch == nullptr) {
    LogDiagnostic("video: the desktop's changes of mode cannot be watched: a second connection to the display fails");
    return;
  }
  XSetIOErrorExitHandler(g_RootWatch, &KeepRunningAfterLoss, nullptr);
  const ::Window root = DefaultRootWindow(g_RootWatch);
  XWindowAttributes attributes;
  if (XGetWindowAttributes(g_RootWatch, root, &attributes) != 0) g_RootSize = Point{attributes.width, attributes.height};
  XSelectInput(g_RootWatch, root, StructureNotifyMask);
  XFlush(g_RootWatch);
}

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
  WatchRootSize(info.info.x11.display);
}

std::optional<Point> ReadDesktopResize() {
  if (g_RootWatch == nullptr || DisplayConnectionLost()) return std::nullopt;
  std::optional<Point> resized;
  while (XPending(g_RootWatch) > 0) {
    XEvent event;
    XNextEvent(g_RootWatch, &event);
    if (event.type != ConfigureNotify || event.xconfigure.window != DefaultRootWindow(g_RootWatch)) continue;
    const Point size{event.xconfigure.width, event.xconfigure.height};
    if (size.x == g_RootSize.x && size.y == g_RootSize.y) continue;
    g_RootSize = size;
    resized = size;
  }
  return resized;
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

std::optional<Point> PointerOnDisplay(SDL_Window* window) {
  SDL_SysWMinfo info;
  if (DisplayConnectionLost() || !X11InfoOf(window, info)) return std::nullopt;
  Display* display = info.info.x11.display;
  ::Window root = 0;
  ::Window child = 0;
  Point on_root;
  Point in_window;
  unsigned int buttons = 0;
  if (XQueryPointer(display, DefaultRootWindow(display), &root, &child, &on_root.x, &on_root.y, &in_window.x,
                    &in_window.y, &buttons) == False) {
    return std::nullopt;
  }
  return on_root;
}

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

void PlaceByClientArea(SDL_Window* window) {
  SDL_SysWMinfo info;
  if (!X11InfoOf(window, info)) return;
  XSizeHints* hints = XAllocSizeHints();
  if (hints == nullptr) return;
  long supplied = 0;
  if (XGetWMNormalHints(info.info.x11.display, info.info.x11.window, hints, &supplied) == 0) hints->flags = 0;
  hints->flags |= PWinGravity;
  hints->win_gravity = StaticGravity;
  XSetWMNormalHints(info.info.x11.display, info.info.x11.window, hints);
  XFree(hints);
  XFlush(info.info.x11.display);
}

bool AskClientSize(SDL_Window* window, int32_t width, int32_t height) {
  SDL_SysWMinfo info;
  if (!X11InfoOf(window, info)) return false;
  XResizeWindow(info.info.x11.display, info.info.x11.window, static_cast<unsigned int>(width),
                static_cast<unsigned int>(height));
  XFlush(info.info.x11.display);
  return true;
}

}  // namespace plat

#include "platform/window/x11_display.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/system/diagnostic_log.h"
#include "platform/window/x11_window_info.h"

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

bool ReportsFrameOf(const SDL_SysWMmsg& message, SDL_Window* window) {
  if (message.subsystem != SDL_SYSWM_X11 || message.msg.x11.event.type != PropertyNotify) return false;
  const XPropertyEvent& changed = message.msg.x11.event.xproperty;
  SDL_SysWMinfo info;
  return changed.state == PropertyNewValue && X11InfoOf(window, info) && changed.window == info.info.x11.window &&
         changed.atom == XInternAtom(info.info.x11.display, "_NET_FRAME_EXTENTS", False);
}

bool DisplayConnectionLost() { return g_ConnectionLost.load(); }

namespace {

std::mutex g_GoneLock;
std::set<SDL_Window*> g_Gone;

}  // namespace

std::optional<X11Visual> DefaultX11Visual() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return std::nullopt;
  const int screen = DefaultScreen(display);
  const X11Visual visual{XVisualIDFromVisual(DefaultVisual(display, screen)), DefaultDepth(display, screen)};
  XCloseDisplay(display);
  return visual;
}

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

namespace {

// The longest list of values read from a property: more than any window manager lists.
constexpr long kMostPropertyValues = 1024;

// The 32-bit values of the window's property of the given type; empty when it has none.
std::vector<long> ReadProperty(Display* display, ::Window window, const char* name, Atom type) {
  Atom actual_type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long left_over = 0;
  unsigned char* data = nullptr;
  std::vector<long> values;
  if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, kMostPropertyValues, False, type,
                         &actual_type, &format, &count, &left_over, &data) == Success &&
      data != nullptr && actual_type == type && format == 32) {
    const auto* longs = reinterpret_cast<const long*>(data);
    values.assign(longs, longs + count);
  }
  if (data != nullptr) XFree(data);
  return values;
}

bool Lists(const std::vector<long>& atoms, Display* display, const char* name) {
  const auto atom = static_cast<long>(XInternAtom(display, name, False));
  return std::find(atoms.begin(), atoms.end(), atom) != atoms.end();
}

// The widest frame taken as one: a larger value is not a frame's.
constexpr long kWidestFrame = 4096;

std::optional<FrameExtents> ReadFrameExtents(Display* display, ::Window window) {
  const std::vector<long> extents = ReadProperty(display, window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
  if (extents.size() != 4) return std::nullopt;
  if (std::any_of(extents.begin(), extents.end(), [](long side) { return side < 0 || side > kWidestFrame; })) {
    return std::nullopt;
  }
  // Listed left, right, top, bottom.
  return FrameExtents{static_cast<int32_t>(extents[0]), static_cast<int32_t>(extents[2]),
                      static_cast<int32_t>(extents[1]), static_cast<int32_t>(extents[3])};
}

// How long a window manager that offers to tell of a frame ahead is waited for.
constexpr auto kFrameAnswerWait = std::chrono::milliseconds(250);
constexpr auto kFrameAnswerPoll = std::chrono::milliseconds(5);

// Asks the window manager for the frame it will give the window once it shows.
std::optional<FrameExtents> AskFrameExtents(Display* display, ::Window window) {
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = window;
  request.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
  request.xclient.format = 32;
  XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
  XFlush(display);
  const auto given_up = std::chrono::steady_clock::now() + kFrameAnswerWait;
  while (std::chrono::steady_clock::now() < given_up) {
    if (const std::optional<FrameExtents> extents = ReadFrameExtents(display, window)) return extents;
    std::this_thread::sleep_for(kFrameAnswerPoll);
  }
  return std::nullopt;
}

}  // namespace

bool HeldByWindowManager(SDL_Window* window) {
  SDL_SysWMinfo info;
  if (!X11InfoOf(window, info) || DisplayConnectionLost()) return false;
  Display* display = info.info.x11.display;
  const std::vector<long> states = ReadProperty(display, info.info.x11.window, "_NET_WM_STATE", XA_ATOM);
  return Lists(states, display, "_NET_WM_STATE_FULLSCREEN") || Lists(states, display, "_NET_WM_STATE_MAXIMIZED_VERT") ||
         Lists(states, display, "_NET_WM_STATE_MAXIMIZED_HORZ");
}

std::optional<FrameExtents> FrameExtentsOf(SDL_Window* window) {
  SDL_SysWMinfo info;
  if (!X11InfoOf(window, info) || DisplayConnectionLost()) return FrameExtents{};
  Display* display = info.info.x11.display;
  const ::Window root = DefaultRootWindow(display);
  if (ReadProperty(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty()) return FrameExtents{};
  if (const std::optional<FrameExtents> extents = ReadFrameExtents(display, info.info.x11.window)) return extents;
  if (!Lists(ReadProperty(display, root, "_NET_SUPPORTED", XA_ATOM), display, "_NET_REQUEST_FRAME_EXTENTS")) {
    return std::nullopt;
  }
  return AskFrameExtents(display, info.info.x11.window);
}

}  // namespace plat

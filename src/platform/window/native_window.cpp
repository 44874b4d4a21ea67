#include "platform/window/native_window.h"

#include <atomic>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/encoding/text_encoding.h"
#include "platform/files/process_end.h"
#include "platform/system/diagnostic_log.h"
#include "platform/window/display_backend.h"
#include "platform/window/screen_presenter.h"
#include "platform/window/title_bar_place.h"
#include "platform/window/x11_display.h"

namespace plat {
namespace {

// SDL's video and everything it opened end with the program: quit in order, unless the program
// has announced the end of its process, whose end then takes them.
struct VideoSession {
  ~VideoSession() {
    // A lost display cannot be closed: what it held goes with the process.
    if (!started || DisplayConnectionLost() || AnyDestroyedOutside() || IsProcessEnding()) return;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  bool started = false;
};

VideoSession& Session() {
  static VideoSession session;
  return session;
}

uint32_t SdlFlagsOf(uint32_t style) {
  uint32_t flags = SDL_WINDOW_HIDDEN;
  if ((style & WS_CAPTION) != WS_CAPTION || (style & WS_POPUP) != 0) flags |= SDL_WINDOW_BORDERLESS;
  // The window manager offers its maximize box only on a window that can change its size; one
  // without a sizing frame asks for its own size again when it is dragged to another
  // (KeepGivenSize).
  if ((style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) != 0) flags |= SDL_WINDOW_RESIZABLE;
  return flags;
}

// The engine's window behind an SDL window, for the calls that start from SDL's.
constexpr const char* kWindowDataName = "plat.Window";

Window* EngineWindowOf(SDL_Window* window) {
  return window != nullptr ? static_cast<Window*>(SDL_GetWindowData(window, kWindowDataName)) : nullptr;
}

// The picture drawn at the window's drawing size, where the window shows it at another size.
struct ScaledPicture {
  Rect area;  // where it shows in the window, letterboxed
  int width = 0;
  int height = 0;
};

std::optional<ScaledPicture> ScaledPictureOf(SDL_Window* window) {
  int shown_width = 0;
  int shown_height = 0;
  ScaledPicture picture;
  SDL_GetWindowSize(window, &shown_width, &shown_height);
  DrawingSizeOf(window, picture.width, picture.height);
  if (shown_width == picture.width && shown_height == picture.height) return std::nullopt;
  picture.area = LetterboxedArea(shown_width, shown_height, picture.width, picture.height);
  return picture;
}

int SdlPosition(int32_t position) { return position == kCentred ? SDL_WINDOWPOS_CENTERED : position; }

bool IsUnseenDriver(const char* driver) {
  return driver != nullptr && (std::string(driver) == "offscreen" || std::string(driver) == "dummy");
}

// SDL falls back to a driver that shows nothing when no display answers; the game would then run
// unseen, and heard, until killed. Such a driver is taken only when SDL_VIDEODRIVER names it.
bool IsUnseenFallback(const char* driver) {
  if (!IsUnseenDriver(driver)) return false;
  const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  return asked == nullptr || std::string(asked).find(driver) == std::string::npos;
}

}  // namespace

void DrawingSizeOf(SDL_Window* window, int& width, int& height) {
  const Window* engine_window = EngineWindowOf(window);
  // A full-screen window is drawn at the display's size.
  if (engine_window != nullptr && engine_window->KeepsGivenSize() &&
      (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) == 0) {
    width = engine_window->given_width_;
    height = engine_window->given_height_;
    return;
  }
  SDL_GetWindowSize(window, &width, &height);
}

namespace {

// Moves the point one way or the other between the window as it shows and the picture in it.
void MapThroughPicture(SDL_Window* window, int& x, int& y, Point (*map)(const Rect&, int32_t, int32_t, Point)) {
  const std::optional<ScaledPicture> picture = ScaledPictureOf(window);
  if (!picture) return;
  const Point mapped = map(picture->area, picture->width, picture->height, Point{x, y});
  x = mapped.x;
  y = mapped.y;
}

}  // namespace

void FromDrawingPoint(SDL_Window* window, int& x, int& y) { MapThroughPicture(window, x, y, FromPicturePoint); }

void ToDrawingPoint(SDL_Window* window, int& x, int& y) { MapThroughPicture(window, x, y, ToPicturePoint); }

namespace {

// Maximized in either direction (its maximize box asks for full screen), minimized or full
// screen, the game's or the window manager's own, the window stands where and at the size the
// window manager or the game's full screen holds it.
bool StandsOnItsOwn(SDL_Window* window) {
  constexpr uint32_t kHeldElsewhere = SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED;
  return (SDL_GetWindowFlags(window) & kHeldElsewhere) == 0 && !HeldByWindowManager(window);
}

// Where the client area of the window goes when it is asked to stand at `origin`: there, unless
// the window manager's title bar above it would lie off every screen, where the player could
// not take hold of it.
Point WithTitleBarOnScreen(SDL_Window* window, Point origin, const FrameExtents& frame) {
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(window, &width, &height);
  std::vector<Rect> work_areas;
  for (const DisplayOutput& display : CurrentDisplayBackend().Displays()) work_areas.push_back(display.usable);
  return TitleBarOnScreen(RectAt(origin, width, height), frame, work_areas);
}

}  // namespace

void KeepGivenSize(WindowId window) {
  SDL_Window* sdl_window = nullptr;
  const Window* engine_window = Window::ReachableOf(window, sdl_window);
  if (engine_window == nullptr || !engine_window->KeepsGivenSize() || !StandsOnItsOwn(sdl_window)) return;
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(sdl_window, &width, &height);
  const int32_t given_width = engine_window->given_width_;
  const int32_t given_height = engine_window->given_height_;
  if (width == given_width && height == given_height) return;
  // SDL would take the size asked for as the window's before the window manager answers, and
  // keep it when the window manager keeps the window at its own: the picture and the pointer
  // would then follow a size the window does not have.
  if (!AskClientSize(sdl_window, given_width, given_height)) SDL_SetWindowSize(sdl_window, given_width, given_height);
}

void PlaceInToldFrame(WindowId window) {
  SDL_Window* sdl_window = nullptr;
  Window* engine_window = Window::ReachableOf(window, sdl_window);
  if (engine_window == nullptr) return;
  const std::optional<Point> asked = std::exchange(engine_window->place_in_told_frame_, std::nullopt);
  // Held where the window manager or full screen holds it, the window goes back to its place
  // from there by its own road.
  if (asked && StandsOnItsOwn(sdl_window)) engine_window->Move(asked->x, asked->y);
}

void NotePlacement(WindowId window) {
  SDL_Window* sdl_window = nullptr;
  Window* engine_window = Window::ReachableOf(window, sdl_window);
  if (engine_window == nullptr || !StandsOnItsOwn(sdl_window)) return;
  Point origin;
  SDL_GetWindowPosition(sdl_window, &origin.x, &origin.y);
  engine_window->placed_origin_ = origin;
}

namespace {

// The display's own visual where SDL has no format for the desktop's pixels; nothing elsewhere.
std::optional<X11Visual> UnformattedDesktopVisual() {
  SDL_DisplayMode desktop;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || std::string_view(driver) != "x11" || SDL_GetDesktopDisplayMode(0, &desktop) != 0 ||
      desktop.format != SDL_PIXELFORMAT_UNKNOWN) {
    return std::nullopt;
  }
  return DefaultX11Visual();
}

}  // namespace

bool InitVideo() {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
  // A start that failed is not tried again: a program without a display would repeat the
  // failure, and what SDL prints with it, for every window and box it tries.
  static std::atomic<bool> failed{false};
  if (failed.load()) return false;
  // The program's own handlers end it in order on an interrupt (see session_end.h).
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The screen saver keeps the desktop's setting unless the game's settings hold it off.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // Compositions longer than the short editing event holds arrive whole.
  SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
  // The click that activates a window reaches it as well: SDL would drop a press that comes with
  // the focus, as a window manager's click-to-focus brings them together.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    LogDiagnostic(std::string("video: cannot start: ") + SDL_GetError());
    failed.store(true);
    return false;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  if (IsUnseenFallback(driver)) {
    LogDiagnostic(std::string("video: cannot start: no display answers (SDL fell back to its \"") + driver +
                  "\" driver, which shows nothing; check DISPLAY)");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    failed.store(true);
    return false;
  }
  if (static bool told = false; IsUnseenDriver(driver) && !std::exchange(told, true)) {
    LogDiagnostic(std::string("video: the \"") + driver + "\" driver that SDL_VIDEODRIVER chose shows nothing: the game runs unseen");
  }
  // The windows of a desktop whose pixels SDL has no format for (8 bits a pixel) are drawn in
  // memory (WindowRenderer) and made in the screen's own visual, whose colormap shows without a
  // window manager installing another.
  if (const std::optional<X11Visual> visual = UnformattedDesktopVisual()) {
    SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, std::to_string(visual->id).c_str());
  }
  Session().started = true;
  return true;
}

bool IsDisplaySeen() { return InitVideo() && !IsUnseenDriver(SDL_GetCurrentVideoDriver()); }

std::optional<DesktopInfo> GetDesktopInfo() {
  if (!InitVideo()) return std::nullopt;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
    LogDiagnostic(std::string("video: no desktop mode: ") + SDL_GetError());
    return std::nullopt;
  }
  DesktopInfo info;
  info.width = mode.w;
  info.height = mode.h;
  info.bits_per_pixel = static_cast<int32_t>(SDL_BITSPERPIXEL(mode.format));
  if (const std::optional<X11Visual> visual = UnformattedDesktopVisual()) info.bits_per_pixel = visual->depth;
  info.refresh_rate = mode.refresh_rate;
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = SDL_Rect{0, 0, mode.w, mode.h};
  info.work_area = Rect{usable.x, usable.y, usable.x + usable.w, usable.y + usable.h};
  return info;
}

void SetTextInput(bool on) {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
  if (on) {
    SDL_StartTextInput();
  } else {
    SDL_StopTextInput();
  }
}

bool IsTextInputOn() { return SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_IsTextInputActive() == SDL_TRUE; }

void ShowCursor(bool show) {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

std::unique_ptr<Window> Window::Create(const WindowCreateInfo& info, WindowProcedure procedure) {
  if (!InitVideo()) return nullptr;
  const std::string title = SjisToUtf8(info.title);
  SDL_Window* window = SDL_CreateWindow(title.c_str(), SdlPosition(info.x), SdlPosition(info.y), info.client_width,
                                        info.client_height, SdlFlagsOf(info.style));
  if (window == nullptr) {
    LogDiagnostic(std::string("video: cannot create a window: ") + SDL_GetError());
    return nullptr;
  }
  std::unique_ptr<Window> created(new Window(window, info.style, info.client_width, info.client_height));
  WatchX11Display(window);
  PlaceByClientArea(window);
  if (info.x != kCentred && info.y != kCentred) created->Move(info.x, info.y);
  MessageQueue::Instance().RegisterWindow(created->id_, std::move(procedure));
  if ((info.style & WS_VISIBLE) != 0) created->Show();
  return created;
}

Window::Window(SDL_Window* window, uint32_t style, int32_t width, int32_t height)
    : window_(window), id_(SDL_GetWindowID(window)), style_(style), given_width_(width), given_height_(height) {
  SDL_SetWindowData(window_, kWindowDataName, this);
}

Window::~Window() {
  MessageQueue::Instance().UnregisterWindow(id_);
  ScreenPresenter::ReleaseWindow(id_);
  SDL_SetWindowData(window_, kWindowDataName, nullptr);
  if (!Reachable()) return;
  SDL_DestroyWindow(window_);
}

// Calls that wait for the display's answer never return once the display is lost, and a window
// another client destroyed has nothing left to answer for.
bool Window::Reachable() const { return !DisplayConnectionLost() && !WasDestroyedOutside(window_); }

Window* Window::ReachableOf(WindowId window, SDL_Window*& sdl_window) {
  sdl_window = SDL_WasInit(SDL_INIT_VIDEO) != 0 ? SDL_GetWindowFromID(window) : nullptr;
  Window* engine_window = EngineWindowOf(sdl_window);
  return engine_window != nullptr && engine_window->Reachable() ? engine_window : nullptr;
}

void Window::SetTitle(std::string_view sjis_title) { SDL_SetWindowTitle(window_, SjisToUtf8(sjis_title).c_str()); }

void Window::ApplyStyle(uint32_t style) {
  const uint32_t flags = SdlFlagsOf(style);
  SDL_SetWindowBordered(window_, (flags & SDL_WINDOW_BORDERLESS) != 0 ? SDL_FALSE : SDL_TRUE);
  SDL_SetWindowResizable(window_, (flags & SDL_WINDOW_RESIZABLE) != 0 ? SDL_TRUE : SDL_FALSE);
  if ((style & WS_VISIBLE) != 0) Show();
  style_ = style;
}

void Window::SetIcon(const uint32_t* pixels, int32_t width, int32_t height) {
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height, 32, width * 4,
                                                         SDL_PIXELFORMAT_ARGB8888);
  if (icon == nullptr) {
    LogDiagnostic(std::string("video: cannot make the window icon: ") + SDL_GetError());
    return;
  }
  SDL_SetWindowIcon(window_, icon);
  SDL_FreeSurface(icon);
}

void Window::Show() {
  SDL_ShowWindow(window_);
  style_ |= WS_VISIBLE;
}

void Window::Hide() {
  if (Reachable()) SDL_HideWindow(window_);
  style_ &= ~WS_VISIBLE;
}

void Window::Minimize() { SDL_MinimizeWindow(window_); }
void Window::Restore() { SDL_RestoreWindow(window_); }
void Window::Raise() { SDL_RaiseWindow(window_); }
void Window::SetTopmost(bool topmost) { SDL_SetWindowAlwaysOnTop(window_, topmost ? SDL_TRUE : SDL_FALSE); }

void Window::SetTextInputArea(const Rect& area) {
  text_input_area_ = area;
  SDL_Rect rect{area.left, area.top, area.right - area.left, area.bottom - area.top};
  SDL_SetTextInputRect(&rect);
}

void Window::SetKeyboardGrab(bool grab) { SDL_SetWindowKeyboardGrab(window_, grab ? SDL_TRUE : SDL_FALSE); }

bool Window::IsVisible() const { return (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) != 0; }
bool Window::IsMinimized() const { return (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0; }

void Window::SetEnabled(bool enabled) { MessageQueue::Instance().SetWindowEnabled(id_, enabled); }
bool Window::IsEnabled() const { return MessageQueue::Instance().IsWindowEnabled(id_); }

void Window::Move(int32_t x, int32_t y) {
  place_in_told_frame_.reset();
  if (x == kCentred || y == kCentred) {
    SDL_SetWindowPosition(window_, SdlPosition(x), SdlPosition(y));
    return;
  }
  const std::optional<FrameExtents> frame = FrameExtentsOf(window_);
  // Where the window manager tells of its frame only once the window shows, the frame most
  // window managers draw stands for it until then, and the place is asked for again once it
  // tells (PlaceInToldFrame).
  if (!frame) place_in_told_frame_ = Point{x, y};
  const Point origin = WithTitleBarOnScreen(window_, Point{x, y}, frame.value_or(kLikelyFrame));
  placed_origin_ = origin;
  // SDL takes the frame it knows of off the place it asks for, while the window manager puts the
  // frame around the place itself (PlaceByClientArea): the frame is added back.
  Point frame_origin;
  SDL_GetWindowBordersSize(window_, &frame_origin.y, &frame_origin.x, nullptr, nullptr);
  const Point asked = Offset(origin, frame_origin);
  SDL_SetWindowPosition(window_, asked.x, asked.y);
}

void Window::SetClientSize(int32_t width, int32_t height) {
  given_width_ = width;
  given_height_ = height;
  SDL_SetWindowSize(window_, width, height);
}

Point Window::ClientOrigin() const {
  Point origin;
  SDL_GetWindowPosition(window_, &origin.x, &origin.y);
  return origin;
}

Point Window::ScreenPointOfDrawing(Point drawn) const {
  FromDrawingPoint(window_, drawn.x, drawn.y);
  return Offset(ClientOrigin(), drawn);
}

Point Window::PlacedOrigin() const { return placed_origin_.value_or(ClientOrigin()); }

Rect Window::ClientRectOnScreen() const {
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(window_, &width, &height);
  return RectAt(ClientOrigin(), width, height);
}

}  // namespace plat

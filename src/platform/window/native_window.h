// The engine's windows on SDL: one SDL window for each, created on the window thread, with the
// engine's style bits, title (Shift-JIS), icon, placement and client size, and its procedure
// registered with the message queue. The frame around the client area belongs to the desktop's
// window manager, so positions and sizes given here are those of the client area.
#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/events/window_messages.h"
#include "platform/window/letterbox.h"
#include "platform/window/message_queue.h"

namespace plat {

// Starts SDL's video on the calling thread, once; false (the reason in the log) when there is
// no display to open windows on.
bool InitVideo();
// Whether video runs on a display someone looks at (not on a driver that only draws in memory,
// which tests ask for): what waits for a click there would wait for ever.
bool IsDisplaySeen();

struct DesktopInfo {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits_per_pixel = 0;
  int32_t refresh_rate = 0;
  Rect work_area;  // the part of the desktop that windows may use
};

// The primary desktop; empty when there is no display.
std::optional<DesktopInfo> GetDesktopInfo();

// Switches the text input of the keyboard (and with it the input method) on or off.
void SetTextInput(bool on);
// Whether the text input (and the input method) is on.
bool IsTextInputOn();
// Shows or hides the mouse cursor over the windows.
void ShowCursor(bool show);

// A client position of kCentred places the window in the middle of the desktop.
inline constexpr int32_t kCentred = -1;

struct WindowCreateInfo {
  std::string title;  // Shift-JIS
  int32_t x = kCentred;
  int32_t y = kCentred;
  int32_t client_width = 0;
  int32_t client_height = 0;
  uint32_t style = 0;  // WS_ bits: no caption makes a borderless window, a sizing frame or a maximize box a resizable one
};

// The size of the client area that the window's picture is drawn at: for a window without a
// sizing frame, outside full screen, the size the program gave it, whatever size the window
// manager shows it at (the picture is then scaled into the window, letterboxed); for any other
// window the size it is shown at.
void DrawingSizeOf(SDL_Window* window, int& width, int& height);
// Moves a point of the window's client area, as it is shown, to where it lies in the picture
// drawn at the window's drawing size; a point beside the picture lands just outside it.
void ToDrawingPoint(SDL_Window* window, int& x, int& y);
// The inverse: moves a point of the picture drawn at the window's drawing size to the point of
// the client area, as it is shown, that ToDrawingPoint reads as it (FromPicturePoint).
void FromDrawingPoint(SDL_Window* window, int& x, int& y);
// After the window manager gave a window another size: a window without a sizing frame asks
// for the size the program gave it again, unless it is maximized in either direction, minimized
// or full screen, the game's or the window manager's (its maximize box asks for full screen; the
// window manager then sizes it). Where the window manager keeps the window at its own size, the
// window stays so, its picture scaled into it.
void KeepGivenSize(WindowId window);
// After the window moved: a window that is not maximized in either direction, minimized nor
// full screen stands at a place of its own, which it goes back to from there
// (Window::PlacedOrigin).
void NotePlacement(WindowId window);
// Once the window manager tells of the frame it gives the window: a window placed while the
// window manager had not told of it, and standing on its own, is put at that place again, now
// by the frame it has.
void PlaceInToldFrame(WindowId window);

class Window {
 public:
  // The window, hidden unless the style has WS_VISIBLE; null (the reason in the log) when it
  // cannot be made.
  static std::unique_ptr<Window> Create(const WindowCreateInfo& info, WindowProcedure procedure);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  WindowId Id() const { return id_; }

  void SetTitle(std::string_view sjis_title);
  void ApplyStyle(uint32_t style);
  uint32_t Style() const { return style_; }
  // An icon of 32-bit pixels 0xAARRGGBB, rows top-down.
  void SetIcon(const uint32_t* pixels, int32_t width, int32_t height);

  void Show();
  void Hide();
  void Minimize();
  void Restore();
  void Raise();
  void SetTopmost(bool topmost);
  // While grabbed the window takes every key, also those the desktop would keep for itself
  // (switching windows, the system keys).
  void SetKeyboardGrab(bool grab);
  bool IsVisible() const;
  bool IsMinimized() const;
  void SetEnabled(bool enabled);
  bool IsEnabled() const;

  // Puts the client area at x, y; or, where the window manager's title bar would lie off every
  // screen there, as near as it lies on one. A window created at a place is put there so.
  void Move(int32_t x, int32_t y);
  void SetClientSize(int32_t width, int32_t height);
  Point ClientOrigin() const;
  // Where a point of the picture drawn at the window's drawing size shows on the screen: the
  // pointer put there is read over the picture as that point.
  Point ScreenPointOfDrawing(Point drawn) const;
  // Where the client area was when the window last stood at a place of its own: where the
  // program put it or the player moved it, not where the window manager holds it maximized nor
  // where full screen holds it. On the window thread.
  Point PlacedOrigin() const;
  Rect ClientRectOnScreen() const;
  // The area of the client (left, top, right, bottom) that text is typed into: the input
  // method's candidate list is placed beside it.
  void SetTextInputArea(const Rect& area);
  const Rect& TextInputArea() const { return text_input_area_; }

 private:
  Window(SDL_Window* window, uint32_t style, int32_t width, int32_t height);
  bool Reachable() const;
  // The engine's window of a window of the message queue, on the window thread; null for a
  // window that another client destroyed, or whose display is lost.
  static Window* ReachableOf(WindowId window, SDL_Window*& sdl_window);
  friend void DrawingSizeOf(SDL_Window* window, int& width, int& height);
  friend void KeepGivenSize(WindowId window);
  friend void NotePlacement(WindowId window);
  friend void PlaceInToldFrame(WindowId window);
  bool KeepsGivenSize() const { return (style_ & WS_THICKFRAME) == 0; }

  SDL_Window* window_;
  WindowId id_;
  uint32_t style_;
  // The client size the program gave the window, read by the threads that draw into it.
  std::atomic<int32_t> given_width_;
  std::atomic<int32_t> given_height_;
  std::optional<Point> placed_origin_;
  // The place last asked for while the window manager had not told of its frame.
  std::optional<Point> place_in_told_frame_;
  Rect text_input_area_{};
};

}  // namespace plat

// Where the cursor lies in the game screen, each due frame: its position in game-screen pixels
// (-1 outside, -2 an axis that is not tested) and the edge zone it touches or left by, numbered
// as the digits of a numeric keypad (8 top, 2 bottom, 4 left, 6 right, 7 9 1 3 the corners).
#pragma once

#include <cstdint>

#include "platform/events/input_state.h"
#include "platform/system/geometry.h"

struct CursorPlace {
  int32_t x = -1;
  int32_t y = -1;
  uint8_t edge = 0;
  bool over = false;  // the cursor lies over the game screen
};

// Full screen: the cursor relative to the monitor's origin. With `displayed` (the rectangle the
// scaled screen takes on the monitor) the position is scaled to the game screen; a point beside
// it gives -2 for the axis that lies outside, a point off the monitor (-1, -1).
CursorPlace PlaceCursorInFullScreen(plat::Point on_monitor, int32_t monitor_width, int32_t monitor_height,
                                    const plat::Rect* displayed, int32_t width, int32_t height);

// Full screen as the monitor shows it: the window covers the monitor and shows the output (the
// picture of the display mode the game asked for) in it, letterboxed where the display keeps a
// mode of its own; the game screen fills the output or, scaled, `displayed` of it.
struct FullScreenLayout {
  plat::Point monitor;  // width and height
  plat::Point output;
  const plat::Rect* displayed = nullptr;
  plat::Point screen;  // the game screen's
};

// The cursor relative to the monitor's origin, placed as PlaceCursorInFullScreen places it on the
// output.
CursorPlace PlaceCursorOnMonitor(plat::Point on_monitor, const FullScreenLayout& layout);
// The inverse: the point of the monitor that PlaceCursorOnMonitor places at the game screen's point.
plat::Point MonitorPointOfGame(plat::Point in_game, const FullScreenLayout& layout);

// Window: the pointer in client coordinates. Leaving the screen sets the edge once, from the side
// it went out by; while it stays outside the edge stays `previous_edge`.
CursorPlace PlaceCursorInWindow(const plat::PointerReading& pointer, int32_t width, int32_t height, bool was_over,
                                uint8_t previous_edge);

// The full-screen menu that the cursor brings up from the top row of the screen.
enum class TopRowMenuStep {
  kNone,
  kOverMenu,  // the menu is shown and the cursor lies on it or off the monitor: not over the game
  kHide,      // the cursor left the shown menu
  kShow,      // the cursor stayed on the top row for the delay
};

struct TopRowMenu {
  bool timing = false;
  uint32_t since = 0;
};

// One frame's step: `on_monitor` is the cursor relative to the monitor's origin, `shown` whether
// the menu is on the screen, `now` and `delay` in milliseconds.
TopRowMenuStep StepTopRowMenu(TopRowMenu& state, plat::Point on_monitor, int32_t monitor_width, int32_t menu_height,
                              bool shown, uint32_t now, uint32_t delay);

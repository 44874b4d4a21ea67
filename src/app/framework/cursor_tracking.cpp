#include "app/framework/cursor_tracking.h"

#include <algorithm>
#include <array>

#include "platform/window/letterbox.h"

namespace {

constexpr uint8_t kEdgeTop = 8;
constexpr uint8_t kEdgeBottom = 2;
constexpr uint8_t kEdgeLeft = 4;
constexpr uint8_t kEdgeRight = 6;

// The keypad digit of a column (0 left, 1 middle, 2 right) and a row (0 top, 1 middle, 2 bottom).
uint8_t KeypadDigit(int column, int row) { return static_cast<uint8_t>((2 - row) * 3 + column + 1); }

int Band(int32_t value, int32_t size) { return value < 0 ? 0 : value >= size ? 2 : 1; }

// The side a point that left the screen lies by; a last point still inside counts by its nearest edge.
uint8_t SideOf(int32_t x, int32_t y, int32_t width, int32_t height) {
  const int column = Band(x, width);
  const int row = Band(y, height);
  if (column != 1 || row != 1) return KeypadDigit(column, row);
  const std::array<int32_t, 4> distances = {y, height - 1 - y, x, width - 1 - x};
  constexpr std::array<uint8_t, 4> kEdges = {kEdgeTop, kEdgeBottom, kEdgeLeft, kEdgeRight};
  const auto nearest = std::min_element(distances.begin(), distances.end()) - distances.begin();
  return kEdges[static_cast<std::size_t>(nearest)];
}

}  // namespace

CursorPlace PlaceCursorInFullScreen(plat::Point on_monitor, int32_t monitor_width, int32_t monitor_height,
                                    const plat::Rect* displayed, int32_t width, int32_t height) {
  CursorPlace place;
  if (on_monitor.x < 0 || on_monitor.y < 0 || on_monitor.x >= monitor_width || on_monitor.y >= monitor_height) {
    place.edge = kEdgeTop;
    return place;
  }
  place.x = on_monitor.x;
  place.y = on_monitor.y;
  if (displayed != nullptr && displayed->Width() > 0 && displayed->Height() > 0) {
    const plat::Point in_picture = plat::ToPicturePoint(*displayed, width, height, on_monitor);
    place.x = in_picture.x >= 0 && in_picture.x < width ? in_picture.x : -2;
    place.y = in_picture.y >= 0 && in_picture.y < height ? in_picture.y : -2;
  }
  if (place.y < 1 || place.x == -2) {
    place.edge = kEdgeTop;
  } else if (place.y >= height - 1) {
    place.edge = kEdgeBottom;
  } else if (place.x < 1) {
    place.edge = kEdgeLeft;
  } else if (place.x >= width - 1) {
    place.edge = kEdgeRight;
  }
  place.over = place.x >= 0 && place.y >= 0;
  return place;
}

namespace {

plat::Rect OutputArea(const FullScreenLayout& layout) {
  return plat::LetterboxedArea(layout.monitor.x, layout.monitor.y, layout.output.x, layout.output.y);
}

}  // namespace

CursorPlace PlaceCursorOnMonitor(plat::Point on_monitor, const FullScreenLayout& layout) {
  const plat::Point on_output = plat::ToPicturePoint(OutputArea(layout), layout.output.x, layout.output.y, on_monitor);
  return PlaceCursorInFullScreen(on_output, layout.output.x, layout.output.y, layout.displayed, layout.screen.x,
                                 layout.screen.y);
}

plat::Point MonitorPointOfGame(plat::Point in_game, const FullScreenLayout& layout) {
  plat::Point on_output = in_game;
  if (layout.displayed != nullptr) {
    on_output = plat::FromPicturePoint(*layout.displayed, layout.screen.x, layout.screen.y, in_game);
  }
  return plat::FromPicturePoint(OutputArea(layout), layout.output.x, layout.output.y, on_output);
}

CursorPlace PlaceCursorInWindow(const plat::PointerReading& pointer, int32_t width, int32_t height, bool was_over,
                                uint8_t previous_edge) {
  CursorPlace place;
  const bool inside = pointer.seen && pointer.x >= 0 && pointer.y >= 0 && pointer.x < width && pointer.y < height;
  if (inside) {
    place.x = pointer.x;
    place.y = pointer.y;
    place.over = true;
    return place;
  }
  place.edge = was_over ? SideOf(pointer.x, pointer.y, width, height) : previous_edge;
  return place;
}

TopRowMenuStep StepTopRowMenu(TopRowMenu& state, plat::Point on_monitor, int32_t monitor_width, int32_t menu_height,
                              bool shown, uint32_t now, uint32_t delay) {
  const bool across = on_monitor.x >= 0 && on_monitor.x < monitor_width;
  if (shown) {
    state.timing = false;
    return !across || on_monitor.y < menu_height ? TopRowMenuStep::kOverMenu : TopRowMenuStep::kHide;
  }
  if (!across || on_monitor.y > 0) {
    state.timing = false;
    return TopRowMenuStep::kNone;
  }
  if (!state.timing) {
    state.timing = true;
    state.since = now;
  }
  if (now - state.since < delay) return TopRowMenuStep::kNone;
  state.timing = false;
  return TopRowMenuStep::kShow;
}

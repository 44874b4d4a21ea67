// The application's cursor: tracking it over the game screen each frame, and moving it.
#include "app/framework/framework_app.h"

#include "app/framework/cursor_tracking.h"
#include "app/framework/private_messages.h"
#include "platform/events/input_state.h"
#include "platform/system/clock.h"
#include "platform/window/cursor.h"
#include "platform/window/letterbox.h"
#include "platform/window/menu_overlay.h"
#include "platform/window/native_window.h"

namespace {

// Where the scaled screen shows on the output in full screen, from the destination's left, top,
// width and height.
plat::Rect DisplayedRect(const plat::Rect& destination) {
  return plat::Rect{destination.left, destination.top, destination.left + destination.right,
                    destination.top + destination.bottom};
}

}  // namespace

bool CFrameworkApp::TrackCursor() {
  const int32_t width = info_.screen_width;
  const int32_t height = info_.screen_height;
  CursorPlace place;
  if (full_screen_) {
    const plat::Point origin = screen_.GetMonitorOrigin();
    const plat::Point cursor = plat::GetCursorPos();
    const plat::Rect displayed = DisplayedRect(screen_.GetDestination());
    place = PlaceCursorOnMonitor(plat::Point{cursor.x - origin.x, cursor.y - origin.y}, FullScreenLayoutOf(displayed));
    if (FollowTopRowMenu(plat::Point{cursor.x - origin.x, cursor.y - origin.y})) {
      place.x = kCursorOutside;
      place.y = kCursorOutside;
      place.over = false;
    }
  } else {
    plat::PointerReading pointer = plat::InputState::Instance().ReadPointer();
    if (pointer.window != main_window_.GetHandle()) pointer.seen = false;
    if (pointer.seen && pointer.minimized) {
      cursor_edge_.store(0);
      cursor_.Set(kCursorOutside, kCursorOutside);
      cursor_over_ = false;
      return false;
    }
    place = PlaceCursorInWindow(pointer, width, height, cursor_over_, cursor_edge_.load());
    if (!place.over && cursor_over_) {
      // The cursor left the screen: a message mouse forgets the buttons it saw go down.
      if (CMouse* mouse = input_.GetMouse(); mouse != nullptr && mouse->GetType() == kInputMessages) {
        mouse->ResetState();
      }
    }
  }
  cursor_edge_.store(place.edge);
  cursor_.Set(place.x, place.y);
  cursor_over_ = place.over;
  return place.over;
}

bool CFrameworkApp::FollowTopRowMenu(plat::Point on_monitor) {
  if (info_.menu_id == 0 || (window_behaviour_ & kBehaviourSystemKeys) == 0 || info_.menu_in_fullscreen == 0) {
    return false;
  }
  const uint32_t delay = window_block_[kWinMenuDelay] | (uint32_t{window_block_[kWinMenuDelay + 1]} << 8);
  switch (StepTopRowMenu(top_row_menu_, on_monitor, screen_.GetOutputWidth(), plat::MenuOverlay::BarHeight(),
                         menu_shown_.load(), plat::CoarseMilliseconds(), delay)) {
    case TopRowMenuStep::kOverMenu:
      return true;
    case TopRowMenuStep::kHide:
      main_window_.PostMessage(kMsgHideMenuWindow, 0, 0);
      if (system_cursor_hidden_) main_window_.PostMessage(kMsgCursorRequest, 0, 0);
      return false;
    case TopRowMenuStep::kShow:
      main_window_.PostMessage(kMsgShowMenuWindow, 0, 0);
      main_window_.PostMessage(kMsgCursorRequest, 1, 0);
      return false;
    case TopRowMenuStep::kNone:
      return false;
  }
  return false;
}

plat::Point CFrameworkApp::GameToScreen(plat::Point point) const {
  if (!full_screen_) {
    const plat::Window* window = main_window_.GetPlatformWindow();
    return window != nullptr ? window->ScreenPointOfDrawing(point) : point;
  }
  const plat::Rect displayed = DisplayedRect(screen_.GetDestination());
  return plat::Offset(MonitorPointOfGame(point, FullScreenLayoutOf(displayed)), screen_.GetMonitorOrigin());
}

FullScreenLayout CFrameworkApp::FullScreenLayoutOf(const plat::Rect& displayed) const {
  FullScreenLayout layout;
  layout.output = plat::Point{screen_.GetOutputWidth(), screen_.GetOutputHeight()};
  layout.displayed = screen_.IsFullScreenScaling() ? &displayed : nullptr;
  layout.screen = plat::Point{info_.screen_width, info_.screen_height};
  // The window covers the monitor.
  const plat::Window* window = main_window_.GetPlatformWindow();
  const plat::Rect covered = window != nullptr ? window->ClientRectOnScreen() : plat::Rect{};
  layout.monitor = window != nullptr ? plat::Point{covered.Width(), covered.Height()} : layout.output;
  return layout;
}

plat::Point CFrameworkApp::GetCursorPos() const { return plat::GetCursorPos(); }

void CFrameworkApp::SetCursorPos(plat::Point point) { plat::SetCursorPos(point); }

void CFrameworkApp::SetCursorPosClient(int32_t x, int32_t y) {
  plat::SetCursorPos(GameToScreen(plat::Point{x, y}));
  if (x >= 0 && x < info_.screen_width && y >= 0 && y < info_.screen_height) {
    cursor_.Set(x, y);
  } else {
    cursor_.Set(kCursorOutside, kCursorOutside);
  }
}

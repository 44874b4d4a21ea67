#include "gfx/display/screen_output_place.h"

#include <cstdint>

#include "base/threads/lock_guard.h"

plat::Rect ScreenRectOnOutput(CScreenManager& screen, const plat::Rect& rect) {
  CLockGuard guard(screen.GetLock());
  const int32_t width = screen.GetScreenRect().right;
  const int32_t height = screen.GetScreenRect().bottom;
  if (!screen.IsFullScreenScaling() || width < 1 || height < 1) return rect;
  // The destination holds the scaled screen's left, top, width and height.
  const plat::Rect& destination = screen.GetDestination();
  const auto x = [&](int32_t at) {
    return destination.left + static_cast<int32_t>(int64_t{at} * destination.right / width);
  };
  const auto y = [&](int32_t at) {
    return destination.top + static_cast<int32_t>(int64_t{at} * destination.bottom / height);
  };
  return plat::Rect{x(rect.left), y(rect.top), x(rect.right), y(rect.bottom)};
}

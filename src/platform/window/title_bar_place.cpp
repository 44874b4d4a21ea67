#include "platform/window/title_bar_place.h"

#include <algorithm>

namespace plat {
namespace {

// The width of the title bar that must lie on a screen: room for the pointer to take hold of
// it beside the window manager's buttons.
constexpr int32_t kTitleBarHold = 64;

int32_t HoldWidth(const Rect& title_bar) { return std::min(kTitleBarHold, title_bar.Width()); }

bool LiesOn(const Rect& title_bar, const Rect& area) {
  const int32_t across = std::min(title_bar.right, area.right) - std::max(title_bar.left, area.left);
  return title_bar.top >= area.top && title_bar.bottom <= area.bottom && across >= HoldWidth(title_bar);
}

const Rect& MostOverlapped(const Rect& window, const std::vector<Rect>& work_areas) {
  const Rect* best = &work_areas.front();
  for (const Rect& area : work_areas) {
    if (OverlapArea(window, area) > OverlapArea(window, *best)) best = &area;
  }
  return *best;
}

}  // namespace

Point TitleBarOnScreen(const Rect& client, const FrameExtents& frame, const std::vector<Rect>& work_areas) {
  const Point origin{client.left, client.top};
  if (frame.top <= 0 || work_areas.empty()) return origin;
  const Rect title_bar{client.left - frame.left, client.top - frame.top, client.right + frame.right, client.top};
  if (std::any_of(work_areas.begin(), work_areas.end(), [&](const Rect& area) { return LiesOn(title_bar, area); })) {
    return origin;
  }
  const Rect window{title_bar.left, title_bar.top, title_bar.right, client.bottom + frame.bottom};
  const Rect& area = MostOverlapped(window, work_areas);
  const int32_t top = std::max(area.top, std::min(title_bar.top, area.bottom - frame.top));
  const int32_t hold = HoldWidth(title_bar);
  const int32_t left = std::max(area.left + hold - title_bar.Width(), std::min(title_bar.left, area.right - hold));
  return Point{left + frame.left, top + frame.top};
}

}  // namespace plat

#include "platform/window/title_bar_place.h"

#include <algorithm>

namespace plat {
namespace {

// The width of the title bar that must lie on a screen: room for the pointer to take hold of
// it beside the window manager's buttons.
constexpr int64_t kTitleBarHold = 64;

// The title bar's sides, worked out wide: around a client area at an end of the range, the frame
// reaches beyond it.
struct TitleBar {
  int64_t left;
  int64_t top;
  int64_t right;
  int64_t bottom;
  int64_t Width() const { return right - left; }
};

int64_t HoldWidth(const TitleBar& title_bar) { return std::min(kTitleBarHold, title_bar.Width()); }

bool LiesOn(const TitleBar& title_bar, const Rect& area) {
  const int64_t across = std::min<int64_t>(title_bar.right, area.right) - std::max<int64_t>(title_bar.left, area.left);
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
  const TitleBar title_bar{int64_t{client.left} - frame.left, int64_t{client.top} - frame.top,
                           int64_t{client.right} + frame.right, client.top};
  if (std::any_of(work_areas.begin(), work_areas.end(), [&](const Rect& area) { return LiesOn(title_bar, area); })) {
    return origin;
  }
  // The work areas lie within the range: what the window shares with them is the same held to it.
  const Rect window{ClampedCoordinate(title_bar.left), ClampedCoordinate(title_bar.top),
                    ClampedCoordinate(title_bar.right), ClampedCoordinate(int64_t{client.bottom} + frame.bottom)};
  const Rect& area = MostOverlapped(window, work_areas);
  const int64_t top = std::max<int64_t>(area.top, std::min<int64_t>(title_bar.top, int64_t{area.bottom} - frame.top));
  const int64_t hold = HoldWidth(title_bar);
  const int64_t left = std::max(area.left + hold - title_bar.Width(), std::min(title_bar.left, area.right - hold));
  return Point{ClampedCoordinate(left + frame.left), ClampedCoordinate(top + frame.top)};
}

}  // namespace plat

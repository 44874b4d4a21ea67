#include "platform/window/display_settings.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/window/monitors.h"

namespace plat {
namespace {

struct ChangedSizes {
  std::mutex lock;
  std::map<size_t, DisplayModeDesc> by_display;
};

// The presenter reads the sizes on the window thread, whichever thread changes them.
ChangedSizes& Changed() {
  static ChangedSizes changed;
  return changed;
}

bool OffersSize(const DisplayOutput& display, const DisplayModeDesc& mode) {
  const std::vector<DisplayModeDesc> offered = OfferedDisplayModes(display);
  return std::any_of(offered.begin(), offered.end(), [&](const DisplayModeDesc& each) {
    return each.width == mode.width && each.height == mode.height;
  });
}

}  // namespace

std::vector<DisplayModeDesc> OfferedDisplayModes(const DisplayOutput& display) {
  std::vector<DisplayModeDesc> sizes;
  sizes.push_back(DisplayModeDesc{display.bounds.Width(), display.bounds.Height(), 0, display.refresh_rate});
  for (const DisplayModeDesc& mode : display.modes) {
    const DisplayModeDesc size{mode.width, mode.height, 0, mode.refresh_rate};
    if (std::find(sizes.begin(), sizes.end(), size) == sizes.end()) sizes.push_back(size);
  }
  std::vector<DisplayModeDesc> offered;
  for (const DisplayModeDesc& size : sizes) {
    for (const int32_t depth : {16, 32}) {
      offered.push_back(DisplayModeDesc{size.width, size.height, depth, size.refresh_rate});
    }
  }
  return offered;
}

int32_t ChangeDisplaySettings(std::string_view device_name, const DisplayModeDesc* mode) {
  const std::optional<size_t> display = device_name.empty() ? std::optional<size_t>(0) : DisplayIndexOf(device_name);
  if (!display) return DISP_CHANGE_BADPARAM;
  ChangedSizes& changed = Changed();
  if (mode == nullptr) {
    // A display that went away since is given its own size back all the same.
    std::lock_guard guard(changed.lock);
    changed.by_display.erase(*display);
    return DISP_CHANGE_SUCCESSFUL;
  }
  const std::vector<DisplayOutput> displays = CurrentDisplayBackend().Displays();
  if (*display >= displays.size()) return DISP_CHANGE_BADPARAM;
  if (!OffersSize(displays[*display], *mode)) return DISP_CHANGE_BADMODE;
  std::lock_guard guard(changed.lock);
  changed.by_display[*display] = DisplayModeDesc{mode->width, mode->height, displays[*display].bits_per_pixel, 0};
  return DISP_CHANGE_SUCCESSFUL;
}

std::optional<DisplayModeDesc> ChangedDisplaySize(size_t display) {
  ChangedSizes& changed = Changed();
  std::lock_guard guard(changed.lock);
  const auto found = changed.by_display.find(display);
  if (found == changed.by_display.end()) return std::nullopt;
  return found->second;
}

}  // namespace plat

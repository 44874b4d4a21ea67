#include "support/fake_display_backend.h"

plat::DisplayOutput FakeDisplayBackend::Display(std::string name, int32_t left, int32_t top, int32_t width,
                                                int32_t height) {
  plat::DisplayOutput display;
  display.name = std::move(name);
  display.bounds = plat::Rect{left, top, left + width, top + height};
  display.usable = plat::Rect{left, top, left + width, top + height - 40};
  display.bits_per_pixel = 32;
  display.refresh_rate = 60;
  display.modes = {{width, height, 32, 60}, {800, 600, 32, 60}, {640, 480, 32, 60}};
  return display;
}

bool FakeDisplayBackend::EnterFullScreen(plat::WindowId window, int32_t display) {
  entered.push_back(FullScreenCall{window, display});
  if (refuse_full_screen) return false;
  covered_[window] = display;
  return true;
}

void FakeDisplayBackend::LeaveFullScreen(plat::WindowId window) {
  left.push_back(window);
  covered_.erase(window);
}

int32_t FakeDisplayBackend::CoveredDisplay(plat::WindowId window) {
  const auto found = covered_.find(window);
  return found != covered_.end() ? found->second : -1;
}

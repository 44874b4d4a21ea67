// A machine with the displays a test gives it, in place of SDL's: nothing is opened, and the
// full-screen switches are recorded.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/window/display_backend.h"

class FakeDisplayBackend : public plat::DisplayBackend {
 public:
  struct FullScreenCall {
    plat::WindowId window = 0;
    int32_t display = 0;
  };

  // A display of the given size at the given place, 32 bits, 60 Hz, switching to 640 x 480 and 800 x 600.
  static plat::DisplayOutput Display(std::string name, int32_t left, int32_t top, int32_t width, int32_t height);

  explicit FakeDisplayBackend(std::vector<plat::DisplayOutput> displays) : displays_(std::move(displays)) {}

  bool Available() override { return !displays_.empty(); }
  std::vector<plat::DisplayOutput> Displays() override { return displays_; }
  std::string RendererName() override { return "fake renderer"; }
  bool EnterFullScreen(plat::WindowId window, int32_t display) override;
  void LeaveFullScreen(plat::WindowId window) override;
  int32_t CoveredDisplay(plat::WindowId window) override;

  // Refuses every switch to full screen, as a display that cannot be covered.
  bool refuse_full_screen = false;
  std::vector<FullScreenCall> entered;
  std::vector<plat::WindowId> left;

 private:
  std::vector<plat::DisplayOutput> displays_;
  std::map<plat::WindowId, int32_t> covered_;
};

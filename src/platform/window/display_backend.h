// The machine's displays as the display layer sees them: their places on the desktop, their
// modes and the switch to full screen. SDL answers by default; tests put a backend of their
// own in its place to stand for machines with one or several displays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/events/window_messages.h"

namespace plat {

struct DisplayModeDesc {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits_per_pixel = 0;
  int32_t refresh_rate = 0;  // 0 when unknown
  bool operator==(const DisplayModeDesc&) const = default;
};

struct DisplayOutput {
  std::string name;  // UTF-8, as the system names the display
  Rect bounds;       // on the desktop
  Rect usable;       // the part windows may use
  int32_t bits_per_pixel = 32;
  int32_t refresh_rate = 0;
  std::vector<DisplayModeDesc> modes;  // the sizes the display can switch to
};

class DisplayBackend {
 public:
  virtual ~DisplayBackend() = default;
  // False when there is no display to draw on.
  virtual bool Available() = 0;
  virtual std::vector<DisplayOutput> Displays() = 0;
  // The name of the renderer that presents.
  virtual std::string RendererName() = 0;
  // Makes the window cover the display over the desktop as it is: the monitor keeps its mode.
  virtual bool EnterFullScreen(WindowId window, int32_t display) = 0;
  virtual void LeaveFullScreen(WindowId window) = 0;
  // The display that the window covers in full screen; -1 when it covers none.
  virtual int32_t CoveredDisplay(WindowId window) = 0;
};

DisplayBackend& CurrentDisplayBackend();

// Puts a backend in place of SDL's while it lives.
class ScopedDisplayBackend {
 public:
  explicit ScopedDisplayBackend(DisplayBackend& backend);
  ~ScopedDisplayBackend();
  ScopedDisplayBackend(const ScopedDisplayBackend&) = delete;
  ScopedDisplayBackend& operator=(const ScopedDisplayBackend&) = delete;

 private:
  DisplayBackend* previous_;
};

}  // namespace plat

// The device context that a present copies to: the window's, taken here and given back when the
// object ends, when a window is given; else the one passed in.
#pragma once

#include "platform/window/gdi.h"

class OutputDc {
 public:
  OutputDc(plat::WindowId window, plat::DeviceContext* dc)
      : window_(window), dc_(window != 0 ? plat::GetDC(window) : dc) {}
  ~OutputDc() {
    if (window_ != 0 && dc_ != nullptr) plat::ReleaseDC(window_, dc_);
  }
  OutputDc(const OutputDc&) = delete;
  OutputDc& operator=(const OutputDc&) = delete;

  plat::DeviceContext* Get() const { return dc_; }

 private:
  plat::WindowId window_;
  plat::DeviceContext* dc_;
};

// Window tests on the real display (run under Xvfb): the X11 driver, a leak check while SDL
// still lives, and a visible window to draw into.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/window/native_window.h"

class WindowTestBase : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
};

// Starts video and opens a captioned window with the given client area, then gives the
// display a moment to map it. Null when the window cannot be made.
std::unique_ptr<plat::Window> OpenTestWindow(const std::string& title, int32_t x, int32_t y, int32_t width,
                                             int32_t height);
// The pixels the window shows (0xAARRGGBB), read back through its renderer; the read-back
// and the size are checked as expectations. Empty when the window has no presenter.
std::vector<uint32_t> ShownPixels(const plat::Window& window, int32_t width, int32_t height);

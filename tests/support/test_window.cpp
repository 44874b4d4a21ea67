#include "support/test_window.h"

#include <SDL.h>

#include <cstdlib>

#include "platform/window/screen_presenter.h"

// SDL's X11 video opens a D-Bus connection, whose library keeps its buffers until the process
// ends; the leak checker of the sanitizer build is told so. The X libraries that presenting
// loads also leave blocks behind when SDL ends at exit, from code the checker cannot name; so
// the check runs once the windows are gone and SDL still lives, instead of at exit. Window tests
// that draw text meet fontconfig's configuration, which the font layer keeps for the whole
// process and gives back only at exit, so it is told as well. These settings reach only the
// test programs that open windows, as only they link this file.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\nleak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "leak_check_at_exit=0"; }
extern "C" int __lsan_do_recoverable_leak_check() __attribute__((weak));

void WindowTestBase::SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "x11", 1); }

void WindowTestBase::TearDownTestSuite() {
  if (__lsan_do_recoverable_leak_check != nullptr) {
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
  }
}

std::unique_ptr<plat::Window> OpenTestWindow(const std::string& title, int32_t x, int32_t y, int32_t width,
                                             int32_t height) {
  if (!plat::InitVideo()) return nullptr;
  plat::WindowCreateInfo info;
  info.title = title;
  info.x = x;
  info.y = y;
  info.client_width = width;
  info.client_height = height;
  info.style = plat::WS_VISIBLE | plat::WS_CAPTION;
  std::unique_ptr<plat::Window> window = plat::Window::Create(info, [](const plat::Message&) { return 0; });
  for (int i = 0; window != nullptr && i < 20; ++i) {
    SDL_PumpEvents();
    SDL_Delay(10);
  }
  return window;
}

std::vector<uint32_t> ShownPixels(const plat::Window& window, int32_t width, int32_t height) {
  std::vector<uint32_t> pixels;
  plat::ScreenPresenter* presenter = plat::ScreenPresenter::Existing(window.Id());
  EXPECT_NE(presenter, nullptr);
  if (presenter == nullptr) return pixels;
  int32_t shown_width = 0;
  int32_t shown_height = 0;
  EXPECT_TRUE(presenter->ReadBack(pixels, shown_width, shown_height));
  EXPECT_EQ(shown_width, width);
  EXPECT_EQ(shown_height, height);
  return pixels;
}

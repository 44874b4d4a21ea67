#include "platform/window/display_backend.h"

#include <SDL.h>

#include <string>

#include "platform/system/diagnostic_log.h"
#include "platform/window/native_window.h"

namespace plat {
namespace {

int32_t DepthOf(uint32_t sdl_format) { return static_cast<int32_t>(SDL_BYTESPERPIXEL(sdl_format)) * 8; }

Rect RectOf(const SDL_Rect& rect) { return Rect{rect.x, rect.y, rect.x + rect.w, rect.y + rect.h}; }

class SdlDisplayBackend : public DisplayBackend {
 public:
  bool Available() override { return InitVideo(); }

  std::vector<DisplayOutput> Displays() override {
    std::vector<DisplayOutput> displays;
    if (!InitVideo()) return displays;
    const int count = SDL_GetNumVideoDisplays();
    for (int index = 0; index < count; ++index) {
      DisplayOutput display;
      const char* name = SDL_GetDisplayName(index);
      display.name = name != nullptr ? name : "";
      SDL_Rect bounds{};
      if (SDL_GetDisplayBounds(index, &bounds) != 0) continue;
      display.bounds = RectOf(bounds);
      SDL_Rect usable = bounds;
      if (SDL_GetDisplayUsableBounds(index, &usable) != 0) usable = bounds;
      display.usable = RectOf(usable);
      SDL_DisplayMode desktop{};
      if (SDL_GetDesktopDisplayMode(index, &desktop) == 0) {
        display.bits_per_pixel = DepthOf(desktop.format);
        display.refresh_rate = desktop.refresh_rate;
      }
      const int modes = SDL_GetNumDisplayModes(index);
      for (int mode_index = 0; mode_index < modes; ++mode_index) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(index, mode_index, &mode) != 0) continue;
        display.modes.push_back(DisplayModeDesc{mode.w, mode.h, DepthOf(mode.format), mode.refresh_rate});
      }
      displays.push_back(std::move(display));
    }
    return displays;
  }

  std::string RendererName() override {
    // The first driver is the one an accelerated renderer is tried with first.
    SDL_RendererInfo info;
    if (SDL_GetNumRenderDrivers() > 0 && SDL_GetRenderDriverInfo(0, &info) == 0 && info.name != nullptr) {
      return info.name;
    }
    return "software";
  }

  bool EnterFullScreen(WindowId window, int32_t display) override {
    SDL_Window* sdl_window = SDL_GetWindowFromID(window);
    if (sdl_window == nullptr) return false;
    if ((SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP) return true;
    // The window takes the display's place and size itself first: full screen is a request to
    // the window manager, and a desktop without one would leave the window as it was.
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(display, &bounds) == 0) {
      SDL_SetWindowPosition(sdl_window, bounds.x, bounds.y);
      SDL_SetWindowSize(sdl_window, bounds.w, bounds.h);
    }
    if (SDL_SetWindowFullscreen(sdl_window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
      LogDiagnostic(std::string("video: cannot go full screen: ") + SDL_GetError());
      return false;
    }
    return true;
  }

  void LeaveFullScreen(WindowId window) override {
    if (SDL_Window* sdl_window = SDL_GetWindowFromID(window)) SDL_SetWindowFullscreen(sdl_window, 0);
  }

  int32_t CoveredDisplay(WindowId window) override {
    SDL_Window* sdl_window = SDL_GetWindowFromID(window);
    if (sdl_window == nullptr || (SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_FULLSCREEN) == 0) return -1;
    return SDL_GetWindowDisplayIndex(sdl_window);
  }
};

SdlDisplayBackend& SdlBackend() {
  static SdlDisplayBackend backend;
  return backend;
}

DisplayBackend*& Current() {
  static DisplayBackend* current = nullptr;
  return current;
}

}  // namespace

DisplayBackend& CurrentDisplayBackend() {
  DisplayBackend* current = Current();
  return current != nullptr ? *current : SdlBackend();
}

ScopedDisplayBackend::ScopedDisplayBackend(DisplayBackend& backend) : previous_(Current()) { Current() = &backend; }

ScopedDisplayBackend::~ScopedDisplayBackend() { Current() = previous_; }

}  // namespace plat

// A menu bar drawn over a window's picture: the menu of a window that shows no menu bar of its
// own (a full-screen game). While the bar is open it takes the window's mouse and key events;
// choosing an item or dismissing the bar closes it and reports the chosen command. Everything
// here runs on the window thread.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/events/window_messages.h"

namespace plat {

struct MenuOverlayItem {
  std::string label;  // UTF-8
  uint32_t command = 0;
  bool enabled = true;
};

// Called once when the bar closes by itself: the chosen item's command, 0 when dismissed.
using MenuOverlayClosed = std::function<void(uint32_t command)>;

class MenuOverlay {
 public:
  // Opens the bar over the window; false when the window has nothing to draw it with.
  static bool Open(WindowId window, std::vector<MenuOverlayItem> items, MenuOverlayClosed closed);
  // Closes the bar without reporting.
  static void Close(WindowId window);
  static bool IsOpen(WindowId window);
  // The height of the bar in pixels.
  static int32_t BarHeight();
  // Takes an input event addressed to a window whose bar is open; false leaves it to the window.
  static bool TakeEvent(const SDL_Event& event);
  // Draws the window's open bar over what its renderer holds (the presenter calls it).
  static void DrawOver(WindowId window, SDL_Renderer* renderer);
};

}  // namespace plat

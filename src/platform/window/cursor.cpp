#include "platform/window/cursor.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <optional>

#include "platform/window/x11_display.h"

namespace plat {
namespace {

// The help and up-arrow shapes have no SDL counterpart: the arrow stands for them.
constexpr std::array<SDL_SystemCursor, kSystemCursorCount> kShapes = {
    SDL_SYSTEM_CURSOR_ARROW,    SDL_SYSTEM_CURSOR_CROSSHAIR, SDL_SYSTEM_CURSOR_ARROW,  SDL_SYSTEM_CURSOR_IBEAM,
    SDL_SYSTEM_CURSOR_NO,       SDL_SYSTEM_CURSOR_SIZEALL,   SDL_SYSTEM_CURSOR_SIZENESW, SDL_SYSTEM_CURSOR_SIZENS,
    SDL_SYSTEM_CURSOR_SIZENWSE, SDL_SYSTEM_CURSOR_SIZEWE,    SDL_SYSTEM_CURSOR_ARROW,  SDL_SYSTEM_CURSOR_WAITARROW,
    SDL_SYSTEM_CURSOR_WAIT};

bool HasVideo() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

constexpr int kAlwaysNew = -1;

// The cursor made here is kept while it is SDL's current cursor; the video's end frees it, and
// then it is forgotten. A cursor that replaces it frees it. `key` tells the shapes apart; a
// picture (kAlwaysNew) is made anew every time.
template <class Make>
bool ShowCursorMade(int key, Make make) {
  static SDL_Cursor* shown = nullptr;
  static int shown_key = kAlwaysNew;
  if (shown != nullptr && SDL_GetCursor() != shown) shown = nullptr;
  if (key != kAlwaysNew && key == shown_key && shown != nullptr) return true;
  SDL_Cursor* cursor = make();
  if (cursor == nullptr) return false;
  SDL_SetCursor(cursor);
  SDL_FreeCursor(shown);
  shown = cursor;
  shown_key = key;
  return true;
}

bool ShowShape(SDL_SystemCursor shape, int key) {
  return ShowCursorMade(key, [shape] { return SDL_CreateSystemCursor(shape); });
}

}  // namespace

Point GetCursorPos() {
  Point point;
  if (!HasVideo()) return point;
  // SDL renews its desktop-wide position on the pointer's raw motion only, which a pointer that
  // another program moved does not make: over a window of the program, the display says.
  if (const std::optional<Point> on_display = PointerOnDisplay(SDL_GetMouseFocus())) return *on_display;
  SDL_GetGlobalMouseState(&point.x, &point.y);
  return point;
}

void SetCursorPos(Point point) {
  if (HasVideo()) SDL_WarpMouseGlobal(point.x, point.y);
}

bool SetSystemCursor(int index) {
  if (index < 0 || index >= kSystemCursorCount || !HasVideo()) return false;
  return ShowShape(kShapes[static_cast<std::size_t>(index)], index);
}

bool IsProgramCursor(int resource_id) {
  return resource_id == kProgramCursorHand || resource_id == kProgramCursorSmall;
}

bool SetProgramCursor(int resource_id) {
  if (!IsProgramCursor(resource_id) || !HasVideo()) return false;
  return ShowShape(resource_id == kProgramCursorHand ? SDL_SYSTEM_CURSOR_HAND : SDL_SYSTEM_CURSOR_CROSSHAIR,
                   resource_id);
}

bool SetImageCursor(const uint32_t* pixels, int width, int height, Point hot_spot) {
  if (width < 1 || height < 1 || !HasVideo()) return false;
  return ShowCursorMade(kAlwaysNew, [&]() -> SDL_Cursor* {
    // SDL only reads the pixels while it makes the cursor.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height, 32,
                                                              width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) return nullptr;
    SDL_Cursor* cursor =
        SDL_CreateColorCursor(surface, std::clamp(hot_spot.x, 0, width - 1), std::clamp(hot_spot.y, 0, height - 1));
    SDL_FreeSurface(surface);
    return cursor;
  });
}

}  // namespace plat

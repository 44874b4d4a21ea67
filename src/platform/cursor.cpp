#include "platform/cursor.h"

#include <SDL.h>

#include <array>

namespace plat {
namespace {

// The help and up-arrow shapes have no SDL counterpart: the arrow stands for them.
constexpr std::array<SDL_SystemCursor, kSystemCursorCount> kShapes = {
    SDL_SYSTEM_CURSOR_ARROW,    SDL_SYSTEM_CURSOR_CROSSHAIR, SDL_SYSTEM_CURSOR_ARROW,  SDL_SYSTEM_CURSOR_IBEAM,
    SDL_SYSTEM_CURSOR_NO,       SDL_SYSTEM_CURSOR_SIZEALL,   SDL_SYSTEM_CURSOR_SIZENESW, SDL_SYSTEM_CURSOR_SIZENS,
    SDL_SYSTEM_CURSOR_SIZENWSE, SDL_SYSTEM_CURSOR_SIZEWE,    SDL_SYSTEM_CURSOR_ARROW,  SDL_SYSTEM_CURSOR_WAITARROW,
    SDL_SYSTEM_CURSOR_WAIT};

bool HasVideo() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

}  // namespace

Point GetCursorPos() {
  Point point;
  if (HasVideo()) SDL_GetGlobalMouseState(&point.x, &point.y);
  return point;
}

void SetCursorPos(Point point) {
  if (HasVideo()) SDL_WarpMouseGlobal(point.x, point.y);
}

bool SetSystemCursor(int index) {
  if (index < 0 || index >= kSystemCursorCount || !HasVideo()) return false;
  // The shape made here is kept while it is SDL's current cursor; the video's end frees it, and
  // then it is forgotten. A shape that replaces it frees it.
  static SDL_Cursor* shown = nullptr;
  static int shown_index = -1;
  if (shown != nullptr && SDL_GetCursor() != shown) shown = nullptr;
  if (index == shown_index && shown != nullptr) return true;
  SDL_Cursor* cursor = SDL_CreateSystemCursor(kShapes[static_cast<std::size_t>(index)]);
  if (cursor == nullptr) return false;
  SDL_SetCursor(cursor);
  SDL_FreeCursor(shown);
  shown = cursor;
  shown_index = index;
  return true;
}

}  // namespace plat

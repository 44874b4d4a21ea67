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

// The shape made here is kept while it is SDL's current cursor; the video's end frees it, and
// then it is forgotten. A shape that replaces it frees it. `key` tells the shapes apart.
bool ShowShape(SDL_SystemCursor shape, int key) {
  static SDL_Cursor* shown = nullptr;
  static int shown_key = -1;
  if (shown != nullptr && SDL_GetCursor() != shown) shown = nullptr;
  if (key == shown_key && shown != nullptr) return true;
  SDL_Cursor* cursor = SDL_CreateSystemCursor(shape);
  if (cursor == nullptr) return false;
  SDL_SetCursor(cursor);
  SDL_FreeCursor(shown);
  shown = cursor;
  shown_key = key;
  return true;
}

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

}  // namespace plat

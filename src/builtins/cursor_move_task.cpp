#include "builtins/cursor_move_task.h"

#include "base/settings/framework_settings.h"
#include "base/time/timer_manager.h"
#include "base/system/app_services.h"

namespace {

// The motion mode that an end argument asks for.
uint8_t MotionMode(uint32_t end) {
  return end == kCursorMotionStopOnTarget || end == kCursorMotionAlways ? static_cast<uint8_t>(end)
                                                                        : kCursorMotionWhileActive;
}

// The player's cursor rests on the bottom-right pixel of the game screen.
bool ParkedInTheCorner(const IAppServices& app) {
  const plat::Point cursor = app.CursorInGame();
  const plat::Point size = app.GameScreenSize();
  return cursor.x == size.x - 1 && cursor.y == size.y - 1;
}

}  // namespace

int32_t StartCursorMoveTask(int32_t x, int32_t y, uint32_t duration, bool force, uint32_t end, CCursorMotion** task) {
  if (task != nullptr) *task = nullptr;
  IAppServices* const app = g_AppServices;
  if (app == nullptr) return 0;
  if (!force && ParkedInTheCorner(*app)) return 0;
  if (app->WindowSettingBytes()[kWinCursorMoves] == 0) return 0;
  if (g_TimerManager == nullptr) return 2;
  return CCursorMotion::Start(*g_TimerManager, app->CursorHost(), x, y, duration, 0.0, MotionMode(end), task);
}

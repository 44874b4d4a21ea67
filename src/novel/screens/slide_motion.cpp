#include "novel/screens/slide_motion.h"

#include <array>
#include <memory>

#include "base/time/timer_manager.h"
#include "scene/drawables/drawable.h"
#include "scene/motions/move_motion.h"

CTimedTask* StartHorizontalSlide(CDrawable& drawable, std::int32_t from_x, std::int32_t to_x, std::uint32_t duration) {
  const std::int32_t y = drawable.GetY();
  drawable.SetPosition(from_x, y);
  MoveMotionOptions options;
  options.segment_time = duration;
  options.position_mode = CMoveMotion::kPosition;
  auto slide = std::make_unique<CMoveMotion>(options);
  const std::array<std::int32_t, 3> end = {to_x, y, static_cast<std::int32_t>(drawable.GetOpacity())};
  if (slide->SetPoints(end) != 0 || slide->Start(g_PausableTimerManager, &drawable) != 0) {
    drawable.SetPosition(to_x, y);
    return nullptr;
  }
  return slide.release();
}

#include "builtins/render_motion_builtins.h"

#include <memory>
#include <new>
#include <vector>

#include "base/time/timer_manager.h"
#include "builtins/motion_args.h"
#include "builtins/script_task.h"
#include "builtins/script_word_arrays.h"
#include "gfx/display/render_list.h"

namespace {

// Makes the motion, gives it its points and starts it: the task (owned by the manager from then
// on), or 0.
template <class GivePoints>
std::uint32_t StartMotion(const NativeArgs& args, EMotionPointForm form, GivePoints give_points) {
  CRenderObject* object = args.Handle<CRenderObject>(0);
  if (object == nullptr) return 0;
  std::unique_ptr<CMoveMotion> motion(new (std::nothrow) CMoveMotion(MoveMotionOptionsFrom(args, form)));
  if (motion == nullptr || give_points(*motion) != 0) return 0;
  if (motion->StartOnRenderObject(g_PausableTimerManager, object) != 0) return 0;
  return TaskHandle(motion.release(), args.Handles());
}

}  // namespace

std::uint32_t NativeStartRenderMotionText(const NativeArgs& args) {
  return StartMotion(args, EMotionPointForm::kText,
                     [&](CMoveMotion& motion) { return motion.ParsePoints(args.Str(2)); });
}

std::uint32_t NativeStartRenderMotionPoints(const NativeArgs& args) {
  return StartMotion(args, EMotionPointForm::kCount, [&](CMoveMotion& motion) {
    const std::vector<std::int32_t> triples =
        ReadScriptWordsAt(args.Memory(), args.U32(3), std::uint64_t{args.U32(2)} * 3);
    return motion.SetPoints(triples);
  });
}

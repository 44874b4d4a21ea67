#include "builtins/drawable_motion_builtins.h"

#include <memory>
#include <new>
#include <vector>

#include "base/time/timer_manager.h"
#include "builtins/motion_args.h"
#include "builtins/script_task.h"
#include "builtins/script_word_arrays.h"
#include "scene/drawables/drawable.h"

namespace {

// Makes the motion from the options that `read_options` reads, gives it its points and starts
// it on the drawable: the task (owned by the manager from then on), or 0. Without a drawable no
// further word is read.
template <class Motion, class ReadOptions>
std::uint32_t StartMotion(const NativeArgs& args, EMotionPointForm form, ReadOptions read_options) {
  CDrawable* drawable = args.Handle<CDrawable>(0);
  if (drawable == nullptr) return 0;
  std::unique_ptr<Motion> motion(new (std::nothrow) Motion(read_options(args, form)));
  if (motion == nullptr) return 0;
  std::int32_t status = 0;
  if (form == EMotionPointForm::kText) {
    status = motion->ParsePoints(args.Str(2));
  } else {
    const std::vector<std::int32_t> triples =
        ReadScriptWordsAt(args.Memory(), args.U32(3), std::uint64_t{args.U32(2)} * 3);
    status = motion->SetPoints(triples);
  }
  if (status != 0 || motion->Start(g_PausableTimerManager, drawable) != 0) return 0;
  return TaskHandle(motion.release(), args.Handles());
}

}  // namespace

std::uint32_t NativeStartMoveMotionText(const NativeArgs& args) {
  return StartMotion<CMoveMotion>(args, EMotionPointForm::kText, MoveMotionOptionsFrom);
}

std::uint32_t NativeStartMoveMotionPoints(const NativeArgs& args) {
  return StartMotion<CMoveMotion>(args, EMotionPointForm::kCount, MoveMotionOptionsFrom);
}

std::uint32_t NativeStartResizeMotionText(const NativeArgs& args) {
  return StartMotion<CResizeMotion>(args, EMotionPointForm::kText, ResizeMotionOptionsFrom);
}

std::uint32_t NativeStartResizeMotionPoints(const NativeArgs& args) {
  return StartMotion<CResizeMotion>(args, EMotionPointForm::kCount, ResizeMotionOptionsFrom);
}

std::uint32_t NativeStartRotoZoomMotionText(const NativeArgs& args) {
  const auto read_options = [](const NativeArgs& words, EMotionPointForm) { return RotoZoomMotionOptionsFrom(words); };
  return StartMotion<CRotoZoomMotion>(args, EMotionPointForm::kText, read_options);
}

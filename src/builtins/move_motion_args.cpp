#include "builtins/move_motion_args.h"

#include "effects/effect_args.h"

MoveMotionOptions MoveMotionOptionsFrom(const NativeArgs& args, EMotionPointForm form) {
  const auto shift = static_cast<std::uint32_t>(form);
  MoveMotionOptions options;
  options.segment_time = args.U32(1);
  options.start_delay = args.U32(3 + shift);
  options.visible_while_moving = args.Flag(4 + shift);
  if (args.U32(5 + shift) == kAbsentArgumentGroup) {
    options.position_mode = CMoveMotion::kPosition;
    options.lower_priority = true;
    return options;
  }
  options.position_mode = args.U8(5 + shift);
  options.spline = args.Flag(6 + shift);
  const char* ease = args.Str(7 + shift);
  options.ease = ease != nullptr ? ParseDecimal(ease) : 0.0;
  options.loop = args.Flag(8 + shift);
  options.lower_priority = args.Flag(9 + shift);
  return options;
}

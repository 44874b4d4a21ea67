#include "builtins/motion_args.h"

#include "effects/framework/effect_args.h"

namespace {

// The words every form shares; `shift` is 1 in the count form.
void ReadTiming(const NativeArgs& args, std::uint32_t shift, MotionTiming& timing) {
  timing.segment_time = args.U32(1);
  timing.start_delay = args.U32(3 + shift);
  timing.visible_while_moving = args.Flag(4 + shift);
}

// The decimal ease text at args[first], then the loop and lower-priority flags.
void ReadEaseAndLoop(const NativeArgs& args, std::uint32_t first, MotionTiming& timing) {
  timing.ease = DecimalArg(args, first, 0.0);
  timing.loop = args.Flag(first + 1);
  timing.lower_priority = args.Flag(first + 2);
}

// Reads the shared words; true when the marker after them (args[5 + shift]) asks for the
// defaults.
bool ReadTimingAskingDefaults(const NativeArgs& args, std::uint32_t shift, MotionTiming& timing) {
  ReadTiming(args, shift, timing);
  return args.U32(5 + shift) == kAbsentArgumentGroup;
}

}  // namespace

double DecimalArg(const NativeArgs& args, std::uint32_t i, double fallback) {
  const char* text = args.Str(i);
  return text != nullptr ? ParseDecimal(text) : fallback;
}

MoveMotionOptions MoveMotionOptionsFrom(const NativeArgs& args, EMotionPointForm form) {
  const auto shift = static_cast<std::uint32_t>(form);
  MoveMotionOptions options;
  if (ReadTimingAskingDefaults(args, shift, options)) {
    options.position_mode = CMoveMotion::kPosition;
    options.lower_priority = true;
    return options;
  }
  options.position_mode = args.U8(5 + shift);
  options.spline = args.Flag(6 + shift);
  ReadEaseAndLoop(args, 7 + shift, options);
  return options;
}

ResizeMotionOptions ResizeMotionOptionsFrom(const NativeArgs& args, EMotionPointForm form) {
  const auto shift = static_cast<std::uint32_t>(form);
  ResizeMotionOptions options;
  if (ReadTimingAskingDefaults(args, shift, options)) {
    options.horizontal_anchor = CResizeMotion::kAnchorCentre;
    options.vertical_anchor = CResizeMotion::kAnchorCentre;
    options.fixed_origin = true;
    options.opacity = true;
    options.lower_priority = true;
    return options;
  }
  options.horizontal_anchor = args.U8(5 + shift);
  options.vertical_anchor = args.U8(6 + shift);
  options.fixed_origin = args.Flag(7 + shift);
  options.opacity = args.Flag(8 + shift);
  ReadEaseAndLoop(args, 9 + shift, options);
  return options;
}

RotoZoomMotionOptions RotoZoomMotionOptionsFrom(const NativeArgs& args) {
  RotoZoomMotionOptions options;
  if (ReadTimingAskingDefaults(args, 0, options)) {
    options.reserve = true;
    options.spline = true;
    options.lower_priority = true;
    return options;
  }
  options.reserve = args.Flag(5);
  options.spline = args.Flag(6);
  ReadEaseAndLoop(args, 7, options);
  return options;
}

#include "builtins/timed_wipe_builtins.h"

#include "builtins/image_args.h"
#include "builtins/script_task.h"
#include "effects/patterns/timed_wipe_host.h"

namespace {

constexpr uint32_t kNoManager = 1;

// The type arguments from args[4..11]: a1 and a2 whole, the rest by their low 16 bits.
TimedWipeArgs WipeArgs(const NativeArgs& args) {
  if (args.U32(4) == kAbsentArgumentGroup) return {kAbsentArgumentGroup, 0, 0, kAbsentArgumentGroup};
  TimedWipeArgs wipe{args.U32(4), args.U32(5), args.U16(6)};
  if (args.U32(7) == kAbsentArgumentGroup) {
    wipe.a4 = kAbsentArgumentGroup;
    return wipe;
  }
  wipe.a4 = args.U16(7);
  wipe.a5 = args.U16(8);
  wipe.a6 = args.U16(9);
  wipe.a7 = args.U16(10);
  wipe.a8 = args.U16(11);
  return wipe;
}

}  // namespace

std::uint32_t NativeStartTimedWipe(const NativeArgs& args) {
  CImage* target = ImageArg(args, 2);
  if (target == nullptr) return 0;
  CImage* source = nullptr;
  if (args.U32(3) != 0) {
    source = ImageArg(args, 3);
    if (source == nullptr) return 0;
  }
  if (g_TimedWipeHost == nullptr) return 0;
  CTimedWipe* wipe = g_TimedWipeHost->CreateTimedWipe(args.U32(0), args.U32(1), target, source, WipeArgs(args));
  return TaskHandle(wipe, args.Handles());
}

std::uint32_t NativeFinishTimedWipe(const NativeArgs& args) {
  if (g_TimedWipeHost == nullptr) return kNoManager;
  return g_TimedWipeHost->FinishTimedWipe(TaskArg<CTimedWipe>(args, 0));
}

std::uint32_t NativeStopTimedWipe(const NativeArgs& args) {
  if (g_TimedWipeHost == nullptr) return kNoManager;
  return g_TimedWipeHost->StopTimedWipe(TaskArg<CTimedWipe>(args, 0));
}

std::uint32_t NativeIsTimedWipeRunning(const NativeArgs& args) {
  return g_TimedWipeHost != nullptr && g_TimedWipeHost->IsTimedWipeRunning(TaskArg<CTimedWipe>(args, 0)) ? 1 : 0;
}

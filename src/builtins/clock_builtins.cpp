#include "builtins/clock_builtins.h"

#include "base/time/elapsed_timer_array.h"
#include "base/time/millisecond_clock.h"
#include "platform/system/system_facts.h"

std::uint32_t NativeGetTime(const NativeArgs& /*args*/) { return ReadMillisecondClock(); }

std::uint32_t NativeGetLocalTime(const NativeArgs& args) {
  const plat::LocalTime now = plat::CurrentLocalTime();
  const int fields[] = {now.year, now.month, now.day, now.hour, now.minute};
  for (std::uint32_t i = 0; i < std::size(fields); ++i) args.Out(i).Set(static_cast<std::uint32_t>(fields[i]));
  return 0;
}

std::uint32_t NativeAllocTimers(const NativeArgs& args) { return g_ElapsedTimers.Allocate(args.U16(0)); }

std::uint32_t NativeRestartTimer(const NativeArgs& args) { return g_ElapsedTimers.Restart(args.U16(0)) ? 1 : 0; }

std::uint32_t NativeGetTimerElapsed(const NativeArgs& args) { return g_ElapsedTimers.GetElapsed(args.U16(0)); }

std::uint32_t NativeSetTimerValue(const NativeArgs& args) {
  g_ElapsedTimers.SetElapsed(args.U16(0), args.U32(1));
  return 0;
}

std::uint32_t NativePauseTimer(const NativeArgs& args) {
  g_ElapsedTimers.Pause(args.U16(0));
  return 0;
}

std::uint32_t NativeResumeTimer(const NativeArgs& args) {
  g_ElapsedTimers.Resume(args.U16(0));
  return 0;
}

std::uint32_t NativePauseAllTimers(const NativeArgs& /*args*/) {
  g_ElapsedTimers.PauseAll();
  return 0;
}

std::uint32_t NativeResumeAllTimers(const NativeArgs& /*args*/) {
  g_ElapsedTimers.ResumeAll();
  return 0;
}

#include "builtins/frame_mode_builtins.h"

#include "base/system/app_services.h"

namespace {

template <class Operation>
std::uint32_t OnApp(Operation operation) {
  return g_AppServices != nullptr ? static_cast<std::uint32_t>(operation(*g_AppServices)) : 0;
}

}  // namespace

std::uint32_t NativeBeginNoWait(const NativeArgs& /*args*/) {
  return OnApp([](IAppServices& app) { return app.BeginNoWait(); });
}

std::uint32_t NativeEndNoWait(const NativeArgs& /*args*/) {
  return OnApp([](IAppServices& app) { return app.EndNoWait(); });
}

std::uint32_t NativeSuspendHighResTimer(const NativeArgs& /*args*/) {
  return OnApp([](IAppServices& app) { return app.SuspendHighResTimer(); });
}

std::uint32_t NativeResumeHighResTimer(const NativeArgs& /*args*/) {
  return OnApp([](IAppServices& app) { return app.ResumeHighResTimer(); });
}

std::uint32_t NativeLowerThreadPriority(const NativeArgs& /*args*/) {
  return OnApp([](IAppServices& app) { return app.LowerGameThreadPriority(); });
}

std::uint32_t NativeRestoreThreadPriority(const NativeArgs& /*args*/) {
  return OnApp([](IAppServices& app) { return app.RestoreGameThreadPriority(); });
}

std::uint32_t NativeApplyFrameRate(const NativeArgs& args) {
  const std::int32_t rate = args.I32(0);
  return OnApp([rate](IAppServices& app) {
    app.ApplyFrameRate(rate);
    return 0;
  });
}

std::uint32_t NativeGetAppWord(const NativeArgs& /*args*/) {
  return OnApp([](IAppServices& app) { return app.Pacer().GetMeasuredFramesPerSecond(); });
}

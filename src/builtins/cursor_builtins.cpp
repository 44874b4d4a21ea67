#include "builtins/cursor_builtins.h"

#include <string>

#include "base/app_services.h"
#include "base/input_manager.h"
#include "platform/diagnostic_log.h"

namespace {

constexpr std::uint32_t kFirstProgramShape = 13;
constexpr std::uint32_t kProgramCursorBase = 107;

}  // namespace

std::uint32_t NativeSetCursorShape(const NativeArgs& args) {
  const std::uint32_t shape = args.U8(0);
  if (g_Mouse == nullptr) return 0;
  if (shape < kFirstProgramShape) {
    g_Mouse->SetCursorShape(static_cast<int>(shape));
    return 0;
  }
  const int resource = static_cast<int>(kProgramCursorBase + shape);
  if (g_Mouse->SetCursorShape(static_cast<int>(shape), resource) != 0) {
    plat::LogDiagnostic("cursor shape " + std::to_string(shape) + ": the program has no cursor " +
                        std::to_string(resource) + "; the cursor stays as it was");
  }
  return 0;
}

std::uint32_t NativeShowCursor(const NativeArgs& args) {
  if (g_AppServices != nullptr) g_AppServices->SetCursorVisible(args.U32(0) != 0);
  return 0;
}

std::uint32_t NativeGetCursorPos(const NativeArgs& args) {
  const plat::Point at = g_AppServices != nullptr ? g_AppServices->CursorInGame() : plat::Point{-1, -1};
  args.Out(0).Set(static_cast<std::uint32_t>(at.x));
  args.Out(1).Set(static_cast<std::uint32_t>(at.y));
  return 0;
}

std::uint32_t NativeSetCursorPos(const NativeArgs& args) {
  if (g_AppServices != nullptr) g_AppServices->PutCursorInGame(args.I32(0), args.I32(1));
  return 0;
}

#include "builtins/input_builtins.h"

#include "base/input/input_manager.h"

namespace {

constexpr std::uint32_t kNone = static_cast<std::uint32_t>(-1);
// A binding's status without the table: the action is as unknown as in an empty table.
constexpr std::uint32_t kBadAction = 1;

std::uint32_t Pressed(std::uint32_t action) {
  return g_KeyBindings != nullptr && g_KeyBindings->IsActionPressed(action) ? 1 : 0;
}

std::uint32_t Down(std::uint32_t action) {
  return g_KeyBindings != nullptr && g_KeyBindings->IsActionDown(action) ? 1 : 0;
}

}  // namespace

std::uint32_t NativeIsActionPressed(const NativeArgs& args) { return Pressed(args.U32(0)); }

std::uint32_t NativeIsActionDown(const NativeArgs& args) { return Down(args.U32(0)); }

std::uint32_t NativeFindPressedAction(const NativeArgs& args) {
  if (g_KeyBindings == nullptr) return kNone;
  return static_cast<std::uint32_t>(g_KeyBindings->FindActionPressed(args.U32(0), args.U32(1)));
}

std::uint32_t NativeFindDownAction(const NativeArgs& args) {
  if (g_KeyBindings == nullptr) return kNone;
  return static_cast<std::uint32_t>(g_KeyBindings->FindActionDown(args.U32(0), args.U32(1)));
}

std::uint32_t NativeAddBinding(const NativeArgs& args) {
  if (g_KeyBindings == nullptr) return kBadAction;
  return g_KeyBindings->AddBinding(args.U32(0), args.I32(1), args.U8(2));
}

std::uint32_t NativeRemoveBinding(const NativeArgs& args) {
  if (g_KeyBindings == nullptr) return kBadAction;
  return g_KeyBindings->RemoveBinding(args.U32(0), args.I32(1), args.U8(2));
}

std::uint32_t NativeChangeBinding(const NativeArgs& args) {
  if (g_KeyBindings == nullptr) return kBadAction;
  return g_KeyBindings->ChangeBinding(args.U32(0), args.I32(1), args.U8(3), args.I32(2));
}

std::uint32_t NativeIsDecidePressed(const NativeArgs& /*args*/) { return Pressed(4); }
std::uint32_t NativeIsAction5Pressed(const NativeArgs& /*args*/) { return Pressed(5); }
std::uint32_t NativeIsAction0Pressed(const NativeArgs& /*args*/) { return Pressed(0); }
std::uint32_t NativeIsAction1Pressed(const NativeArgs& /*args*/) { return Pressed(1); }
std::uint32_t NativeIsAction2Pressed(const NativeArgs& /*args*/) { return Pressed(2); }
std::uint32_t NativeIsAction3Pressed(const NativeArgs& /*args*/) { return Pressed(3); }
std::uint32_t NativeIsAction4Down(const NativeArgs& /*args*/) { return Down(4); }
std::uint32_t NativeIsAction5Down(const NativeArgs& /*args*/) { return Down(5); }
std::uint32_t NativeIsAction0Down(const NativeArgs& /*args*/) { return Down(0); }
std::uint32_t NativeIsAction1Down(const NativeArgs& /*args*/) { return Down(1); }
std::uint32_t NativeIsAction2Down(const NativeArgs& /*args*/) { return Down(2); }
std::uint32_t NativeIsAction3Down(const NativeArgs& /*args*/) { return Down(3); }

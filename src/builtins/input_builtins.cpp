#include "builtins/input_builtins.h"

#include "base/input_manager.h"

std::uint32_t NativeIsActionPressed(const NativeArgs& args) {
  return g_KeyBindings != nullptr && g_KeyBindings->IsActionPressed(args.U32(0)) ? 1 : 0;
}

std::uint32_t NativeIsActionDown(const NativeArgs& args) {
  return g_KeyBindings != nullptr && g_KeyBindings->IsActionDown(args.U32(0)) ? 1 : 0;
}

// A game's MAIN script for whole-program input tests: it polls an action once a frame through
// the game's built-in function and ends when it is newly pressed.
#pragma once

#include <cstdint>
#include <string>

namespace test_support {

inline constexpr uint32_t kNativeIsActionPressed = 551;

// The answer is copied into the operand of the jump that decides.
inline std::string ActionPollingMain(uint32_t action) {
  return ".kind script\n"
         "loop:\n"
         "  CallNative native(" + std::to_string(kNativeIsActionPressed) + "), args, result\n"
         "  Copy result, check+4\n"
         "check:\n"
         "  JumpIfZero 0, wait\n"
         "  Return\n"
         "wait:\n"
         "  Yield\n"
         "  Jump loop\n"
         "args: .word " + std::to_string(action) + "\n"
         "result: .word 0\n";
}

}  // namespace test_support

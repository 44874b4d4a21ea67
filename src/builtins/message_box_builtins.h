// The built-in functions that show the scripts' message boxes and the message dialog through
// the main window, from the game thread.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] title (0: the application's name), args[1] text, args[2] icon kind. 796 shows an OK
// box and returns 0; 797 asks yes or no and 798 OK or cancel: 1 for yes or OK, else 0.
std::uint32_t NativeMessageBox(const NativeArgs& args);
std::uint32_t NativeMessageBoxAnswer(const NativeArgs& args);
std::uint32_t NativeMessageBoxAnswer2(const NativeArgs& args);
// args[0] mode (above 0 asks yes or no, else a message), args[1] title (0: the application's
// name), args[2] text: the dialog's answer; 0 without a text.
std::uint32_t NativeMessageDialog(const NativeArgs& args);

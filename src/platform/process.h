// Starting other programs.
#pragma once

#include <string_view>

namespace plat {

enum class ProcessWait {
  kNone,      // return once it started
  kUntilExit  // return when it ended
};

// Starts the program of a Windows-style Shift-JIS command line: blank-separated words,
// double quotes grouping blanks. A first word that is an engine path on drive Z: is mapped to
// its host path, any other is looked up in PATH. A program that is not waited for is reaped
// in the background. False when it cannot be started.
bool StartProcess(std::string_view command_line, ProcessWait wait);

// Hands a file or folder (an engine path) to the desktop's opener, without waiting.
bool OpenWithDesktop(std::string_view engine_path);

// Hands a web address (http or https only) to the desktop's browser, without waiting.
bool OpenWebAddress(std::string_view address);

}  // namespace plat

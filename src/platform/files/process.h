// Starting other programs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plat {

enum class ProcessWait {
  kNone,      // return once it started
  kUntilExit  // return when it ended
};

// The words of a Windows-style command line: blank-separated, double quotes grouping blanks.
std::vector<std::string> SplitCommandLine(std::string_view line);

// Starts the program file at an engine path on drive Z: (never looked up in PATH, never through a
// shell) with its Shift-JIS arguments, each handed over as one word. A program that is not waited
// for is reaped in the background. False when it cannot be started.
bool StartProgram(std::string_view engine_program, const std::vector<std::string>& arguments, ProcessWait wait);

// Hands a file or folder (an engine path) to the desktop's opener, without waiting.
bool OpenWithDesktop(std::string_view engine_path);

// Hands a web address (http or https only) to the desktop's browser, without waiting.
bool OpenWebAddress(std::string_view address);

}  // namespace plat

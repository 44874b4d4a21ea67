// Starting other programs.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/unique_fd.h"

namespace plat {

enum class ProcessWait {
  kNone,      // return once it started
  kUntilExit  // return when it ended
};

// The words of a Windows-style command line: blank-separated, double quotes grouping blanks.
std::vector<std::string> SplitCommandLine(std::string_view line);

// A program file held open to be started, so that the file whose place and first bytes were
// looked at is the one that runs, whatever is put at its path meanwhile.
class ProgramFile {
 public:
  // The file at an engine path on drive Z:, opened for reading; nothing when it is not a file
  // that opens.
  static std::optional<ProgramFile> Open(std::string_view engine_program);

  // The file's host path with every link followed.
  const std::string& RealPath() const { return real_path_; }
  // Whether it begins as a program of this machine (an ELF executable, not a "#!" text).
  bool IsNativeProgram() const;

  // Starts it (never looked up in PATH, never through a shell) with its Shift-JIS arguments,
  // each handed over as one word. A program that is not waited for is reaped in the background.
  // False when it cannot be started.
  bool Start(const std::vector<std::string>& arguments, ProcessWait wait) const;

 private:
  ProgramFile(UniqueFd file, std::string named_path, std::string real_path)
      : file_(std::move(file)), named_path_(std::move(named_path)), real_path_(std::move(real_path)) {}

  UniqueFd file_;
  std::string named_path_;
  std::string real_path_;
};

// Whether the file at an engine path, its links followed, has an execute bit: one the system
// would start as a program.
bool HasExecuteBit(std::string_view engine_path);

// Whether the desktop's opener would start the file at an engine path (links followed) rather
// than show it: it has an execute bit, or it begins as a program, a script or a launcher.
bool WouldRunAsProgram(std::string_view engine_path);

// Hands a file or folder (an engine path) to the desktop's opener, without waiting.
bool OpenWithDesktop(std::string_view engine_path);

// Hands a web address (http or https only; Shift-JIS, as the engine keeps its texts) to the
// desktop's browser in UTF-8, without waiting.
bool OpenWebAddress(std::string_view address);

}  // namespace plat

// Runs the built program in a process of its own, as a player starts it.
#pragma once

#include <string>

namespace test_support {

// Runs `env <environment> ASAN_OPTIONS=detect_leaks=0 <launcher> <program> <arguments>`, the
// program being the built one (<tools folder>/kestrune) unless a copy of it is named, with both
// output streams caught in the file `output`, and keeps what it printed in `printed`: its exit
// status, -1 when it did not end by itself. The leak checker of the sanitizer build stays off: the
// X and D-Bus libraries keep blocks until the process ends.
int RunProgram(const std::string& environment, const std::string& arguments, const std::string& output,
               std::string& printed, const std::string& launcher = "", const std::string& program = "");

// The built program's host path.
std::string BuiltProgram();

}  // namespace test_support

#include "app/command_line.h"

std::string JoinCommandLine(int argc, const char* const* argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

std::optional<std::string> DataFolderFromCommandLine(std::string_view command_line) {
  if (command_line.size() < 2 || command_line[0] != '/' || (command_line[1] != 'L' && command_line[1] != 'l')) {
    return std::nullopt;
  }
  return std::string(command_line.substr(2));
}

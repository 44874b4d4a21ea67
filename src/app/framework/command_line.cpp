#include "app/framework/command_line.h"

#include <filesystem>
#include <system_error>

#include "platform/encoding/text_encoding.h"
#include "platform/files/host_path.h"

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

std::string EngineCommandLine(int argc, const char* const* argv) {
  const std::string line = JoinCommandLine(argc, argv);
  const std::optional<std::string> folder = DataFolderFromCommandLine(line);
  const bool engine_form = folder && (folder->find(':') != std::string::npos || folder->starts_with("\\\\"));
  if (!folder || folder->empty() || engine_form) return plat::Utf8ToSjis(line);
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(*folder, error);
  if (error) return plat::Utf8ToSjis(line);
  return line.substr(0, 2) + plat::ToEnginePath(absolute.lexically_normal().string());
}

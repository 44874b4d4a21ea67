#include "asm_command.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string_view>

namespace kvxtools {

std::optional<AsmCommandLine> ParseAsmCommandLine(int argc, char** argv) {
  AsmCommandLine line;
  int first = 1;
  if (argc > 2 && std::string_view(argv[1]) == "--lib") {
    line.library_path = argv[2];
    first = 3;
  }
  if (argc - first != 2) return std::nullopt;
  line.source_path = argv[first];
  line.output_path = argv[first + 1];
  return line;
}

std::optional<std::string> ReadTextFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

int FailAssembly(const char* tool, const std::string& message) {
  std::fprintf(stderr, "%s: error: %s\n", tool, message.c_str());
  return 1;
}

int WriteAssembly(const char* tool, const std::string& path, const std::string& kind, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) return FailAssembly(tool, "cannot write " + path);
  std::printf("%s: %s, %zu bytes\n", path.c_str(), kind.c_str(), bytes.size());
  return 0;
}

}  // namespace kvxtools

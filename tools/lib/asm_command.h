// The command lines of the assemblers (sob_asm, tob_asm):
//   <tool> [--lib <library source>] <source> <output file>
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvxtools {

struct AsmCommandLine {
  std::string library_path;  // empty without --lib
  std::string source_path;
  std::string output_path;
};

// Nothing when the arguments do not have that form.
std::optional<AsmCommandLine> ParseAsmCommandLine(int argc, char** argv);

// A whole file as text, nothing when it cannot be read.
std::optional<std::string> ReadTextFile(const std::string& path);

// Writes `bytes` to `path` and prints "<path>: <kind>, <size> bytes"; 0, or 1 with a message.
int WriteAssembly(const char* tool, const std::string& path, const std::string& kind, const std::vector<std::uint8_t>& bytes);
// Prints "<tool>: error: <message>" and gives 1.
int FailAssembly(const char* tool, const std::string& message);

}  // namespace kvxtools

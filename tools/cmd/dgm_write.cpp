// dgm_write: turns the text form of a screen layout (see tools/lib/dgm_source.h) into its DGM file.
//
//   dgm_write <source> <output file>
#include <cstdio>
#include <optional>
#include <string>

#include "asm_command.h"
#include "dgm_source.h"
#include "tool_usage.h"

namespace {

constexpr const char* kTool = "dgm_write";

}  // namespace

int main(int argc, char** argv) {
  constexpr const char* kUsage = "usage: dgm_write <source> <output file>\n";
  if (kvxtools::AskedForUsage(argc, argv, kUsage)) return 0;
  if (argc != 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::optional<std::string> source = kvxtools::ReadTextFile(argv[1]);
  if (!source) return kvxtools::FailAssembly(kTool, std::string("cannot read ") + argv[1]);
  kvxtools::DgmFile file;
  std::string error;
  if (!kvxtools::ParseDgmSource(*source, file, error)) return kvxtools::FailAssembly(kTool, std::string(argv[1]) + ": " + error);
  return kvxtools::WriteAssembly(kTool, argv[2], "layout", kvxtools::EncodeDgm(file));
}

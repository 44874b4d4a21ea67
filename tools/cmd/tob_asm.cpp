// tob_asm: assembles one source of the scenario machine's files (see tools/lib/tob_assembler.h
// for the language; sources are UTF-8, the files Shift-JIS) into a scenario object (.TOB) or
// VOV_INIT.DAT.
//
//   tob_asm [--lib <library source>] <source> <output file>
//
//   --lib   the function library's source (sob_asm's language), whose labels lib(name)
//           operands of embedded code name
#include <cstdio>
#include <optional>
#include <string>

#include "asm_command.h"
#include "sob_assembler.h"
#include "tob_assembler.h"
#include "tool_usage.h"

namespace {

constexpr const char* kTool = "tob_asm";

}  // namespace

int main(int argc, char** argv) {
  constexpr const char* kUsage = "usage: tob_asm [--lib <library source>] <source> <output file>\n";
  if (kvxtools::AskedForUsage(argc, argv, kUsage)) return 0;
  const std::optional<kvxtools::AsmCommandLine> line = kvxtools::ParseAsmCommandLine(argc, argv);
  if (!line) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string error;
  kvxtools::SobAssembly library;
  const bool with_library = !line->library_path.empty();
  if (with_library) {
    const std::optional<std::string> library_source = kvxtools::ReadTextFile(line->library_path);
    if (!library_source) return kvxtools::FailAssembly(kTool, "cannot read " + line->library_path);
    if (!kvxtools::AssembleSob(*library_source, nullptr, library, error)) {
      return kvxtools::FailAssembly(kTool, line->library_path + ": " + error);
    }
  }
  const std::optional<std::string> source = kvxtools::ReadTextFile(line->source_path);
  if (!source) return kvxtools::FailAssembly(kTool, "cannot read " + line->source_path);
  kvxtools::TobAssembly assembly;
  if (!kvxtools::AssembleTob(*source, with_library ? &library.labels : nullptr, assembly, error)) {
    return kvxtools::FailAssembly(kTool, line->source_path + ": " + error);
  }
  return kvxtools::WriteAssembly(kTool, line->output_path, assembly.kind, assembly.bytes);
}

// sob_asm: assembles one source of the script host's files (see tools/lib/sob_assembler.h for the
// language) into a SOB object, SOB_INIT.DAT or VOICEINF.DAT.
//
//   sob_asm [--lib <library source>] <source> <output file>
//
//   --lib   the function library's source, whose labels lib(name) operands name
#include <cstdio>
#include <optional>
#include <string>

#include "asm_command.h"
#include "sob_assembler.h"
#include "tool_usage.h"

namespace {

constexpr const char* kTool = "sob_asm";

bool Assemble(const std::string& path, const std::map<std::string, std::uint32_t>* library_labels,
              kvxtools::SobAssembly& assembly, std::string& error) {
  const std::optional<std::string> source = kvxtools::ReadTextFile(path);
  if (!source) {
    error = "cannot read " + path;
    return false;
  }
  if (!kvxtools::AssembleSob(*source, library_labels, assembly, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  constexpr const char* kUsage = "usage: sob_asm [--lib <library source>] <source> <output file>\n";
  if (kvxtools::AskedForUsage(argc, argv, kUsage)) return 0;
  const std::optional<kvxtools::AsmCommandLine> line = kvxtools::ParseAsmCommandLine(argc, argv);
  if (!line) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string error;
  kvxtools::SobAssembly library;
  const bool with_library = !line->library_path.empty();
  if (with_library && !Assemble(line->library_path, nullptr, library, error)) return kvxtools::FailAssembly(kTool, error);
  kvxtools::SobAssembly assembly;
  if (!Assemble(line->source_path, with_library ? &library.labels : nullptr, assembly, error)) {
    return kvxtools::FailAssembly(kTool, error);
  }
  return kvxtools::WriteAssembly(kTool, line->output_path, assembly.kind, assembly.bytes);
}

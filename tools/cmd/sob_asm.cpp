// sob_asm: assembles one source of the script host's files (see tools/lib/sob_assembler.h for the
// language) into a SOB object, SOB_INIT.DAT or VOICEINF.DAT.
//
//   sob_asm [--lib <library source>] <source> <output file>
//
//   --lib   the function library's source, whose labels lib(name) operands name
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "sob_assembler.h"

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "sob_asm: error: %s\n", message.c_str());
  return 1;
}

std::optional<std::string> ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Assemble(const std::string& path, const std::map<std::string, std::uint32_t>* library_labels,
              kvxtools::SobAssembly& assembly, std::string& error) {
  const std::optional<std::string> source = ReadText(path);
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
  std::string library_path;
  int first = 1;
  if (argc > 2 && std::string_view(argv[1]) == "--lib") {
    library_path = argv[2];
    first = 3;
  }
  if (argc - first != 2) {
    std::fprintf(stderr, "usage: sob_asm [--lib <library source>] <source> <output file>\n");
    return 2;
  }

  std::string error;
  kvxtools::SobAssembly library;
  if (!library_path.empty() && !Assemble(library_path, nullptr, library, error)) return Fail(error);
  kvxtools::SobAssembly assembly;
  if (!Assemble(argv[first], library_path.empty() ? nullptr : &library.labels, assembly, error)) return Fail(error);

  const std::string output = argv[first + 1];
  std::ofstream file(output, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(assembly.bytes.data()), static_cast<std::streamsize>(assembly.bytes.size()));
  if (!file) return Fail("cannot write " + output);
  std::printf("%s: %s, %zu bytes\n", output.c_str(), assembly.kind.c_str(), assembly.bytes.size());
  return 0;
}

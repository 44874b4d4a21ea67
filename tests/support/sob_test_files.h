// Helpers of the script-host tests: assembling sources and writing the results into the game
// folder, where the data-file layer finds them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "sob_assembler.h"
#include "support/data_files_fixture.h"

namespace sob_test {

inline kvxtools::SobAssembly Assemble(std::string_view source,
                                      const std::map<std::string, std::uint32_t>* library_labels = nullptr) {
  kvxtools::SobAssembly assembly;
  std::string error;
  EXPECT_TRUE(kvxtools::AssembleSob(source, library_labels, assembly, error)) << error << "\n" << source;
  return assembly;
}

inline std::string_view AsText(const std::vector<std::uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

class ScriptFilesTest : public test_support::DataFilesTest {
 protected:
  // Writes `bytes` as SCRIPT/<file name> in the game folder.
  void WriteScriptFile(std::string_view file_name, const std::vector<std::uint8_t>& bytes) {
    game_.WriteFile("SCRIPT/" + std::string(file_name), AsText(bytes));
  }
  void WriteScript(std::string_view name, std::string_view source,
                   const std::map<std::string, std::uint32_t>* library_labels = nullptr) {
    WriteScriptFile(std::string(name) + ".SOB", Assemble(source, library_labels).bytes);
  }
};

}  // namespace sob_test

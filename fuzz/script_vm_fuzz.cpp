// Random word programs for the script virtual machine, built from the input's bytes taken four at a
// time as the program generator's choices (zero once the input is used up).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/diagnostic_log.h"
#include "random_program_runner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static kvxtools::RandomProgramRunner* runner = [] {
    static plat::ScopedDiagnosticSink quiet([](std::string_view) {});
    static kvxtools::RandomProgramRunner instance;
    return &instance;
  }();
  std::size_t offset = 0;
  const auto next = [data, size, &offset]() -> std::uint32_t {
    std::uint32_t word = 0;
    const std::size_t available = offset < size ? std::min<std::size_t>(4, size - offset) : 0;
    if (available != 0) std::memcpy(&word, data + offset, available);
    offset += 4;
    return word;
  };
  runner->RunOne(next, 1000);
  return 0;
}

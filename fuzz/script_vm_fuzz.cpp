// Random word programs for the script virtual machine, built from the input's bytes taken four at a
// time as the program generator's choices (zero once the input is used up). Every program runs
// interpreted and translated, under a budget and until a stop check; the first difference between
// the two modes stops the fuzzer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "random_program_runner.h"

namespace {

using kvxtools::RandomProgramRunner;
using kvxtools::RandomRunOutcome;

void CheckAlike(const RandomRunOutcome& interpreted, const RandomRunOutcome& translated) {
  if (interpreted == translated) return;
  std::fprintf(stderr, "the modes differ\n interpreted: %s\n translated:  %s\n", interpreted.Describe().c_str(),
               translated.Describe().c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static RandomProgramRunner interpreted;
  static RandomProgramRunner translated(true);
  std::size_t offset = 0;
  const auto next = [data, size, &offset]() -> std::uint32_t {
    std::uint32_t word = 0;
    const std::size_t available = offset < size ? std::min<std::size_t>(4, size - offset) : 0;
    if (available != 0) std::memcpy(&word, data + offset, available);
    offset += 4;
    return word;
  };
  const auto run_both = [&](auto observe) {
    offset = 0;
    const RandomRunOutcome expected = observe(interpreted);
    offset = 0;
    CheckAlike(expected, observe(translated));
  };
  run_both([&](RandomProgramRunner& runner) { return runner.ObserveOne(next, 1000); });
  run_both([&](RandomProgramRunner& runner) { return runner.ObserveOneUntilStopCheck(next, 100); });
  return 0;
}

// The game's built-in functions called by number with hostile words, on the small live world of
// driver/builtin_world.h. Each input is a sequence of calls, each a function's number and words
// picked from the world's pool or given in the input. Every few calls the timers step and the
// canvas is repainted. Functions that reach outside the process (programs, dialogs, the
// clipboard, the desktop, files written, plug-in libraries, movies, the sound device) and the
// novel frame's own loop (its target runs it over a scenario) are left out. Any crash or
// sanitizer report is a finding, and so is a call that takes longer than a second.
#include <cstdint>
#include <span>

#include "driver/builtin_world.h"

namespace {

constexpr std::uint32_t kCallsPerStep = 4;
constexpr std::uint32_t kStepMilliseconds = 37;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool tables = (BuildPixelTables(), true);
  (void)tables;
  ScriptMemory memory;
  HandleTable handles;
  fuzz_world::BuiltinWorld world(memory, handles);
  world.Populate();
  std::uint32_t calls = 0;
  for (const fuzz_world::ReadCall& call : fuzz_world::ReadCalls(std::span<const std::uint8_t>(data, size), world.Pool())) {
    if (fuzz_world::LeftOut(call.id, false)) continue;
    world.TimedCall(call.id, call.words);
    if (++calls % kCallsPerStep == 0) world.Step(kStepMilliseconds);
  }
  return 0;
}

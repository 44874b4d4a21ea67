// The game's built-in functions called by number with hostile words, on the small live world of
// driver/builtin_world.h. Each input is a sequence of calls, each a function's number and words
// picked from the world's pool or given in the input. Every few calls the timers step and the
// canvas is repainted. Functions that reach outside the process (programs, dialogs, the
// clipboard, the desktop, files written, plug-in libraries, movies, the sound device) and the
// novel frame's own loop (its target runs it over a scenario) are left out. Any crash or
// sanitizer report is a finding, and so is a call that takes longer than a second.
#include <array>
#include <cstdint>
#include <span>
#include <utility>

#include "driver/builtin_world.h"

namespace {

constexpr std::uint32_t kCallsPerStep = 4;
constexpr std::uint32_t kStepMilliseconds = 37;

// Ranges of functions that reach outside the process or change it as a whole.
constexpr std::array<std::pair<std::uint32_t, std::uint32_t>, 21> kLeftOut{{
    {3, 3},      // the window's options
    {13, 20},    // screen modes, the window, waits, timer resolution, thread priority
    {24, 24},    // menu commands posted to the window
    {31, 36},    // variable, read-log and persistent files
    {43, 49},    // saves written, loaded, copied and deleted
    {57, 58},    // message boxes and dialog controls
    {72, 74},    // the clipboard and the text-input dialog
    {94, 94},    // the program's data folder
    {101, 101},  // drives of the machine
    {103, 105},  // plug-in libraries
    {107, 117},  // archives mounted from disk, folder listings and plug-in libraries
    {123, 123},  // the process's current folder
    {130, 131},  // files created or opened for writing
    {143, 165},  // the background loader, file lists, dropped files, dialogs, programs, file operations
    {205, 207},  // plug-in libraries
    {318, 320},  // pictures loaded by plug-ins and from disk
    {495, 496},  // the read-text log file
    {578, 583},  // the desktop's cursor
    {596, 600},  // the sound device and its plug-ins
    {631, 651},  // sound decoded into files, movies
    {791, 808},  // the novel frame's own loop, message boxes, the shell, folders, wallpaper, screen saver
}};

bool LeftOut(std::uint32_t id) {
  if (id < kFirstGameBuiltin || id >= kBuiltinCount) return true;
  for (const auto& [first, last] : kLeftOut) {
    if (id >= first && id <= last) return true;
  }
  return false;
}

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
    if (LeftOut(call.id)) continue;
    world.TimedCall(call.id, call.words);
    if (++calls % kCallsPerStep == 0) world.Step(kStepMilliseconds);
  }
  return 0;
}

// The animation file readers on arbitrary bytes: as a DAG file, its pictures decoded into 32-bit
// images and at their own depth, and, with the magic turned into "DAD", as a DAD file; then
// every entry and frame look-up of what loaded. Every count and offset must be checked against
// the bytes before anything is allocated or read.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

#include "platform/system/diagnostic_log.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/animations/dad_file.h"
#include "scene/animations/dag_file.h"

namespace {

std::uint64_t FourGigabytes() { return std::uint64_t{4} << 30; }

struct Loader {
  Loader() {
    if (RegisterElgDecoder(host) != 0) std::abort();
    g_GllHost = &host;
  }

  plat::ScopedDiagnosticSink quiet{[](std::string_view) {}};
  CImageLoaderManager host{&FourGigabytes};
};

// Reads every entry and frame the way the players do, so that the tables must agree.
void WalkEntries(const AnimEntryTable& entries, std::span<const AnimFrame> frames) {
  for (std::uint32_t entry = 0; entry < entries.GetEntryCount(); ++entry) {
    const auto start = entries.GetEntryStart(static_cast<std::int32_t>(entry));
    const auto end = entries.GetEntryEnd(static_cast<std::int32_t>(entry));
    if (start < 0 || end < start - 1 || static_cast<std::size_t>(end) >= frames.size()) std::abort();
  }
  for (std::size_t frame = 0; frame <= frames.size(); ++frame) {
    std::int32_t offset = 0;
    entries.GetEntryAtFrame(static_cast<std::int32_t>(frame), &offset);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Loader loader;
  const std::span<const std::uint8_t> bytes(data, size);
  for (const bool keep_depth : {false, true}) {
    CDagFile dag;
    if (dag.LoadFromMemory(bytes, keep_depth) != 0) continue;
    WalkEntries(dag.GetEntries(), dag.GetFrames());
    for (const AnimFrame& frame : dag.GetFrames()) dag.GetPicture(frame.ImageNumber());
  }
  std::vector<std::uint8_t> as_dad(bytes.begin(), bytes.end());
  if (as_dad.size() >= 3) as_dad[2] = 'D';
  CDadFile dad;
  if (dad.LoadFromMemory(as_dad) == 0) {
    for (std::int32_t frame = -1; frame <= static_cast<std::int32_t>(dad.GetFrames().size()); ++frame) {
      std::int32_t offset = 0;
      dad.GetEntryAtFrame(frame, &offset);
      dad.GetFrameData(frame);
    }
    if (dad.GetLongestEntry() > dad.GetFrames().size()) std::abort();
  }
  return 0;
}

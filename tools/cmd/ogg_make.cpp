// ogg_make: makes Ogg Vorbis sounds from a score (see tools/lib/sound_score.h), one file per part
// in the score's order: a sound effect or a voice line has one part, music an intro and a loop.
//
//   ogg_make <score> <output file> ...
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "asm_command.h"
#include "sound_score.h"
#include "tool_usage.h"

namespace {

constexpr const char* kTool = "ogg_make";

}  // namespace

int main(int argc, char** argv) {
  constexpr const char* kUsage = "usage: ogg_make <score> <output file> ...\n";
  if (kvxtools::AskedForUsage(argc, argv, kUsage)) return 0;
  if (argc < 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::optional<std::string> source = kvxtools::ReadTextFile(argv[1]);
  if (!source) return kvxtools::FailAssembly(kTool, std::string("cannot read ") + argv[1]);
  kvxtools::SoundScore score;
  std::string error;
  if (!kvxtools::ParseSoundScore(*source, score, error)) {
    return kvxtools::FailAssembly(kTool, std::string(argv[1]) + ": " + error);
  }
  const auto outputs = static_cast<size_t>(argc - 2);
  if (score.parts.size() != outputs) {
    return kvxtools::FailAssembly(kTool, std::string(argv[1]) + " has " + std::to_string(score.parts.size()) +
                                             " parts for " + std::to_string(outputs) + " output files");
  }
  const std::vector<std::vector<uint8_t>> files = kvxtools::EncodeSoundScore(score);
  if (files.size() != outputs) return kvxtools::FailAssembly(kTool, "the Ogg Vorbis encoder refused the sound");
  for (size_t i = 0; i < outputs; ++i) {
    const int written = kvxtools::WriteAssembly(kTool, argv[i + 2], "Ogg Vorbis sound", files[i]);
    if (written != 0) return written;
  }
  return 0;
}

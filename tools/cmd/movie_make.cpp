// movie_make: writes a short movie clip (MPEG-4 pictures and PCM sound in an AVI file) of moving
// colour bars, or of changing pictures without --bars, with a 440 Hz tone unless --silent.
//
//   movie_make <output file> [--width=N] [--height=N] [--frames=N] [--fps=N] [--bars] [--silent]
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "asm_text.h"
#include "movie_clip_writer.h"
#include "tool_usage.h"

namespace {

// The number after `name` ("--width=") in `argument`, kept within 1..`most`.
std::optional<int> Option(std::string_view argument, std::string_view name, int most) {
  if (argument.substr(0, name.size()) != name) return std::nullopt;
  const std::optional<uint32_t> value = kvxtools::ParseNumber(argument.substr(name.size()));
  if (!value || *value == 0 || *value > static_cast<uint32_t>(most)) return -1;
  return static_cast<int>(*value);
}

bool ReadOption(std::string_view argument, kvxtools::MovieClipOptions& options) {
  if (argument == "--bars") {
    options.colour_bars = true;
    return true;
  }
  if (argument == "--silent") {
    options.tone = false;
    return true;
  }
  struct Number {
    std::string_view name;
    int most;
    int* value;
  };
  for (const Number& number : {Number{"--width=", 4096, &options.width}, Number{"--height=", 4096, &options.height},
                               Number{"--frames=", 100000, &options.frames},
                               Number{"--fps=", 120, &options.frames_per_second}}) {
    const std::optional<int> value = Option(argument, number.name, number.most);
    if (!value) continue;
    if (*value < 0) return false;
    *number.value = *value;
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  constexpr const char* kUsage =
      "usage: movie_make <output file> [--width=N] [--height=N] [--frames=N] [--fps=N] [--bars] [--silent]\n";
  if (kvxtools::AskedForUsage(argc, argv, kUsage)) return 0;
  // An option in the place of the output file is a mistake, not the name of a movie.
  if (argc < 2 || std::string_view(argv[1]).starts_with("-")) return kvxtools::UsageError(kUsage);
  kvxtools::MovieClipOptions options;
  for (int i = 2; i < argc; ++i) {
    if (!ReadOption(argv[i], options)) {
      std::fprintf(stderr, "movie_make: error: bad option %s\n", argv[i]);
      return 1;
    }
  }
  // The encoders take even sizes only.
  if (options.width % 2 != 0 || options.height % 2 != 0) {
    std::fprintf(stderr, "movie_make: error: the width and height must be even\n");
    return 1;
  }
  std::string error;
  if (!kvxtools::WriteMovieClip(argv[1], options, error)) {
    std::fprintf(stderr, "movie_make: error: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s: movie, %dx%d, %d frames at %d a second\n", argv[1], options.width, options.height, options.frames,
              options.frames_per_second);
  return 0;
}

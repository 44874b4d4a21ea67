#include "scene/movies/movie_open.h"

#include <cmath>
#include <string_view>

#include "base/files/data_file_layer.h"
#include "base/files/path.h"
#include "platform/encoding/sjis_text.h"
#include "platform/files/host_path.h"

namespace {

struct MediaTypeEntry {
  const char* extension;
  int32_t type;
};

constexpr MediaTypeEntry kMediaTypes[] = {
    {"mpg", 0}, {"mpeg", 0}, {"mpv", 1}, {"dat", 2}, {"avi", 3},
    {"mov", 4}, {"mp4", 4},  {"wmv", 6}, {"asf", 6}, {"wma", 6},
};

}  // namespace

// The extension of the entry's leaf, read as the code page reads the name (a half-width katakana
// before the dot is a character of its own).
std::optional<int32_t> MovieMediaType(const char* name) {
  if (name == nullptr) return std::nullopt;
  const std::string_view path(name);
  const std::optional<std::size_t> dot = plat::LeafDot(path, plat::SjisReading::kCodePage);
  if (!dot) return std::nullopt;
  for (const MediaTypeEntry& entry : kMediaTypes) {
    if (plat::EqualIgnoringAsciiCase(path.substr(*dot + 1), entry.extension)) return entry.type;
  }
  return std::nullopt;
}

int32_t MovieVolumeHundredths(int32_t& level) {
  if (level < 1) {
    level = 0;
    return -10000;
  }
  if (level > 256) level = 256;
  const double span = 17.2 - level * 0.0671875;
  return static_cast<int32_t>(-(span * span * span));
}

uint32_t FindMovieSource(IDataFileLayer& files, const char* name, MovieSource& source) {
  char path[kMaxPath] = {};
  const int found = files.LocateFile(path, name, nullptr);
  if (found > 0) return kMovieNotFound;
  if (found == 0) {
    std::optional<std::string> host_path = plat::ToHostPath(path);
    if (!host_path) return kMovieNotFound;
    source.host_path = std::move(*host_path);
    source.type = 0;
    return kMovieOpened;
  }
  const std::optional<int32_t> type = MovieMediaType(name);
  if (!type) return kMovieUnsupportedType;
  int error = 0;
  source.stream = MakeMovieStream(files.OpenStream(name, nullptr, &error, false));
  if (source.stream == nullptr) return kMovieNotFound;
  source.type = *type;
  return kMovieOpened;
}

uint32_t CreateMovieControl(KvxCreateControlFunc create, CMovieControl& control, KvxFrameBuffer& first,
                            KvxFrameBuffer& second, MovieSource& source) {
  control.Release();
  const char* path = source.host_path.empty() ? nullptr : source.host_path.c_str();
  const int32_t result =
      create(control.Place(), &first, &second, &MovieSoundSink(), source.stream.release(), source.type, path, 0, 0, 1);
  if (result != 0) {
    *control.Place() = nullptr;
    return MovieCreatorStatus(result);
  }
  return control.IsOpen() ? kMovieOpened : kMovieRefused;
}

uint32_t MovieCreatorStatus(int32_t result) {
  if (result == 0) return kMovieOpened;
  return result == KVX_MOVIE_LIBRARIES_MISSING ? kMovieNoLibrary : kMovieRefused;
}

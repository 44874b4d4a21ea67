// What the movie wrappers share: finding the media file, the media type of an archive entry,
// the volume scale and the creation of the control object.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "scene/movies/movie_control.h"
#include "scene/movies/movie_host.h"

class IDataFileLayer;

// Open statuses of the wrappers.
inline constexpr uint32_t kMovieOpened = 0;
inline constexpr uint32_t kMovieNoLibrary = 1;
inline constexpr uint32_t kMovieBadArguments = 2;
inline constexpr uint32_t kMovieUnsupportedType = 3;
inline constexpr uint32_t kMovieNotFound = 4;
inline constexpr uint32_t kMovieNoSurface = 5;
inline constexpr uint32_t kMovieRefused = 6;

// The media type of an archive entry by its extension (any case); none for one not played.
std::optional<int32_t> MovieMediaType(const char* name);

// A level of 1 to 256 (higher counts as 256) in hundredths of a decibel: -(17.2 - level *
// 0.0671875)^3 toward zero; below 1 the level becomes 0 and the result -10000.
int32_t MovieVolumeHundredths(int32_t& level);

struct MovieSource {
  std::string host_path;  // a loose file; empty for an archive entry
  MovieStreamPtr stream;  // an archive entry
  int32_t type = 0;
};

// kMovieOpened, kMovieUnsupportedType or kMovieNotFound (also when the stream or path fails).
uint32_t FindMovieSource(IDataFileLayer& files, const char* name, MovieSource& source);

// The open status of a creator's result: kMovieOpened, kMovieNoLibrary when the library cannot
// open the libraries it plays with, else kMovieRefused.
uint32_t MovieCreatorStatus(int32_t result);

// Creates the control object over a found source; the stream goes to the creator.
// kMovieOpened, kMovieNoLibrary or kMovieRefused.
uint32_t CreateMovieControl(KvxCreateControlFunc create, CMovieControl& control, KvxFrameBuffer& first,
                            KvxFrameBuffer& second, MovieSource& source);

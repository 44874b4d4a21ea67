// FFmpeg's own messages go to the engine's log instead of the standard error stream.
#pragma once

#include "platform/files/movie_library_abi.h"

// Makes this library's filter FFmpeg's log callback; called before FFmpeg's work for a movie.
void RouteFfmpegLog();
// Where the filtered messages go from now on.
void SetFfmpegLogSink(KvxLogFunc sink);

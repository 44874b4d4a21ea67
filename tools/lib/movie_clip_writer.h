// Writes short movie clips for tests with FFmpeg's own encoders: an AVI file holding MPEG-4
// pictures that change from frame to frame and, when asked, a 16-bit stereo sine tone.
#pragma once

#include <string>

namespace kvxtools {

struct MovieClipOptions {
  int width = 64;
  int height = 48;
  int frames = 10;
  int frames_per_second = 25;
  bool tone = true;  // 440 Hz for as long as the pictures last
};

// False with a reason in `error` when the clip cannot be written.
bool WriteMovieClip(const std::string& host_path, const MovieClipOptions& options, std::string& error);

}  // namespace kvxtools

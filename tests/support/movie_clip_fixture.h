// A game folder holding a generated movie clip twice: as the loose file "CLIP.AVI" and as the
// entry "ARCHIVED.AVI" of the mounted archive "MOVIE.DPK"; the movie libraries built next to
// the test program, loaded and published with the folder's data-file layer.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

#include "gfx/images/pixel_library.h"
#include "movie_clip_writer.h"
#include "scene/movies/dshow_library.h"
#include "support/dpk_fixture.h"

namespace test_support {

// 16-bit samples of a sound capture whose magnitude shows a tone rather than silence.
size_t LoudSamples(const std::string& sound);

class MovieClipTest : public DpkTest {
 public:
  static constexpr const char* kLooseClip = "CLIP.AVI";
  static constexpr const char* kArchivedClip = "ARCHIVED.AVI";

  // Waits (up to a generous limit) until the condition holds; false when it never did.
  static bool WaitFor(const std::function<bool()>& condition);
  // Writes a flash-and-beep clip of `frames` pictures at 25 a second into the game folder as
  // `name`: empty when written, else why not. Only an encoder or muxer missing from the installed
  // FFmpeg is a reason to skip; any other failure also fails the test.
  std::string WriteFlashClip(const std::string& name, kvxtools::MovieClipFormat format, int frames);

 protected:
  void SetUp() override;
  void TearDown() override;

  kvxtools::MovieClipOptions clip_;
  CDShowLibrary sprite_library_;
  CDShowLibrary prim_library_;
  CDShowLibrary movie_library_;
  CPixelLibrary pixel_library_;
};

}  // namespace test_support

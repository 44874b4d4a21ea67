// A real window (run under Xvfb) with a screen over a black 160 × 120 frame, for the movie gui
// tests; the movie's sound goes to SDL's disk audio driver while a DiskSoundCapture lives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "platform/window/native_window.h"
#include "scene/drawables/draw_layer_factory.h"
#include "sound/sound_output.h"
#include "support/movie_clip_fixture.h"
#include "support/scoped_environment.h"

namespace test_support {

// Makes the sound device that the movies play through write its mix into `capture` (a file of
// the game folder) and puts the previous device back at its end.
class DiskSoundCapture {
 public:
  DiskSoundCapture(const std::string& capture);
  ~DiskSoundCapture();
  DiskSoundCapture(const DiskSoundCapture&) = delete;
  DiskSoundCapture& operator=(const DiskSoundCapture&) = delete;

  // Opens the output for the window and makes it the sound device: whether it opened.
  bool Open(plat::WindowId window);

 private:
  ScopedEnvironment driver_;
  ScopedEnvironment file_;
  CSoundDevice* saved_device_;
  CSoundOutput output_;
};

class MovieWindowTest : public MovieClipTest {
 public:
  static constexpr int32_t kWidth = 160;
  static constexpr int32_t kHeight = 120;

 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // The window as shown, written as `png_name` into the build folder.
  std::vector<uint32_t> ReadBack(const char* png_name) const;
  // Pixels of `rect` in a read-back that are not black.
  static int32_t LitPixels(const std::vector<uint32_t>& shown, const plat::Rect& rect);
  static uint32_t ColourAt(const std::vector<uint32_t>& shown, int32_t x, int32_t y);

  CDrawLayerFactory factory_;
  std::unique_ptr<plat::Window> window_;
  CImageCanvasEx frame_;
  std::unique_ptr<CScreenManager> screen_;
};

}  // namespace test_support

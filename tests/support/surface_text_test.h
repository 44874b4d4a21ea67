// A fixture for the surface objects that draw text: a screen for their surfaces, fonts of the
// gothic face over fake font faces, and the default font put back after each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "pixel/kernels/pixel_tables.h"
#include "support/fake_font_face.h"
#include "support/japanese_face.h"
#include "support/sprite_device_screen.h"
#include "ui/fonts/font_base.h"

class SurfaceTextTest : public ::testing::Test {
 protected:
  SurfaceTextTest() : saved_default_font_(g_DefaultFont) { BuildPixelTables(); }
  ~SurfaceTextTest() override { g_DefaultFont = saved_default_font_; }

  template <typename Font>
  std::unique_ptr<Font> MakeFont(uint8_t glyph_format) {
    auto font = std::make_unique<Font>(FakeFontFace::Factory(log_));
    EXPECT_EQ(font->SetFont(16, 0, 0, kGothic), 0u);
    font->SetGlyphFormat(glyph_format);
    return font;
  }

  SpriteDeviceScreen screen_;
  std::shared_ptr<FakeFontFaceLog> log_ = std::make_shared<FakeFontFaceLog>();

 private:
  CFontBase* saved_default_font_;
};

// A display picture of coordinate pixels (the low 24 bits of the software source's pixels) and
// a white back surface on a test screen of 320 × 240, for the patterns drawn by blits.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "gfx/display/ddraw_picture.h"
#include "pattern_pictures.h"
#include "support/software_surfaces.h"
#include "support/sprite_device_screen.h"

namespace pattern_test {

// Writes every pixel of a 32-bit surface.
template <typename Pixel>
void WriteSurface(plat::Surface& surface, Pixel&& pixel) {
  plat::LockedSurface locked;
  ASSERT_EQ(surface.Lock(nullptr, locked), plat::DD_OK);
  ASSERT_EQ(plat::BytesPerPixel(locked.format), 4u);
  for (int32_t y = 0; y < locked.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(locked.bits + static_cast<intptr_t>(y) * locked.pitch);
    for (int32_t x = 0; x < locked.width; ++x) row[x] = pixel(x, y);
  }
  ASSERT_EQ(surface.Unlock(), plat::DD_OK);
}

inline uint32_t RawSourcePixel(int32_t x, int32_t y) { return pattern_test::SourcePixel(x, y) & 0xFFFFFF; }

// A display picture of coordinate pixels and a white back surface on the test screen.
class DisplayPatternTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(picture_.Create(64, 48, false, false, nullptr), 0u);
    WriteSurface(*picture_.GetSurface(), RawSourcePixel);
    ClearBack();
  }
  void ClearBack() {
    WriteSurface(*screen_.Screen().GetBack(), [](int32_t, int32_t) { return 0xFFFFFFu; });
  }
  uint32_t BackPixel(int32_t x, int32_t y) { return SoftwareSurfaces::Pixel(*screen_.Screen().GetBack(), x, y); }
  bool BackUntouched() {
    for (int32_t y = 0; y < 240; ++y) {
      for (int32_t x = 0; x < 320; ++x) {
        if (BackPixel(x, y) != 0xFFFFFF) return false;
      }
    }
    return true;
  }

  SpriteDeviceScreen screen_;
  pattern_test::PatternPictures software_{64, 48, 160, 120};
  CDDrawPicture picture_{&screen_.Screen()};
};

}  // namespace pattern_test

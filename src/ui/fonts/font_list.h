// The installed-font list that the configuration screens and the scripts read.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/fonts/font_face.h"
#include "ui/fonts/font_base.h"

struct CFontList {
  // Filter flags.
  static constexpr uint8_t kTrueTypeOnly = 1;
  static constexpr uint8_t kFixedPitchOnly = 2;
  static constexpr uint8_t kNoVerticalFaces = 4;
  static constexpr uint8_t kCharSetOnly = 8;
  static constexpr uint8_t kFixedPitch = 1;  // the pitch bit of LogicalFont::pitch_and_family

  std::vector<LogicalFont> faces;
  uint8_t flags = 0;
  uint8_t char_set = 0;
};

// Fills the list with the faces that pass the filters, in the order given; faces whose name
// begins with "$" never pass. Returns the number listed.
uint32_t EnumerateFonts(CFontList& list, uint8_t flags, uint8_t char_set,
                        const std::vector<plat::InstalledFace>& installed);
// The same over the faces installed on the system.
uint32_t EnumerateFonts(CFontList& list, uint8_t flags, uint8_t char_set);

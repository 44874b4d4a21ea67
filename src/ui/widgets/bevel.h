// The bevelled look of the generated widget faces: colours derived from a face colour and the
// two-pixel edges drawn round a rectangle.
#pragma once

#include <cstdint>

#include "platform/system/geometry.h"

class CImage;

struct BevelColours {
  explicit BevelColours(uint32_t face_colour);

  uint32_t face;
  uint32_t light;    // each channel tripled in the dark third, else two thirds of the way to white
  uint32_t dark;     // each channel halved
  uint32_t darkest;  // each channel quartered
};

// Light along the top row (but its last pixel) and the left column, darkest along the bottom row
// and the right column, dark just inside those two.
void DrawBevelEdges(CImage& image, const plat::Rect& rect, uint32_t light, uint32_t dark, uint32_t darkest);

// Blends the colour's RGB over the rectangle at the colour's own opacity (its top byte).
void BlendColour(CImage& image, uint32_t argb, const plat::Rect& rect);

#include "ui/fonts/edge_disc.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

int32_t EdgeDistance(int32_t dx, int32_t dy) {
  const int32_t a = std::abs(dx);
  const int32_t b = std::abs(dy);
  const int32_t low = std::min(a, b);
  const int32_t high = std::max(a, b);
  const int32_t t = low + (low >> 1);
  return high + (t >> 2) + (t >> 6) - (high >> 7) - (high >> 5);
}

int32_t EdgeNormaliser(int32_t radius) {
  const int32_t r = std::abs(radius);
  int32_t sum = 0;
  for (int32_t dy = -r; dy <= r; ++dy) {
    for (int32_t dx = -r; dx <= r; ++dx) {
      const int32_t distance = EdgeDistance(dx, dy);
      if (distance <= r) sum += r - distance + 1;
    }
  }
  return sum == 0 ? 65536 : 65536 / sum;
}

namespace {

struct GrownBitmap {
  int32_t width;
  int32_t height;
  int32_t pitch;
  std::vector<uint8_t> bits;
};

GrownBitmap MakeGrown(const CGlyph& glyph, int32_t r) {
  GrownBitmap grown{glyph.width + 2 * r, glyph.height + 2 * r, 0, {}};
  grown.pitch = (grown.width + 3) & ~3;
  grown.bits.assign(static_cast<std::size_t>(grown.pitch) * grown.height, 0);
  return grown;
}

void ScaleCoverage(CGlyph& glyph, int32_t strength) {
  if (strength >= 255) return;
  const int32_t level = std::max(strength, 0);
  for (uint8_t& value : glyph.bits) value = static_cast<uint8_t>(value * level / 255);
}

}  // namespace

void GrowOutline(CGlyph& glyph, bool mono, int32_t strength, int32_t radius, int32_t normaliser) {
  const int32_t r = std::abs(radius);
  if (r == 0) {
    if (!mono) ScaleCoverage(glyph, strength);
    return;
  }
  GrownBitmap grown = MakeGrown(glyph, r);
  for (int32_t dy = -r; dy <= r; ++dy) {
    for (int32_t dx = -r; dx <= r; ++dx) {
      const int32_t distance = EdgeDistance(dx, dy);
      if (distance > r) continue;
      const int64_t weight = (static_cast<int64_t>(r - distance + 1) * strength * normaliser) >> 8;
      for (int32_t y = 0; y < glyph.height; ++y) {
        const uint8_t* in = glyph.bits.data() + static_cast<std::size_t>(y) * glyph.pitch;
        uint8_t* out = grown.bits.data() + static_cast<std::size_t>(y + dy + r) * grown.pitch + dx + r;
        for (int32_t x = 0; x < glyph.width; ++x) {
          if (in[x] == 0) continue;
          if (mono) {
            out[x] = 255;
          } else {
            const int64_t sum = out[x] + ((in[x] * weight) >> 16);
            out[x] = static_cast<uint8_t>(std::min<int64_t>(sum, 255));
          }
        }
      }
    }
  }
  glyph.width = grown.width;
  glyph.height = grown.height;
  glyph.pitch = grown.pitch;
  glyph.bits = std::move(grown.bits);
  glyph.offset_x -= r;
  glyph.offset_y -= r;
}

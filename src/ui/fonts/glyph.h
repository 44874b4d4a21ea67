// A finished glyph: one coverage byte per pixel (0 transparent, 255 full ink), where it sits
// from the pen position and how far the pen moves after it.
#pragma once

#include <cstdint>
#include <vector>

struct CGlyph {
  int32_t offset_x = 0;
  int32_t offset_y = 0;
  int32_t advance_x = 0;
  int32_t advance_y = 0;
  int32_t pitch = 0;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> bits;
  // Holders beyond the owner; releasing drops one of these before the glyph goes.
  int32_t extra_references = 0;

  void AllocBits(std::size_t size) { bits.assign(size, 0); }

  // Drops one reference, destroying the glyph when no extra one is left.
  static void Release(CGlyph* glyph);
};

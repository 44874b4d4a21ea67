// A table of colours running evenly from one colour to another: bytes for 8-bit images (palette
// indices or grey levels), 0xAARRGGBB words for 32-bit ones, each channel interpolated apart.
#pragma once

#include <cstdint>
#include <memory>

class CColorRamp {
 public:
  // 0; 1 for a count below 2; 3 for a depth other than 8 or 32; 2 without memory. The old
  // entries go first.
  uint32_t Build(uint32_t count, uint32_t colour_a, uint32_t colour_b, uint8_t depth);
  void Free();

  uint32_t GetCount() const { return count_; }
  // The colours the ramp runs between; both 0xFFFFFFFF while it is empty.
  uint32_t GetColourA() const { return colour_a_; }
  uint32_t GetColourB() const { return colour_b_; }
  uint8_t GetDepth() const { return depth_; }
  // Entry i (i below the count): a byte at 8 bits, a word at 32.
  uint32_t GetEntry(uint32_t i) const;
  const uint8_t* GetBytes() const { return bytes_.get(); }
  const uint32_t* GetWords() const { return words_.get(); }

 private:
  std::unique_ptr<uint8_t[]> bytes_;
  std::unique_ptr<uint32_t[]> words_;
  uint32_t count_ = 0;
  uint32_t colour_a_ = 0xFFFFFFFF;
  uint32_t colour_b_ = 0xFFFFFFFF;
  uint8_t depth_ = 0;
};

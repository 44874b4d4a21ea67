// An animated cursor picture: frames of one size side by side in a strip of 32-bit pixels, shown
// in turn for a frame time each, forwards or forwards and back (ping-pong), with a hot spot.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/system/geometry.h"

struct CursorImageStrip {
  std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top-down without padding
  int32_t width = 0;             // of the whole strip
  int32_t height = 0;
};

class CCursorImage {
 public:
  // `frames` below 1 counts as 1; the frame width is the strip's width / frames.
  CCursorImage(CursorImageStrip strip, uint32_t frames, uint32_t frame_time, bool ping_pong, plat::Point hot_spot);

  uint32_t GetFrameCount() const { return frames_; }
  int32_t GetFrameWidth() const { return frame_width_; }
  int32_t GetFrameHeight() const { return strip_.height; }
  plat::Point GetHotSpot() const { return hot_spot_; }
  // frames × frame time, or (2 × frames − 1) × frame time with ping-pong.
  uint64_t GetCycleLength() const;
  // The frame shown `elapsed` ms after the cycle started; with a frame time of 0 always frame 0.
  uint32_t FrameAt(uint32_t elapsed) const;
  // The pixels of one frame, rows top-down without padding.
  std::vector<uint32_t> FramePixels(uint32_t frame) const;

 private:
  CursorImageStrip strip_;
  uint32_t frames_;
  int32_t frame_width_;
  uint32_t frame_time_;
  bool ping_pong_;
  plat::Point hot_spot_;
};

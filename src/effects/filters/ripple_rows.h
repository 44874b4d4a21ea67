// The ripple's rows: each output pixel looks up its distance entry, the displacement the wave
// gives that entry, and blends the old and the new picture read at the displaced point. The
// fast rows read without checks (the caller keeps them at least the largest displacement away
// from the picture's edges) through the frame's read offsets; the edge-safe rows decode the
// displacement and reflect a point outside the picture back into it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// How far from an output pixel's own place the two pictures are read, in pixels: the
// displacement's rows times each picture's stride, plus or minus its columns.
struct RippleReadOffset {
  std::int32_t old_pixels;
  std::int32_t new_pixels;
};

// The smallest and the largest of a displacement's component over a frame's wave rows.
struct RippleReach {
  std::int32_t low = 0;
  std::int32_t high = 0;
};

// The read offsets of every distance entry for one frame's wave rows, one table for each side
// of the centre and each half of the picture, so that the fast rows do no arithmetic on the
// displacement, and how far the displacements reach. Built again only when the wave rows or
// the strides change.
class CRippleReadOffsets {
 public:
  // `entries` wave entries from `wave` on.
  void Prepare(const std::uint16_t* wave, std::int32_t entries, std::int32_t old_stride, std::int32_t new_stride);
  const RippleReadOffset* Table(bool forward, bool above) const {
    return tables_[(forward ? 2 : 0) + (above ? 1 : 0)].data();
  }
  // The reach of the columns (dx) and of the rows (dy).
  RippleReach Columns() const { return columns_; }
  RippleReach Rows() const { return rows_; }

 private:
  const std::uint16_t* wave_ = nullptr;
  std::int32_t entries_ = 0;
  std::int32_t old_stride_ = 0;
  std::int32_t new_stride_ = 0;
  std::array<std::vector<RippleReadOffset>, 4> tables_;
  RippleReach columns_;
  RippleReach rows_;
};

struct RippleRowJob {
  std::uint32_t* destination = nullptr;  // the first output pixel
  // Both pictures from their first pixel, each row `stride` pixels on from the one before;
  // both width × height.
  const std::uint32_t* old_pixels = nullptr;
  const std::uint32_t* new_pixels = nullptr;
  std::int32_t old_stride = 0;
  std::int32_t new_stride = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  // The distance entry of the first pixel: right of the centre the row's entries run forward
  // from it, left of the centre backward.
  const std::uint16_t* distance = nullptr;
  // The wave rows of this frame's amplitude step and phase (the edge-safe rows).
  const std::uint16_t* wave = nullptr;
  // The read offsets of this side and half for this frame (the fast rows).
  const RippleReadOffset* offsets = nullptr;
  std::int32_t x = 0;  // the first pixel's place in the pictures
  std::int32_t y = 0;
  std::int32_t count = 0;
  // +1 above the centre, -1 below: which way the wave's vertical displacement points.
  std::int32_t dy_sign = 1;
  std::uint32_t level = 0;  // 0 the old picture, 256 would be the new one
};

using RippleRow = void (*)(const RippleRowJob& job);

// The row functions that walk a distance row forward (right of the centre) and backward.
struct RippleKernel {
  const char* name;
  RippleRow forward;
  RippleRow backward;
};

// The fast rows in use: the portable ones until the start-up chooses.
extern RippleKernel g_RippleKernel;
// The edge-safe rows.
void RippleRowForwardEdge(const RippleRowJob& job);
void RippleRowBackwardEdge(const RippleRowJob& job);
// The portable fast rows, and their vector twins (the same results, four pixels blended at once).
void RippleRowForward(const RippleRowJob& job);
void RippleRowBackward(const RippleRowJob& job);
void RippleRowForwardVector(const RippleRowJob& job);
void RippleRowBackwardVector(const RippleRowJob& job);

// The blend of one pixel: old + ((new - old) × level >> 8) per colour channel; alpha 0.
inline std::uint32_t RippleBlend(std::uint32_t old_pixel, std::uint32_t new_pixel, std::uint32_t level) {
  // o × (256 − l) + n × l never carries out of a channel's 16 bits.
  const std::uint32_t keep = 256 - level;
  const std::uint32_t red_blue = ((old_pixel & 0xFF00FF) * keep + (new_pixel & 0xFF00FF) * level) >> 8;
  const std::uint32_t green = ((old_pixel & 0xFF00) * keep + (new_pixel & 0xFF00) * level) >> 8;
  return (red_blue & 0xFF00FF) | (green & 0xFF00);
}

// The registered start-up and clean-up of "ripple": the start-up chooses the fast rows by the
// processor's features, the clean-up lets go of the cached wave tables.
void StartUpRipple();
void CleanUpRipple();

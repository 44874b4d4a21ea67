// The pixel-routine library: whole compositing operations behind a table of typed routines.
// The engine's own library is always present and bound at device initialisation; while
// `g_PixelLib` is null every operation runs the engine's kernels itself and the operations that
// exist only in the library report that it is missing.
#pragma once

#include <cstdint>

#include "gfx/images/blit_clipping.h"
#include "pixel/kernels/parallelogram_kernels.h"

class CImage;

// What a routine reports: success, and the rectangle of its destination that it changed.
struct PixelRoutineResult {
  bool ok = false;
  plat::Rect changed{};
};

// The blend routine's modes that have a meaning: 0 a constant level (a copy at 255), 2 by the
// source alpha scaled by the level, 3 by the source alpha keeping the destination's alpha, 4 the
// source scaled by the level added and 5 subtracted with saturation. Any other mode fails.
enum EPixelBlendMode : uint32_t {
  kPixelBlendLevel = 0,
  kPixelBlendAlpha = 2,
  kPixelBlendKeepAlpha = 3,
  kPixelBlendAdd = 4,
  kPixelBlendSubtract = 5,
};

struct PixelBlendArgs {
  int32_t x = 0;
  int32_t y = 0;
  const plat::Rect* src_rect = nullptr;  // null: the source's clip rectangle
  uint32_t mode = kPixelBlendLevel;
  uint8_t level = 255;
  uint32_t flag = 0;  // passed through by the callers; no routine of this library reads it
};

// The stretched blend: every mode of the blend routine; the filter mode's low four bits
// choose the bilinear stretch (non-zero) for a copy at level 255.
struct PixelStretchArgs {
  const ImageSize* size = nullptr;  // null: the source rectangle's size
  int32_t x = 0;
  int32_t y = 0;
  const plat::Rect* src_rect = nullptr;
  uint32_t mode = kPixelBlendLevel;
  uint32_t filter = 0;
  uint8_t level = 255;
  uint32_t flag = 0;
};

// The affine routine: the source rectangle's top-left, top-right and bottom-left corners land on
// the three points (pixel edges, not pixel centres), the fourth corner completing the
// parallelogram; each covered pixel (its centre inside the parallelogram) takes the source pixel
// under its centre, and no pixel outside the source rectangle and the source's clip rectangle is
// read. Mode 0 copies at level 255 (a keyed source leaves its key pixels alone) and blends by
// the source alpha at a lower level; mode 2 blends by the source alpha at every level, 255
// included. With an area, the pixels of {0, 0, width, height} take the fill colour first.
struct PixelTransformArgs {
  using Point = ParallelogramPoint;
  Point points[3]{};
  const plat::Rect* src_rect = nullptr;
  uint32_t mode = kPixelBlendLevel;
  uint8_t level = 255;
  uint32_t fill = 0;
  const ImageSize* area = nullptr;
};

// The affine draw by a matrix: the source pixel at (u, v), counted from the source rectangle's
// top-left corner, lands at (m[0]·u + m[2]·v + m[4], m[1]·u + m[3]·v + m[5]); the source
// rectangle is then drawn as the transform routine draws it onto the corners that the matrix
// gives. With a fill area, its pixels that the draw leaves uncovered take the fill colour. The
// mode, filter and flag words are passed through by the callers and read by no routine.
struct PixelAffineArgs {
  double matrix[6]{};
  const plat::Rect* src_rect = nullptr;
  uint32_t mode = 0;
  uint32_t filter = 0;
  uint8_t level = 255;
  uint32_t flags[2]{};
  uint32_t fill = 0;
  const plat::Rect* fill_area = nullptr;
};

// Where the two- and three-source routines draw: the area's top-left corner in the destination
// and its size (a width or height of 0: as far as the images allow; a negative one: nothing),
// and the points of each source that land on that corner. The area is cut to the destination's
// clip rectangle and to every source.
struct PixelPoint {
  int32_t x = 0;
  int32_t y = 0;
};
struct PixelArea {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// The cross-fade: the area shows source A and source B over it at the level (0 all A, 255 all
// B), the pixels that copying A and then blending B at the level paint. The second byte is
// passed through and read by no routine.
struct PixelCrossFadeArgs {
  uint8_t level = 0;
  uint8_t flag = 0;
  PixelArea area{};
  PixelPoint a{};
  PixelPoint b{};
};

// The rule transition: the area shows source A, and source B wherever the 8-bit rule image's
// value lies below the progress of the level, with a soft edge as wide as the vagueness (1 to
// 511 rule steps; outside that range the nearest). Level 0 shows A, 255 B.
struct PixelRuleTransitionArgs {
  uint8_t level = 0;
  uint32_t vague = 1;
  uint8_t flag = 0;
  PixelArea area{};
  PixelPoint a{};
  PixelPoint b{};
  PixelPoint rule{};
};

// A picture in plain memory (a movie frame): top-down rows of 32-bit pixels.
struct PixelFrame {
  const uint8_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t pitch = 0;
  uint8_t bpp = 32;
};

// The colour routine: the colour bits of 0x00RRGGBB mixed into a rectangle (null: the clip
// rectangle) at the level as FillColor mixes them, key pixels of a keyed image left alone; at
// level 255 the colour bits become the colour and the alpha bytes stay. The flag is passed
// through by the callers; the routine does not read it.
struct PixelColourArgs {
  uint32_t colour = 0;
  uint8_t level = 255;
  const plat::Rect* rect = nullptr;
  uint32_t flag = 0;
};

// Softening: a box blur of the rectangle (null: the clip rectangle) over the 2s + 1 pixels of a
// row (s the horizontal strength), then over those of a column (the vertical strength), all four
// channels, the edge pixels of the rectangle repeated; strengths above 127 count as 127. The
// flag is passed through, as the colour routine's.
struct PixelSoftenArgs {
  uint32_t horizontal = 0;
  uint32_t vertical = 0;
  const plat::Rect* rect = nullptr;
  uint32_t flag = 0;
};

// The typed routine table.
struct PixelRoutines {
  PixelRoutineResult (*blend)(CImage& dst, CImage& src, const PixelBlendArgs& args);
  PixelRoutineResult (*stretch_blend)(CImage& dst, CImage& src, const PixelStretchArgs& args);
  PixelRoutineResult (*transform)(CImage& dst, CImage& src, const PixelTransformArgs& args);
  PixelRoutineResult (*affine)(CImage& dst, CImage& src, const PixelAffineArgs& args);
  PixelRoutineResult (*cross_fade)(CImage& dst, CImage& a, CImage& b, const PixelCrossFadeArgs& args);
  PixelRoutineResult (*rule_transition)(CImage& dst, CImage& a, CImage& b, CImage& rule,
                                        const PixelRuleTransitionArgs& args);
  // One row of the cross-fade: count pixels of A with B blended over them at the level, written
  // to the destination row (which may be either source row); false for a negative count.
  bool (*row_blend)(uint32_t* dst, const uint32_t* a, const uint32_t* b, int32_t count, uint8_t level);
  // The blend and the stretched blend of a frame held in plain memory (the source rectangle is
  // the frame's, null: the whole frame); they fail for a frame that is not 32 bits.
  PixelRoutineResult (*frame_blend)(CImage& dst, const PixelFrame& frame, const PixelBlendArgs& args);
  PixelRoutineResult (*frame_stretch_blend)(CImage& dst, const PixelFrame& frame, const PixelStretchArgs& args);
  // Mirrors the rectangle (null: the clip rectangle) of an 8- or 32-bit image in place, left to
  // right or top to bottom.
  PixelRoutineResult (*mirror_horizontal)(CImage& image, const plat::Rect* rect);
  PixelRoutineResult (*mirror_vertical)(CImage& image, const plat::Rect* rect);
  // The fills of a rectangle (null: the clip rectangle): a 32-bit image with one 32-bit value,
  // an 8-bit image with one index, a 32-bit image with one byte in every byte of every pixel.
  PixelRoutineResult (*fill32)(CImage& image, uint32_t colour, const plat::Rect* rect);
  PixelRoutineResult (*fill8)(CImage& image, uint8_t index, const plat::Rect* rect);
  PixelRoutineResult (*fill_value)(CImage& image, uint8_t value, const plat::Rect* rect);
  PixelRoutineResult (*blend_colour)(CImage& image, const PixelColourArgs& args);
  PixelRoutineResult (*soften)(CImage& image, const PixelSoftenArgs& args);
  // Whole-image routines of a 32-bit image: the colour bits or the alpha bytes inverted; the
  // colours at a brightness level (0..510, see CImage::AdjustBrightness) or the alpha bytes at
  // an alpha level (0..511, see CImage::AdjustAlpha), failing for a level out of range.
  PixelRoutineResult (*invert_colour)(CImage& image);
  PixelRoutineResult (*invert_alpha)(CImage& image);
  PixelRoutineResult (*brightness)(CImage& image, uint32_t level);
  PixelRoutineResult (*alpha_level)(CImage& image, uint32_t level);
};

class CPixelLibrary {
 public:
  CPixelLibrary();
  const PixelRoutines& Routines() const { return routines_; }

 private:
  PixelRoutines routines_;
};

// The bound library, or null when there is none.
extern CPixelLibrary* g_PixelLib;
void SetPixelLib(CPixelLibrary* library);

// The library an engine operation hands its work to: g_PixelLib, except while one of the
// library's own routines runs, since those draw through the engine's operations.
CPixelLibrary* ActivePixelLib();

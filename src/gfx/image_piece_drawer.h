// Many small pieces of one source image drawn into one destination image one after another, each
// exactly as the destination's Copy (or AlphaBlend) without flip would draw it. What those
// operations check and choose once per call (depths, colour key, the pixel-routine library,
// the kernel member) is settled once for all the pieces, so that a piece costs its clipping and
// its rows: the transition patterns lay down thousands of pieces a frame. The pieces' rectangles
// reach the destination's dirty region together, joined, when the drawer ends.
// Where the plain kernels do not tell the whole story, every piece takes the full operation.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/blit_clipping.h"
#include "gfx/dirty_region.h"
#include "platform/window_messages.h"

class CImage;

class CImagePieceDrawer {
 public:
  enum class EOperation : uint8_t { kPlainCopy, kBlendByAlpha };

  CImagePieceDrawer(CImage& dst, CImage& src, EOperation operation);
  ~CImagePieceDrawer();
  CImagePieceDrawer(const CImagePieceDrawer&) = delete;
  CImagePieceDrawer& operator=(const CImagePieceDrawer&) = delete;

  // The source rectangle (cut to the source's clip rectangle) drawn with its top-left at (x, y),
  // cut to the destination's clip rectangle.
  void Draw(const plat::Rect& source, int32_t x, int32_t y) const;

 private:
  // The piece as it is when both clip rectangles hold it whole (clip then says what is drawn).
  bool LiesWithinClips(const plat::Rect& source, int32_t x, int32_t y, BlitClip& clip) const;
  // The destination's own Copy or AlphaBlend, whose dirty rectangle is kept with the others.
  void DrawByFullOperation(const plat::Rect& source, int32_t x, int32_t y) const;
  // Marks the destination written and keeps the rectangle for its dirty region.
  void NoteChanged(const plat::Rect& rect) const;
  // Keeps the rectangle for the dirty region (when the destination has one), joined with the one
  // before where the two make one rectangle.
  void KeepForRegion(const plat::Rect& rect) const;

  using Kernel = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t);

  CImage& dst_;
  CImage& src_;
  EOperation operation_;
  Kernel kernel_ = nullptr;  // null: every piece takes the full operation
  plat::Rect source_clip_;
  plat::Rect dest_clip_;
  mutable std::vector<plat::Rect> changed_;
  // Where a full operation marks its rectangle, in place of the destination's region.
  mutable CDirtyRegion full_operation_changes_;
};

#include "gfx/image_piece_drawer.h"

#include <cstring>

#include "gfx/color_key.h"
#include "gfx/dirty_region.h"
#include "gfx/image.h"
#include "gfx/pixel_library.h"
#include "pixel/blend_kernels.h"
#include "pixel/pixel_kernel_choice.h"

namespace {

// The pixel-routine library, a colour key, another depth or a source drawn onto itself take
// the full operation; so do the images with alpha run maps, which the full operations keep up:
// a copy from a mapped source may give the destination a map, and an alpha blend marks the
// destination's map clear where it drew.
bool TakesPlainKernel(const CImage& dst, const CImage& src, CImagePieceDrawer::EOperation operation) {
  if (&dst == &src || !dst.HasPixels() || !src.HasPixels()) return false;
  if (dst.GetBitsPerPixel() != 32 || src.GetBitsPerPixel() != 32) return false;
  if (operation == CImagePieceDrawer::EOperation::kBlendByAlpha) {
    return ActivePixelLib() == nullptr && !dst.HasAlphaRuns();
  }
  return src.GetColorKey() == kNoColorKey && !src.HasAlphaRuns();
}

// A plain copy of a piece row by row. Pieces are mostly a few pixels wide, where the copy
// kernel's partial steps and a library call per row cost more than the pixels: those rows move
// in fixed-size steps that compile inline.
void CopyPiece(uint32_t* to, const uint32_t* from, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height) {
  constexpr int32_t kNarrow = 8;
  const intptr_t to_pitch = width + dst_skip / 4;
  const intptr_t from_pitch = width + src_skip / 4;
  for (int32_t y = 0; y < height; ++y, to += to_pitch, from += from_pitch) {
    if (width >= kNarrow) {
      std::memcpy(to, from, static_cast<size_t>(width) * 4);
      continue;
    }
    int32_t x = 0;
    for (; x + 2 <= width; x += 2) std::memcpy(to + x, from + x, 8);
    if (x < width) to[x] = from[x];
  }
}

}  // namespace

CImagePieceDrawer::CImagePieceDrawer(CImage& dst, CImage& src, EOperation operation)
    : dst_(dst), src_(src), operation_(operation) {
  if (!TakesPlainKernel(dst, src, operation)) return;
  if (operation == EOperation::kPlainCopy) {
    kernel_ = CopyPiece;
  } else {
    kernel_ = g_CpuHasMmx != 0 ? AlphaBlend32Mmx : AlphaBlend32;
  }
  src.GetClipRect(&source_clip_);
  dst.GetClipRect(&dest_clip_);
}

CImagePieceDrawer::~CImagePieceDrawer() {
  if (CDirtyRegion* region = dst_.GetDirtyRegion(); region != nullptr) region->AddRects(changed_);
}

// Most pieces lie inside both clip rectangles, and then nothing needs cutting.
bool CImagePieceDrawer::LiesWithinClips(const plat::Rect& source, int32_t x, int32_t y, BlitClip& clip) const {
  if (source.left >= source.right || source.top >= source.bottom) return false;
  if (source.left < source_clip_.left || source.top < source_clip_.top || source.right > source_clip_.right ||
      source.bottom > source_clip_.bottom) {
    return false;
  }
  const int64_t right = int64_t{x} + source.Width();
  const int64_t bottom = int64_t{y} + source.Height();
  if (x < dest_clip_.left || y < dest_clip_.top || right > dest_clip_.right || bottom > dest_clip_.bottom) return false;
  clip = {source, {x, y, static_cast<int32_t>(right), static_cast<int32_t>(bottom)}};
  return true;
}

void CImagePieceDrawer::Draw(const plat::Rect& source, int32_t x, int32_t y) const {
  if (kernel_ == nullptr) {
    DrawByFullOperation(source, x, y);
    return;
  }
  BlitClip clip;
  if (!LiesWithinClips(source, x, y, clip) && !ClipBlt({x, y, &source, false, false}, source_clip_, dest_clip_, clip)) {
    return;
  }
  dst_.SourceRect() = clip.source;
  dst_.DestRect() = clip.dest;
  const int32_t width = clip.dest.Width();
  const int32_t dst_pitch = dst_.GetPitch();
  const int32_t src_pitch = src_.GetPitch();
  auto* to = reinterpret_cast<uint32_t*>(dst_.CImageBase::GetPixels() + intptr_t{clip.dest.top} * dst_pitch) +
             clip.dest.left;
  const auto* from =
      reinterpret_cast<const uint32_t*>(src_.CImageBase::GetPixels() + intptr_t{clip.source.top} * src_pitch) +
      clip.source.left;
  kernel_(to, from, dst_pitch - width * 4, src_pitch - width * 4, width, clip.dest.Height());
  NoteChanged(clip.dest);
}

void CImagePieceDrawer::DrawByFullOperation(const plat::Rect& source, int32_t x, int32_t y) const {
  CDirtyRegion* region = dst_.GetDirtyRegion();
  if (region != nullptr) dst_.SetDirtyRegionInUse(&full_operation_changes_);
  if (operation_ == EOperation::kPlainCopy) {
    dst_.Copy(&src_, x, y, &source, false);
  } else {
    dst_.AlphaBlend(&src_, x, y, &source, false);
  }
  if (region == nullptr) return;
  dst_.SetDirtyRegionInUse(region);
  // The operation marked the destination itself, and may have given it an alpha run map to keep.
  full_operation_changes_.ForEachRect([this](const plat::Rect& rect) { KeepForRegion(rect); });
  full_operation_changes_.Clear();
}

void CImagePieceDrawer::NoteChanged(const plat::Rect& rect) const {
  // Once is enough, unless a full operation between two pieces gave the destination a new map.
  if (!dst_.IsModified() || dst_.HasAlphaRuns()) dst_.MarkWritten();
  KeepForRegion(rect);
}

void CImagePieceDrawer::KeepForRegion(const plat::Rect& rect) const {
  if (dst_.GetDirtyRegion() == nullptr) return;
  if (!changed_.empty()) {
    plat::Rect& last = changed_.back();
    if (last.top == rect.top && last.bottom == rect.bottom && last.right == rect.left) {
      last.right = rect.right;
      return;
    }
    if (last.left == rect.left && last.right == rect.right && last.bottom == rect.top) {
      last.bottom = rect.bottom;
      return;
    }
  }
  changed_.push_back(rect);
}

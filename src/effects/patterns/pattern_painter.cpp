#include "effects/patterns/pattern_painter.h"

#include <algorithm>
#include <vector>

#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_backed_image.h"
#include "gfx/display/surface_services.h"
#include "gfx/images/image.h"

CPatternPainter::CPatternPainter(const PatternCall& call) : call_(call) {
  width_ = call.src->GetWidth();
  height_ = call.src->GetHeight();
  if (call.mode != kTransitionDirectDraw) {
    dst_image_ = dynamic_cast<CImage*>(call.dst);
    src_image_ = dynamic_cast<CImage*>(call.src);
    const bool drawn = call.mode == kTransitionCopy || call.mode == kTransitionAlphaBlend;
    if (drawn && dst_image_ != nullptr && src_image_ != nullptr) {
      pieces_.emplace(*dst_image_, *src_image_,
                      call.mode == kTransitionCopy ? CImagePieceDrawer::EOperation::kPlainCopy
                                                   : CImagePieceDrawer::EOperation::kBlendByAlpha);
    }
    return;
  }
  if (call.target != nullptr) {
    target_surface_ = call.target->GetBack();
    target_clip_ = call.target->GetScreenRect();
  } else {
    target_surface_ = DisplaySurfaceOf(call.dst);
    call.dst->GetClipRect(&target_clip_);
  }
  source_surface_ = DisplaySurfaceOf(call.src);
  call.src->GetClipRect(&source_clip_);
  source_key_ = call.src->GetColorKey();
}

bool CPatternPainter::HasTarget() const { return call_.mode != kTransitionDirectDraw || target_surface_ != nullptr; }

void CPatternPainter::DrawOnTarget(const plat::Rect& cut, int32_t px, int32_t py) const {
  if (call_.mode == kTransitionDirectDraw) {
    BltFastClipped(target_surface_, source_surface_, px, py, &cut, &target_clip_, source_key_);
  }
}

void CPatternPainter::DrawRunsInPlace(int32_t top, int32_t bottom,
                                      std::span<const CImagePieceDrawer::ColumnRun> runs) const {
  if (!pieces_) {
    for (const CImagePieceDrawer::ColumnRun& run : runs) DrawInPlace({run.left, top, run.right, bottom});
    return;
  }
  const plat::Rect band{0, std::max(top, 0), width_, std::min(bottom, height_)};
  if (band.top < band.bottom) pieces_->DrawRuns(band, call_.x, call_.y, runs);
}

void CPatternPainter::DrawBlocks(int32_t width, int32_t height,
                                 std::span<const CImagePieceDrawer::BlockMove> blocks) const {
  if (pieces_) {
    pieces_->DrawBlocks(width, height, blocks);
    return;
  }
  for (const CImagePieceDrawer::BlockMove& block : blocks) {
    DrawPiece({block.left, block.top, block.left + width, block.top + height}, block.x, block.y);
  }
}

void CPatternPainter::DrawMirroredColumns(const plat::Rect& source, int32_t px, int32_t py) const {
  // Column c lands at mirror - c; cutting columns off the source leaves the others where they
  // land, cutting rows moves them all down.
  const int32_t mirror = px + source.right - 1;
  const plat::Rect cut = CutToSource(source);
  if (cut.left >= cut.right || cut.top >= cut.bottom) return;
  py += cut.top - source.top;
  if (pieces_) {
    pieces_->DrawMirroredColumns(cut, mirror - (cut.right - 1), py);
    return;
  }
  for (int32_t c = cut.left; c < cut.right; ++c) DrawOnTarget({c, cut.top, c + 1, cut.bottom}, mirror - c, py);
}

void CPatternPainter::DrawColumns(std::span<const CImagePieceDrawer::PlacedPiece> columns) const {
  if (pieces_) {
    std::vector<CImagePieceDrawer::PlacedPiece> cut;
    cut.reserve(columns.size());
    for (const CImagePieceDrawer::PlacedPiece& piece : columns) {
      const plat::Rect source = CutToSource(piece.source);
      if (source.left >= source.right || source.top >= source.bottom) continue;
      cut.push_back({source, piece.x + source.left - piece.source.left, piece.y + source.top - piece.source.top});
    }
    if (pieces_->DrawColumns(cut)) return;
  }
  for (const CImagePieceDrawer::PlacedPiece& piece : columns) DrawPiece(piece.source, piece.x, piece.y);
}

void CPatternPainter::DrawStretched(const plat::Rect& source, int32_t width, int32_t height, int32_t px,
                                    int32_t py) const {
  switch (call_.mode) {
    case kTransitionCopy: {
      const ImageSize size{width, height};
      dst_image_->StretchCopy(src_image_, &size, px, py, &source, false);
      break;
    }
    case kTransitionAlphaBlend: {
      const ImageSize size{width, height};
      dst_image_->StretchAlphaBlend(src_image_, &size, px, py, &source, false);
      break;
    }
    case kTransitionDirectDraw: {
      const StretchSize size{width, height};
      BltClipped(target_surface_, source_surface_, &size, px, py, &source, &target_clip_, source_key_);
      break;
    }
    default:
      break;
  }
}

void CPatternPainter::DrawStretchedColumns(std::span<const CImagePieceDrawer::StretchedPiece> columns) const {
  if (pieces_ && pieces_->DrawStretchedColumns(columns)) return;
  for (const CImagePieceDrawer::StretchedPiece& column : columns) {
    DrawStretched(column.source, column.size.width, column.size.height, column.x, column.y);
  }
}

int32_t CPatternPainter::DrawWhole() const {
  switch (call_.mode) {
    case kTransitionCopy:
      return static_cast<int32_t>(dst_image_->Copy(src_image_, call_.x, call_.y, nullptr, false));
    case kTransitionAlphaBlend:
      return static_cast<int32_t>(dst_image_->AlphaBlend(src_image_, call_.x, call_.y, nullptr, false));
    case kTransitionDirectDraw:
      return static_cast<int32_t>(BltFastClipped(target_surface_, source_surface_, call_.x, call_.y, &source_clip_,
                                                 &target_clip_, source_key_));
    default:
      return 0;
  }
}

int32_t CPatternPainter::DestinationRight() const {
  if (call_.mode == kTransitionDirectDraw && call_.target != nullptr) return target_clip_.right;
  return call_.dst->GetWidth();
}

int32_t CPatternPainter::DestinationBottom() const {
  if (call_.mode == kTransitionDirectDraw && call_.target != nullptr) return target_clip_.bottom;
  return call_.dst->GetHeight();
}

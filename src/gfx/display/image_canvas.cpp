#include "gfx/display/image_canvas.h"

#include <algorithm>

bool CImageCanvasBase::SetClipRect(const plat::Rect* rect) {
  if (rect == nullptr) {
    clip_ = plat::Rect{0, 0, GetWidth(), GetHeight()};
    return true;
  }
  if (rect->top >= rect->bottom || rect->left >= rect->right) return false;
  clip_ = plat::Rect{std::max(rect->left, 0), std::max(rect->top, 0), std::min(rect->right, GetWidth()),
                     std::min(rect->bottom, GetHeight())};
  return true;
}

bool CImageCanvasBase::ClipRect(plat::Rect* rect) const {
  rect->left = std::max(rect->left, clip_.left);
  rect->top = std::max(rect->top, clip_.top);
  rect->right = std::min(rect->right, clip_.right);
  rect->bottom = std::min(rect->bottom, clip_.bottom);
  return rect->left < rect->right && rect->top < rect->bottom;
}

uint32_t CImageCanvasBase::ClipToImage(uint32_t status) {
  if (status == 0) SetClipRect(nullptr);
  return status;
}

uint32_t CImageCanvasBase::RecreateCanvasImage(uint8_t depth, uint32_t image_flags) {
  const uint32_t status = ClipToImage(RecreateImage(depth, image_flags));
  if (status == 0 && GetLayer() != nullptr) {
    GetImage()->SetDirtyRegionInUse(IsTrackingSuspended() ? nullptr : GetImage()->GetOwnedDirtyRegion());
  }
  return status;
}

uint8_t CImageCanvas::SuspendTracking(uint8_t flag) {
  const uint8_t previous = tracking_suspended_;
  tracking_suspended_ = flag;
  return previous;
}

void CImageCanvas::MarkDirty(const plat::Rect* rect) {
  if (IsTrackingSuspended() && GetLayer() != nullptr) GetLayer()->Invalidate(rect);
}

uint32_t CImageCanvasEx::CreateImage(uint8_t depth) {
  const uint32_t status = ClipToImage(RecreateImage(depth, CImage::kUseDib | CImage::kOwnDirtyRegion));
  if (status == 0 && GetLayer() != nullptr && IsTrackingSuspended()) GetImage()->SetDirtyRegionInUse(nullptr);
  return status;
}

#include "gfx/image_part.h"

#include <cstring>

#include "base/not_built.h"

uint32_t CImagePart::Create(int32_t width, int32_t height, uint8_t depth, bool with_layer) {
  return CreateWithFlags(width, height, depth, 0, with_layer);
}

uint32_t CImagePart::CreateEx(int32_t width, int32_t height, uint8_t depth, uint8_t layer_mode) {
  return CreateWithFlags(width, height, depth, CImage::kUseDib | CImage::kOwnDirtyRegion, layer_mode != kNoLayer);
}

uint32_t CImagePart::CreateWithFlags(int32_t width, int32_t height, uint8_t depth, uint32_t image_flags,
                                     bool with_layer) {
  Release();
  if (image_.Create(width, height, depth, image_flags) != 0) {
    Release();
    return kImageFailed;
  }
  if (with_layer) {
    ReportNotBuiltYet("image parts with a draw layer");
    Release();
    return kLayerFailed;
  }
  FillBlack();
  return 0;
}

void CImagePart::FillBlack() {
  const size_t row_bytes = static_cast<size_t>(image_.GetWidth()) * (image_.GetBitsPerPixel() / 8u);
  for (int32_t y = 0; y < image_.GetHeight(); ++y) std::memset(image_.GetRowPointer(y), 0, row_bytes);
}

void CImagePart::Release() {
  image_.Release();
  partner_ = nullptr;
}

uint8_t CImagePart::SuspendTracking(uint8_t flag) {
  const uint8_t previous = tracking_suspended_;
  tracking_suspended_ = flag;
  image_.SetDirtyRegionInUse(flag != 0 ? nullptr : image_.GetOwnedDirtyRegion());
  return previous;
}

void CImagePart::MarkDirty(const plat::Rect* rect) {
  if (rect == nullptr) {
    image_.MarkAllChanged();
  } else {
    image_.MarkChanged(*rect);
  }
}

uint32_t CImagePart::SetPartner(CImagePart* partner) {
  if (partner != nullptr) {
    const CImage* other = partner->GetImage();
    if (other->GetPixels() == nullptr || other->GetWidth() != image_.GetWidth() ||
        other->GetHeight() != image_.GetHeight() || other->GetBitsPerPixel() != image_.GetBitsPerPixel()) {
      return 1;
    }
  }
  partner_ = partner;
  return 0;
}

uint32_t CImagePart::RecreateImage(uint8_t depth, uint32_t image_flags) {
  if (image_.GetPixels() == nullptr) return 1;
  const int32_t width = image_.GetWidth();
  const int32_t height = image_.GetHeight();
  if (image_.Create(width, height, depth, image_flags) != 0) {
    Release();
    return 2;
  }
  return 0;
}

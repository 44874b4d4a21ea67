#include "gfx/image_operations/image_part.h"

#include <cstring>
#include <utility>

#include "base/system/app_hooks.h"

IDrawLayerFactory* g_DrawLayerFactory = nullptr;

uint32_t CImagePart::Create(int32_t width, int32_t height, uint8_t depth, bool with_layer) {
  return CreateWithFlags(width, height, depth, 0, with_layer ? kLayer : kNoLayer);
}

uint32_t CImagePart::CreateEx(int32_t width, int32_t height, uint8_t depth, uint8_t layer_mode) {
  return CreateWithFlags(width, height, depth, CImage::kUseDib | CImage::kOwnDirtyRegion, layer_mode);
}

uint32_t CImagePart::CreateWithFlags(int32_t width, int32_t height, uint8_t depth, uint32_t image_flags,
                                     uint8_t layer_mode) {
  Release();
  if (image_.Create(width, height, depth, image_flags) != 0) {
    Release();
    return kImageFailed;
  }
  if (layer_mode != kNoLayer) {
    const uint32_t status = CreateLayer(layer_mode);
    if (status != 0) {
      Release();
      return status;
    }
    SuspendTracking(1);
  }
  FillBlack();
  return 0;
}

uint32_t CImagePart::CreateLayer(uint8_t layer_mode) {
  if (g_DrawLayerFactory == nullptr) return kLayerFailed;
  layer_ = g_DrawLayerFactory->CreateLayer();
  if (layer_ == nullptr) return kLayerFailed;
  if (layer_mode == kLayerAndDrawList) {
    list_ = g_DrawLayerFactory->CreateList();
    if (list_ == nullptr) return kOtherFailure;
    layer_->SetAttachedList(list_.get());
  }
  return layer_->SetTarget(&image_, true) == 0 ? 0 : kLayerTargetFailed;
}

void CImagePart::FillBlack() {
  const size_t row_bytes = static_cast<size_t>(image_.GetWidth()) * (image_.GetBitsPerPixel() / 8u);
  for (int32_t y = 0; y < image_.GetHeight(); ++y) std::memset(image_.GetRowPointer(y), 0, row_bytes);
}

void CImagePart::Release() {
  Detach(false);
  layer_.reset();
  list_.reset();
  FreeWorkImage();
  partner_ = nullptr;
  image_.Release();
}

uint8_t CImagePart::SuspendTracking(uint8_t flag) {
  const uint8_t previous = tracking_suspended_;
  tracking_suspended_ = flag;
  image_.SetDirtyRegionInUse(flag != 0 ? nullptr : image_.GetOwnedDirtyRegion());
  return previous;
}

void CImagePart::MarkDirty(const plat::Rect* rect) {
  // While the layer does the tracking the image's region in use is null: only the flag is set.
  if (tracking_suspended_ != 0 && layer_ != nullptr) layer_->Invalidate(rect);
  if (rect == nullptr) {
    image_.MarkAllChanged();
  } else {
    image_.MarkChanged(*rect);
  }
}

void CImagePart::SetLayerVisible(uint8_t visible) {
  if (layer_ != nullptr) layer_->SetVisible(visible);
}

void CImagePart::SetLayerFlags(uint8_t first, uint8_t second) {
  if (layer_ != nullptr) layer_->SetFlags(first, second);
}

void CImagePart::SwapLayers(CImagePart& other) {
  std::swap(layer_, other.layer_);
  for (CImagePart* part : {this, &other}) {
    if (part->layer_ == nullptr) continue;
    part->layer_->SetAttachedList(part->list_.get());
    part->layer_->SetTarget(&part->image_, true);
  }
}

void CImagePart::SwapLayerBackgrounds(CImagePart& other) {
  if (layer_ != nullptr && other.layer_ != nullptr) layer_->SwapBackground(*other.layer_, true);
}

uint32_t CImagePart::SetView(IDrawLayer* view) {
  if (view == nullptr || view == layer_.get()) return 0;
  if (view != GetSecondView()) return 1;
  SwapLayers(*partner_);
  MarkDirty(nullptr);
  return 0;
}

uint32_t CImagePart::SetPartner(CImagePart* partner) {
  if (partner != nullptr) {
    const CImage* other = partner->GetImage();
    if (!other->HasPixels() || other->GetWidth() != image_.GetWidth() ||
        other->GetHeight() != image_.GetHeight() || other->GetBitsPerPixel() != image_.GetBitsPerPixel()) {
      return 1;
    }
  }
  partner_ = partner;
  return 0;
}

uint32_t CImagePart::Attach(RefPtr<CScreenTransition>& transition, uint8_t mode, uint8_t byte, bool lower_priority) {
  Detach(attach_byte_ != 0);
  if (transition == nullptr) return 0;
  const uint32_t status = CheckAttach(*transition, mode);
  if (status != 0) return status;
  if (work_image_ == nullptr) {
    auto work = std::make_unique<CImage>();
    if (work->Create(image_.GetWidth(), image_.GetHeight(), image_.GetBitsPerPixel(), CImage::kUseDib) != 0) {
      return kAttachNoPartnerLayerOrWorkImage;
    }
    work_image_ = std::move(work);
  }
  if (mode == kModeSwapLayers && list_ != nullptr) layer_->InvalidateAll();
  if (lower_priority && g_LowerPriorityHook != nullptr) g_LowerPriorityHook();
  attach_mode_ = mode;
  attach_byte_ = byte;
  lower_priority_ = lower_priority ? 1 : 0;
  attached_ = std::move(transition);
  return 0;
}

uint32_t CImagePart::CheckAttach(const CScreenTransition& transition, uint8_t mode) const {
  if (layer_ == nullptr) return kAttachNoLayer;
  if (partner_ == nullptr) return kAttachNoPartner;
  if (transition.GetTransitionType() < CScreenTransition::kTypeWithoutPartnerLayer && partner_->layer_ == nullptr) {
    return kAttachNoPartnerLayerOrWorkImage;
  }
  if (mode == kModeSwapBackgrounds && !layer_->HasBackgroundImage()) return kAttachNoBackground;
  return 0;
}

void CImagePart::Detach(bool redraw) {
  if (attached_ == nullptr) return;
  attached_.reset();
  if (lower_priority_ != 0) {
    lower_priority_ = 0;
    if (g_RestorePriorityHook != nullptr) g_RestorePriorityHook();
  }
  if (redraw && partner_ != nullptr) {
    if (attach_mode_ == kModeSwapLayers) SwapLayers(*partner_);
    if (attach_mode_ == kModeSwapBackgrounds) SwapLayerBackgrounds(*partner_);
  }
  // The screen still shows the transition's last frame: the part's picture must be presented
  // whole again, the swapped one after modes 1 and 2, its own after a plain redrawn end.
  if (attach_mode_ == kModeSwapLayers || attach_mode_ == kModeSwapBackgrounds || redraw) {
    if (layer_ != nullptr) layer_->Invalidate(nullptr);
    image_.MarkAllChanged();
  }
}

uint32_t CImagePart::RecreateImage(uint8_t depth, uint32_t image_flags) {
  if (!image_.HasPixels()) return 1;
  const int32_t width = image_.GetWidth();
  const int32_t height = image_.GetHeight();
  if (image_.Create(width, height, depth, image_flags) != 0) {
    Release();
    return 2;
  }
  return 0;
}

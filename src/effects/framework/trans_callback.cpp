#include "effects/framework/trans_callback.h"

#include "gfx/image_operations/image_part.h"

std::int32_t CTransCallback::Create(std::uintptr_t parameter, const PluginArgs& args) {
  part_ = reinterpret_cast<CImagePart*>(parameter);
  return SetParam(part_, args);
}

bool CTransCallback::Advance(std::uint32_t now) {
  Update(now);
  return IsFinished();
}

CImage* CTransCallback::GetTargetImage() { return part_ != nullptr ? part_->GetWorkImage() : nullptr; }

void CTransCallback::RenderStrip(const plat::Rect& strip) {
  FilterApplyArea area;
  area.x = strip.left;
  area.y = strip.top;
  area.width = strip.right - strip.left;
  area.height = strip.bottom - strip.top;
  area.destination = GetTargetImage();
  if (area.destination == nullptr) return;
  area.destination_x = strip.left;
  area.destination_y = strip.top;
  PlacePictures(area);
  if (part_->GetAttachMode() == CImagePart::kModeSwapBackgrounds) PlaceBackgrounds(area, strip);
  if (area.old_picture == nullptr || area.new_picture == nullptr) return;
  Apply(area);
}

bool CTransCallback::PlaceBackgrounds(FilterApplyArea& area, const plat::Rect& strip) {
  const CImage* own_image = part_->GetImage();
  IDrawLayer* own = part_->GetLayer();
  CImagePart* partner = part_->GetPartner();
  IDrawLayer* other = GetType() < kTypeWithoutPartnerLayer && partner != nullptr ? partner->GetLayer() : own;
  if (own == nullptr || other == nullptr) return false;
  for (CImage& background : backgrounds_) {
    if (background.GetWidth() == own_image->GetWidth() && background.GetHeight() == own_image->GetHeight() &&
        background.GetBitsPerPixel() == own_image->GetBitsPerPixel()) {
      continue;
    }
    if (background.Create(own_image->GetWidth(), own_image->GetHeight(), own_image->GetBitsPerPixel(), 0) != 0) {
      return false;
    }
  }
  own->PaintBackground(backgrounds_[0], strip);
  other->PaintBackground(backgrounds_[1], strip);
  const bool ends_on_own = part_->EndsOnOwnImage();
  area.old_picture = &backgrounds_[ends_on_own ? 1 : 0];
  area.new_picture = &backgrounds_[ends_on_own ? 0 : 1];
  return true;
}

void CTransCallback::PlacePictures(FilterApplyArea& area) const {
  if (part_ == nullptr) return;
  CImage* own = part_->GetImage();
  CImagePart* partner = part_->GetPartner();
  CImage* other = partner != nullptr ? partner->GetImage() : nullptr;
  if (GetType() >= kTypeWithoutPartnerLayer) {
    area.old_picture = own;
    area.new_picture = own;
  } else if (part_->EndsOnOwnImage()) {
    area.old_picture = other;
    area.new_picture = own;
  } else {
    area.old_picture = own;
    area.new_picture = other;
  }
  area.old_x = area.new_x = area.x;
  area.old_y = area.new_y = area.y;
}

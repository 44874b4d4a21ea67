#include "effects/trans_callback.h"

#include "gfx/image_part.h"

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
  if (area.old_picture == nullptr || area.new_picture == nullptr) return;
  Apply(area);
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

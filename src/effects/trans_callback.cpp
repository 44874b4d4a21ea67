#include "effects/trans_callback.h"

#include "gfx/image_part.h"

std::int32_t CTransCallback::Create(std::uintptr_t parameter, const PluginArgs& args) {
  return SetParam(reinterpret_cast<CImagePart*>(parameter), args);
}

bool CTransCallback::Advance(std::uint32_t now) {
  Update(now);
  return IsFinished();
}

void CTransCallback::RenderStrip(const plat::Rect& strip) {
  FilterApplyArea area;
  area.x = strip.left;
  area.y = strip.top;
  area.width = strip.right - strip.left;
  area.height = strip.bottom - strip.top;
  area.destination = GetTargetImage();
  area.destination_x = strip.left;
  area.destination_y = strip.top;
  PlacePictures(area);
  Apply(area);
}

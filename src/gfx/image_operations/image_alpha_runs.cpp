// The image's alpha run map: made for a source read again unchanged, dropped on every write.
#include "gfx/images/image.h"

#include "platform/window/pixel_format.h"

uint8_t* CImage::GetPixels() const {
  DropAlphaRuns();
  return CImageBase::GetPixels();
}

uint8_t* CImage::GetRowPointer(int32_t y) const {
  DropAlphaRuns();
  return CImageBase::GetRowPointer(y);
}

plat::DeviceContext* CImage::GetDC() const {
  DropAlphaRuns();
  return CImageBase::GetDC();
}

void CImage::DropAlphaRuns() const {
  if (alpha_runs_ != nullptr) spare_runs_ = std::move(alpha_runs_);
  read_since_change_ = {};
}

std::unique_ptr<AlphaRunMap> CImage::UnknownAlphaRuns() {
  std::unique_ptr<AlphaRunMap> runs = std::move(spare_runs_);
  if (runs == nullptr) runs = std::make_unique<AlphaRunMap>();
  runs->ResetToUnknown(GetWidth(), GetHeight());
  return runs;
}

const AlphaRunMap* CImage::SourceAlphaRuns(const plat::Rect& area) {
  if (alpha_runs_ != nullptr || GetBitsPerPixel() != 32 || CImageBase::GetPixels() == nullptr) {
    return alpha_runs_.get();
  }
  if (!IntersectRect(nullptr, &read_since_change_, &area)) {
    read_since_change_ = plat::RectUnion(read_since_change_, area);
    return nullptr;
  }
  alpha_runs_ = std::make_unique<AlphaRunMap>(AlphaRunMap::Build(
      reinterpret_cast<const uint32_t*>(CImageBase::GetPixels()), GetPitch(), GetWidth(), GetHeight()));
  return alpha_runs_.get();
}

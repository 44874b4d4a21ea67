#include "gfx/display/ddraw_picture.h"

#include <algorithm>
#include <new>
#include <vector>

#include "base/files/file.h"
#include "gfx/display/picture_source.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_services.h"
#include "pixel/formats/decoded_picture_conversions.h"
#include "pixel/formats/pixel_format_codes.h"
#include "pixel/formats/surface_writers.h"
#include "resource/pictures/cached_picture.h"
#include "resource/pictures/elg_header.h"
#include "resource/pictures/elg_picture.h"
#include "resource/pictures/image_loader_manager.h"

namespace {

constexpr uint32_t kUnexpected = 6;
// Rows converted at a time on their way from a decoded picture into a surface.
constexpr int32_t kStripRows = 64;

bool IsElgDepth(uint8_t depth) { return depth == 8 || depth == 24 || depth == 32; }

}  // namespace

CDDrawPicture::CDDrawPicture(CScreenManager* device) {
  if (device != nullptr) g_SpriteDevice = device;
}

void CDDrawPicture::Release() {
  ReleaseSurface();
  file_name_.reset();
  fill_color_ = kNoColorKey;
}

uint32_t CDDrawPicture::Create(int32_t width, int32_t height, bool system_memory, bool texture,
                               const plat::PixelFormat* format) {
  Release();
  if (g_SpriteDevice == nullptr || width < 1 || height < 1 || (texture && format == nullptr)) return 1;
  const uint32_t status = MakeSurface({width, height, system_memory, texture, format}, {2, 3, 4});
  if (status != 0) return status;
  pixel_format_ = RecordedPixelFormat(*surface_, texture);
  system_memory_ = system_memory ? 1 : 0;
  return 0;
}

uint32_t CDDrawPicture::LoadFile(const char* file_name, const uint8_t* data, uint32_t size, bool system_memory) {
  Release();
  try {
    const uint32_t status = Load(file_name, data, size, system_memory);
    if (status != 0) Release();
    return status;
  } catch (...) {
    Release();
    return kUnexpected;
  }
}

uint32_t CDDrawPicture::Load(const char* file_name, const uint8_t* data, uint32_t size, bool system_memory) {
  if (g_GllHost == nullptr) return 2;
  CImageLoaderManager& host = *g_GllHost;
  PictureSource source;
  switch (FindPictureSource(host, file_name, data, size, source)) {
    case EPictureSourceResult::kFound:
      break;
    case EPictureSourceResult::kNotFound:
      return 1;
    case EPictureSourceResult::kUndecodable:
      return 2;
  }
  const int32_t width = source.Width();
  if (Create(width, source.Height(), system_memory, false, nullptr) != 0) return 3;
  if (!source.picture && pixel_format_ == kPixelFormatXrgb8888 && pitch_ == width * 4) {
    if (const uint32_t status = UnpackElg(source.header, source.data, source.size); status != 0) return status;
    SetUserWord0(static_cast<uint32_t>(source.header.user_value0));
    SetUserWord1(static_cast<uint32_t>(source.header.user_value1));
  } else {
    if (!source.picture && !DecodeElgSource(host, source)) return 2;
    if (const uint32_t status = CopyFromPicture(*source.picture); status != 0) return status;
    SetUserWord0(static_cast<uint32_t>(source.picture->GetUserValue0()));
    SetUserWord1(static_cast<uint32_t>(source.picture->GetUserValue1()));
  }
  if (file_name != nullptr) file_name_ = file_name;
  return 0;
}

uint32_t CDDrawPicture::UnpackElg(const ElgHeader& header, const uint8_t* data, uint32_t size) {
  plat::LockedSurface locked;
  if (plat::Failed(surface_->Lock(nullptr, locked))) return 4;
  // The surface's fourth bytes are no alpha: they stay 0, also for a picture that has some.
  const bool unpacked = IsElgDepth(header.bit_depth) &&
                        UnpackElgPictureTo32(header, data, size, locked.bits, locked.pitch, false);
  surface_->Unlock();
  return unpacked ? 0 : 2;
}

uint32_t CDDrawPicture::CopyFromPicture(const CCachedPicture& picture) {
  if (surface_ == nullptr || pixel_format_ < kPixelFormatRgb555) return 5;
  const DibInfo& info = picture.GetInfo();
  const int32_t width = std::min(info.width, width_);
  const int32_t height = std::min(info.height, height_);
  if (width < 1 || height < 1) return 0;
  const int32_t strip_pitch = width * 4;
  std::vector<uint8_t> strip(static_cast<size_t>(strip_pitch) * kStripRows);
  plat::LockedSurface locked;
  if (plat::Failed(surface_->Lock(nullptr, locked))) return 4;
  bool copied = true;
  for (int32_t top = 0; copied && top < height; top += kStripRows) {
    const int32_t rows = std::min(kStripRows, height - top);
    const DecodedSource source{info, picture.GetBits().data(), static_cast<int32_t>(picture.GetRowPitch()), 0, top};
    copied = ConvertDibTo32(strip.data(), plat::Rect{0, 0, width, rows}, strip_pitch, source) &&
             WriteArgb32ToSurface(pixel_format_, locked.bits, 0, top, locked.pitch, strip.data(), strip_pitch, width,
                                  rows);
  }
  surface_->Unlock();
  return copied ? 0 : 5;
}

uint32_t CDDrawPicture::FillColor(uint8_t r, uint8_t g, uint8_t b) {
  if (surface_ == nullptr) return 1;
  if (FillSurface(surface_.get(), nullptr, r, g, b, nullptr, 0) != 0) return 2;
  file_name_.reset();
  fill_color_ = static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b;
  return 0;
}

uint32_t CDDrawPicture::ClearColorKey() {
  if (surface_ == nullptr) return 1;
  return RemoveSurfaceKey();
}

uint32_t CDDrawPicture::Restore(bool only_if_lost) {
  if (!SurfaceNeedsRebuild(surface_.get(), only_if_lost)) return 0;
  const KeptKeys keys = KeepKeys();
  const uint32_t fill = fill_color_;
  const bool system_memory = system_memory_ != 0;
  if (file_name_) {
    std::string name;
    try {
      name = *file_name_;
    } catch (const std::bad_alloc&) {
      return 2;
    }
    if (LoadFile(name.c_str(), nullptr, 0, system_memory) != 0) return 1;
  } else {
    if (Create(width_, height_, system_memory, false, nullptr) != 0) return 3;
    if (fill != kNoColorKey && FillColor(fill >> 16 & 0xFF, fill >> 8 & 0xFF, fill & 0xFF) != 0) return 4;
  }
  return ReapplyKeys(keys, 5, 6);
}

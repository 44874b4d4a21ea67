#include "gfx/display/picture_object.h"

#include <algorithm>
#include <new>
#include <string>

#include "gfx/display/picture_source.h"
#include "gfx/display/screen_manager.h"
#include "pixel/formats/pixel_format_codes.h"
#include "resource/pictures/elg_picture.h"
#include "resource/pictures/image_loader_manager.h"

namespace {

constexpr uint32_t kNoDevice = 1;
constexpr uint32_t kNoTextureFormat = 2;
constexpr uint32_t kNotFound = 3;
constexpr uint32_t kUndecodable = 4;
constexpr uint32_t kNoTexture = 5;
constexpr uint32_t kNotLocked = 6;
constexpr uint32_t kNoFullSizeSurface = 7;
constexpr uint32_t kNotCopied = 8;
constexpr uint32_t kNotScaled = 9;
constexpr uint32_t kUnexpected = 10;

// ELG pixels unpacked straight into a locked 32-bit texture; an alpha texture keeps a 32-bit
// picture's alpha and makes every other picture opaque.
bool UnpackIntoTexture(const PictureSource& source, const plat::LockedSurface& locked, bool alpha_texture) {
  const ElgHeader& header = source.header;
  if (header.bit_depth != 8 && header.bit_depth != 24 && header.bit_depth != 32) return false;
  if (!UnpackElgPictureTo32(header, source.data, source.size, locked.bits, locked.pitch, alpha_texture)) return false;
  if (alpha_texture && header.bit_depth != 32) {
    for (int32_t y = 0; y < header.height; ++y) {
      uint8_t* row = locked.bits + static_cast<ptrdiff_t>(y) * locked.pitch;
      for (int32_t x = 0; x < header.width; ++x) row[x * 4 + 3] = 0xFF;
    }
  }
  return true;
}

}  // namespace

CPictureObject::CPictureObject(CScreenManager* device) {
  if (device != nullptr) g_DrawObjectDevice = device;
}

void CPictureObject::Reset() {
  image_width_ = 0;
  image_height_ = 0;
  Release();
}

uint32_t CPictureObject::Load(uint32_t format, const char* file_name, const uint8_t* data, uint32_t size,
                              bool system_memory) {
  Reset();
  uint32_t status = kUnexpected;
  try {
    status = LoadInto(format, file_name, data, size, system_memory);
  } catch (...) {
    status = kUnexpected;
  }
  if (status != 0) Reset();
  return status;
}

uint32_t CPictureObject::LoadInto(uint32_t format, const char* file_name, const uint8_t* data, uint32_t size,
                                  bool system_memory) {
  if (g_DrawObjectDevice == nullptr) return kNoDevice;
  CScreenManager& device = *g_DrawObjectDevice;
  const plat::PixelFormat* texture_format = device.GetTextureFormat(format);
  if (texture_format == nullptr) return kNoTextureFormat;
  if (g_GllHost == nullptr) return kUndecodable;
  CImageLoaderManager& host = *g_GllHost;
  PictureSource source;
  switch (FindPictureSource(host, file_name, data, size, source)) {
    case EPictureSourceResult::kFound:
      break;
    case EPictureSourceResult::kNotFound:
      return kNotFound;
    case EPictureSourceResult::kUndecodable:
      return kUndecodable;
  }
  if (!source.picture) {
    SetUserWord0(static_cast<uint32_t>(source.header.user_value0));
    SetUserWord1(static_cast<uint32_t>(source.header.user_value1));
  }
  const int32_t width = source.Width();
  const int32_t height = source.Height();
  const TextureFit fit = FitTextureSize(device.GetDeviceDescription(), width, height);
  if (Create(fit.width, fit.height, system_memory, true, texture_format) != 0) return kNoTexture;

  const uint32_t texture_code = GetPixelFormatCode();
  const bool straight = !source.picture && !fit.too_large &&
                        (texture_code == kPixelFormatXrgb8888 || texture_code == kPixelFormatArgb8888) &&
                        pitch_ == width * 4;
  if (straight) {
    plat::LockedSurface locked;
    if (plat::Failed(surface_->Lock(nullptr, locked))) return kNotLocked;
    const bool unpacked = UnpackIntoTexture(source, locked, texture_code == kPixelFormatArgb8888);
    surface_->Unlock();
    if (!unpacked) return kUndecodable;
  } else {
    if (!source.picture && !DecodeElgSource(host, source)) return kUndecodable;
    if (fit.too_large) {
      CDDrawPicture full;
      if (full.Create(width, height, system_memory, true, texture_format) != 0) return kNoFullSizeSurface;
      if (full.CopyFromPicture(*source.picture) != 0) return kNotCopied;
      const plat::Rect into{0, 0, std::min(width, fit.width), std::min(height, fit.height)};
      if (plat::Failed(surface_->Blt(&into, full.GetSurface(), nullptr, plat::DDBLT_WAIT, nullptr))) return kNotScaled;
    } else if (CopyFromPicture(*source.picture) != 0) {
      return kNotCopied;
    }
    SetUserWord0(static_cast<uint32_t>(source.picture->GetUserValue0()));
    SetUserWord1(static_cast<uint32_t>(source.picture->GetUserValue1()));
  }
  image_width_ = width;
  image_height_ = height;
  if (file_name != nullptr) KeepFileName(file_name);
  return 0;
}

uint32_t CPictureObject::Restore(bool only_if_lost) {
  if (!SurfaceNeedsRebuild(GetSurface(), only_if_lost)) return 0;
  const KeptKeys keys = KeepKeys();
  const uint32_t format = GetPixelFormatCode();
  const bool system_memory = IsInSystemMemory();
  if (!GetFileName()) {
    Reset();
    return 1;
  }
  std::string name;
  try {
    name = *GetFileName();
  } catch (const std::bad_alloc&) {
    return 2;
  }
  if (Load(format, name.c_str(), nullptr, 0, system_memory) != 0) return 1;
  return ReapplyKeys(keys, 5, 6);
}

// The surfaces of each mode, the present texture, the clipper around dialogs and the test of
// whether the display's stretching blit blends.
#include <bit>

#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "platform/window/screen_presenter.h"

namespace {

constexpr uint32_t kPrimaryFailed = 2;
constexpr uint32_t kBackFailed = 3;
constexpr uint32_t kClipperFailed = 4;
constexpr uint32_t kNoTexture = 6;
constexpr uint32_t kTextureFormatUnusable = 7;

uint32_t BackCaps(bool for_3d) { return for_3d ? plat::DDSCAPS_3DDEVICE : plat::DDSCAPS_OFFSCREENPLAIN; }

uint32_t ReadRawPixel(const uint8_t* pixel, uint32_t bytes) {
  uint32_t value = 0;
  for (uint32_t i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(pixel[i]) << (8 * i);
  return value;
}

}  // namespace

plat::HResult CScreenManager::CreateDisplaySurface(const plat::SurfaceDesc& desc,
                                                   std::shared_ptr<plat::Surface>& out) {
  if (GetDirectDraw() == nullptr) return plat::DDERR_NOTINITIALIZED;
  return GetDirectDraw()->CreateSurface(desc, out);
}

uint32_t CScreenManager::CreatePlainSurface(int32_t width, int32_t height, uint32_t caps,
                                            std::shared_ptr<plat::Surface>& out) {
  plat::SurfaceDesc desc;
  desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
  desc.width = width;
  desc.height = height;
  desc.caps = caps;
  return plat::Failed(CreateDisplaySurface(desc, out)) ? kBackFailed : 0;
}

uint32_t CScreenManager::CreatePrimaryWithClipper(bool with_clipper) {
  plat::SurfaceDesc desc;
  desc.flags = plat::DDSD_CAPS;
  desc.caps = plat::DDSCAPS_PRIMARYSURFACE;
  if (plat::Failed(CreateDisplaySurface(desc, primary_))) return kPrimaryFailed;
  if (with_clipper && clipper_.Create(GetDirectDraw(), primary_.get(), window_) != 0) return kClipperFailed;
  return 0;
}

uint32_t CScreenManager::CreateWindowSurfaces(bool for_3d) {
  if (GetDirectDraw() == nullptr) return kNoDevice;
  ReleaseSurfaces();
  uint32_t status = CreatePlainSurface(ScreenWidth(), ScreenHeight(), BackCaps(for_3d), back_);
  if (status == 0 && !HasNoHardware()) status = CreatePrimaryWithClipper(true);
  return KeepSurfacesIf(status);
}

uint32_t CScreenManager::CreateFullScreenSurfaces(bool for_3d, bool triple) {
  if (GetDirectDraw() == nullptr) return kNoDevice;
  ReleaseSurfaces();
  uint32_t status = 0;
  if (HasNoHardware()) {
    status = CreatePlainSurface(ScreenWidth(), ScreenHeight(), BackCaps(for_3d), back_);
  } else if (frame_image_ == nullptr && scaling_ == 0 && GetCooperativeLevel() == kCooperativeExclusive) {
    plat::SurfaceDesc desc;
    desc.flags = plat::DDSD_CAPS | plat::DDSD_BACKBUFFERCOUNT;
    desc.back_buffer_count = triple ? 2 : 1;
    desc.caps = plat::DDSCAPS_PRIMARYSURFACE | plat::DDSCAPS_FLIP | plat::DDSCAPS_COMPLEX |
                (for_3d ? plat::DDSCAPS_3DDEVICE : 0);
    if (plat::Failed(CreateDisplaySurface(desc, primary_))) {
      status = kPrimaryFailed;
    } else if (plat::Failed(primary_->GetAttachedSurface(plat::DDSCAPS_BACKBUFFER, back_))) {
      status = kBackFailed;
    } else {
      flipping_ = 1;
      triple_buffering_ = triple ? 1 : 0;
    }
  } else {
    const bool scaled_back = for_3d && frame_image_ != nullptr && scaling_ != 0;
    status = CreatePlainSurface(scaled_back ? destination_.right : ScreenWidth(),
                                scaled_back ? destination_.bottom : ScreenHeight(), BackCaps(for_3d), back_);
    if (status == 0) status = CreatePrimaryWithClipper(GetDisplayModeState() == kDisplayModeRestored);
    if (status == 0 && bars_ != 0 && full_screen_scaling_ != 0) {
      FillSurface(primary_.get(), nullptr, 0, 0, 0, &bar1_, 0);
      FillSurface(primary_.get(), nullptr, 0, 0, 0, &bar2_, 0);
    }
  }
  return KeepSurfacesIf(status);
}

uint32_t CScreenManager::KeepSurfacesIf(uint32_t status) {
  if (status != 0) {
    ReleaseSurfaces();
    return status;
  }
  primary_caps_ = primary_ != nullptr ? primary_->Caps() : 0;
  if (primary_ != nullptr) InvalidateFrameImage();
  back_caps_ = back_->Caps();
  return 0;
}

// The scaled frame image is shown through a texture that the display layer's presenter
// stretches into the output, with point or linear sampling.
uint32_t CScreenManager::CreatePresentTexture() {
  if (GetDirectDraw() == nullptr || back_ == nullptr) return kNoDevice;
  ReleasePresentTexture();
  int32_t width = ScreenWidth();
  int32_t height = ScreenHeight();
  if (power_of_two_texture_ != 0) {
    width = static_cast<int32_t>(std::bit_ceil(static_cast<uint32_t>(width)));
    height = static_cast<int32_t>(std::bit_ceil(static_cast<uint32_t>(height)));
  }
  plat::SurfaceDesc desc;
  desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT | plat::DDSD_PIXELFORMAT;
  desc.width = width;
  desc.height = height;
  desc.caps = plat::DDSCAPS_TEXTURE;
  desc.pixel_format = plat::MakePixelFormat(plat::SurfaceFormat::kXrgb8888);
  if (plat::Failed(CreateDisplaySurface(desc, texture_))) {
    desc.flags &= ~plat::DDSD_PIXELFORMAT;
    if (plat::Failed(CreateDisplaySurface(desc, texture_))) return kNoTexture;
  }
  texture_format_ = GetSurfacePixelFormat(texture_.get(), nullptr, nullptr);
  if (texture_format_ < kPixelFormatRgb555) {
    ReleasePresentTexture();
    return kTextureFormatUnusable;
  }
  texture_width_ = width;
  texture_height_ = height;
  const int32_t output_width = full_screen_scaling_ != 0 ? destination_.right : ScreenWidth();
  const int32_t output_height = full_screen_scaling_ != 0 ? destination_.bottom : ScreenHeight();
  for (size_t corner : {1u, 3u}) {
    quad_[corner].x = static_cast<float>(output_width) - 0.5f;
    quad_[corner].u = static_cast<float>(ScreenWidth()) / static_cast<float>(width);
  }
  for (size_t corner : {2u, 3u}) {
    quad_[corner].y = static_cast<float>(output_height) - 0.5f;
    quad_[corner].v = static_cast<float>(ScreenHeight()) / static_cast<float>(height);
  }
  if (plat::ScreenPresenter* presenter = plat::ScreenPresenter::Existing(window_)) {
    presenter->SetLinearScaling(linear_filtering_ != 0);
  }
  return 0;
}

void CScreenManager::ReleasePresentTexture() {
  texture_.reset();
  texture_format_ = 0;
}

void CScreenManager::ReleaseSurfaces() {
  ReleasePresentTexture();
  clipper_.Release();
  gdi_surface_shown_ = 0;
  back_.reset();
  primary_.reset();
  flipping_ = 0;
  triple_buffering_ = 0;
}

uint32_t CScreenManager::ClearBackSurface() {
  if (back_ == nullptr) return 1;
  FillSurface(back_.get(), nullptr, background_[0], background_[1], background_[2], nullptr, 0);
  return 0;
}

uint32_t CScreenManager::AttachClipper() {
  if (GetDirectDraw() == nullptr || HasNoHardware()) return 0;
  if (primary_ == nullptr) return 1;
  clipper_.Create(GetDirectDraw(), primary_.get(), window_);
  GetDirectDraw()->FlipToGDISurface();
  gdi_surface_shown_ = 1;
  return 0;
}

uint32_t CScreenManager::DetachClipper() {
  if (GetDirectDraw() == nullptr || HasNoHardware()) return 0;
  if (primary_ == nullptr) return 1;
  primary_->SetClipper(nullptr);
  clipper_.Release();
  gdi_surface_shown_ = 0;
  return 0;
}

bool CScreenManager::TestStretchBlending() {
  if (stretch_test_ != 0) return stretch_test_ == 2;
  if (GetDirectDraw() == nullptr) return false;
  stretch_test_ = 1;
  std::shared_ptr<plat::Surface> small;
  std::shared_ptr<plat::Surface> large;
  if (CreatePlainSurface(100, 100, plat::DDSCAPS_OFFSCREENPLAIN, small) != 0 ||
      CreatePlainSurface(200, 200, plat::DDSCAPS_OFFSCREENPLAIN, large) != 0) {
    return false;
  }
  PixelFormatInfo info;
  if (GetSurfacePixelFormat(small.get(), &info, nullptr) == 0 || info.bits_per_pixel < 16) return false;
  const uint32_t white = info.red_mask | info.green_mask | info.blue_mask;
  for (int32_t x = 0; x < 100; x += 2) {
    const plat::Rect column{x, 0, x + 2, 100};
    const plat::BltFx fill{(x / 2) % 2 == 0 ? white : 0};
    if (plat::Failed(small->Blt(&column, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &fill))) {
      return false;
    }
  }
  if (plat::Failed(large->Blt(nullptr, small.get(), nullptr, plat::DDBLT_WAIT, nullptr))) return false;
  plat::LockedSurface locked;
  if (plat::Failed(large->Lock(nullptr, locked))) return false;
  const uint32_t bytes = info.bits_per_pixel / 8u;
  const uint8_t* row = locked.bits + static_cast<ptrdiff_t>(locked.pitch) * 100;
  bool blends = false;
  for (uint32_t x = 0; x < 20; ++x) {
    const uint32_t colour = ReadRawPixel(row + x * bytes, bytes) & white;
    if (colour != 0 && colour != white) blends = true;
  }
  large->Unlock();
  if (blends) stretch_test_ = 2;
  return blends;
}

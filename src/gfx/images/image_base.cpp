#include "gfx/images/image_base.h"

#include <algorithm>
#include <new>

#include "base/numbers/script_bound.h"

namespace {

uint8_t* AlignTo8(uint8_t* address) {
  const auto value = reinterpret_cast<uintptr_t>(address);
  return address + ((8 - (value & 7)) & 7);
}

}  // namespace

plat::Palette GreyRampPalette() {
  plat::Palette ramp{};
  for (uint32_t i = 0; i < ramp.size(); ++i) ramp[i] = i * 0x010101u;
  return ramp;
}

CImageBase::~CImageBase() { CImageBase::Free(); }

uint8_t* CImageBase::GetRowPointer(int32_t y) const {
  if (pixels_ == nullptr || static_cast<uint32_t>(y) >= static_cast<uint32_t>(height_)) return nullptr;
  return pixels_ + static_cast<intptr_t>(pitch_) * y;
}

uint32_t CImageBase::SetColorKeyRgb(uint32_t r, uint32_t g, uint32_t b) {
  if (bpp_ == 8) {
    color_key_ = FindPaletteIndex(r, g, b);
  } else {
    color_key_ = ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
  }
  return color_key_ == kNoColorKey ? 1 : 0;
}

uint32_t CImageBase::SetColorKeyFromPixel(int32_t x, int32_t y) {
  color_key_ = GetPixel(x, y);
  return color_key_ == kNoColorKey ? 1 : 0;
}

uint32_t CImageBase::ClearColorKey() {
  color_key_ = kNoColorKey;
  return 0;
}

uint32_t CImageBase::Restore(bool) { return 0; }

bool CImageBase::SetClipRect(const plat::Rect* rect) { return SetClipWithinBounds(rect); }

bool CImageBase::ClipRect(plat::Rect* rect) const { return CutToClip(rect); }

uint32_t CImageBase::Create(int32_t width, int32_t height, uint8_t bpp, bool use_dib) {
  Free();
  if (width < 1 || height < 1 || bpp < 8) return 1;
  if (!PictureWithinBound(width, height) || !ImageWithinLimits(width, height, bpp)) return 2;
  const uint32_t status = use_dib ? CreateDib(width, height, bpp) : CreateHeap(ImageBlockSize(width, height, bpp));
  if (status != 0) return status;
  bpp_ = bpp;
  TakeSize(width, height, static_cast<int32_t>(ImagePitch(width, bpp)));
  return 0;
}

uint32_t CImageBase::CreateDib(int32_t width, int32_t height, uint8_t bpp) {
  plat::BitmapInfo info;
  info.header.width = width;
  info.header.height = -height;
  info.header.bit_count = bpp;
  info.header.compression = plat::BI_RGB;
  if (bpp == 8) info.colours = GreyRampPalette();
  auto section = plat::DibSection::Create(info);
  if (!section) return 2;
  auto dc = plat::DeviceContext::CreateMemory();
  dc->SelectObject(section.get());
  pixels_ = section->Bits();
  dib_ = std::move(section);
  dc_ = std::move(dc);
  return 0;
}

uint32_t CImageBase::CreateHeap(uint64_t block_size) {
  try {
    heap_ = plat::ZeroedBytes(block_size);
  } catch (const std::bad_alloc&) {
    return 2;
  }
  pixels_ = AlignTo8(heap_.data());
  block_size_ = static_cast<uint32_t>(block_size);
  return 0;
}

void CImageBase::TakeSize(int32_t width, int32_t height, int32_t pitch) {
  width_ = width;
  height_ = height;
  pitch_ = pitch;
  GetBounds(&clip_);
}

uint32_t CImageBase::Resize(int32_t width, int32_t height) {
  if (pixels_ == nullptr || width < 1 || height < 1) return 1;
  if (width == width_ && height == height_) return 0;
  if (width > kMaxImageSide || height > kMaxImageSide) return 2;
  const uint8_t bpp = bpp_;
  if (dc_) return Create(width, height, bpp, true);
  if (ImageBlockSize(width, height, bpp) <= block_size_) {
    TakeSize(width, height, static_cast<int32_t>(ImagePitch(width, bpp)));
    return 0;
  }
  return Create(width, height, bpp, false);
}

void CImageBase::Free() {
  dc_.reset();
  dib_.reset();
  heap_ = {};
  pixels_ = nullptr;
  palette_.reset();
  width_ = 0;
  block_size_ = 0;
  color_key_ = kNoColorKey;
}

bool CImageBase::EnsurePalette() {
  if (palette_) return true;
  palette_.reset(new (std::nothrow) plat::Palette(GreyRampPalette()));
  return palette_ != nullptr;
}

void CImageBase::UpdateColourTable() {
  if (dib_ && palette_) dib_->SetColours(0, palette_->data(), 256);
}

uint32_t CImageBase::SetPalette(const uint32_t* colours, uint32_t count, uint32_t first) {
  if (bpp_ != 8) return 1;
  if (!EnsurePalette()) return 2;
  if (colours == nullptr) {
    *palette_ = GreyRampPalette();
  } else if (first < 256) {
    const uint32_t last = first + std::min(count, 256 - first);
    std::copy(colours + first, colours + last, palette_->begin() + first);
  }
  UpdateColourTable();
  return 0;
}

bool CImageBase::SetPaletteEntry(uint32_t index, uint32_t colour, bool update) {
  if (!palette_) return false;
  uint32_t& entry = (*palette_)[index & 0xFF];
  if (entry == colour) return true;
  entry = colour;
  if (update) UpdateColourTable();
  return true;
}

bool CImageBase::FillPalette(uint32_t colour, bool update) {
  if (!palette_) return false;
  palette_->fill(colour);
  if (update) UpdateColourTable();
  return true;
}

uint32_t CImageBase::GetPixel(int32_t x, int32_t y) const {
  if (pixels_ == nullptr || x < 0 || x >= width_ || y < 0 || y >= height_) return kNoColorKey;
  const uint8_t* row = GetRowPointer(y);
  if (bpp_ == 8) return row[x];
  if (bpp_ == 32) return reinterpret_cast<const uint32_t*>(row)[x];
  return kNoColorKey;
}

uint32_t CImageBase::FindPaletteIndex(uint32_t r, uint32_t g, uint32_t b) const {
  if (!palette_) return kNoColorKey;
  const uint32_t wanted = ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
  for (uint32_t i = 0; i < palette_->size(); ++i) {
    if (((*palette_)[i] & 0x00FFFFFF) == wanted) return i;
  }
  return kNoColorKey;
}

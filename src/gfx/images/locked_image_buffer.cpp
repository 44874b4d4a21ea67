#include "gfx/images/locked_image_buffer.h"

#include <new>

#include "gfx/images/image_base.h"

namespace {

int64_t LockedPitch(int32_t width, uint8_t depth) { return (int64_t{depth / 8} * width + 3) & ~int64_t{3}; }

}  // namespace

uint8_t* CLockedImageBuffer::GetRowPointer(int32_t y) const {
  if (!pixels_ || static_cast<uint32_t>(y) >= static_cast<uint32_t>(height_)) return nullptr;
  return pixels_.get() + static_cast<intptr_t>(pitch_) * y;
}

uint32_t CLockedImageBuffer::Create(int32_t width, int32_t height, uint8_t depth) {
  Release();
  if (width < 1 || height < 1 || depth < 8) return 1;
  const int64_t pitch = LockedPitch(width, depth);
  const uint64_t block = static_cast<uint64_t>(pitch) * static_cast<uint64_t>(height);
  if (width > kMaxImageSide || height > kMaxImageSide || block > kMaxImageBytes) return 2;
  pixels_.reset(new (std::nothrow) uint8_t[block]());
  if (!pixels_) return 2;
  width_ = width;
  height_ = height;
  pitch_ = static_cast<int32_t>(pitch);
  bpp_ = depth;
  block_size_ = static_cast<uint32_t>(block);
  SetClipWithinBounds(nullptr);
  return 0;
}

uint32_t CLockedImageBuffer::Resize(int32_t width, int32_t height) {
  if (!pixels_ || width < 1 || height < 1) return 1;
  const int64_t pitch = LockedPitch(width, bpp_);
  if (width > kMaxImageSide || height > kMaxImageSide) return 2;
  if (static_cast<uint64_t>(pitch) * static_cast<uint64_t>(height) > block_size_) return Create(width, height, bpp_);
  width_ = width;
  height_ = height;
  pitch_ = static_cast<int32_t>(pitch);
  SetClipWithinBounds(nullptr);
  return 0;
}

void CLockedImageBuffer::Release() {
  pixels_.reset();
  color_key_ = kNoColorKey;
  width_ = 0;
  block_size_ = 0;
}

uint32_t CLockedImageBuffer::GetPixel(int32_t x, int32_t y) const {
  if (!pixels_ || x < 0 || x >= width_ || y < 0 || y >= height_) return kNoColorKey;
  const uint8_t* pixel = GetRowPointer(y) + static_cast<intptr_t>(x) * (bpp_ / 8);
  switch (bpp_) {
    case 8:
      return pixel[0];
    case 16:
      return static_cast<uint32_t>(pixel[0] | (pixel[1] << 8));
    case 32:
      return static_cast<uint32_t>(pixel[0] | (pixel[1] << 8) | (pixel[2] << 16)) | (uint32_t{pixel[3]} << 24);
    default:
      return kNoColorKey;
  }
}

uint32_t CLockedImageBuffer::SetColorKeyRgb(uint32_t r, uint32_t g, uint32_t b) {
  r &= 0xFF;
  g &= 0xFF;
  b &= 0xFF;
  if (bpp_ == 8) {
    color_key_ = r;
  } else if (bpp_ == 16) {
    color_key_ = ((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3);
  } else if (bpp_ == 32) {
    color_key_ = (r << 16) | (g << 8) | b;
  }
  return color_key_ == kNoColorKey ? 1 : 0;
}

uint32_t CLockedImageBuffer::SetColorKeyFromPixel(int32_t x, int32_t y) {
  color_key_ = GetPixel(x, y);
  return color_key_ == kNoColorKey ? 1 : 0;
}

uint32_t CLockedImageBuffer::ClearColorKey() {
  color_key_ = kNoColorKey;
  return 0;
}

// An image in one fixed memory block, with a lock that its users take around their access (the
// buffer's own operations do not take it). Rows run top-down, each padded to 4 bytes.
#pragma once

#include <cstdint>
#include <memory>

#include "base/threads/critical_section.h"
#include "gfx/images/image_interface.h"

class CLockedImageBuffer : public CImageInterface {
 public:
  CLockedImageBuffer() = default;

  ESurfaceKind GetKind() const override { return ESurfaceKind::kLockedImageBuffer; }
  uint8_t* GetPixels() const override { return pixels_.get(); }
  uint8_t* GetRowPointer(int32_t y) const override;
  // 8 bits: the key is r (a palette index); 16 bits: RGB565; 32 bits: 0x00RRGGBB; another depth
  // keeps the key. 1 when the key is none.
  uint32_t SetColorKeyRgb(uint32_t r, uint32_t g, uint32_t b) override;
  uint32_t SetColorKeyFromPixel(int32_t x, int32_t y) override;
  uint32_t ClearColorKey() override;
  uint32_t Restore(bool) override { return 0; }
  bool SetClipRect(const plat::Rect* rect) override { return SetClipWithinBounds(rect); }
  bool ClipRect(plat::Rect* rect) const override { return CutToClip(rect); }

  // 0; 1 for a side below 1 or a depth below 8; 2 without memory or for a block too large.
  uint32_t Create(int32_t width, int32_t height, uint8_t depth);
  // 0; 1 without pixels or for a side below 1; 2 without memory. The block stays when the new
  // size fits it.
  uint32_t Resize(int32_t width, int32_t height);
  void Release();
  // The pixel at 8, 16 or 32 bits; kNoColorKey outside or at another depth.
  uint32_t GetPixel(int32_t x, int32_t y) const;

  uint8_t GetBitsPerPixel() const { return bpp_; }
  uint32_t GetBlockSize() const { return block_size_; }
  CCriticalSection& GetLock() { return lock_; }

 private:
  std::unique_ptr<uint8_t[]> pixels_;
  uint8_t bpp_ = 0;
  uint32_t block_size_ = 0;
  CCriticalSection lock_;
};

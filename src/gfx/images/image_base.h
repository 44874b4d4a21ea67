// A pixel buffer of any depth of 8 bits or more, held in a DIB section selected into a memory
// device context (so that GDI can draw into it) or in plain heap memory, with an optional
// 256-entry palette. Rows run top-down; each row is padded to a multiple of 4 bytes.
#pragma once

#include <cstdint>
#include <memory>

#include "gfx/images/image_interface.h"
#include "pixel/formats/image_limits.h"
#include "platform/system/zeroed_pages.h"
#include "platform/window/gdi.h"
#include "platform/window/pixel_format.h"

class CImageBase : public CImageInterface {
 public:
  CImageBase() = default;
  ~CImageBase() override;

  ESurfaceKind GetKind() const override { return ESurfaceKind::kImage; }
  uint8_t* GetPixels() const override { return pixels_; }
  // Whether the image has pixels, without handing them out.
  bool HasPixels() const { return pixels_ != nullptr; }
  uint8_t* GetRowPointer(int32_t y) const override;
  uint32_t SetColorKeyRgb(uint32_t r, uint32_t g, uint32_t b) override;
  uint32_t SetColorKeyFromPixel(int32_t x, int32_t y) override;
  uint32_t ClearColorKey() override;
  // Takes a key value as another image holds it (kNoColorKey: none).
  void SetColorKeyValue(uint32_t key) { color_key_ = key; }
  // A software image has nothing to restore.
  uint32_t Restore(bool only_if_lost) override;
  bool SetClipRect(const plat::Rect* rect) override;
  bool ClipRect(plat::Rect* rect) const override;
  // 0; 1 without pixels or for a side below 1; 2 when the new buffer cannot be had. A heap image
  // whose new size fits its block keeps the block and its bytes; any other image is made anew.
  virtual uint32_t Resize(int32_t width, int32_t height);

  // 0; 1 for a side below 1 or a depth below 8; 2 when the buffer cannot be had or the image
  // would be too large. The old buffer goes first, so a failed Create leaves an empty image.
  uint32_t Create(int32_t width, int32_t height, uint8_t bpp, bool use_dib);
  virtual void Free();

  // 0; 1 unless the depth is 8; 2 when the palette cannot be had. With colours, entries first
  // to first + count - 1 (never past 255) are taken from the same places of the given palette;
  // without, the whole palette becomes the grey ramp.
  uint32_t SetPalette(const uint32_t* colours, uint32_t count, uint32_t first);
  // True when the entry was set or already held the colour; false without a palette.
  bool SetPaletteEntry(uint32_t index, uint32_t colour, bool update);
  bool FillPalette(uint32_t colour, bool update);
  // The palette index (8 bits) or the pixel value (32 bits); kNoColorKey outside the image,
  // without pixels or at another depth.
  uint32_t GetPixel(int32_t x, int32_t y) const;
  // The first entry with this red, green and blue; kNoColorKey when none or without palette.
  uint32_t FindPaletteIndex(uint32_t r, uint32_t g, uint32_t b) const;

  uint8_t GetBitsPerPixel() const { return bpp_; }
  // The palette's 256 entries, or null while the image has none.
  const uint32_t* GetPalette() const { return palette_ ? palette_->data() : nullptr; }
  // The memory device context of a DIB image, null for a heap image.
  plat::DeviceContext* GetDC() const { return dc_.get(); }
  uint32_t GetBlockSize() const { return block_size_; }

 protected:
  // Allocates the palette as the grey ramp when there is none; false without memory.
  bool EnsurePalette();
  // Hands the palette to the DIB section's colour table.
  void UpdateColourTable();
  // The palette to change in place, or null while the image has none.
  plat::Palette* MutablePalette() { return palette_.get(); }

 private:
  uint32_t CreateDib(int32_t width, int32_t height, uint8_t bpp);
  uint32_t CreateHeap(uint64_t block_size);
  void TakeSize(int32_t width, int32_t height, int32_t pitch);

  std::unique_ptr<plat::DeviceContext> dc_;
  std::unique_ptr<plat::DibSection> dib_;
  plat::ZeroedBytes heap_;
  uint8_t* pixels_ = nullptr;
  uint8_t bpp_ = 0;
  std::unique_ptr<plat::Palette> palette_;
  uint32_t block_size_ = 0;
};

// The grey ramp: entry i = i × 0x010101.
plat::Palette GreyRampPalette();

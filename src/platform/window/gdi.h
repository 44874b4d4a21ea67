// A small GDI: device contexts over device-independent bitmaps, surfaces and the window, and
// the copies between them with the conversions GDI makes (an 8-bit source goes through its
// colour table, and 32-bit destinations get alpha 0 from sources without alpha).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/events/window_messages.h"
#include "platform/system/zeroed_pages.h"
#include "platform/window/pixel_format.h"

namespace plat {

inline constexpr uint32_t SRCCOPY = 0x00CC0020;
inline constexpr uint32_t BI_RGB = 0;
inline constexpr uint32_t BI_BITFIELDS = 3;

// GetDeviceCaps indices.
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int VREFRESH = 116;

struct BitmapInfoHeader {
  int32_t width = 0;
  int32_t height = 0;  // positive: bottom-up rows; negative: top-down
  uint16_t bit_count = 0;
  uint32_t compression = BI_RGB;
};

struct BitmapInfo {
  BitmapInfoHeader header;
  std::array<uint32_t, 3> masks{};  // red, green, blue with BI_BITFIELDS
  Palette colours{};                // the colour table of an 8-bit bitmap
};

// A device-independent bitmap whose bits the program reads and writes directly.
class DibSection {
 public:
  // Null when the header asks for a size or depth that cannot be made (8, 16, 24 or 32 bits) or
  // memory cannot hold it. The bits start zero.
  static std::unique_ptr<DibSection> Create(const BitmapInfo& info);

  // The bits as they lie in memory: the bottom row first for a bottom-up bitmap.
  uint8_t* Bits() { return bits_.data(); }
  int32_t Stride() const { return stride_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool IsBottomUp() const { return bottom_up_; }
  // The pixels with row 0 at the top of the picture.
  PixelView View();
  const Palette& Colours() const { return colours_; }
  // Replaces entries first .. first + count - 1 of the colour table (clipped to 256); the count set.
  uint32_t SetColours(uint32_t first, const uint32_t* entries, uint32_t count);

 private:
  DibSection() = default;

  ZeroedBytes bits_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t stride_ = 0;
  bool bottom_up_ = false;
  PixelFormat format_;
  Palette colours_{};
};

class DeviceContext {
 public:
  // A memory device context: draws into the bitmap selected into it.
  static std::unique_ptr<DeviceContext> CreateMemory();
  // A context over pixels that someone else owns. `on_write` hears of every rectangle drawn;
  // `keep_alive` holds the owner of the pixels while the context lives.
  DeviceContext(const PixelView& view, std::function<void(const Rect&)> on_write, std::shared_ptr<void> keep_alive);
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;

  // Selects a bitmap into a memory context; gives the one selected before (or null).
  DibSection* SelectObject(DibSection* section);
  const PixelView& View() const { return view_; }
  int32_t GetDeviceCaps(int index) const;
  void NoteWritten(const Rect& rect);

 private:
  DeviceContext() = default;

  PixelView view_;
  DibSection* selected_ = nullptr;
  std::function<void(const Rect&)> on_write_;
  std::shared_ptr<void> keep_alive_;
};

// SRCCOPY only; false for any other operation or when a context has no pixels.
bool BitBlt(DeviceContext& dst, int32_t x, int32_t y, int32_t width, int32_t height, DeviceContext& src, int32_t src_x,
            int32_t src_y, uint32_t rop);
// SRCCOPY with nearest-pixel scaling; sizes must be positive.
bool StretchBlt(DeviceContext& dst, int32_t x, int32_t y, int32_t width, int32_t height, DeviceContext& src,
                int32_t src_x, int32_t src_y, int32_t src_width, int32_t src_height, uint32_t rop);

// The window's device context: it draws into what the window shows. Null when the window has
// no presenter or is being destroyed. Every context taken must be given back with ReleaseDC,
// which shows what was drawn; the window's destruction waits for the contexts out.
DeviceContext* GetDC(WindowId window);
int ReleaseDC(WindowId window, DeviceContext* dc);
// What a WM_PAINT handler paints with: the window's device context and the rectangle to paint,
// the whole client area (the layer keeps no smaller invalid region).
struct PaintStruct {
  DeviceContext* dc = nullptr;
  Rect paint{};
};
// The window's device context for painting; null (and an empty rectangle) when the window has
// no presenter. EndPaint gives it back, which shows what was painted.
DeviceContext* BeginPaint(WindowId window, PaintStruct& paint);
void EndPaint(WindowId window, const PaintStruct& paint);

// Shows everything drawn into the windows so far.
bool GdiFlush();

}  // namespace plat

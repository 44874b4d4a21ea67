#include "platform/window/gdi.h"

#include <algorithm>
#include <new>
#include <utility>

#include "platform/window/screen_presenter.h"

namespace plat {
namespace {

constexpr int32_t kLargestSide = 32768;

PixelFormat DibFormat(const BitmapInfo& info) {
  switch (info.header.bit_count) {
    case 8:
      return MakePixelFormat(SurfaceFormat::kPal8);
    case 16:
      if (info.header.compression == BI_BITFIELDS) {
        return PixelFormat{DDPF_RGB, 16, info.masks[0], info.masks[1], info.masks[2], 0};
      }
      return MakePixelFormat(SurfaceFormat::kRgb555);
    case 24:
      return MakePixelFormat(SurfaceFormat::kRgb888);
    default:
      return MakePixelFormat(SurfaceFormat::kXrgb8888);
  }
}

ConvertOptions GdiConversion() {
  ConvertOptions options;
  options.missing_alpha = 0;
  options.map_indices_through_colours = true;
  return options;
}

}  // namespace

std::unique_ptr<DibSection> DibSection::Create(const BitmapInfo& info) {
  const BitmapInfoHeader& header = info.header;
  const uint16_t bits = header.bit_count;
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return nullptr;
  if (header.compression != BI_RGB && !(header.compression == BI_BITFIELDS && (bits == 16 || bits == 32))) {
    return nullptr;
  }
  if (header.width < 1 || header.width > kLargestSide || header.height == 0 || header.height < -kLargestSide ||
      header.height > kLargestSide) {
    return nullptr;
  }
  std::unique_ptr<DibSection> section(new DibSection());
  section->width_ = header.width;
  section->height_ = header.height < 0 ? -header.height : header.height;
  section->bottom_up_ = header.height > 0;
  section->stride_ = ((header.width * bits + 31) / 32) * 4;
  section->format_ = DibFormat(info);
  section->colours_ = info.colours;
  try {
    section->bits_ = ZeroedBytes(static_cast<size_t>(section->stride_) * static_cast<size_t>(section->height_));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return section;
}

PixelView DibSection::View() {
  PixelView view;
  view.width = width_;
  view.height = height_;
  view.format = format_;
  view.palette = &colours_;
  if (bottom_up_) {
    view.bits = bits_.data() + static_cast<size_t>(stride_) * static_cast<size_t>(height_ - 1);
    view.pitch = -stride_;
  } else {
    view.bits = bits_.data();
    view.pitch = stride_;
  }
  return view;
}

uint32_t DibSection::SetColours(uint32_t first, const uint32_t* entries, uint32_t count) {
  if (first >= 256 || entries == nullptr) return 0;
  const uint32_t set = std::min(count, 256 - first);
  std::copy(entries, entries + set, colours_.begin() + first);
  return set;
}

std::unique_ptr<DeviceContext> DeviceContext::CreateMemory() { return std::unique_ptr<DeviceContext>(new DeviceContext()); }

DeviceContext::DeviceContext(const PixelView& view, std::function<void(const Rect&)> on_write,
                             std::shared_ptr<void> keep_alive)
    : view_(view), on_write_(std::move(on_write)), keep_alive_(std::move(keep_alive)) {}

DibSection* DeviceContext::SelectObject(DibSection* section) {
  DibSection* previous = selected_;
  selected_ = section;
  view_ = section != nullptr ? section->View() : PixelView{};
  return previous;
}

int32_t DeviceContext::GetDeviceCaps(int index) const {
  switch (index) {
    case HORZRES:
      return view_.width;
    case VERTRES:
      return view_.height;
    case BITSPIXEL:
      return static_cast<int32_t>(view_.format.bit_count);
    default:
      return 0;
  }
}

void DeviceContext::NoteWritten(const Rect& rect) {
  if (on_write_) on_write_(rect);
}

bool StretchBlt(DeviceContext& dst, int32_t x, int32_t y, int32_t width, int32_t height, DeviceContext& src,
                int32_t src_x, int32_t src_y, int32_t src_width, int32_t src_height, uint32_t rop) {
  if (rop != SRCCOPY || dst.View().Empty() || src.View().Empty()) return false;
  if (width < 1 || height < 1 || src_width < 1 || src_height < 1) return false;
  const Rect target{x, y, x + width, y + height};
  const Rect source{src_x, src_y, src_x + src_width, src_y + src_height};
  CopyPixels(dst.View(), target, src.View(), source, GdiConversion());
  Rect written = target;
  if (ClampRect(written, dst.View().Bounds())) dst.NoteWritten(written);
  return true;
}

bool BitBlt(DeviceContext& dst, int32_t x, int32_t y, int32_t width, int32_t height, DeviceContext& src, int32_t src_x,
            int32_t src_y, uint32_t rop) {
  return StretchBlt(dst, x, y, width, height, src, src_x, src_y, width, height, rop);
}

DeviceContext* GetDC(WindowId window) { return ScreenPresenter::AcquireDc(window); }

int ReleaseDC(WindowId window, DeviceContext* dc) { return ScreenPresenter::ReleaseDc(window, dc) ? 1 : 0; }

DeviceContext* BeginPaint(WindowId window, PaintStruct& paint) {
  paint.dc = GetDC(window);
  paint.paint = paint.dc != nullptr ? paint.dc->View().Bounds() : Rect{};
  return paint.dc;
}

void EndPaint(WindowId window, const PaintStruct& paint) {
  if (paint.dc != nullptr) ReleaseDC(window, paint.dc);
}

bool GdiFlush() {
  ScreenPresenter::PresentAll();
  return true;
}

}  // namespace plat

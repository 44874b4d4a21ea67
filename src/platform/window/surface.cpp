#include "platform/window/surface.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <utility>

#include "platform/window/screen_presenter.h"

namespace plat {
namespace {

int32_t PitchFor(int32_t width, const PixelFormat& format) {
  return static_cast<int32_t>((static_cast<uint32_t>(width) * BytesPerPixel(format) + 3) & ~3u);
}

// The options of a copy from the source, with its source key when the blit asks for it.
ConvertOptions SourceOptions(bool use_key, bool has_key, const ColorKey& key) {
  ConvertOptions options;
  if (use_key && has_key) {
    options.use_key = true;
    options.key_low = key.low;
    options.key_high = key.high;
  }
  return options;
}

// Stamps count up from 1 across all surfaces, so that no two writes anywhere share one.
std::atomic<uint64_t> g_last_surface_write_stamp{0};

uint32_t RawMask(const PixelFormat& format) {
  return format.bit_count >= 32 ? 0xFFFFFFFFu : (1u << format.bit_count) - 1;
}

}  // namespace

HResult Clipper::SetHWnd(WindowId window) {
  window_ = window;
  return DD_OK;
}

std::shared_ptr<Surface> Surface::Make(int32_t width, int32_t height, const PixelFormat& format, uint32_t caps,
                                       Point display_origin, bool follows_window) {
  try {
    return std::shared_ptr<Surface>(new Surface(width, height, format, caps, display_origin, follows_window));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

Surface::Surface(int32_t width, int32_t height, const PixelFormat& format, uint32_t caps, Point display_origin,
                 bool follows_window)
    : width_(width),
      height_(height),
      pitch_(PitchFor(width, format)),
      format_(format),
      caps_(caps),
      display_origin_(display_origin),
      follows_window_(follows_window),
      pixels_(static_cast<size_t>(pitch_) * static_cast<size_t>(height), 0) {
  TakeNewWriteStamp();
}

Surface::~Surface() {
  if (presenter_ != nullptr) presenter_->UnbindPrimary(*this);
}

HResult Surface::GetSurfaceDesc(SurfaceDesc& out) const {
  out = SurfaceDesc{};
  out.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  out.width = width_;
  out.height = height_;
  out.pitch = pitch_;
  out.caps = caps_;
  out.pixel_format = format_;
  if (!back_buffers_.empty()) {
    out.flags |= DDSD_BACKBUFFERCOUNT;
    out.back_buffer_count = static_cast<uint32_t>(back_buffers_.size());
  }
  return DD_OK;
}

HResult Surface::GetPixelFormat(PixelFormat& out) const {
  out = format_;
  return DD_OK;
}

HResult Surface::GetCaps(uint32_t& caps) const {
  caps = caps_;
  return DD_OK;
}

PixelView Surface::View() {
  PixelView view;
  view.bits = pixels_.data();
  view.pitch = pitch_;
  view.width = width_;
  view.height = height_;
  view.format = format_;
  view.palette = &palette_;
  return view;
}

HResult Surface::CheckUsable() const {
  if (lost_) return DDERR_SURFACELOST;
  if (busy_ || locked_ || dc_ != nullptr) return DDERR_SURFACEBUSY;
  return DD_OK;
}

HResult Surface::Lock(const Rect* rect, LockedSurface& out) {
  if (const HResult usable = CheckUsable(); Failed(usable)) return usable;
  if (refuses_locks_) return DDERR_SURFACEBUSY;
  const Rect area = rect != nullptr ? *rect : Rect{0, 0, width_, height_};
  if (RectIsEmpty(area) || !RectContains(Rect{0, 0, width_, height_}, area)) return DDERR_INVALIDRECT;
  const PixelView view = View();
  out.bits = view.At(area.left, area.top);
  out.pitch = pitch_;
  out.width = area.Width();
  out.height = area.Height();
  out.format = format_;
  locked_ = true;
  locked_rect_ = area;
  return DD_OK;
}

HResult Surface::Unlock() { return Unlock(locked_rect_); }

HResult Surface::Unlock(const Rect& written) {
  if (!locked_) return DDERR_NOTLOCKED;
  locked_ = false;
  Rect changed = written;
  if (ClampRect(changed, locked_rect_)) NoteWritten(changed);
  ShowWritten();
  return DD_OK;
}

HResult Surface::PlaceDestination(const Rect* requested, Rect& placed, Rect& visible) const {
  const Rect bounds{0, 0, width_, height_};
  placed = requested != nullptr ? *requested : bounds;
  if (RectIsEmpty(placed)) return DDERR_INVALIDRECT;
  const WindowId window = clipper_ != nullptr ? clipper_->GetHWnd() : 0;
  if (IsPrimary() && window != 0) {
    // Desktop coordinates of the display become coordinates of the window's client area.
    const std::optional<Point> origin = WindowClientOrigin(window);
    if (!origin) return DDERR_INVALIDRECT;
    const int32_t dx = display_origin_.x - origin->x;
    const int32_t dy = display_origin_.y - origin->y;
    placed = Rect{placed.left + dx, placed.top + dy, placed.right + dx, placed.bottom + dy};
    visible = placed;
    ClampRect(visible, bounds);
    return DD_OK;
  }
  if (!RectContains(bounds, placed)) return DDERR_INVALIDRECT;
  visible = placed;
  return DD_OK;
}

HResult Surface::Blt(const Rect* dst, Surface* src, const Rect* src_rect, uint32_t flags, const BltFx* fx) {
  if (const HResult usable = CheckUsable(); Failed(usable)) return usable;
  Rect placed;
  Rect visible;
  if (const HResult place = PlaceDestination(dst, placed, visible); Failed(place)) return place;
  if ((flags & DDBLT_COLORFILL) != 0) {
    if (fx == nullptr) return DDERR_INVALIDPARAMS;
    if (!RectIsEmpty(visible)) FillPixels(View(), visible, fx->fill_color & RawMask(format_));
  } else {
    if (src == nullptr) return DDERR_INVALIDPARAMS;
    if (src != this) {
      if (const HResult usable = src->CheckUsable(); Failed(usable)) return usable;
    }
    Rect source;
    if (!src->SourceRect(src_rect, source)) return DDERR_INVALIDRECT;
    const ConvertOptions options = SourceOptions((flags & DDBLT_KEYSRC) != 0, src->has_source_key_, src->source_key_);
    if (!RectIsEmpty(visible)) CopyPixels(View(), placed, src->View(), source, options);
  }
  if (!RectIsEmpty(visible)) NoteWritten(visible);
  ShowWritten();
  return DD_OK;
}

HResult Surface::BltFast(int32_t x, int32_t y, Surface* src, const Rect* src_rect, uint32_t flags) {
  if (src == nullptr) return DDERR_INVALIDPARAMS;
  if (const HResult usable = CheckUsable(); Failed(usable)) return usable;
  if (src != this) {
    if (const HResult usable = src->CheckUsable(); Failed(usable)) return usable;
  }
  if (clipper_ != nullptr) return DDERR_BLTFASTCANTCLIP;
  Rect source;
  if (!src->SourceRect(src_rect, source)) return DDERR_INVALIDRECT;
  const Rect target{x, y, x + source.Width(), y + source.Height()};
  if (!RectContains(Rect{0, 0, width_, height_}, target)) return DDERR_INVALIDRECT;
  const ConvertOptions options =
      SourceOptions((flags & DDBLTFAST_SRCCOLORKEY) != 0, src->has_source_key_, src->source_key_);
  CopyPixels(View(), target, src->View(), source, options);
  NoteWritten(target);
  ShowWritten();
  return DD_OK;
}

bool Surface::SourceRect(const Rect* requested, Rect& out) const {
  out = requested != nullptr ? *requested : Rect{0, 0, width_, height_};
  return !RectIsEmpty(out) && RectContains(Rect{0, 0, width_, height_}, out);
}

HResult Surface::SetColorKey(uint32_t kind, const ColorKey* key) {
  if (lost_) return DDERR_SURFACELOST;
  if (kind != DDCKEY_SRCBLT) return DDERR_INVALIDPARAMS;
  has_source_key_ = key != nullptr;
  if (key != nullptr) source_key_ = ColorKey{std::min(key->low, key->high), std::max(key->low, key->high)};
  return DD_OK;
}

HResult Surface::GetColorKey(uint32_t kind, ColorKey& out) const {
  if (kind != DDCKEY_SRCBLT) return DDERR_INVALIDPARAMS;
  if (!has_source_key_) return DDERR_NOCOLORKEY;
  out = source_key_;
  return DD_OK;
}

HResult Surface::SetPalette(const Palette& palette) {
  if (format_.bit_count != 8) return DDERR_INVALIDPIXELFORMAT;
  palette_ = palette;
  has_palette_ = true;
  TakeNewWriteStamp();
  return DD_OK;
}

void Surface::AttachBackBuffer(std::shared_ptr<Surface> back) { back_buffers_.push_back(std::move(back)); }

HResult Surface::Flip(Surface* /*target*/, uint32_t /*flags*/) {
  if (back_buffers_.empty()) return DDERR_NOTFLIPPABLE;
  if (const HResult usable = CheckUsable(); Failed(usable)) return usable;
  for (const std::shared_ptr<Surface>& back : back_buffers_) {
    if (const HResult usable = back->CheckUsable(); Failed(usable)) return usable;
  }
  // The front shows the first back buffer's pixels; each back buffer takes the next one's,
  // and the last takes what the front showed.
  for (auto back = back_buffers_.rbegin(); back != back_buffers_.rend(); ++back) {
    pixels_.swap((*back)->pixels_);
    (*back)->TakeNewWriteStamp();
  }
  NoteWritten(Rect{0, 0, width_, height_});
  ShowWritten();
  return DD_OK;
}

HResult Surface::GetAttachedSurface(uint32_t caps, std::shared_ptr<Surface>& out) {
  for (const std::shared_ptr<Surface>& back : back_buffers_) {
    if ((back->caps_ & caps) == caps) {
      out = back;
      return DD_OK;
    }
  }
  return DDERR_NOTFOUND;
}

HResult Surface::GetDC(DeviceContext*& out) {
  out = nullptr;
  if (const HResult usable = CheckUsable(); Failed(usable)) return usable;
  dc_ = std::make_unique<DeviceContext>(View(), [this](const Rect& rect) { NoteWritten(rect); }, nullptr);
  out = dc_.get();
  return DD_OK;
}

HResult Surface::ReleaseDC(DeviceContext* dc) {
  if (dc == nullptr || dc != dc_.get()) return DDERR_NODC;
  dc_.reset();
  ShowWritten();
  return DD_OK;
}

HResult Surface::SetClipper(std::shared_ptr<Clipper> clipper) {
  clipper_ = std::move(clipper);
  if (IsPrimary() && clipper_ != nullptr && clipper_->GetHWnd() != 0) {
    if (ScreenPresenter* presenter = ScreenPresenter::ForWindow(clipper_->GetHWnd())) {
      presenter->BindPrimary(*this);
    }
  }
  return DD_OK;
}

HResult Surface::IsLost() const { return lost_ ? DDERR_SURFACELOST : DD_OK; }

HResult Surface::Restore() {
  for (const std::shared_ptr<Surface>& back : back_buffers_) back->Restore();
  if (!lost_) return DD_OK;
  std::fill(pixels_.begin(), pixels_.end(), uint8_t{0});
  lost_ = false;
  TakeNewWriteStamp();
  return DD_OK;
}

void Surface::SimulateLoss() {
  lost_ = true;
  for (const std::shared_ptr<Surface>& back : back_buffers_) back->SimulateLoss();
}

void Surface::SimulateBusy(bool busy) { busy_ = busy; }

void Surface::SimulateLockRefusal(bool refuse) { refuses_locks_ = refuse; }

void Surface::ResizeToWindow(int32_t width, int32_t height) {
  if (width < 1 || height < 1 || (width == width_ && height == height_)) return;
  std::vector<uint8_t> resized(static_cast<size_t>(PitchFor(width, format_)) * static_cast<size_t>(height), 0);
  pixels_.swap(resized);
  width_ = width;
  height_ = height;
  pitch_ = PitchFor(width, format_);
  TakeNewWriteStamp();
}

void Surface::NoteWritten(const Rect& rect) {
  RenewWriteStamp();
  {
    std::lock_guard guard(changed_lock_);
    changed_area_ = RectUnion(changed_area_, rect);
  }
  if (presenter_ != nullptr) presenter_->MarkDirty(rect);
}

void Surface::TakeNewWriteStamp() {
  RenewWriteStamp();
  std::lock_guard guard(changed_lock_);
  changed_area_ = Rect{0, 0, width_, height_};
}

void Surface::RenewWriteStamp() {
  write_stamp_.store(g_last_surface_write_stamp.fetch_add(1, std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}

Rect Surface::TakeChangedArea() {
  std::lock_guard guard(changed_lock_);
  return std::exchange(changed_area_, Rect{});
}

void Surface::ShowWritten() {
  if (presenter_ != nullptr) presenter_->Present();
}

}  // namespace plat

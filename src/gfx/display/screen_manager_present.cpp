// The screen manager's present path: the frame image's changes (or the back surface) reach the
// window each frame, lost surfaces come back, and exposed parts of the window are repainted.
#include <algorithm>
#include <string>

#include "base/threads/lock_guard.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"

#include "platform/system/diagnostic_log.h"
#include "platform/window/display_device.h"
#include "platform/window/screen_presenter.h"

namespace {

bool IsLossOrBusy(plat::HResult result) {
  return result == plat::DDERR_SURFACELOST || result == plat::DDERR_SURFACEBUSY;
}

plat::Rect SizeRect(int32_t width, int32_t height) { return plat::Rect{0, 0, width, height}; }

bool SameSize(const plat::Rect& a, const plat::Rect& b) { return a.Width() == b.Width() && a.Height() == b.Height(); }

// The part of `changed` within `source` and where it lands in `destination` (of the same size);
// false when nothing of it lies within.
bool PlaceChangedPart(const plat::Rect& changed, const plat::Rect& source, const plat::Rect& destination,
                      plat::Rect& from, plat::Rect& to) {
  from = changed;
  if (!plat::ClampRect(from, source)) return false;
  const int32_t dx = destination.left - source.left;
  const int32_t dy = destination.top - source.top;
  to = plat::Rect{from.left + dx, from.top + dy, from.right + dx, from.bottom + dy};
  return true;
}

}  // namespace

plat::Surface* CScreenManager::FrameTarget(uint32_t& format) const {
  if (texture_ != nullptr) {
    format = texture_format_;
    return texture_.get();
  }
  format = back_format_;
  return back_.get();
}

bool CScreenManager::FrameTargetTakesDc() const {
  if (texture_ == nullptr) return back_ != nullptr && present_through_dc_ != 0;
  const bool texture_32_bit = texture_format_ == kPixelFormatXrgb8888 || texture_format_ == kPixelFormatArgb8888;
  return present_through_dc_ != 0 || !texture_32_bit;
}

plat::HResult CScreenManager::AcquireDcWithRetry(plat::Surface& surface, plat::DeviceContext*& dc,
                                                 bool& incremental) {
  plat::HResult result = surface.GetDC(dc);
  if (IsLossOrBusy(result)) {
    surface.Restore();
    incremental = false;
    result = surface.GetDC(dc);
  }
  return result;
}

uint32_t CScreenManager::UpdateFailed(uint32_t status, const char* what) {
  full_copy_pending_ = 1;
  const uint32_t kind = 1u << status;
  if ((logged_failures_ & kind) == 0) {
    logged_failures_ |= kind;
    plat::LogDiagnostic(std::string("UpdateScreen: ") + what + " (" + std::to_string(status) + ")");
  }
  return status;
}

uint32_t CScreenManager::UpdateScreen() {
  if (frame_image_ == nullptr) return Present();
  CLockGuard guard(lock_);
  bool incremental = full_copy_pending_ == 0;
  full_copy_pending_ = 0;
  uint32_t format = 0;
  plat::Surface* target = FrameTarget(format);
  plat::WindowId window = texture_ != nullptr ? 0 : window_;
  plat::DeviceContext* dc = nullptr;
  if (FrameTargetTakesDc()) {
    if (plat::Failed(AcquireDcWithRetry(*target, dc, incremental))) {
      return texture_ != nullptr ? UpdateFailed(1, "the texture's device context cannot be had")
                                 : UpdateFailed(2, "the back surface's device context cannot be had");
    }
    window = 0;
  }
  const int copied = frame_image_->PresentDirty(window, dc, dc != nullptr ? nullptr : target, format, incremental);
  if (dc != nullptr) target->ReleaseDC(dc);
  if (target == nullptr) {
    // Shown through the window's device context: no surface waits for the vertical blank, so
    // the wait comes here, or a loop paced by the blank would run unchecked.
    if (wait_for_vertical_blank_ != 0) plat::WaitForNextPresentSlot(gdi_refresh_rate_);
    return 0;
  }
  if (copied != 0) return 0;
  if (HasNoHardware()) {
    // The dirty region is already empty: what cannot be shown now is shown whole next time.
    if (plat::Failed(ShowBackThroughGdi())) UpdateFailed(5, "the back surface cannot be shown");
    return 0;
  }
  return PresentFrameSurfaces();
}

// The texture is drawn over the back surface, which is then blitted to the primary.
uint32_t CScreenManager::PresentFrameSurfaces() {
  plat::Rect source = screen_rect_;
  if (texture_ != nullptr) {
    const int32_t output_width = full_screen_scaling_ != 0 ? destination_.right : ScreenWidth();
    const int32_t output_height = full_screen_scaling_ != 0 ? destination_.bottom : ScreenHeight();
    const plat::Rect output = SizeRect(std::min(output_width, back_->Width()), std::min(output_height, back_->Height()));
    const plat::Rect used = SizeRect(ScreenWidth(), ScreenHeight());
    const plat::HResult drawn = DrawTextureOverBack(output, used);
    if (IsLossOrBusy(drawn)) {
      texture_->Restore();
      back_->Restore();
      InvalidateFrameImage();
      return 0;
    }
    if (plat::Failed(drawn)) return UpdateFailed(3, "the present texture cannot be drawn");
    if (full_screen_scaling_ != 0) source = output;
  }
  const plat::Rect destination = full_screen_scaling_ != 0 ? ScaledDestination() : WindowDestination();
  WaitForVerticalBlankIfAsked();
  const plat::HResult shown = primary_ != nullptr ? CopyBackToPrimary(destination, source) : plat::DDERR_SURFACELOST;
  if (IsLossOrBusy(shown)) {
    if (primary_ != nullptr) primary_->Restore();
    back_->Restore();
    InvalidateFrameImage();
    return 0;
  }
  if (plat::Failed(shown)) return UpdateFailed(4, "the present blit failed");
  return 0;
}

plat::Rect CScreenManager::ScaledDestination() const {
  return plat::Rect{destination_.left, destination_.top, destination_.left + destination_.right,
                    destination_.top + destination_.bottom};
}

plat::Rect CScreenManager::WindowDestination() const {
  plat::Rect destination = screen_rect_;
  if (display_state_ == kFullScreen) return destination;
  if (const std::optional<plat::Point> origin = plat::WindowClientOrigin(window_)) {
    destination = {destination.left + origin->x, destination.top + origin->y, destination.right + origin->x,
                   destination.bottom + origin->y};
  }
  return destination;
}

void CScreenManager::WaitForVerticalBlankIfAsked() {
  if (wait_for_vertical_blank_ == 0 || GetDirectDraw() == nullptr) return;
  bool in_blank = false;
  if (plat::Succeeded(GetDirectDraw()->GetVerticalBlankStatus(in_blank)) && !in_blank) {
    GetDirectDraw()->WaitForVerticalBlank(plat::DDWAITVB_BLOCKBEGIN);
  }
}

plat::HResult CScreenManager::ShowBackThroughGdi() {
  plat::DeviceContext* back_dc = nullptr;
  const plat::HResult result = back_->GetDC(back_dc);
  if (plat::Failed(result)) return result;
  if (plat::DeviceContext* window_dc = plat::GetDC(window_)) {
    plat::BitBlt(*window_dc, 0, 0, ScreenWidth(), ScreenHeight(), *back_dc, 0, 0, plat::SRCCOPY);
    plat::ReleaseDC(window_, window_dc);
  }
  back_->ReleaseDC(back_dc);
  plat::GdiFlush();
  return result;
}

uint32_t CScreenManager::Present() {
  if (back_ == nullptr) return 1;
  plat::HResult result = plat::DD_OK;
  if (HasNoHardware()) {
    CLockGuard guard(lock_);
    result = ShowBackThroughGdi();
  } else if (primary_ == nullptr) {
    return 0;
  } else if (display_state_ == kFullScreen) {
    const plat::Rect destination = full_screen_scaling_ != 0 ? ScaledDestination() : screen_rect_;
    if (wait_for_vertical_blank_ != 0 && wait_for_vertical_blank_ != 1 && gdi_surface_shown_ == 0 && flipping_ != 0) {
      result = primary_->Flip(nullptr, 0);
    } else {
      result = ShowBack(destination);
    }
  } else {
    CLockGuard guard(lock_);
    result = ShowBack(WindowDestination());
  }
  return result == plat::DDERR_SURFACELOST ? 2 : 0;
}

// A frame in which nothing was drawn presents nothing: the window keeps showing the last copy,
// and is repainted from it when exposed. The blank is still waited for, so that the frames keep
// their pace.
plat::HResult CScreenManager::ShowBack(const plat::Rect& destination) {
  WaitForVerticalBlankIfAsked();
  return CopyBackToPrimary(destination, screen_rect_);
}

plat::HResult CScreenManager::CopyBackToPrimary(const plat::Rect& destination, const plat::Rect& source) {
  const plat::Rect changed = back_->TakeChangedArea();
  const bool intact = primary_->IsLost() == plat::DD_OK && back_->IsLost() == plat::DD_OK;
  const bool window_kept = intact && shown_back_.primary_stamp == primary_->WriteStamp() &&
                           shown_back_.source == source && shown_back_.destination == destination;
  if (window_kept && shown_back_.back_stamp == back_->WriteStamp()) return plat::DD_OK;
  plat::Rect from = source;
  plat::Rect to = destination;
  if (window_kept && SameSize(source, destination) && !PlaceChangedPart(changed, source, destination, from, to)) {
    // The back surface changed only outside what the window shows.
    shown_back_.back_stamp = back_->WriteStamp();
    return plat::DD_OK;
  }
  const plat::HResult result = primary_->Blt(&to, back_.get(), &from, plat::DDBLT_ASYNC, nullptr);
  shown_back_ = plat::Succeeded(result) ? ShownBack{back_->WriteStamp(), primary_->WriteStamp(), source, destination}
                                        : ShownBack{};
  return result;
}

plat::HResult CScreenManager::DrawTextureOverBack(const plat::Rect& output, const plat::Rect& used) {
  const plat::Rect changed = texture_->TakeChangedArea();
  plat::Rect from = used;
  plat::Rect to = output;
  if (back_stamp_after_texture_ != 0 && back_->WriteStamp() == back_stamp_after_texture_ && SameSize(output, used) &&
      !PlaceChangedPart(changed, used, output, from, to)) {
    return plat::DD_OK;
  }
  const plat::HResult result = back_->Blt(&to, texture_.get(), &from, plat::DDBLT_WAIT, nullptr);
  back_stamp_after_texture_ = plat::Succeeded(result) ? back_->WriteStamp() : 0;
  return result;
}

uint32_t CScreenManager::Restore() {
  if (GetDirectDraw() == nullptr) return 0;
  if (back_ == nullptr) return 1;
  uint8_t lost = 0;
  for (plat::Surface* surface : {primary_.get(), back_.get(), texture_.get()}) {
    if (lost == 2 || surface == nullptr || surface->IsLost() != plat::DDERR_SURFACELOST) continue;
    lost = plat::Failed(surface->Restore()) ? 2 : 1;
  }
  if (lost == 0) return 0;
  if (lost == 2) {
    const bool texture_path = texture_ != nullptr;
    const uint32_t made = display_state_ == kFullScreen
                              ? CreateFullScreenSurfaces(texture_path, triple_buffering_ != 0)
                              : CreateWindowSurfaces(texture_path);
    if (made != 0) return 2;
    if (texture_path && CreatePresentTexture() != 0) {
      ReleaseSurfaces();
      return 3;
    }
  }
  // What lived on the surfaces is rebuilt; a failure leaves the rest for the redraw to show.
  RestoreSurfaceObjects(true);
  if (frame_image_ != nullptr) {
    // Restored surfaces are black: the next update copies the whole picture and shows it.
    full_copy_pending_ = 1;
    uint32_t format = 0;
    plat::Surface* target = FrameTarget(format);
    plat::DeviceContext* dc = nullptr;
    if (FrameTargetTakesDc() && plat::Failed(target->GetDC(dc))) return 0;
    frame_image_->PresentDirty(0, dc, dc != nullptr ? nullptr : target, format, false);
    if (dc != nullptr) target->ReleaseDC(dc);
  }
  return 0;
}

plat::HResult CScreenManager::Repaint(plat::DeviceContext* dc, const plat::Rect& paint) {
  if (frame_image_ == nullptr && back_ == nullptr) return plat::E_FAIL;
  const plat::Rect area{std::max(paint.left, 0), std::max(paint.top, 0), std::min(paint.right, ScreenWidth()),
                        std::min(paint.bottom, ScreenHeight())};
  if (area.left >= area.right || area.top >= area.bottom) return plat::DD_OK;
  const auto copy_from = [&](plat::DeviceContext& source) {
    plat::BitBlt(*dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source, area.left,
                 area.top, plat::SRCCOPY);
  };
  if (back_ == nullptr) {
    if (dc == nullptr || frame_image_->GetImage()->GetDC() == nullptr) return plat::E_FAIL;
    CLockGuard guard(lock_);
    copy_from(*frame_image_->GetImage()->GetDC());
    return plat::DD_OK;
  }
  if (HasNoHardware()) {
    if (dc == nullptr) return plat::E_FAIL;
    CLockGuard guard(lock_);
    plat::DeviceContext* back_dc = nullptr;
    if (plat::Succeeded(back_->GetDC(back_dc))) {
      copy_from(*back_dc);
      back_->ReleaseDC(back_dc);
    }
    return plat::DD_OK;
  }
  if (primary_ == nullptr) return plat::E_FAIL;
  CLockGuard guard(lock_);
  plat::Rect destination = area;
  plat::Rect source = area;
  if (full_screen_scaling_ == 0) {
    if (display_state_ != kFullScreen) {
      const plat::Rect moved = WindowDestination();
      destination = {area.left + moved.left, area.top + moved.top, area.right + moved.left,
                     area.bottom + moved.top};
    }
  } else {
    if (bars_ != 0) {
      FillSurface(primary_.get(), nullptr, 0, 0, 0, &bar1_, 0);
      FillSurface(primary_.get(), nullptr, 0, 0, 0, &bar2_, 0);
    }
    destination = ScaledDestination();
    source = texture_ != nullptr ? SizeRect(destination_.right, destination_.bottom) : screen_rect_;
  }
  return primary_->Blt(&destination, back_.get(), &source, plat::DDBLT_WAIT, nullptr);
}

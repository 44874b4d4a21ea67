#include "scene/movies/movie_display.h"

#include "gfx/display/screen_output_place.h"
#include "platform/window/gdi.h"
#include "platform/window/message_queue.h"

namespace {

// The movie's rectangle is one of the game screen: in full screen it is scaled onto the display
// with the game's pictures.
plat::Rect PlaceOnWindow(const int32_t rect[4]) {
  const plat::Rect on_screen{rect[0], rect[1], rect[2], rect[3]};
  return g_ScreenManager != nullptr ? ScreenRectOnOutput(*g_ScreenManager, on_screen) : on_screen;
}

int32_t PaintFrame(void*, uint32_t window, void* dc, const KvxFrameView* frame, const int32_t rect[4]) {
  if (frame == nullptr || rect == nullptr || frame->format != KVX_FRAME_XRGB8888) return 1;
  const plat::Rect place = PlaceOnWindow(rect);
  const int32_t width = place.Width();
  const int32_t height = place.Height();
  if (width < 1 || height < 1 || frame->width < 1 || frame->height < 1) return 1;
  plat::PixelView view{frame->pixels, frame->pitch, frame->width, frame->height,
                       plat::MakePixelFormat(plat::SurfaceFormat::kXrgb8888)};
  plat::DeviceContext source(view, nullptr, nullptr);
  plat::DeviceContext* target = dc != nullptr ? static_cast<plat::DeviceContext*>(dc) : plat::GetDC(window);
  if (target == nullptr) return 1;
  const bool drawn = plat::StretchBlt(*target, place.left, place.top, width, height, source, 0, 0, frame->width,
                                      frame->height, plat::SRCCOPY);
  if (dc == nullptr) plat::ReleaseDC(window, target);
  return drawn ? 0 : 1;
}

void NotifyWindow(void*, uint32_t window) { plat::PostMessage(window, kMovieNotifyMessage, 0, 0); }

constexpr KvxMovieDisplay kDisplay{nullptr, PaintFrame, NotifyWindow};

}  // namespace

const KvxMovieDisplay& WindowMovieDisplay() { return kDisplay; }

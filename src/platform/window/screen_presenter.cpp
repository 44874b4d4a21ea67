#include "platform/window/screen_presenter.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "platform/system/diagnostic_log.h"
#include "platform/window/dialog_host.h"
#include "platform/window/display_settings.h"
#include "platform/window/menu_overlay.h"
#include "platform/window/message_queue.h"
#include "platform/window/native_window.h"
#include "platform/window/surface.h"
#include "platform/window/window_renderer.h"
#include "platform/window/x11_display.h"

namespace plat {
namespace {

// More pending rectangles than this are uploaded as their bounding box.
constexpr size_t kMostDirtyRects = 64;

struct Registry {
  std::mutex lock;
  std::map<WindowId, std::unique_ptr<ScreenPresenter>> presenters;
  // Windows whose presenter was released: a thread still painting into a window that is going
  // must not make it a new one. SDL never gives a window's number to another.
  std::set<WindowId> released;
  // Signalled when a device context comes back.
  std::condition_variable returned;
};

Registry& Presenters() {
  static Registry registry;
  return registry;
}

std::unique_ptr<WindowRenderer> MakeRendererOf(SDL_Window* window) {
  if (auto accelerated = WindowRenderer::Make(window, SDL_RENDERER_ACCELERATED)) return accelerated;
  LogDiagnostic(std::string("video: no accelerated renderer (") + SDL_GetError() + "); drawing in software");
  auto software = WindowRenderer::Make(window, SDL_RENDERER_SOFTWARE);
  if (software == nullptr) LogDiagnostic(std::string("video: no renderer for the window: ") + SDL_GetError());
  return software;
}

// An accelerated renderer may make the window anew, and show it at once where it showed: it is
// made while the window is hidden, so that the new one is placed by its client area before it
// shows. SDL makes the new one where the window last stood by the display's word, which a place
// the program asked for before the display answered is not: the new one is put at the old one's.
std::unique_ptr<WindowRenderer> MakeRenderer(SDL_Window* window) {
  const bool shown = (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) != 0;
  Point place;
  SDL_GetWindowPosition(window, &place.x, &place.y);
  if (shown) SDL_HideWindow(window);
  std::unique_ptr<WindowRenderer> renderer = MakeRendererOf(window);
  PlaceByClientArea(window);
  Point made_at;
  SDL_GetWindowPosition(window, &made_at.x, &made_at.y);
  if (made_at.x != place.x || made_at.y != place.y) SDL_SetWindowPosition(window, place.x, place.y);
  if (shown) SDL_ShowWindow(window);
  return renderer;
}

bool IsXrgb32(const PixelFormat& format) {
  return format.bit_count == 32 && format.red_mask == 0x00FF0000 && format.green_mask == 0x0000FF00 &&
         format.blue_mask == 0x000000FF;
}

// Copies `rect` of the source into XRGB8888 pixels at `target`: straight rows when the source
// has that layout, else through the converter.
void CopyToXrgb(uint8_t* target, int32_t target_pitch, const PixelView& source, const Rect& rect) {
  if (IsXrgb32(source.format)) {
    const size_t row_bytes = static_cast<size_t>(rect.Width()) * 4;
    for (int32_t y = 0; y < rect.Height(); ++y) {
      std::memcpy(target + static_cast<intptr_t>(y) * target_pitch, source.At(rect.left, rect.top + y), row_bytes);
    }
    return;
  }
  PixelView view;
  view.bits = target;
  view.pitch = target_pitch;
  view.width = rect.Width();
  view.height = rect.Height();
  view.format = MakePixelFormat(SurfaceFormat::kXrgb8888);
  CopyPixels(view, view.Bounds(), source, rect, ConvertOptions{});
}

}  // namespace

std::optional<Point> WindowClientOrigin(WindowId window) {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return std::nullopt;
  SDL_Window* sdl_window = SDL_GetWindowFromID(window);
  if (sdl_window == nullptr) return std::nullopt;
  Point origin;
  // A full-screen window covers its display, wherever the window manager last reported it.
  if ((SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_FULLSCREEN) != 0) {
    SDL_Rect bounds{};
    const int display = SDL_GetWindowDisplayIndex(sdl_window);
    if (display >= 0 && SDL_GetDisplayBounds(display, &bounds) == 0) return Point{bounds.x, bounds.y};
  }
  SDL_GetWindowPosition(sdl_window, &origin.x, &origin.y);
  return origin;
}

ScreenPresenter* ScreenPresenter::ForWindow(WindowId window) {
  Registry& registry = Presenters();
  std::lock_guard guard(registry.lock);
  if (auto found = registry.presenters.find(window); found != registry.presenters.end()) return found->second.get();
  if (registry.released.contains(window) || SDL_WasInit(SDL_INIT_VIDEO) == 0) return nullptr;
  SDL_Window* sdl_window = SDL_GetWindowFromID(window);
  if (sdl_window == nullptr) return nullptr;
  // Another thread's presenter gets its renderer on the window thread, at its first present.
  std::unique_ptr<WindowRenderer> renderer;
  if (MessageQueue::Instance().OnWindowThread()) {
    renderer = MakeRenderer(sdl_window);
    if (renderer == nullptr) return nullptr;
  }
  std::unique_ptr<ScreenPresenter> presenter(new ScreenPresenter(window, sdl_window, std::move(renderer)));
  if (presenter->own_screen_ == nullptr) return nullptr;
  return registry.presenters.emplace(window, std::move(presenter)).first->second.get();
}

ScreenPresenter* ScreenPresenter::Existing(WindowId window) {
  Registry& registry = Presenters();
  std::lock_guard guard(registry.lock);
  const auto found = registry.presenters.find(window);
  return found != registry.presenters.end() ? found->second.get() : nullptr;
}

void ScreenPresenter::ReleaseWindow(WindowId window) {
  MenuOverlay::Close(window);
  std::unique_ptr<ScreenPresenter> ending;
  {
    Registry& registry = Presenters();
    std::unique_lock guard(registry.lock);
    registry.released.insert(window);
    const auto found = registry.presenters.find(window);
    if (found == registry.presenters.end()) return;
    ScreenPresenter& presenter = *found->second;
    presenter.ending_ = true;
    registry.returned.wait(guard, [&presenter] { return presenter.dcs_out_ == 0; });
    ending = std::move(found->second);
    registry.presenters.erase(found);
  }
}

DeviceContext* ScreenPresenter::AcquireDc(WindowId window) {
  ScreenPresenter* presenter = ForWindow(window);
  if (presenter == nullptr) return nullptr;
  {
    Registry& registry = Presenters();
    std::lock_guard guard(registry.lock);
    // Released meanwhile (and perhaps gone), or going.
    const auto found = registry.presenters.find(window);
    if (found == registry.presenters.end() || found->second.get() != presenter || presenter->ending_) return nullptr;
    ++presenter->dcs_out_;
  }
  return presenter->AcquireWindowDc();
}

bool ScreenPresenter::ReleaseDc(WindowId window, DeviceContext* dc) {
  ScreenPresenter* presenter = Existing(window);
  if (presenter == nullptr || !presenter->ReleaseWindowDc(dc)) return false;
  Registry& registry = Presenters();
  {
    std::lock_guard guard(registry.lock);
    --presenter->dcs_out_;
  }
  registry.returned.notify_all();
  return true;
}

void ScreenPresenter::RepaintWindow(WindowId window) {
  if (ScreenPresenter* presenter = Existing(window)) presenter->Repaint();
}

void ScreenPresenter::PresentAll() {
  std::vector<ScreenPresenter*> all;
  {
    Registry& registry = Presenters();
    std::lock_guard guard(registry.lock);
    for (const auto& [window, presenter] : registry.presenters) all.push_back(presenter.get());
  }
  for (ScreenPresenter* presenter : all) {
    bool pending = false;
    {
      std::lock_guard guard(presenter->state_lock_);
      pending = !presenter->dirty_.empty();
    }
    if (pending) presenter->Present();
  }
}

ScreenPresenter::ScreenPresenter(WindowId id, SDL_Window* window, std::unique_ptr<WindowRenderer> renderer)
    : id_(id), window_(window), renderer_(std::move(renderer)) {
  int width = 0;
  int height = 0;
  DrawingSizeOf(window, width, height);
  own_screen_ = Surface::Make(std::max(width, 1), std::max(height, 1), MakePixelFormat(SurfaceFormat::kXrgb8888), 0,
                              Point{});
}

ScreenPresenter::~ScreenPresenter() {
  if (primary_ != nullptr) primary_->SetPresenter(nullptr);
  window_dcs_.clear();
  if (renderer_ == nullptr) return;
  if (DisplayConnectionLost() || WasDestroyedOutside(window_)) {
    renderer_->Abandon();
    return;
  }
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
}

bool ScreenPresenter::HasRenderer() {
  if (renderer_ == nullptr) {
    renderer_ = MakeRenderer(window_);
    if (renderer_ == nullptr) return false;
  }
  renderer_->FollowWindowSize();
  return true;
}

SDL_Renderer* ScreenPresenter::Renderer() const { return renderer_ != nullptr ? renderer_->Get() : nullptr; }

Surface& ScreenPresenter::Screen() { return primary_ != nullptr ? *primary_ : *own_screen_; }

void ScreenPresenter::BindPrimary(Surface& primary) {
  if (primary_ == &primary) return;
  if (primary_ != nullptr) primary_->SetPresenter(nullptr);
  primary_ = &primary;
  primary.SetPresenter(this);
  if (primary.FollowsWindow()) {
    int width = 0;
    int height = 0;
    ScreenSizeForWindow(width, height);
    primary.ResizeToWindow(width, height);
  }
  {
    std::lock_guard guard(state_lock_);
    dirty_.clear();
  }
  MarkDirty(Rect{0, 0, primary.Width(), primary.Height()});
}

void ScreenPresenter::UnbindPrimary(Surface& primary) {
  if (primary_ != &primary) return;
  primary.SetPresenter(nullptr);
  primary_ = nullptr;
  std::lock_guard guard(state_lock_);
  dirty_.clear();
}

void ScreenPresenter::MarkDirty(const Rect& rect) {
  std::lock_guard guard(state_lock_);
  Rect clamped = rect;
  if (!ClampRect(clamped, Rect{0, 0, Screen().Width(), Screen().Height()})) return;
  dirty_.push_back(clamped);
  if (dirty_.size() > kMostDirtyRects) {
    Rect box = dirty_.front();
    for (const Rect& each : dirty_) box = RectUnion(box, each);
    dirty_.assign(1, box);
  }
}

bool ScreenPresenter::RemakeTextureIfNeeded(int32_t width, int32_t height) {
  if (texture_ != nullptr && texture_width_ == width && texture_height_ == height) return false;
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  // SDL's RGB888 is XRGB8888: blue, green, red and an unused byte in memory.
  texture_ = SDL_CreateTexture(Renderer(), SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
  if (texture_ == nullptr) {
    LogDiagnostic(std::string("video: cannot make the screen texture: ") + SDL_GetError());
    texture_width_ = texture_height_ = 0;
    return true;
  }
  SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
  SDL_SetTextureScaleMode(texture_, linear_ ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
  texture_width_ = width;
  texture_height_ = height;
  return true;
}

void ScreenPresenter::SetLinearScaling(bool linear) {
  linear_ = linear;
  if (texture_ != nullptr) SDL_SetTextureScaleMode(texture_, linear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
}

void ScreenPresenter::SetEmulatedModeSize(int32_t width, int32_t height) {
  const bool valid = width > 0 && height > 0;
  mode_width_ = valid ? width : 0;
  mode_height_ = valid ? height : 0;
}

void ScreenPresenter::ScreenSizeForWindow(int& width, int& height) const {
  if (mode_width_ > 0) {
    width = mode_width_;
    height = mode_height_;
    return;
  }
  const int32_t covered = CurrentDisplayBackend().CoveredDisplay(id_);
  if (covered < 0) {
    DrawingSizeOf(window_, width, height);
    return;
  }
  if (const std::optional<DisplayModeDesc> changed = ChangedDisplaySize(static_cast<size_t>(covered))) {
    width = changed->width;
    height = changed->height;
    return;
  }
  SDL_GetWindowSize(window_, &width, &height);
}

void ScreenPresenter::Upload(Surface& source, std::vector<Rect>& rects) {
  // A new texture takes the whole screen.
  if (RemakeTextureIfNeeded(source.Width(), source.Height())) {
    rects.assign(1, Rect{0, 0, source.Width(), source.Height()});
  }
  if (texture_ == nullptr) return;
  const PixelView screen = source.View();
  for (const Rect& rect : rects) {
    const SDL_Rect area{rect.left, rect.top, rect.Width(), rect.Height()};
    // The texture takes rows of its own layout straight from the screen, without a staging copy.
    if (IsXrgb32(screen.format) && screen.pitch > 0) {
      SDL_UpdateTexture(texture_, &area, screen.At(rect.left, rect.top), screen.pitch);
      continue;
    }
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_, &area, &pixels, &pitch) != 0) continue;
    CopyToXrgb(static_cast<uint8_t*>(pixels), pitch, screen, rect);
    SDL_UnlockTexture(texture_);
  }
  rects.clear();
}

std::vector<Rect> ScreenPresenter::TakeDirty() {
  std::lock_guard guard(state_lock_);
  return std::exchange(dirty_, {});
}

void ScreenPresenter::Upload() {
  if (!HasRenderer()) return;
  std::vector<Rect> rects = TakeDirty();
  Upload(Screen(), rects);
}

void ScreenPresenter::Render() {
  SDL_SetRenderDrawColor(Renderer(), 0, 0, 0, 255);
  SDL_RenderClear(Renderer());
  if (texture_ != nullptr) RenderScreen();
  MenuOverlay::DrawOver(id_, Renderer());
  dialog_host::DrawOver(id_, Renderer());
}

void ScreenPresenter::RenderScreen() {
  int output_width = 0;
  int output_height = 0;
  SDL_GetRendererOutputSize(Renderer(), &output_width, &output_height);
  const Rect area = LetterboxedArea(output_width, output_height, texture_width_, texture_height_);
  const SDL_Rect target{area.left, area.top, area.Width(), area.Height()};
  SDL_RenderCopy(Renderer(), texture_, nullptr, &target);
}

void ScreenPresenter::Present() {
  if (!MessageQueue::Instance().OnWindowThread()) {
    Stage();
    return;
  }
  if (!HasRenderer()) return;
  Upload();
  ShowOnWindowThread();
}

void ScreenPresenter::ShowOnWindowThread() {
  Render();
  renderer_->Present();
}

void ScreenPresenter::Stage() {
  {
    std::lock_guard guard(staging_lock_);
    Surface& screen = Screen();
    if (staged_ == nullptr || staged_->Width() != screen.Width() || staged_->Height() != screen.Height()) {
      staged_ = Surface::Make(screen.Width(), screen.Height(), MakePixelFormat(SurfaceFormat::kXrgb8888), 0, Point{});
      if (staged_ == nullptr) return;
      // Rectangles of the old size must not reach the new copy.
      staged_dirty_.clear();
      TakeDirty();
      MarkDirty(Rect{0, 0, screen.Width(), screen.Height()});
    }
    const PixelView source = screen.View();
    const PixelView copy = staged_->View();
    for (const Rect& rect : TakeDirty()) {
      CopyToXrgb(copy.At(rect.left, rect.top), copy.pitch, source, rect);
      staged_dirty_.push_back(rect);
    }
  }
  // One hand-over at a time is enough: it takes everything staged until it runs.
  if (staged_present_posted_.exchange(true)) return;
  const WindowId id = id_;
  MessageQueue::Instance().PostTask([id] {
    if (ScreenPresenter* presenter = Existing(id)) presenter->PresentStaged();
  });
}

void ScreenPresenter::PresentStaged() {
  staged_present_posted_.store(false);
  if (!HasRenderer()) return;
  UploadStaged();
  ShowOnWindowThread();
}

void ScreenPresenter::UploadStaged() {
  std::lock_guard guard(staging_lock_);
  if (staged_ != nullptr) Upload(*staged_, staged_dirty_);
}

void ScreenPresenter::Repaint() {
  // A dialog shows even over a window that has presented nothing yet.
  if ((texture_ == nullptr && !IsDialogOpen(id_)) || !HasRenderer()) return;
  ShowOnWindowThread();
}

DeviceContext* ScreenPresenter::AcquireWindowDc() {
  bool unused = false;
  {
    std::lock_guard guard(state_lock_);
    unused = window_dcs_.empty();
  }
  if (primary_ == nullptr && unused) {
    int width = 0;
    int height = 0;
    ScreenSizeForWindow(width, height);
    if (width > 0 && height > 0 && (width != own_screen_->Width() || height != own_screen_->Height())) {
      own_screen_->ResizeToWindow(width, height);
    }
  }
  Surface& screen = Screen();
  std::shared_ptr<Surface> keep = primary_ != nullptr ? primary_->shared_from_this() : own_screen_;
  std::lock_guard guard(state_lock_);
  window_dcs_.push_back(std::make_unique<DeviceContext>(
      screen.View(), [this](const Rect& rect) { MarkDirty(rect); }, std::move(keep)));
  return window_dcs_.back().get();
}

bool ScreenPresenter::ReleaseWindowDc(DeviceContext* dc) {
  std::unique_ptr<DeviceContext> released;
  {
    std::lock_guard guard(state_lock_);
    const auto found = std::find_if(window_dcs_.begin(), window_dcs_.end(),
                                    [dc](const std::unique_ptr<DeviceContext>& each) { return each.get() == dc; });
    if (found == window_dcs_.end()) return false;
    released = std::move(*found);
    window_dcs_.erase(found);
  }
  Present();
  return true;
}

std::string ScreenPresenter::RendererName() const {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(Renderer(), &info) != 0 || info.name == nullptr) return std::string();
  return info.name;
}

bool ScreenPresenter::ReadBack(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) {
  if (!HasRenderer()) return false;
  UploadStaged();
  Upload();
  Render();
  int output_width = 0;
  int output_height = 0;
  if (SDL_GetRendererOutputSize(Renderer(), &output_width, &output_height) != 0) return false;
  pixels.assign(static_cast<size_t>(output_width) * static_cast<size_t>(output_height), 0);
  if (SDL_RenderReadPixels(Renderer(), nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), output_width * 4) != 0) {
    LogDiagnostic(std::string("video: cannot read the window back: ") + SDL_GetError());
    return false;
  }
  width = output_width;
  height = output_height;
  return true;
}

}  // namespace plat

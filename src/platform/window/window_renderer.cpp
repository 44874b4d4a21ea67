#include "platform/window/window_renderer.h"

#include <atomic>
#include <string>
#include <vector>

#include "platform/system/diagnostic_log.h"
#include "platform/window/x11_picture.h"

namespace plat {

namespace {

// Whether SDL has a format for the pixels of the desktop the window is on. Where it has none, a
// renderer SDL makes for the window draws nothing that shows.
bool SdlKnowsDesktopFormat(SDL_Window* window) {
  SDL_DisplayMode desktop;
  const int display = SDL_GetWindowDisplayIndex(window);
  return SDL_GetDesktopDisplayMode(display >= 0 ? display : 0, &desktop) != 0 ||
         desktop.format != SDL_PIXELFORMAT_UNKNOWN;
}

}  // namespace

std::unique_ptr<WindowRenderer> WindowRenderer::Make(SDL_Window* window, uint32_t flags) {
  if (SdlKnowsDesktopFormat(window)) {
    SDL_Renderer* own = SDL_CreateRenderer(window, -1, flags);
    return own != nullptr ? std::unique_ptr<WindowRenderer>(new WindowRenderer(window, own)) : nullptr;
  }
  std::unique_ptr<X11Picture> picture = X11Picture::For(window);
  if (picture == nullptr) return nullptr;
  // The software renderer draws into a target texture: a texture of another size takes its place
  // when the window's changes, where the renderer and every texture made with it stay.
  SDL_Surface* base = SDL_CreateRGBSurfaceWithFormat(0, 1, 1, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_Renderer* software = base != nullptr ? SDL_CreateSoftwareRenderer(base) : nullptr;
  if (software == nullptr) {
    if (base != nullptr) SDL_FreeSurface(base);
    return nullptr;
  }
  static std::atomic<bool> told{false};
  if (!told.exchange(true)) {
    LogDiagnostic("video: SDL has no format for the desktop's pixels (a desktop of 8 bits a pixel): windows are "
                  "drawn in memory and put on the display in its colours");
  }
  std::unique_ptr<WindowRenderer> made(new WindowRenderer(window, software));
  made->base_ = base;
  made->picture_ = std::move(picture);
  made->FollowWindowSize();
  return made;
}

WindowRenderer::WindowRenderer(SDL_Window* window, SDL_Renderer* renderer) : window_(window), renderer_(renderer) {}

WindowRenderer::~WindowRenderer() {
  if (renderer_ == nullptr) return;
  // The renderer destroys its textures, the target among them.
  SDL_DestroyRenderer(renderer_);
  if (base_ != nullptr) SDL_FreeSurface(base_);
}

void WindowRenderer::Abandon() {
  renderer_ = nullptr;
  picture_.reset();
}

void WindowRenderer::FollowWindowSize() {
  if (picture_ == nullptr) return;
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(window_, &width, &height);
  int target_width = 0;
  int target_height = 0;
  if (target_ != nullptr) SDL_QueryTexture(target_, nullptr, nullptr, &target_width, &target_height);
  if (width <= 0 || height <= 0 || (width == target_width && height == target_height)) return;
  SDL_Texture* target = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width, height);
  if (target == nullptr) {
    LogDiagnostic(std::string("video: no picture of the window's size can be made in memory: ") + SDL_GetError());
    return;
  }
  SDL_SetRenderTarget(renderer_, target);
  if (target_ != nullptr) SDL_DestroyTexture(target_);
  target_ = target;
}

void WindowRenderer::Present() {
  if (picture_ == nullptr) {
    SDL_RenderPresent(renderer_);
    return;
  }
  if (target_ == nullptr) return;
  int width = 0;
  int height = 0;
  SDL_QueryTexture(target_, nullptr, nullptr, &width, &height);
  std::vector<uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  if (SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), width * 4) != 0) return;
  picture_->Put(pixels.data(), width, height, width * 4);
}

}  // namespace plat

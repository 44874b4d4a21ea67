// What the engine must do for its first frame, and nothing more: opens a window of the engine's
// default size as the engine opens it (hidden, then shown), makes the same renderer (accelerated,
// else software), uploads one black frame into a streaming texture of the window's size, presents
// it, and quits. The start-up benchmark measures the engine's start-up to exit against it.
#include <SDL.h>

#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

SDL_Renderer* MakeRenderer(SDL_Window* window) {
  if (SDL_Renderer* accelerated = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED)) return accelerated;
  return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

bool PresentOneFrame(SDL_Window* window) {
  SDL_Renderer* renderer = MakeRenderer(window);
  if (renderer == nullptr) return false;
  SDL_Texture* texture =
      SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, kWidth, kHeight);
  bool presented = false;
  if (texture != nullptr) {
    const std::vector<Uint32> frame(static_cast<size_t>(kWidth) * kHeight, 0);
    SDL_UpdateTexture(texture, nullptr, frame.data(), kWidth * 4);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    SDL_DestroyTexture(texture);
    presented = true;
  }
  SDL_DestroyRenderer(renderer);
  return presented;
}

}  // namespace

int main(int, char**) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* window = SDL_CreateWindow("first frame", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth, kHeight,
                                        SDL_WINDOW_HIDDEN);
  if (window == nullptr) return 1;
  SDL_ShowWindow(window);
  SDL_PumpEvents();
  const bool presented = PresentOneFrame(window);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return presented ? 0 : 1;
}

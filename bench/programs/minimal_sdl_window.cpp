// The least a windowed SDL program does: opens a window, lets it be shown, and quits. With
// "--present" it also makes the window's renderer and presents one cleared frame, as a program
// must before its window shows anything. The start-up benchmark measures the engine against it.
#include <SDL.h>

#include <cstring>

int main(int argc, char** argv) {
  const bool present = argc > 1 && std::strcmp(argv[1], "--present") == 0;
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* window = SDL_CreateWindow("minimal", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 640, 480, SDL_WINDOW_SHOWN);
  if (window == nullptr) return 1;
  SDL_PumpEvents();
  if (present) {
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    if (renderer == nullptr) return 1;
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
    SDL_DestroyRenderer(renderer);
  }
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}

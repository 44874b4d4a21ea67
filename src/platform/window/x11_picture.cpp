#include "platform/window/x11_picture.h"

#include <SDL_syswm.h>
#include <X11/Xutil.h>

#include <array>
#include <bit>
#include <cstdlib>
#include <vector>

#include "platform/window/x11_display.h"
#include "platform/window/x11_window_info.h"

namespace plat {
namespace {

constexpr uint32_t kCubeLevels = 6;
constexpr std::size_t kCubeSize = kCubeLevels * kCubeLevels * kCubeLevels;
constexpr long kNotAllocated = -1;

// A channel (0 to 255) scaled into the bits of a visual's mask.
unsigned long IntoMask(uint32_t channel, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const unsigned long top = mask >> shift;
  return ((channel * top + 127) / 255) << shift;
}

uint32_t CubeLevel(uint32_t channel) { return (channel * (kCubeLevels - 1) + 127) / 255; }

// A cube level as a colour's 16-bit channel.
unsigned short CubeChannel(uint32_t level) { return static_cast<unsigned short>(level * 65535 / (kCubeLevels - 1)); }

}  // namespace

struct X11Picture::Target {
  Display* display = nullptr;
  ::Window window = 0;
  GC gc = nullptr;
  Visual* visual = nullptr;
  int depth = 0;
  Colormap colormap = 0;
  bool true_colour = false;
  unsigned long black = 0;
  unsigned long white = 0;
  // The pixel of each colour of the cube, allocated at its first use.
  std::array<long, kCubeSize> cube{};
  std::vector<unsigned long> allocated;

  unsigned long PixelOf(uint32_t argb) {
    const uint32_t red = (argb >> 16) & 0xFF;
    const uint32_t green = (argb >> 8) & 0xFF;
    const uint32_t blue = argb & 0xFF;
    if (true_colour) {
      return IntoMask(red, visual->red_mask) | IntoMask(green, visual->green_mask) | IntoMask(blue, visual->blue_mask);
    }
    return CubePixel(CubeLevel(red), CubeLevel(green), CubeLevel(blue));
  }

  // A colormap that has no cell left gives the nearer of black and white.
  unsigned long CubePixel(uint32_t red, uint32_t green, uint32_t blue) {
    long& pixel = cube[(red * kCubeLevels + green) * kCubeLevels + blue];
    if (pixel != kNotAllocated) return static_cast<unsigned long>(pixel);
    XColor colour{};
    colour.red = CubeChannel(red);
    colour.green = CubeChannel(green);
    colour.blue = CubeChannel(blue);
    colour.flags = DoRed | DoGreen | DoBlue;
    if (XAllocColor(display, colormap, &colour) != 0) {
      allocated.push_back(colour.pixel);
      pixel = static_cast<long>(colour.pixel);
    } else {
      pixel = static_cast<long>(2 * red + 4 * green + blue >= 7 * (kCubeLevels - 1) / 2 ? white : black);
    }
    return static_cast<unsigned long>(pixel);
  }
};

std::unique_ptr<X11Picture> X11Picture::For(SDL_Window* window) {
  SDL_SysWMinfo info;
  if (DisplayConnectionLost() || !X11InfoOf(window, info)) return nullptr;
  auto target = std::make_unique<Target>();
  target->display = info.info.x11.display;
  target->window = info.info.x11.window;
  XWindowAttributes attributes;
  if (XGetWindowAttributes(target->display, target->window, &attributes) == 0) return nullptr;
  const int screen = XScreenNumberOfScreen(attributes.screen);
  target->visual = attributes.visual;
  target->depth = attributes.depth;
  target->colormap = attributes.colormap;
  // A window of the screen's own visual shows with the screen's colormap, which is installed
  // without a window manager's help.
  if (target->visual == DefaultVisual(target->display, screen)) {
    target->colormap = DefaultColormap(target->display, screen);
    XSetWindowColormap(target->display, target->window, target->colormap);
  }
  target->true_colour = target->visual->c_class == TrueColor || target->visual->c_class == DirectColor;
  target->black = BlackPixel(target->display, screen);
  target->white = WhitePixel(target->display, screen);
  target->cube.fill(kNotAllocated);
  target->gc = XCreateGC(target->display, target->window, 0, nullptr);
  if (target->gc == nullptr) return nullptr;
  return std::unique_ptr<X11Picture>(new X11Picture(std::move(target)));
}

X11Picture::X11Picture(std::unique_ptr<Target> target) : target_(std::move(target)) {}

X11Picture::~X11Picture() {
  if (DisplayConnectionLost()) return;
  Target& target = *target_;
  if (!target.allocated.empty()) {
    XFreeColors(target.display, target.colormap, target.allocated.data(), static_cast<int>(target.allocated.size()), 0);
  }
  XFreeGC(target.display, target.gc);
}

void X11Picture::Put(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch) {
  Target& target = *target_;
  if (width <= 0 || height <= 0 || DisplayConnectionLost()) return;
  XImage* image = XCreateImage(target.display, target.visual, static_cast<unsigned>(target.depth), ZPixmap, 0,
                               nullptr, static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
  if (image == nullptr) return;
  // XDestroyImage frees the rows with free().
  image->data = static_cast<char*>(std::malloc(static_cast<std::size_t>(image->bytes_per_line) * height));
  if (image->data == nullptr) {
    XDestroyImage(image);
    return;
  }
  for (int32_t y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                        static_cast<std::ptrdiff_t>(y) * pitch);
    for (int32_t x = 0; x < width; ++x) XPutPixel(image, x, y, target.PixelOf(row[x]));
  }
  XPutImage(target.display, target.window, target.gc, image, 0, 0, 0, 0, static_cast<unsigned>(width),
            static_cast<unsigned>(height));
  XDestroyImage(image);
  XFlush(target.display);
}

}  // namespace plat

#include "ui/widgets/bevel.h"

#include "gfx/images/image.h"

namespace {

uint32_t Lighten(uint32_t c) { return c <= 85 ? c * 3 : c + (255 - c) * 2 / 3; }

template <typename Channel>
uint32_t PerChannel(uint32_t colour, Channel channel) {
  return (channel((colour >> 16) & 0xFF) << 16) | (channel((colour >> 8) & 0xFF) << 8) | channel(colour & 0xFF);
}

}  // namespace

BevelColours::BevelColours(uint32_t face_colour)
    : face(face_colour),
      light(PerChannel(face_colour, Lighten)),
      dark(PerChannel(face_colour, [](uint32_t c) { return c / 2; })),
      darkest(PerChannel(face_colour, [](uint32_t c) { return c / 4; })) {}

void DrawBevelEdges(CImage& image, const plat::Rect& r, uint32_t light, uint32_t dark, uint32_t darkest) {
  const auto fill = [&image](plat::Rect rect, uint32_t colour) { image.FillRectArgb(colour, &rect); };
  fill({r.left, r.top, r.right - 1, r.top + 1}, light);
  fill({r.left, r.top + 1, r.left + 1, r.bottom - 1}, light);
  fill({r.left, r.bottom - 1, r.right, r.bottom}, darkest);
  fill({r.right - 1, r.top, r.right, r.bottom - 1}, darkest);
  fill({r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1}, dark);
  fill({r.right - 2, r.top + 1, r.right - 1, r.bottom - 2}, dark);
}

void BlendColour(CImage& image, uint32_t argb, const plat::Rect& rect) {
  image.FillColor((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, static_cast<uint8_t>(argb >> 24), &rect);
}

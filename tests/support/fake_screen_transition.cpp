#include "support/fake_screen_transition.h"

FakeTransition::FakeTransition(TransitionLog& log, uint8_t type, uint32_t flags, int steps, int32_t width,
                               int32_t height)
    : log_(log), type_(type), flags_(flags), steps_left_(steps) {
  target_.Create(width, height, 32, CImage::kUseDib);
}

bool FakeTransition::Advance(uint32_t) {
  ++log_.advances;
  return steps_left_-- <= 0;
}

void FakeTransition::RenderStrip(const plat::Rect& strip) {
  log_.strips.push_back(strip);
  for (int32_t y = strip.top; y < strip.bottom; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(target_.GetRowPointer(y));
    for (int32_t x = strip.left; x < strip.right; ++x) row[x] = kColour;
  }
}

#include "ui/fonts/font_base.h"

#include <algorithm>
#include <cstdlib>

#include "base/numbers/script_bound.h"
#include "base/numbers/trig_tables.h"

CFontBase* g_DefaultFont = nullptr;

CFontBase::~CFontBase() {
  if (g_DefaultFont == this) g_DefaultFont = nullptr;
  for (FontRef* reference : references_) reference->font_ = nullptr;
}

bool FontHeightWithinBound(int32_t height) {
  return WithinBound("a font's size (pixels)", std::abs(int64_t{height}), kLargestFontSize);
}

void FontRef::Reset(CFontBase* font) {
  if (font_ == font) return;
  if (font_ != nullptr) std::erase(font_->references_, this);
  font_ = font;
  if (font_ != nullptr) font_->references_.push_back(this);
}

plat::Rect CFontBase::GetRotatedBounds(int32_t x, int32_t y, int32_t width, int32_t height) const {
  const int32_t angle = logical_font_.escapement;
  if (g_TrigTable == nullptr || angle == 0) return plat::Rect{x, y, ClampedSum(x, width), ClampedSum(y, height)};
  const auto& cosine = g_TrigTable->cosine;
  const int32_t k = -(angle * 512 / 3600);
  const int64_t c = cosine[k & 511];
  const int64_t s = cosine[(k - 128) & 511];
  const auto turned = [](int64_t value) { return static_cast<int32_t>(value >> 16); };
  const int32_t origin_x = turned(c * x - s * y);
  const int32_t origin_y = turned(c * y + s * x);
  const int32_t xs[] = {0, turned(c * width), turned(-s * height), turned(c * width - s * height)};
  const int32_t ys[] = {0, turned(s * width), turned(c * height), turned(c * height + s * width)};
  return plat::Rect{ClampedSum(origin_x, *std::min_element(std::begin(xs), std::end(xs))),
                    ClampedSum(origin_y, *std::min_element(std::begin(ys), std::end(ys))),
                    ClampedSum(origin_x, *std::max_element(std::begin(xs), std::end(xs))),
                    ClampedSum(origin_y, *std::max_element(std::begin(ys), std::end(ys)))};
}

CFontBase::TextSteps CFontBase::TurnedSteps(bool upright_vertical_shadow) const {
  const int32_t angle = logical_font_.escapement;
  const int32_t step = std::abs(logical_font_.height) + line_spacing;
  TextSteps steps{plat::Point{0, step}, plat::Point{shadow_x, shadow_y}};
  if (g_TrigTable == nullptr || angle == 0) return steps;
  const auto& cosine = g_TrigTable->cosine;
  const int32_t k = -(angle * 512 / 3600);
  const int64_t c = cosine[k & 511];
  const int64_t s = cosine[(k - 128) & 511];
  steps.line = plat::Point{static_cast<int32_t>(-(s * step) >> 16), static_cast<int32_t>((c * step) >> 16)};
  if (!(upright_vertical_shadow && angle == 2700)) {
    steps.shadow = plat::Point{static_cast<int32_t>((shadow_x * c - shadow_y * s) >> 16),
                               static_cast<int32_t>((shadow_y * c + shadow_x * s) >> 16)};
  }
  return steps;
}

void CFontBase::FinishMeasurement(TextSize measured, uint8_t with_decoration, int32_t outline, TextSize* size,
                                  int32_t* offset_x, int32_t* offset_y) const {
  if (logical_font_.italic != 0) measured.cx += std::abs(logical_font_.height) / 3;
  if (offset_x != nullptr) *offset_x = 0;
  if (offset_y != nullptr) *offset_y = 0;
  if (with_decoration != 0 && decoration == 1) {
    measured.cx += std::abs(shadow_x);
    measured.cy += std::abs(shadow_y);
    if (offset_x != nullptr && shadow_x < 0) *offset_x = shadow_x;
    if (offset_y != nullptr && shadow_y < 0) *offset_y = shadow_y;
  } else if (with_decoration != 0 && decoration == 2) {
    measured.cx += 2 * outline;
    measured.cy += 2 * outline;
    if (offset_x != nullptr) *offset_x = -outline;
    if (offset_y != nullptr) *offset_y = -outline;
  }
  if (size != nullptr) *size = measured;
}

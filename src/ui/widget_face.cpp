#include "ui/widget_face.h"

#include "base/not_built.h"
#include "gfx/image.h"
#include "scene/sprite.h"

void CWidgetFace::Show(const CImage* image, const plat::Rect& source, int32_t x, int32_t y, uint8_t blend_mode,
                       uint8_t opacity) {
  image_ = image;
  source_ = source;
  x_ = x;
  y_ = y;
  blend_mode_ = blend_mode;
  opacity_ = opacity;
}

void CWidgetFace::SetSourceOrigin(int32_t x, int32_t y) {
  source_ = {x, y, x + source_.Width(), y + source_.Height()};
}

namespace {

void ReportNotDrawn() {
  ReportNotBuiltYet("the widgets' sprites and colour boxes in their draw lists (their state is kept, nothing is drawn)");
}

}  // namespace

uint32_t CWidgetFace::SetPriority(uint32_t priority, uint32_t key) {
  if (list_ == nullptr) return 1;
  if (!listed_) {
    ReportNotDrawn();
    listed_ = true;
    key_ = key;
  }
  priority_ = priority;
  return 0;
}

uint32_t CWidgetFace::MoveToDrawList(IDrawList* list) {
  if (!listed_ || list == nullptr) return 1;
  ReportNotDrawn();
  list_ = list;
  return 0;
}

void CWidgetFace::Reset() {
  image_ = nullptr;
  source_ = {};
  blend_mode_ = 0;
  opacity_ = 255;
}

bool CWidgetFace::HitTest(int32_t x, int32_t y, bool exact) const {
  if (image_ == nullptr || image_->GetPixels() == nullptr) return false;
  const int32_t dx = x - x_;
  const int32_t dy = y - y_;
  if (dx < 0 || dx >= source_.Width() || dy < 0 || dy >= source_.Height()) return false;
  if (!exact) return true;
  return ShowsPixelAt(*image_, source_.left + dx, source_.top + dy);
}

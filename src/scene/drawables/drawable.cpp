#include "scene/drawables/drawable.h"

#include "base/numbers/script_bound.h"
#include "base/threads/end_watch.h"
#include "scene/drawables/draw_list.h"

CDrawable::~CDrawable() {
  CEndWatch::Announce(this);
  if (owner_list_ != nullptr) owner_list_->Remove(this);
}

void CDrawable::SetEnabled(bool enabled) {
  if (IsEnabled() == enabled) return;
  enabled_ = enabled ? 1 : 0;
  SetDirty(true);
}

void CDrawable::SetOpacity(uint8_t opacity) {
  if (opacity_ == opacity) return;
  opacity_ = opacity;
  SetDirty(true);
}

int32_t CDrawable::Offset(int32_t origin, int32_t by) {
  return ClampedSum(origin, by);
}

uint32_t CDrawable::DrawKeepDirty(CImage* target) {
  const bool dirty = IsDirty();
  const uint32_t status = Draw(target, nullptr, nullptr);
  SetDirty(dirty);
  return status;
}

bool CDrawable::MoveBy(int32_t dx, int32_t dy) {
  if (dx == 0 && dy == 0) return false;
  return SetPosition(Offset(x_, dx), Offset(y_, dy));
}

bool CDrawable::SetSizeAndPosition(int32_t width, int32_t height, int32_t x, int32_t y) {
  const bool resized = SetSize(width, height);
  const bool moved = SetPosition(x, y);
  return resized || moved;
}

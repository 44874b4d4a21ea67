#include "ui/widgets/scroll_bar_arrow.h"

#include "base/input/mouse.h"
#include "base/time/millisecond_clock.h"
#include "gfx/images/image.h"
#include "ui/gui/widget_input.h"
#include "ui/widgets/bar_base.h"

namespace {

constexpr uint32_t kLeftButton = 0;
constexpr uint32_t kDisabledLight = 0x00FFFFFF;
constexpr uint32_t kDisabledShade = 0x00808080;

}  // namespace

bool CScrollBarArrow::OnMouseButton(int32_t x, int32_t y, CMouse* mouse) {
  if (mouse == nullptr) return false;
  if (GetState() == kHot && mouse->IsPressed(kLeftButton)) {
    CImageButtonBase::OnMouseButton(x, y, mouse);  // the pressed look; a timed key press ends
    Fire();
    repeat_time_ = ReadMillisecondClock() + CBarBase::kFirstRepeat;
    return true;
  }
  if (GetState() != kPressed) return false;
  if (!mouse->IsDown(kLeftButton)) {
    SetState(kHot);
  } else if (static_cast<int32_t>(ReadMillisecondClock() - repeat_time_) >= 0) {
    Fire();
    repeat_time_ = ReadMillisecondClock() + CBarBase::kRepeat;
  }
  return true;
}

bool CScrollBarArrow::Fire() {
  bar_.StepBy(IsForward());
  return CImageButton::Fire();
}

void CScrollBarArrow::DrawLabel(CImage& image, const plat::Rect& rect, bool disabled) {
  if (!disabled) {
    DrawTriangle(image, rect, glyph_colour_);
    return;
  }
  DrawTriangle(image, {rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom + 1}, kDisabledLight);
  DrawTriangle(image, rect, kDisabledShade);
}

// Rows from a one-pixel tip, each two longer than the last, centred across the face; the tip
// lies a third into the face and the rows grow away from it.
void CScrollBarArrow::DrawTriangle(CImage& image, const plat::Rect& rect, uint32_t colour) const {
  const bool across_x = direction_ == kUp || direction_ == kDown;
  const int32_t along = across_x ? rect.Height() : rect.Width();
  int32_t across = across_x ? rect.Width() : rect.Height();
  if (across % 2 == 0) --across;
  const int32_t rows = (along + 2) / 3;
  const bool grows_up = direction_ == kDown || direction_ == kRight;
  const int32_t tip = along / 3 + (grows_up ? rows - 1 : 0);
  const int32_t middle = across / 2;
  for (int32_t row = 0; row < rows; ++row) {
    const int32_t at = tip + (grows_up ? -row : row);
    if (across_x) {
      image.FillRectArgbXYWH(rect.left + middle - row, rect.top + at, 2 * row + 1, 1, colour);
    } else {
      image.FillRectArgbXYWH(rect.left + at, rect.top + middle - row, 1, 2 * row + 1, colour);
    }
  }
}

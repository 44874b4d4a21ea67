#include "ui/widgets/text_edit.h"

#include <algorithm>
#include <utility>
#include <new>
#include <string>

#include "base/time/timer_manager.h"
#include "scene/drawables/draw_list.h"
#include "ui/fonts/font.h"
#include "ui/gui/caret_blink_task.h"
#include "ui/gui/gui_window.h"
#include "ui/widgets/ime_context.h"

namespace {

constexpr uint8_t kAlphaBlend = 2;
constexpr uint32_t kCompositionPriority = 0;
constexpr int32_t kCaretThickness = 2;
constexpr uint32_t kFrameShadow = 0x80000000;
constexpr uint32_t kFrameLight = 0x80FFFFFF;

// A field side worked out from script numbers, which may not fit a side at all.
bool FitsSide(int64_t side) { return std::in_range<int32_t>(side); }
constexpr uint32_t kOpaque = 0xFF000000;

}  // namespace

CTextEdit::~CTextEdit() {
  // Leaving the window first lets the focus end on the whole field (the input method unbound).
  if (GetOwner() != nullptr) GetOwner()->RemoveChild(this);
  Destroy();
}

void CTextEdit::SetPosition(int32_t x, int32_t y) {
  sprite_.SetPosition(x, y);
  if (ime_context_ != nullptr && GetOwner() != nullptr && GetOwner()->IsFocused(this)) {
    ime_context_->SetTextInputArea(plat::RectAt(plat::Point{x, y}, width_, height_));
  }
}

void CTextEdit::SetActive(bool active) {
  if (!active) LeaveOwnerFocusAndHover();
  sprite_.SetEnabled(active);
}

void CTextEdit::SetPriority(uint32_t priority, uint32_t key, uint32_t tag) {
  if (draw_list_ == nullptr) return;
  if (sprite_.GetOwnerList() == nullptr) {
    draw_list_->Insert(&sprite_, priority, key);
    draw_list_->Insert(&caret_, priority, key);
    sprite_.SetId(key);
    caret_.SetId(key);
    group_ = static_cast<int32_t>(key);
  } else {
    draw_list_->SetPriority(&sprite_, priority, tag != 0);
    draw_list_->SetPriority(&caret_, priority, tag != 0);
  }
  priority_ = priority;
}

void CTextEdit::SetOpacity(uint8_t opacity) {
  sprite_.SetOpacity(opacity);
  caret_.SetOpacity(opacity);
}

uint32_t CTextEdit::CreateSingleLine(CDrawList* draw_list, uint32_t priority, CTimerManager* timers,
                                     CImeContext* ime_context, CFont* font, int32_t width, const char* text, int32_t x,
                                     int32_t y, int32_t margin, bool frame, uint32_t key) {
  if (draw_list == nullptr || font == nullptr || width <= 0) return kBadArguments;
  const int64_t height = int64_t{std::abs(font->logical_font().height)} + 2 * int64_t{margin};
  if (!FitsSide(height)) return kImageFailed;
  return Create(draw_list, priority, timers, ime_context, font, Layout{width, static_cast<int32_t>(height), 0, 0, 0},
                text, x, y, margin, frame, key);
}

uint32_t CTextEdit::CreateMultiLine(CDrawList* draw_list, uint32_t priority, CTimerManager* timers,
                                    CImeContext* ime_context, CFont* font, int32_t lines, int32_t line_length,
                                    const char* text, int32_t x, int32_t y, int32_t margin, int32_t line_spacing,
                                    bool frame, uint32_t key) {
  if (draw_list == nullptr || font == nullptr || lines <= 1 || line_length <= 0) return kBadArguments;
  const int64_t font_size = std::abs(font->logical_font().height);
  const int64_t width = line_length * font_size / 2 + 2 * int64_t{margin};
  const int64_t height = font_size + 2 * int64_t{margin} + (font_size + line_spacing) * (lines - 1);
  if (!FitsSide(width) || !FitsSide(height)) return kImageFailed;
  const Layout layout{static_cast<int32_t>(width), static_cast<int32_t>(height), lines, line_length, line_spacing};
  return Create(draw_list, priority, timers, ime_context, font, layout, text, x, y, margin, frame, key);
}

uint32_t CTextEdit::Create(CDrawList* draw_list, uint32_t priority, CTimerManager* timers, CImeContext* ime_context,
                           CFont* font, const Layout& layout, const char* text, int32_t x, int32_t y, int32_t margin,
                           bool frame, uint32_t key) {
  Destroy();
  vertical_ = font->logical_font().escapement == kVerticalAngle;
  width_ = vertical_ ? layout.height : layout.width;
  height_ = vertical_ ? layout.width : layout.height;
  font_ = font;
  caret_margin_ = margin;
  frame_ = frame;
  max_lines_ = layout.lines;
  max_line_length_ = layout.line_length;
  line_spacing_ = layout.line_spacing;
  const uint32_t failed = [&]() -> uint32_t {
    if (image_.Create(width_, height_, 32, 0) != 0 || sprite_.SetImage(&image_, nullptr, x, y) != 0) return kImageFailed;
    sprite_.SetBlendMode(kAlphaBlend);
    ResetBuffer(text);
    const int32_t size = font_height();
    caret_.SetBox(vertical_ ? size : kCaretThickness, vertical_ ? kCaretThickness : size, kOpaque | text_colour_, 0, 0);
    caret_.SetEnabled(false);
    if (timers != nullptr) {
      blink_task_ = new (std::nothrow) CCaretBlinkTask(caret_);
      if (blink_task_ == nullptr) return kCaretTaskFailed;
      blink_task_->SetOwnerReference(&blink_task_);
      if (timers->Add(blink_task_, CCaretBlinkTask::kPeriod, CCaretBlinkTask::kPeriod, 0) != 0) {
        delete blink_task_;
        blink_task_ = nullptr;
        return kCaretTaskFailed;
      }
      timers_ = timers;
    }
    const int32_t inset = margin + (frame ? 1 : 0);
    text_origin_ = plat::Point{inset, inset};
    draw_list_ = draw_list;
    SetPriority(priority, key, 1);
    ime_context_ = ime_context;
    if (ime_context != nullptr) {
      composition_image_ = std::make_unique<CImage>();
      composition_sprite_ = std::make_unique<CSprite>();
      if (composition_image_->Create(composition_capacity_ * size, size, 32, 0) != 0 ||
          composition_sprite_->SetImage(composition_image_.get(), nullptr, 0, 0) != 0) {
        return kCompositionImageFailed;
      }
      composition_sprite_->SetBlendMode(kAlphaBlend);
      composition_sprite_->SetEnabled(false);
      composition_sprite_->SetId(key);
      draw_list->Insert(composition_sprite_.get(), kCompositionPriority, key);
    }
    Relayout();
    return 0;
  }();
  if (failed != 0) Destroy();
  return failed;
}

void CTextEdit::Destroy() {
  if (timers_ != nullptr && blink_task_ != nullptr) timers_->Remove(blink_task_);
  blink_task_ = nullptr;
  timers_ = nullptr;
  if (draw_list_ != nullptr) {
    draw_list_->Remove(&sprite_);
    draw_list_->Remove(&caret_);
    if (composition_sprite_ != nullptr) draw_list_->Remove(composition_sprite_.get());
  }
  draw_list_ = nullptr;
  composition_sprite_.reset();
  composition_image_.reset();
  shown_composition_ = {};
  sprite_.Reset();
  caret_.Reset();
  caret_.SetEnabled(false);
  image_.Release();
  text_.clear();
  buffer_made_ = false;
  line_starts_.clear();
  line_count_ = 0;
  caret_line_ = 0;
  caret_offset_ = 0;
  scroll_or_column_ = 0;
  ime_context_ = nullptr;
  font_ = nullptr;
}

plat::Point CTextEdit::ImagePoint(int32_t along, int32_t across, int32_t cell) const {
  if (!vertical_) return plat::Point{text_origin_.x + along, text_origin_.y + across};
  // Vertical lines run down, the first at the right.
  return plat::Point{width_ - text_origin_.x - across - cell, text_origin_.y + along};
}

void CTextEdit::DrawChar(CImage& image, plat::Point at, const char* bytes, int32_t size, uint32_t rgb) const {
  std::string character(bytes, static_cast<size_t>(size));
  if (character == "@") character = "@@";
  const Rgb kept = font_->text_color;
  font_->text_color = RgbOf(rgb);
  font_->DrawString(&image, at.x, at.y, character.c_str(), nullptr, nullptr);
  font_->text_color = kept;
}

void CTextEdit::Relayout() {
  if (image_.GetPixels() == nullptr || font_ == nullptr) return;
  if (multi_line()) BuildLines();
  const int32_t inset = frame_ ? 1 : 0;
  const plat::Rect inside{inset, inset, width_ - inset, height_ - inset};
  image_.FillRectArgb(background_colour_, &inside);
  const int32_t size = font_height();
  const int32_t extent = (vertical_ ? height_ : width_) - text_origin_.x;
  const int32_t lines = multi_line() ? line_count_ : 1;
  for (int32_t line = 0; line < lines; ++line) {
    int32_t offset = multi_line() ? line_starts_[static_cast<size_t>(line)] : scroll_or_column_;
    const int32_t end = multi_line() && line + 1 < line_count_ ? line_starts_[static_cast<size_t>(line) + 1]
                                                                : static_cast<int32_t>(text_.size());
    const int32_t across = line * (size + line_spacing_);
    int32_t along = 0;
    while (offset < end && text_[static_cast<size_t>(offset)] != '\n' && along < extent) {
      const int32_t next = StepForward(text_, offset, 1);
      const int32_t advance = Advance(offset, next - offset);
      DrawChar(image_, ImagePoint(along, across, size), text_.data() + offset, next - offset, text_colour_);
      along += advance;
      offset = next;
    }
  }
  if (frame_) DrawFrame();
  const plat::Rect whole{0, 0, width_, height_};
  image_.MarkChanged(whole);
  plat::Rect shown = whole;
  sprite_.InvalidateLocalRect(&shown);
}

void CTextEdit::DrawFrame() {
  image_.FillRectArgbXYWH(0, 0, width_, 1, kFrameShadow);
  image_.FillRectArgbXYWH(0, 0, 1, height_, kFrameShadow);
  image_.FillRectArgbXYWH(0, height_ - 1, width_, 1, kFrameLight);
  image_.FillRectArgbXYWH(width_ - 1, 0, 1, height_, kFrameLight);
}

void CTextEdit::PlaceCaret() {
  const plat::Point at = ImagePoint(CaretAlong(), CaretAcross(), vertical_ ? font_height() : 0);
  caret_.SetPosition(GetX() + at.x, GetY() + at.y);
}

void CTextEdit::ShowCaret() {
  if (image_.GetPixels() == nullptr) return;
  caret_.SetColor(text_colour_);
  PlaceCaret();
  caret_.SetEnabled(true);
  if (blink_task_ != nullptr) {
    blink_task_->SetOn(true);
    timers_->SetDelay(blink_task_, CCaretBlinkTask::kPeriod);
  }
}

void CTextEdit::HideCaret() {
  if (blink_task_ != nullptr) blink_task_->SetOn(false);
  caret_.SetEnabled(false);
}

bool CTextEdit::IsCaretBlinking() const { return blink_task_ != nullptr && blink_task_->IsOn(); }

void CTextEdit::UpdateComposition() {
  if (ime_context_ == nullptr || composition_sprite_ == nullptr) return;
  const plat::TextComposition& composition = ime_context_->UpdateComposition();
  const plat::Point at = ImagePoint(CaretAlong(), CaretAcross(), vertical_ ? font_height() : 0);
  const plat::Point position{GetX() + at.x, GetY() + at.y};
  if (composition.text.empty()) {
    EndComposition();
    return;
  }
  const bool same_text = composition.text == shown_composition_.text &&
                         composition.selected_begin == shown_composition_.selected_begin &&
                         composition.selected_end == shown_composition_.selected_end;
  if (same_text && position.x == composition_position_.x && position.y == composition_position_.y &&
      composition_sprite_->IsEnabled()) {
    return;
  }
  composition_position_ = position;
  if (!same_text) DrawComposition(composition);
  composition_sprite_->SetPosition(position.x, position.y);
  composition_sprite_->SetEnabled(true);
}

void CTextEdit::DrawComposition(const plat::TextComposition& composition) {
  shown_composition_ = composition;
  CImage& image = *composition_image_;
  image.FillRectArgb(0, nullptr);
  const int32_t size = font_height();
  const std::string& text = composition.text;
  int32_t x = 0;
  for (int32_t offset = 0; offset < static_cast<int32_t>(text.size()) && x < image.GetWidth();) {
    const int32_t next = StepForward(text, offset, 1);
    const int32_t cell = next - offset == 2 ? size : size / 2;
    const bool selected = static_cast<size_t>(offset) >= composition.selected_begin &&
                          static_cast<size_t>(offset) < composition.selected_end;
    const uint32_t background = selected ? composition_text_colour_ : composition_background_;
    const uint32_t ink = selected ? composition_background_ : composition_text_colour_;
    image.FillRectArgbXYWH(x, 0, cell, size, kOpaque | background);
    DrawChar(image, plat::Point{x, 0}, text.data() + offset, next - offset, ink);
    x += cell;
    offset = next;
  }
  const plat::Rect shown{0, 0, std::min(std::max(x, 1), image.GetWidth()), size};
  composition_sprite_->SetSourceRect(&shown);
  image.MarkChanged(plat::Rect{0, 0, image.GetWidth(), size});
  plat::Rect whole{0, 0, shown.right, size};
  composition_sprite_->InvalidateLocalRect(&whole);
}

void CTextEdit::EndComposition() {
  shown_composition_ = {};
  if (composition_sprite_ != nullptr) composition_sprite_->SetEnabled(false);
}

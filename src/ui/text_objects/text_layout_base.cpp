#include "ui/text_objects/text_layout_base.h"

#include <algorithm>
#include <cstdlib>

#include "base/input/input_bindings.h"
#include "base/input/mouse.h"
#include "pixel/formats/image_limits.h"
#include "platform/encoding/kinsoku_tables.h"
#include "ui/fonts/font.h"
#include "ui/fonts/text_markup.h"
#include "ui/gui/gui_window.h"

namespace {

namespace kinsoku = plat::kinsoku;

constexpr int32_t kMaxGlyphDigits = 6;
constexpr int32_t kParkSlack = 3;
constexpr int32_t kCursorNormal = 0;
constexpr int32_t kCursorHand = 1;
constexpr int32_t kCursorMove = 3;
constexpr uint32_t kDecideAction = 4;
constexpr int64_t kPenReach = int64_t{1} << 24;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

LayoutChar ReadLayoutChar(const char* text) {
  const auto first = static_cast<uint8_t>(text[0]);
  if (first == 0) return {};
  if (first >= 0x81 && text[1] != '\0') return {2, first, static_cast<uint8_t>(text[1])};
  if (first != '@') return {1, first, 0};
  if (text[1] == '@') return {2, '@', 0};
  int32_t digits = 0;
  while (digits < kMaxGlyphDigits && IsDigit(text[1 + digits])) ++digits;
  return {1 + digits, 0, 0};
}

CTextLayoutBase::~CTextLayoutBase() = default;

int32_t CTextLayoutBase::PenStep(int32_t step) { return std::clamp(step, -kMaxImageSide, kMaxImageSide); }

int32_t CTextLayoutBase::MovedPen(int32_t pen, int32_t step) {
  return static_cast<int32_t>(std::clamp(int64_t{pen} + step, -kPenReach, kPenReach));
}

int32_t CTextLayoutBase::FontHeight() const { return font_ ? std::abs(font_->logical_font().height) : 0; }

int32_t CTextLayoutBase::RubyFontHeight() const {
  return ruby_font_ ? std::abs(ruby_font_->logical_font().height) : 0;
}

void CTextLayoutBase::ParkAtOwnerPointer() {
  if (GetOwner() != nullptr) GetOwner()->GetMousePos(parked_x_, parked_y_);
  pointer_parked_ = true;
}

void CTextLayoutBase::ClearItems() {
  if (GetOwner() != nullptr && GetOwner()->IsHovered(this)) GetOwner()->HideTooltip();
  hover_text_ = nullptr;
  items_.clear();
  item_open_ = false;
  segment_open_ = false;
}

uint32_t CTextLayoutBase::AddItem(const CWidgetAction::Setup& setup, const char* description,
                                  uint32_t highlight_colour) {
  if (!items_enabled_ || item_open_) return 1;
  auto item = std::make_unique<CTextItem>(setup);
  if (description != nullptr) item->description = description;
  item->highlight_colour = highlight_colour;
  items_.push_back(std::move(item));
  item_open_ = true;
  segment_open_ = false;
  return 0;
}

void CTextLayoutBase::StartItemSegment() {
  if (!items_enabled_ || segment_open_ || items_.empty()) return;
  CTextItem::Segment segment;
  segment.x = pen_x_ - inset_left_ - (vertical_ ? line_size_ + 1 : 0);
  segment.y = pen_y_ - inset_top_;
  items_.back()->segments.push_back(segment);
  segment_open_ = true;
}

void CTextLayoutBase::CloseItemRegion() {
  if (!segment_open_ || items_.empty()) return;
  CTextItem::Segment& segment = items_.back()->segments.back();
  const int32_t slant = font_ != nullptr && font_->logical_font().italic != 0 ? FontHeight() / 4 : 0;
  if (vertical_) {
    segment.height = pen_y_ - segment.y + slant + std::max(inset_bottom_, 0);
    segment.width = line_pitch_;
  } else {
    segment.width = pen_x_ - segment.x + slant + std::max(inset_right_, 0);
    segment.height = line_pitch_;
  }
  FillRegion(segment.x, segment.y, segment.width, segment.height);
  segment_open_ = false;
}

void CTextLayoutBase::CloseItem() {
  if (!item_open_) return;
  item_open_ = false;
  CloseItemRegion();
  items_.back()->complete = true;
  ParkAtOwnerPointer();
  SetItemsFrozen(false);
}

void CTextLayoutBase::UpdateLineMetrics() {
  if (font_ == nullptr) return;
  int32_t height = FontHeight();
  if (!vertical_ && ruby_band_ && ruby_font_ != nullptr) height += ruby_gap_ + RubyFontHeight();
  line_size_ = std::max(minimum_line_size_, height);
  line_pitch_ = line_size_ + inset_top_ + inset_bottom_;
  if (vertical_) line_pitch_ += inset_left_ + inset_right_;
}

int32_t CTextLayoutBase::GetLineCrossOffset() const {
  return vertical_ ? line_size_ / 2 + inset_left_ : inset_top_ + line_size_;
}

int32_t CTextLayoutBase::GetLineBoxOffsetX() const { return vertical_ ? inset_right_ - line_pitch_ : -inset_left_; }

bool CTextLayoutBase::UpdateBreakLimit() {
  if (font_ == nullptr) return false;
  const int32_t hanging = hanging_cells_ * FontHeight();
  break_limit_ = vertical_ ? box_height_ - hanging - margin_bottom_ : box_width_ - hanging - margin_right_;
  return true;
}

void CTextLayoutBase::SetIndentHere() { indent_ = vertical_ ? pen_y_ - margin_top_ : pen_x_ - margin_left_; }

bool CTextLayoutBase::SetRuby(const char* text) {
  if (ruby_font_ == nullptr) return false;
  pending_ruby_ = text;
  return true;
}

void CTextLayoutBase::DrawTextSpread(const char* text, const plat::Rect& rect) {
  if (font_ == nullptr || text == nullptr || rect.Width() <= 0 || rect.Height() <= 0) return;
  TextSize size;
  font_->MeasureText(text, &size, nullptr, nullptr, 0, nullptr);
  const plat::Rect turned = font_->GetRotatedBounds(0, 0, size.cx, size.cy);
  const int32_t count = CountTextChars(text);
  if (count == 0) return;
  int32_t free = 0;
  if (vertical_) {
    free = rect.Height() + inset_top_ + inset_bottom_ - turned.Height();
    SetCursor((rect.Width() + inset_left_ + inset_right_ - turned.Width()) / 2 - inset_right_ - turned.left + 1,
              rect.top);
  } else {
    free = rect.Width() + inset_left_ + inset_right_ - turned.Width();
    SetCursor(rect.left, (rect.Height() + inset_top_ + inset_bottom_ - turned.Height()) / 2);
  }
  const int32_t step = free / (count + 1);
  const int32_t half = free % (count + 1) / 2;
  if (item_open_) StartItemSegment();
  int32_t& along = vertical_ ? pen_y_ : pen_x_;
  along += half;
  for (const char* p = text; *p != '\0';) {
    along += step;
    if (PutChar(&p) == kPageFull) break;
  }
  along += half + step;
}

void CTextLayoutBase::DrawTextAligned(const char* text, int32_t alignment) {
  if (font_ == nullptr || text == nullptr) return;
  TextSize size;
  font_->MeasureText(text, &size, nullptr, nullptr, 0, nullptr);
  const plat::Rect turned = font_->GetRotatedBounds(0, 0, size.cx, size.cy);
  const int32_t room_across = vertical_ ? box_width_ - margin_left_ - margin_right_ : box_height_ - margin_top_ - margin_bottom_;
  const int32_t room_along = vertical_ ? box_height_ - margin_top_ - margin_bottom_ : box_width_ - margin_left_ - margin_right_;
  const int32_t length = vertical_ ? turned.Height() : turned.Width();
  int32_t along = alignment;
  if (alignment <= 1) along = (room_along - length) / 2;
  if (alignment == 2) along = 0;
  if (alignment == 3) along = room_along - length;
  int32_t across = -1;
  if (alignment == 0 && vertical_) {
    across = (room_across + inset_left_ + inset_right_ - turned.Width()) / 2 - inset_right_ - turned.left + 1;
  } else if (alignment == 0) {
    across = (room_across - turned.Height()) / 2;
  }
  if (vertical_) {
    DrawItemText(text, across, along, true);
  } else {
    DrawItemText(text, along, across, true);
  }
}

bool CTextLayoutBase::IsNoBreakSbcs(uint8_t next) const {
  if (previous_trail_ == 0 && kinsoku::InSbcsTable(kinsoku::kNotAtLineEndSbcs, previous_lead_)) return true;
  return kinsoku::InSbcsTable(kinsoku::kNotAtLineStartSbcs, next) || kinsoku::InSbcsTable(kinsoku::kSmallSbcs, next);
}

bool CTextLayoutBase::IsNoBreakDbcs(uint8_t lead, uint8_t trail) const {
  if (previous_trail_ != 0 && kinsoku::InDbcsTable(kinsoku::kNotAtLineEndDbcs, previous_lead_, previous_trail_)) {
    return true;
  }
  return kinsoku::InDbcsTable(kinsoku::kNotAtLineStartDbcs, lead, trail) ||
         kinsoku::InDbcsTable(kinsoku::kSmallDbcs, lead, trail);
}

bool CTextLayoutBase::DecideItem(int32_t index) {
  const bool valid = index >= 0 && index < item_count() && items_[static_cast<size_t>(index)]->complete;
  if (GetId() >= 0 && GetOwner() != nullptr) {
    if (index >= 0 && !valid) return false;
    GetOwner()->OnCommand(index >= 0 ? GetId() + index : GetId());
  }
  if (!valid) return false;
  SetItemsFrozen(true);
  const CTextItem& chosen = *items_[static_cast<size_t>(index)];
  if (GetOwner() != nullptr) CWidgetAction::PlayEventSound(&chosen.action, *GetOwner(), CWidgetAction::Event::kDecide);
  chosen.action.Fire(GetOwner());
  return true;
}

bool CTextLayoutBase::HoverItem(int32_t index) {
  if (index < 0 || index >= item_count() || !items_[static_cast<size_t>(index)]->complete) return false;
  const CTextItem& hovered = *items_[static_cast<size_t>(index)];
  CWidgetAction::HoverWidget(&hovered.action, GetOwner(), true, true);
  if (!hovered.description.empty()) hover_text_ = hovered.description.c_str();
  SetItemHighlight(index, true);
  return true;
}

void CTextLayoutBase::UnhoverItem(int32_t index) {
  if (index >= 0 && index < item_count()) {
    CWidgetAction::HoverWidget(&items_[static_cast<size_t>(index)]->action, GetOwner(), false, true);
  }
  hover_text_ = nullptr;
  SetItemHighlight(current_item_, false);
}

bool CTextLayoutBase::HitTest(int32_t x, int32_t y) const {
  // The window asks through a const interface, but the pointer over a text box drags it and
  // takes the hover off its item.
  auto* self = const_cast<CTextLayoutBase*>(this);
  if (dragging_) {
    CMouse* mouse = GetOwner() != nullptr ? GetOwner()->GetMouse() : nullptr;
    if (mouse != nullptr && mouse->IsDown(0)) {
      self->SetPosition(x - drag_anchor_x_, y - drag_anchor_y_);
      return true;
    }
    self->dragging_ = false;
  }
  const int32_t local_x = x - GetX();
  const int32_t local_y = y - GetY();
  if (drag_threshold_ != 0 && HitTestAlpha(local_x, local_y)) {
    if (!items_frozen_ && current_item_ >= 0) {
      self->UnhoverItem(current_item_);
      self->current_item_ = -1;
    }
    if (GetOwner() != nullptr) GetOwner()->SetCursorMode(kCursorMove);
    return true;
  }
  if (items_frozen_) return false;
  if (pointer_parked_ && (std::abs(local_x - parked_x_) > kParkSlack || std::abs(local_y - parked_y_) > kParkSlack)) {
    pointer_parked_ = false;
  }
  const int32_t index = GetRegionAt(local_x, local_y);
  if (index < 0 || index >= item_count() || !items_[static_cast<size_t>(index)]->complete) return false;
  if (GetOwner() != nullptr) GetOwner()->SetCursorMode(kCursorHand);
  return true;
}

void CTextLayoutBase::OnMouseMove(int32_t x, int32_t y) {
  if (items_frozen_) {
    if (GetOwner() != nullptr && GetOwner()->GetCursorMode() == kCursorHand) GetOwner()->SetCursorMode(kCursorNormal);
    return;
  }
  if (drag_threshold_ != 0 && HitTestAlpha(x, y)) return;
  const int32_t index = GetRegionAt(x, y);
  if (index == current_item_) return;
  LeaveCurrentItem();
  current_item_ = index >= 0 && HoverItem(index) ? index : -1;
}

void CTextLayoutBase::LeaveCurrentItem() {
  if (current_item_ < 0) return;
  if (hover_text_ != nullptr && GetOwner() != nullptr) {
    GetOwner()->HideTooltip();
    GetOwner()->RestartHoverTimer();
  }
  UnhoverItem(current_item_);
}

bool CTextLayoutBase::HasCompleteItems() const {
  return std::any_of(items_.begin(), items_.end(), [](const auto& item) { return item->complete; });
}

bool CTextLayoutBase::FocusItem(int32_t index) {
  if (index < 0 || index >= item_count() || !items_[static_cast<size_t>(index)]->complete) return false;
  CGuiWindow* owner = GetOwner();
  const uint8_t mode = owner != nullptr ? owner->GetFocusPointerMode() : 0;
  if (mode == 1) {
    const CTextItem::Segment& first = items_[static_cast<size_t>(index)]->segments.front();
    owner->SetMousePos(GetX() + first.x + first.width / 2, GetY() + first.y + first.height / 2);
    return true;
  }
  if (owner != nullptr && owner->IsHovered(this)) owner->ClearHover();
  if (mode == 2) LeaveCurrentItem();
  HoverItem(index);
  current_item_ = index;
  if (mode == 2) owner->ParkPointer();
  return true;
}

void CTextLayoutBase::OnFocus(CGuiElement* /*previous*/, int forward) {
  if (HasCompleteItems() && !items_frozen_) {
    FocusItem(forward != 0 ? 0 : item_count() - 1);
    return;
  }
  CGuiWindow* owner = GetOwner();
  if (owner == nullptr) return;
  if ((forward != 0 ? owner->FocusNext() : owner->FocusPrevious()) != 0) owner->SetFocusTo(nullptr);
}

void CTextLayoutBase::OnKillFocus(CGuiElement* /*next*/) {
  dragging_ = false;
  if (!items_frozen_ && current_item_ >= 0) {
    UnhoverItem(current_item_);
    current_item_ = -1;
  }
  if (GetOwner() != nullptr && GetOwner()->GetCursorMode() != kCursorNormal) GetOwner()->SetCursorMode(kCursorNormal);
}

bool CTextLayoutBase::ProcessInput(CInputBindings* bindings) {
  CGuiWindow* owner = GetOwner();
  if (owner == nullptr || !HasCompleteItems() || items_frozen_) return false;
  const int32_t last = item_count() - 1;
  switch (owner->ClassifyTabKey(bindings)) {
    case CGuiWindow::kTabBackward: {
      pointer_parked_ = false;
      const bool moved = current_item_ > 0 ? FocusItem(current_item_ - 1) : owner->FocusPrevious() == 0;
      if (!moved) FocusItem(last);
      return true;
    }
    case CGuiWindow::kTabForward: {
      pointer_parked_ = false;
      const bool moved =
          current_item_ >= 0 && current_item_ < last ? FocusItem(current_item_ + 1) : owner->FocusNext() == 0;
      if (!moved) FocusItem(0);
      return true;
    }
    default:
      break;
  }
  if (current_item_ < 0 || bindings == nullptr || !bindings->IsActionPressed(kDecideAction)) return false;
  DecideItem(current_item_);
  return true;
}

void CTextLayoutBase::OnMouseLeave() {
  dragging_ = false;
  if (!items_frozen_ && current_item_ >= 0) {
    UnhoverItem(current_item_);
    current_item_ = -1;
  }
  if (GetOwner() != nullptr) GetOwner()->SetCursorMode(kCursorNormal);
}

bool CTextLayoutBase::OnMouseButton(int32_t x, int32_t y, CMouse* mouse) {
  if (mouse == nullptr || !mouse->IsPressed(0)) return false;
  if (!items_frozen_ && !pointer_parked_ && current_item_ >= 0) return DecideItem(current_item_);
  if (drag_threshold_ == 0 || !HitTestAlpha(x, y)) return false;
  drag_anchor_x_ = x;
  drag_anchor_y_ = y;
  dragging_ = true;
  return true;
}

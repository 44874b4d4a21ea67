#include "ui/widgets/ime_edit_base.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/input/input_bindings.h"
#include "base/input/mouse.h"
#include "platform/encoding/sjis_text.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_window.h"
#include "ui/widgets/ime_context.h"
#include "ui/widgets/ime_mode_label.h"

namespace {

constexpr uint8_t kBackspace = 8;
constexpr uint8_t kTab = 9;
constexpr uint8_t kLineFeed = 10;
constexpr uint8_t kEnter = 13;
constexpr uint8_t kEscape = 27;
// How many characters the scroll start moves at a time after each kind of change.
constexpr int32_t kCaretMoveStep = 3;
constexpr int32_t kBackspaceStep = 5;
constexpr int32_t kTypingStep = 1;
constexpr int32_t kTextCursor = 4;
constexpr int32_t kVerticalTextCursor = 5;

// The font reads a one-byte "@" as the start of an escape; typed text means it literally. The
// text is read by characters as the font reads it, so that an '@' second byte stays as it is.
std::string Literal(std::string_view text) {
  std::string literal;
  literal.reserve(text.size());
  for (const std::string_view character : plat::SplitCharacters(text)) {
    literal += character;
    if (character == "@") literal += '@';
  }
  return literal;
}

}  // namespace

int32_t CImeEditBase::PreviousCharSize(const std::string& text, int32_t offset) {
  offset = std::min(offset, static_cast<int32_t>(text.size()));
  if (offset <= 0) return 0;
  // The last byte may be a trail byte of any value, so the run of possible lead bytes is counted
  // from the byte before it: an odd run ends in the lead byte of the character at the end.
  int32_t run = 0;
  for (int32_t i = offset - 2; i >= 0 && static_cast<uint8_t>(text[static_cast<size_t>(i)]) >= 0x81; --i) ++run;
  return run % 2 == 1 ? 2 : 1;
}

int32_t CImeEditBase::StepForward(const std::string& text, int32_t offset, int32_t count) {
  const auto size = static_cast<int32_t>(text.size());
  for (int32_t i = 0; i < count && offset < size; ++i) {
    offset += IsLeadByte(static_cast<uint8_t>(text[static_cast<size_t>(offset)])) ? 2 : 1;
  }
  return std::min(offset, size);
}

int32_t CImeEditBase::font_height() const { return font_ != nullptr ? std::abs(font_->logical_font().height) : 0; }

int32_t CImeEditBase::Advance(int32_t offset, int32_t length) const {
  if (length <= 0 || font_ == nullptr) return 0;
  if (multi_line()) {
    int32_t advance = 0;
    for (int32_t i = offset; i < offset + length;) {
      const bool lead = IsLeadByte(static_cast<uint8_t>(text_[static_cast<size_t>(i)]));
      advance += lead ? font_height() : font_height() / 2;
      i += lead ? 2 : 1;
    }
    return advance;
  }
  TextSize size;
  const std::string part = Literal(std::string_view(text_).substr(static_cast<size_t>(offset), static_cast<size_t>(length)));
  return font_->MeasureText(part.c_str(), &size, nullptr, nullptr, 0, nullptr) != 0 ? size.cx : 0;
}

int32_t CImeEditBase::CaretAlong() const {
  if (multi_line()) return Advance(line_starts_[static_cast<size_t>(caret_line_)], scroll_or_column_);
  if (caret_offset_ >= scroll_or_column_) return Advance(scroll_or_column_, caret_offset_ - scroll_or_column_);
  return -Advance(caret_offset_, scroll_or_column_ - caret_offset_);
}

int32_t CImeEditBase::CaretAcross() const { return multi_line() ? caret_line_ * (font_height() + line_spacing_) : 0; }

int32_t CImeEditBase::InsertLimit() const {
  if (!multi_line()) return max_length_;
  const auto line_feeds = static_cast<int32_t>(std::count(text_.begin(), text_.end(), '\n'));
  return std::min(max_length_, max_length_ - max_lines_ + line_feeds);
}

void CImeEditBase::BuildLines() {
  line_starts_.assign(1, 0);
  int32_t column = 0;
  const auto size = static_cast<int32_t>(text_.size());
  for (int32_t i = 0; i < size;) {
    const bool line_feed = text_[static_cast<size_t>(i)] == '\n';
    const int32_t char_size = line_feed ? 1 : StepForward(text_, i, 1) - i;
    if (!line_feed && column + char_size <= max_line_length_) {
      column += char_size;
      i += char_size;
      continue;
    }
    if (static_cast<int32_t>(line_starts_.size()) == max_lines_) {
      text_.resize(static_cast<size_t>(i));
      break;
    }
    const int32_t next = line_feed ? i + 1 : i;
    line_starts_.push_back(next);
    column = 0;
    i = next;
  }
  line_count_ = static_cast<int32_t>(line_starts_.size());
  caret_offset_ = std::min(caret_offset_, static_cast<int32_t>(text_.size()));
}

void CImeEditBase::UpdateCaretLine() {
  caret_line_ = 0;
  for (size_t line = 1; line < line_starts_.size() && line_starts_[line] <= caret_offset_; ++line) {
    caret_line_ = static_cast<int32_t>(line);
  }
  scroll_or_column_ = caret_offset_ - line_starts_[static_cast<size_t>(caret_line_)];
}

void CImeEditBase::KeepCaretVisible(int32_t step) {
  const int32_t old_start = scroll_or_column_;
  const auto end = static_cast<int32_t>(text_.size());
  const int32_t least = caret_offset_ == end ? 1 : 0;
  while (scroll_or_column_ > 0 && CaretAlong() < least) {
    for (int32_t i = 0; i < step && scroll_or_column_ > 0; ++i) {
      scroll_or_column_ -= PreviousCharSize(text_, scroll_or_column_);
    }
  }
  const int32_t limit = (vertical_ ? height_ : width_) - 2 * (caret_margin_ + (frame_ ? 1 : 0));
  while (CaretAlong() >= limit) {
    const int32_t next = StepForward(text_, scroll_or_column_, step);
    if (next >= end) {
      scroll_or_column_ = end - PreviousCharSize(text_, end);
      break;
    }
    scroll_or_column_ = next;
  }
  if (scroll_or_column_ != old_start) Relayout();
}

void CImeEditBase::MoveCaretTo(int32_t offset, int32_t scroll_step) {
  caret_offset_ = std::clamp(offset, 0, static_cast<int32_t>(text_.size()));
  if (multi_line()) {
    UpdateCaretLine();
  } else {
    KeepCaretVisible(scroll_step);
  }
  PlaceCaret();
}

bool CImeEditBase::MoveCaretAcrossLines(int32_t delta) {
  const int32_t line = caret_line_ + delta;
  if (line < 0 || line >= line_count_) return false;
  const int32_t start = line_starts_[static_cast<size_t>(line)];
  const int32_t line_end =
      line + 1 < line_count_ ? line_starts_[static_cast<size_t>(line) + 1] : static_cast<int32_t>(text_.size());
  int32_t offset = start;
  while (offset < line_end && text_[static_cast<size_t>(offset)] != '\n') {
    const int32_t next = StepForward(text_, offset, 1);
    if (next - start > scroll_or_column_ || next > line_end) break;
    offset = next;
  }
  caret_offset_ = offset;
  caret_line_ = line;
  scroll_or_column_ = offset - start;
  PlaceCaret();
  return true;
}

bool CImeEditBase::RemoveAt(int32_t offset, int32_t size) {
  if (size <= 0 || offset < 0 || offset + size > static_cast<int32_t>(text_.size())) return false;
  text_.erase(static_cast<size_t>(offset), static_cast<size_t>(size));
  caret_offset_ = offset;
  return true;
}

bool CImeEditBase::Insert(const char* bytes, int32_t size) {
  if (static_cast<int32_t>(text_.size()) + size > InsertLimit()) return false;
  text_.insert(static_cast<size_t>(caret_offset_), bytes, static_cast<size_t>(size));
  caret_offset_ += size;
  return true;
}

void CImeEditBase::HidePointerWhileTyping() {
  CGuiWindow* owner = GetOwner();
  if (owner == nullptr) return;
  int32_t x = 0;
  int32_t y = 0;
  owner->GetMousePos(x, y);
  if (!pointer_hidden_ && HitTest(x, y)) {
    owner->ShowCursor(false);
    pointer_hidden_ = true;
  }
  owner->HideTooltip();
}

bool CImeEditBase::OnKeyDown(uint32_t virtual_key) {
  if (locked_ || !has_buffer()) return false;
  const uint32_t back = vertical_ ? kKeyUp : kKeyLeft;
  const uint32_t forward = vertical_ ? kKeyDown : kKeyRight;
  const uint32_t line_back = vertical_ ? kKeyRight : kKeyUp;
  const uint32_t line_forward = vertical_ ? kKeyLeft : kKeyDown;
  bool used = true;
  if (virtual_key == back) {
    MoveCaretTo(caret_offset_ - PreviousCharSize(text_, caret_offset_), kCaretMoveStep);
  } else if (virtual_key == forward) {
    MoveCaretTo(StepForward(text_, caret_offset_, 1), kCaretMoveStep);
  } else if (multi_line() && (virtual_key == line_back || virtual_key == line_forward)) {
    used = MoveCaretAcrossLines(virtual_key == line_back ? -1 : 1);
  } else if (virtual_key == kKeyEnd) {
    MoveCaretTo(static_cast<int32_t>(text_.size()), kTypingStep);
  } else if (virtual_key == kKeyHome) {
    MoveCaretTo(0, kCaretMoveStep);
  } else if (virtual_key == kKeyDelete) {
    used = RemoveAt(caret_offset_, StepForward(text_, caret_offset_, 1) - caret_offset_);
    if (used) {
      Relayout();
      MoveCaretTo(caret_offset_, kTypingStep);
    }
  } else {
    used = false;
  }
  if (used) HidePointerWhileTyping();
  return used;
}

bool CImeEditBase::OnChar(const char* text, int32_t length) {
  if (locked_ || !has_buffer() || text == nullptr) return false;
  int32_t step = kTypingStep;
  bool ended = false;
  bool entered = false;
  for (int32_t i = 0; i < length && !ended && !entered;) {
    const auto byte = static_cast<uint8_t>(text[i]);
    if (byte == kBackspace) {
      if (RemoveAt(caret_offset_ - PreviousCharSize(text_, caret_offset_), PreviousCharSize(text_, caret_offset_))) {
        step = kBackspaceStep;
      }
      ++i;
    } else if (byte == kEnter) {
      entered = true;
    } else if (byte == kTab || byte == kEscape) {
      ++i;
    } else if (byte == kLineFeed) {
      if (multi_line() && line_count_ < max_lines_ && Insert(text + i, 1)) ++line_count_;
      ++i;
    } else {
      const int32_t size = IsLeadByte(byte) ? 2 : 1;
      // A lead byte without its trail byte is no character.
      if (i + size > length || (size == 2 && text[i + 1] == '\0')) break;
      if (size == 1 && double_byte_only_) {
        ++i;
        continue;
      }
      ended = !Insert(text + i, size);
      i += size;
    }
  }
  if (multi_line()) {
    Relayout();
    UpdateCaretLine();
  } else {
    KeepCaretVisible(step);
    Relayout();
  }
  ShowCaret();
  HidePointerWhileTyping();
  // Enter ends the input here: the next element takes the focus, or nothing has it.
  if (CGuiWindow* owner = GetOwner(); entered && owner != nullptr && owner->FocusNext() != 0) {
    owner->SetFocusTo(nullptr);
  }
  return true;
}

bool CImeEditBase::HitTest(int32_t x, int32_t y) const {
  return x >= GetX() && x < GetX() + width_ && y >= GetY() && y < GetY() + height_;
}

void CImeEditBase::OnMouseMove(int32_t /*x*/, int32_t /*y*/) {
  CGuiWindow* owner = GetOwner();
  if (owner == nullptr) return;
  owner->SetCursorMode(vertical_ ? kVerticalTextCursor : kTextCursor);
  if (pointer_hidden_) {
    owner->ShowCursor(true);
    pointer_hidden_ = false;
  }
  if (focus_on_hover_ && !locked_ && !owner->IsFocused(this)) {
    focused_by_click_ = true;
    owner->SetFocusTo(this);
  }
}

void CImeEditBase::OnMouseLeave() {
  CGuiWindow* owner = GetOwner();
  if (owner == nullptr || focused_by_click_) return;
  owner->SetCursorMode(0);
  if (pointer_hidden_) {
    owner->ShowCursor(true);
    pointer_hidden_ = false;
  }
}

int32_t CImeEditBase::PositionFromPoint(int32_t x, int32_t y) const {
  const int32_t along = vertical_ ? y - text_origin_.y : x - text_origin_.x;
  const int32_t across = vertical_ ? width_ - text_origin_.x - x : y - text_origin_.y;
  int32_t offset = 0;
  int32_t end = static_cast<int32_t>(text_.size());
  if (multi_line()) {
    const int32_t pitch = font_height() + line_spacing_;
    const int32_t line = std::clamp(pitch > 0 ? across / pitch : 0, 0, line_count_ - 1);
    offset = line_starts_[static_cast<size_t>(line)];
    if (line + 1 < line_count_) end = line_starts_[static_cast<size_t>(line) + 1];
  } else {
    offset = scroll_or_column_;
  }
  int32_t reached = 0;
  while (offset < end && text_[static_cast<size_t>(offset)] != '\n') {
    const int32_t next = StepForward(text_, offset, 1);
    const int32_t width = Advance(offset, next - offset);
    if (reached + width > along) return along - reached > width / 2 ? next : offset;
    reached += width;
    offset = next;
  }
  return offset;
}

bool CImeEditBase::OnMouseButton(int32_t x, int32_t y, CMouse* mouse) {
  if (locked_ || !has_buffer() || mouse == nullptr || !mouse->IsPressed(0)) return false;
  CGuiWindow* owner = GetOwner();
  if (owner != nullptr && !owner->IsFocused(this)) {
    focused_by_click_ = true;
    owner->SetFocusTo(this);
  }
  MoveCaretTo(PositionFromPoint(x, y), kCaretMoveStep);
  ShowCaret();
  return true;
}

plat::Rect CImeEditBase::ScreenArea() const {
  return plat::RectAt(plat::Point{GetX(), GetY()}, width_, height_);
}

void CImeEditBase::OnFocus(CGuiElement* /*previous*/, int forward) {
  CGuiWindow* owner = GetOwner();
  if (locked_) {
    if (owner != nullptr && (forward != 0 ? owner->FocusNext() : owner->FocusPrevious()) != 0) {
      owner->SetFocusTo(nullptr);
    }
    return;
  }
  if (ime_context_ != nullptr) {
    ime_context_->SetImeWindow(true);
    ime_context_->SetTextInputArea(ScreenArea());
    if (UsesIme() && !ime_context_->GetOpenStatus() && owner != nullptr) owner->NotifyTextInput(1);
  }
  if (mode_label_ != nullptr) mode_label_->SetVisible(true);
  if (!focused_by_click_ && owner != nullptr) {
    const uint8_t pointer_mode = owner->GetFocusPointerMode();
    if (pointer_mode == 1) owner->SetMousePos(GetX() + width_ / 2, GetY() + height_ / 2);
    if (pointer_mode == 2) owner->ParkPointer();
  }
  ShowCaret();
}

void CImeEditBase::OnKillFocus(CGuiElement* /*next*/) {
  if (mode_label_ != nullptr) mode_label_->SetVisible(false);
  EndComposition();
  CGuiWindow* owner = GetOwner();
  if (UsesIme() && ime_context_->GetOpenStatus() && owner != nullptr) owner->NotifyTextInput(0);
  if (ime_context_ != nullptr) ime_context_->SetImeWindow(false);
  HideCaret();
  if (pointer_hidden_ && owner != nullptr) owner->ShowCursor(true);
  pointer_hidden_ = false;
  focused_by_click_ = false;
}

bool CImeEditBase::ProcessInput(CInputBindings* bindings) {
  if (mode_label_ != nullptr) mode_label_->Update();
  UpdateComposition();
  if (bindings == nullptr) return false;
  const bool along_pair = !vertical_ || multi_line();
  const bool across_pair = vertical_ || multi_line();
  return (along_pair && (bindings->IsActionPressed(2) || bindings->IsActionPressed(3))) ||
         (across_pair && (bindings->IsActionPressed(0) || bindings->IsActionPressed(1)));
}

uint32_t CImeEditBase::SetMaxLength(int32_t length) {
  if (has_buffer()) return 1;
  max_length_ = std::max(length, 0);
  return 0;
}

uint32_t CImeEditBase::SetCompositionStyle(int32_t capacity, uint32_t background, uint32_t text_colour) {
  if (capacity > 0) composition_capacity_ = capacity;
  if (background != kKeepColour) composition_background_ = background;
  if (text_colour != kKeepColour) composition_text_colour_ = text_colour;
  return 0;
}

uint32_t CImeEditBase::Commit() {
  if (result_buffer_ == nullptr || !has_buffer()) return 1;
  SetLocked(true);
  std::memcpy(result_buffer_, text_.c_str(), text_.size() + 1);
  return 0;
}

void CImeEditBase::SetLocked(bool locked) {
  if (locked == locked_) return;
  locked_ = locked;
  if (locked && GetOwner() != nullptr && GetOwner()->IsFocused(this)) GetOwner()->SetFocusTo(nullptr);
}

void CImeEditBase::ResetBuffer(const char* text) {
  text_.assign(text != nullptr ? text : "");
  if (static_cast<int32_t>(text_.size()) > max_length_) {
    // Cut before a character that would be split.
    int32_t end = 0;
    while (StepForward(text_, end, 1) <= max_length_ && end < max_length_) end = StepForward(text_, end, 1);
    text_.resize(static_cast<size_t>(end));
  }
  buffer_made_ = true;
  caret_offset_ = 0;
  caret_line_ = 0;
  scroll_or_column_ = 0;
}

uint32_t CImeEditBase::Clear() {
  if (!has_buffer()) return 1;
  ResetBuffer(nullptr);
  Relayout();
  ShowCaret();
  return 0;
}

uint32_t CImeEditBase::SetEditText(const char* text) {
  if (!has_buffer() || text == nullptr) return 1;
  ResetBuffer(text);
  Relayout();
  if (GetOwner() != nullptr && GetOwner()->IsFocused(this)) ShowCaret();
  return 0;
}

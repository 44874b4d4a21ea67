#include "ui/widgets/list_box.h"

#include <algorithm>
#include <cstdlib>

#include "base/input/input_bindings.h"
#include "base/input/keyboard.h"
#include "base/input/mouse.h"
#include "ui/fonts/font_base.h"
#include "ui/fonts/text_image.h"
#include "ui/gui/gui_window.h"
#include "ui/gui/widget_input.h"

namespace {

constexpr uint32_t kLeftButton = 0;
constexpr uint32_t kWheelUp = 3;
constexpr uint32_t kWheelDown = 4;
constexpr uint32_t kActionUp = 0;
constexpr uint32_t kActionDown = 1;
constexpr uint32_t kKeyHome = 0xC7;
constexpr uint32_t kKeyEnd = 0xCF;
constexpr uint32_t kKeySpace = 0x39;
constexpr uint8_t kBoxBlendMode = 2;
constexpr uint8_t kThumbOpacity = 0xFF;
constexpr int32_t kTextIndent = 2;

void Outline(CImage& image, const plat::Rect& r, uint32_t colour) {
  image.FillRectArgbXYWH(r.left, r.top, r.Width(), 1, colour);
  image.FillRectArgbXYWH(r.left, r.top, 1, r.Height(), colour);
  image.FillRectArgbXYWH(r.left, r.bottom - 1, r.Width(), 1, colour);
  image.FillRectArgbXYWH(r.right - 1, r.top, 1, r.Height(), colour);
}

}  // namespace

void CListBoxScrollBar::OnFocus(CGuiElement* /*previous*/, int forward) { PassFocusOn(*this, passing_focus_, forward); }

void CListBoxListener::OnClick(CGuiElement* /*element*/, int32_t /*value*/) { box_.Redraw(); }

CListBox::CListBox() = default;

CListBox::~CListBox() {
  DetachFromWindow();
  Release();
}

int32_t CListBox::GetRowCount() const {
  const CStringList* rows = RowList();
  return rows != nullptr ? static_cast<int32_t>(rows->Strings().size()) : 0;
}

int32_t CListBox::ScrollPosition() const { return std::max(scroll_bar_.GetValue(), 0); }

void CListBox::Release() {
  font_ = nullptr;
  face_.Leave();
  face_.UseList(nullptr);
  list_ = nullptr;
  face_.Reset();
  picture_.Release();
  scroll_bar_.Release();
  text_list_.reset();
  face_list_.reset();
  icon_picture_.reset();
  icon_states_.reset();
  icon_width_ = 0;
}

int32_t CListBox::Create(const Setup& s) {
  if (s.list == nullptr || s.font == nullptr || s.width <= 0 || s.thumb_file == nullptr ||
      s.thumb_start_cap + 1 + s.thumb_end_cap > s.scroll_bar_length) {
    return 1;
  }
  Release();
  list_ = s.list;
  int32_t width = s.width;
  if (s.icon_file != nullptr) {
    icon_picture_ = std::make_unique<CImage>();
    if (icon_picture_->LoadFile32(s.icon_file, nullptr, 0, 0) != 0) {
      Release();
      return 2;
    }
    icon_states_ = std::make_unique<std::deque<uint8_t>>();
    icon_width_ = icon_picture_->GetWidth() / 4;
    width += icon_width_;
  }
  row_height_ = std::abs(s.font->logical_font().height);
  row_gap_ = s.row_gap;
  const int32_t height = s.height < 0 ? -s.height * (row_height_ + row_gap_) - row_gap_ : s.height;
  if (height <= 0 || picture_.Create(width, height, 32, 0) != 0) {
    Release();
    return 3;
  }
  picture_.FillRectArgb(background_, nullptr);
  face_.UseList(list_);
  face_.Show(&picture_, {0, 0, width, height}, s.x, s.y, kBoxBlendMode, 255);
  CScrollBar::Files files;
  files.thumb = s.thumb_file;
  files.thumb_start_cap = s.thumb_start_cap;
  files.thumb_end_cap = s.thumb_end_cap;
  if (const int32_t status = scroll_bar_.CreateFromFiles(list_, s.priority, s.scroll_bar_x, s.scroll_bar_y, 0, 0, files,
                                                         true, true, s.blend_mode, kThumbOpacity, -1, -1, s.group);
      status != 0) {
    Release();
    return status;
  }
  scroll_bar_.SetListener(&listener_);
  scroll_bar_.SetStep(RowStep());
  scroll_bar_length_ = s.scroll_bar_length;
  // The box's face carries the given group, so that deleting the group finds the box.
  SetPriority(s.priority, static_cast<uint32_t>(s.group), 1);
  font_ = s.font;
  return 0;
}

uint32_t CListBox::AddItem(const char* text, const char* face, bool refresh) {
  if (font_ == nullptr) return 1;
  if (text_list_ == nullptr && face_list_ == nullptr) {
    if (text != nullptr) text_list_ = std::make_unique<CStringList>();
    if (face != nullptr) face_list_ = std::make_unique<CStringList>();
  }
  if (text_list_ != nullptr) {
    text_list_->Add(text != nullptr ? text : "");
    if (icon_states_ != nullptr) icon_states_->push_back(default_icon_state_);
  }
  if (face_list_ != nullptr) face_list_->Add(face != nullptr ? face : "");
  if (refresh) Refit();
  return 0;
}

void CListBox::Refit() {
  const int32_t count = GetRowCount();
  const int32_t content = count > 0 ? count * RowStep() - row_gap_ : picture_.GetHeight();
  scroll_bar_.SetRange(scroll_bar_length_, content, picture_.GetHeight(), 0, 0, 1);
  cursor_ = remembered_cursor_ = -1;
  Redraw();
}

uint32_t CListBox::SetSelection(int32_t index) {
  if (font_ == nullptr) return 1;
  selected_ = index < GetRowCount() ? index : -1;
  if (selected_ >= 0) {
    ScrollIntoView(selected_);
  } else {
    Redraw();
  }
  return 0;
}

uint32_t CListBox::SetIconState(int32_t index, uint8_t state, bool redraw) {
  if (font_ == nullptr || text_list_ == nullptr || icon_states_ == nullptr) return 1;
  if (index < 0 || index >= static_cast<int32_t>(icon_states_->size())) return 2;
  (*icon_states_)[static_cast<size_t>(index)] = state;
  if (redraw) Redraw();
  return 0;
}

uint8_t CListBox::GetIconState(int32_t index) const {
  if (icon_states_ == nullptr || index < 0 || index >= static_cast<int32_t>(icon_states_->size())) return 0;
  return (*icon_states_)[static_cast<size_t>(index)];
}

int32_t CListBox::AttachToWindow(CGuiWindow* window, int32_t index) {
  if (window == nullptr) return 1;
  if (window_ != nullptr || GetOwner() != nullptr) return -1;
  window_ = window;
  if (index < 0) {
    window->AddChild(this, -1);
    scroll_bar_.AttachToWindow(window, -1);
  } else {
    scroll_bar_.AttachToWindow(window, -1);
    window->AddChild(this, index);
  }
  return 0;
}

bool CListBox::DetachFromWindow() {
  if (window_ == nullptr) return false;
  scroll_bar_.DetachFromWindow();
  window_->RemoveChild(this);
  window_ = nullptr;
  return true;
}

void CListBox::SetPosition(int32_t x, int32_t y) {
  const int32_t dx = x - GetX();
  const int32_t dy = y - GetY();
  CSpriteWidget::SetPosition(x, y);
  scroll_bar_.SetPosition(scroll_bar_.GetX() + dx, scroll_bar_.GetY() + dy);
}

void CListBox::SetActive(bool active) {
  scroll_bar_.SetActive(active);
  CSpriteWidget::SetActive(active);
}

bool CListBox::SetEnabled(bool enabled) {
  scroll_bar_.SetEnabled(enabled);
  return CGuiElement::SetEnabled(enabled);
}

void CListBox::SetOpacity(uint8_t opacity) {
  scroll_bar_.SetOpacity(opacity);
  CSpriteWidget::SetOpacity(opacity);
}

bool CListBox::HitTest(int32_t x, int32_t y) const {
  return static_cast<uint32_t>(x - GetX()) < static_cast<uint32_t>(GetWidth()) &&
         static_cast<uint32_t>(y - GetY()) < static_cast<uint32_t>(GetHeight());
}

void CListBox::DrawRow(int32_t row, int32_t y, int32_t x0, int32_t text_width) {
  const int32_t count = GetRowCount();
  if (row == selected_) picture_.FillRectArgbXYWH(x0, y, text_width, row_height_, selection_colour_);
  if (HasIcons()) {
    const int32_t icon_x = (GetIconState(row) != 0 ? 2 * icon_width_ : 0) + (cursor_ == row + count ? icon_width_ : 0);
    const plat::Rect icon{icon_x, 0, icon_x + icon_width_, icon_picture_->GetHeight()};
    picture_.Copy(icon_picture_.get(), 0, y + ((row_height_ - icon_picture_->GetHeight()) >> 1), &icon, false);
  }
  if (row == cursor_) Outline(picture_, {x0, y, x0 + text_width, y + row_height_}, cursor_colour_);
  const auto at = static_cast<size_t>(row);
  if (face_list_ != nullptr) font_->SetFaceNameIfChanged(face_list_->Strings()[at].c_str());
  const std::string& text = (text_list_ != nullptr ? text_list_ : face_list_)->Strings()[at];
  text_image::DrawString(picture_, x0 + kTextIndent, y, text.c_str(), font_);
}

void CListBox::Redraw() {
  if (font_ == nullptr) return;
  picture_.FillRectArgb(background_, nullptr);
  if (RowList() != nullptr) {
    const int32_t x0 = HasIcons() ? icon_width_ : 0;
    const int32_t text_width = picture_.GetWidth() - x0;
    const int32_t count = GetRowCount();
    int32_t y = -ScrollPosition();
    for (int32_t row = 0; y < picture_.GetHeight() && row < count; ++row, y += RowStep()) {
      if (y > -row_height_) DrawRow(row, y, x0, text_width);
    }
  }
  face_.MarkDirty();
}

void CListBox::ScrollIntoView(int32_t row) {
  const int32_t scroll = ScrollPosition();
  const int32_t top = row * RowStep() - scroll;
  int32_t moved = CBarBase::kUnchanged;
  if (top < 0) {
    moved = scroll_bar_.SetValue(scroll + top);
  } else if (top + row_height_ > picture_.GetHeight()) {
    moved = scroll_bar_.SetValue(scroll + top - picture_.GetHeight() + row_height_);
  }
  if (moved != 0) Redraw();  // a moved bar has its listener redraw
}

void CListBox::MoveCursor(int32_t cursor) {
  cursor_ = cursor;
  ScrollIntoView(cursor);
}

void CListBox::Activate(int32_t index) {
  const int32_t count = GetRowCount();
  CGuiWindow* owner = GetOwner();
  if (HasIcons() && index >= count && index < 2 * count) {
    const int32_t row = index - count;
    SetIconState(row, GetIconState(row) == 0 ? 1 : 0, false);
  } else if (index >= 0 && index < count && index != selected_) {
    selected_ = index;
  } else {
    return;
  }
  if (owner != nullptr && GetId() >= 0) owner->OnCommand(GetId());
  Redraw();
}

void CListBox::OnMouseMove(int32_t x, int32_t y) {
  int32_t cursor = -1;
  if (RowList() != nullptr && RowStep() > 0) {
    const int32_t row = (ScrollPosition() + y) / RowStep();
    if (row >= 0 && row < GetRowCount()) cursor = x < icon_width_ ? row + GetRowCount() : row;
  }
  if (cursor == cursor_) return;
  cursor_ = cursor;
  Redraw();
}

void CListBox::OnMouseEnter() {
  CGuiWindow* owner = GetOwner();
  if (owner != nullptr && !owner->IsFocused(this)) owner->SetFocusTo(this);
}

bool CListBox::OnMouseButton(int32_t x, int32_t y, CMouse* mouse) {
  if (mouse == nullptr) return false;
  if (mouse->IsPressed(kLeftButton)) {
    Activate(cursor_);
    return true;
  }
  if (mouse->IsPressed(kWheelUp) || mouse->IsPressed(kWheelDown)) return scroll_bar_.OnMouseButton(x, y, mouse);
  return false;
}

void CListBox::OnFocus(CGuiElement* /*previous*/, int /*forward*/) {
  if (remembered_cursor_ >= 0 && remembered_cursor_ != cursor_) {
    cursor_ = remembered_cursor_;
    Redraw();
  }
}

void CListBox::OnKillFocus(CGuiElement* /*next*/) {
  remembered_cursor_ = cursor_;
  if (cursor_ < 0) return;
  cursor_ = -1;
  Redraw();
}

bool CListBox::HandleKeyboard() {
  CKeyboard* keyboard = GetOwner() != nullptr ? GetOwner()->GetKeyboard() : nullptr;
  if (keyboard == nullptr) return false;
  const int32_t count = GetRowCount();
  if (keyboard->IsPressed(kKeyHome) || keyboard->IsPressed(kKeyEnd)) {
    const bool home = keyboard->IsPressed(kKeyHome);
    cursor_ = home ? 0 : count - 1;
    if (scroll_bar_.SetThumbOffset(home ? 0 : scroll_bar_.GetRange()) != 0) Redraw();
    return true;
  }
  if (keyboard->IsPressed(kKeySpace) && HasIcons() && cursor_ >= 0) {
    Activate(cursor_ < count ? cursor_ + count : cursor_);
    return true;
  }
  return false;
}

bool CListBox::ProcessInput(CInputBindings* bindings) {
  if (RowList() == nullptr) return false;
  const int32_t count = GetRowCount();
  const int32_t row = cursor_ >= count ? cursor_ - count : cursor_;
  if (bindings != nullptr) {
    if (bindings->IsActionPressed(kActionUp)) {
      MoveCursor(std::max(row - 1, 0));
      return true;
    }
    if (bindings->IsActionPressed(kActionDown)) {
      MoveCursor(row < count - 1 ? row + 1 : row);
      return true;
    }
    if (IsDecidePressed(bindings)) {
      Activate(cursor_);
      return true;
    }
    const int32_t page = RowStep() > 0 ? (picture_.GetHeight() - row_gap_) / RowStep() : 0;
    if (page_up_action_ != 0 && bindings->IsActionPressed(page_up_action_)) {
      MoveCursor(std::max(row - page, 0));
      return true;
    }
    if (page_down_action_ != 0 && bindings->IsActionPressed(page_down_action_)) {
      MoveCursor(std::min(row + page, count - 1));
      return true;
    }
  }
  return HandleKeyboard();
}

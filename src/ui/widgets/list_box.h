// The scrolling list of text rows (widget type 9): one picture, redrawn whole on every change,
// shows the visible rows over a background with a selection band, an outline round the row under
// the pointer or the keyboard cursor and, with an icon picture, a two-state check icon at the
// start of each row. Rows may carry their own font face. A vertical scroll bar made from a thumb
// picture scrolls it by pixels.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "base/text/string_list.h"
#include "ui/fonts/font_base.h"
#include "ui/gui/gui_command_listener.h"
#include "ui/widgets/scroll_bar.h"
#include "ui/widgets/sprite_widget.h"

class CListBox;

// The box's scroll bar does not keep the focus: it hands it on.
class CListBoxScrollBar : public CScrollBar {
 public:
  void OnFocus(CGuiElement* previous, int forward) override;

 private:
  bool passing_focus_ = false;
};

// Redraws the box whenever its scroll bar moves.
class CListBoxListener : public CGuiCommandListener {
 public:
  explicit CListBoxListener(CListBox& box) : box_(box) {}
  void OnClick(CGuiElement* element, int32_t value) override;

 private:
  CListBox& box_;
};

class CListBox : public CSpriteWidget {
 public:
  static constexpr int32_t kType = 9;
  static constexpr uint32_t kDefaultBackground = 0xC0C0DCC0;
  static constexpr uint32_t kDefaultCursorColour = 0xFFFF9CBF;
  static constexpr uint32_t kDefaultSelectionColour = 0xC00B2BD7;

  struct Setup {
    IDrawList* list = nullptr;
    uint32_t priority = 0;
    CFontBase* font = nullptr;
    int32_t height = 0;  // negative: that many rows
    int32_t width = 0;
    int32_t x = 0;
    int32_t y = 0;
    const char* thumb_file = nullptr;
    int32_t thumb_start_cap = 0;
    int32_t thumb_end_cap = 0;
    int32_t scroll_bar_length = 0;
    int32_t scroll_bar_x = 0;
    int32_t scroll_bar_y = 0;
    uint8_t blend_mode = 0;
    const char* icon_file = nullptr;  // four icons side by side: off, off hovered, on, on hovered
    int32_t row_gap = 0;
    int32_t group = 0;
  };

  CListBox();
  ~CListBox() override;

  int32_t GetType() const override { return kType; }
  void SetPosition(int32_t x, int32_t y) override;
  void SetActive(bool active) override;
  void SetOpacity(uint8_t opacity) override;
  bool SetEnabled(bool enabled) override;
  bool HitTest(int32_t x, int32_t y) const override;
  void OnMouseMove(int32_t x, int32_t y) override;
  void OnMouseEnter() override;
  bool OnMouseButton(int32_t x, int32_t y, CMouse* mouse) override;
  void OnFocus(CGuiElement* previous, int forward) override;
  void OnKillFocus(CGuiElement* next) override;
  bool ProcessInput(CInputBindings* bindings) override;

  // 0; 1 missing list, font, width, thumb file, or caps that do not fit the scroll bar; 2 the
  // icon picture, 3 the picture cannot be made; else the scroll bar's failure.
  int32_t Create(const Setup& setup);
  // 0; 1 without a font. The first row decides which of the text and face lists the box keeps.
  uint32_t AddItem(const char* text, const char* face, bool refresh);
  // Fits the scroll bar to the rows and redraws.
  void Refit();
  // 0; 1 without a font.
  uint32_t SetSelection(int32_t index);
  // 0; 1 without font, text list or icons; 2 outside the rows.
  uint32_t SetIconState(int32_t index, uint8_t state, bool redraw);
  // False outside the rows.
  uint8_t GetIconState(int32_t index) const;
  // 0; 1 null window; -1 already attached.
  int32_t AttachToWindow(CGuiWindow* window, int32_t index);
  bool DetachFromWindow();
  void Release();
  void Redraw();

  void SetColours(uint32_t background, uint32_t cursor, uint32_t selection) {
    background_ = background;
    cursor_colour_ = cursor;
    selection_colour_ = selection;
  }
  void SetPageActions(uint8_t up, uint8_t down) {
    page_up_action_ = up;
    page_down_action_ = down;
  }
  void SetDefaultIconState(uint8_t state) { default_icon_state_ = state; }

  int32_t GetRowCount() const;
  int32_t GetSelection() const { return selected_; }
  int32_t GetCursor() const { return cursor_; }
  int32_t GetRowHeight() const { return row_height_; }
  CListBoxScrollBar& GetScrollBar() { return scroll_bar_; }

 private:
  const CStringList* RowList() const { return text_list_ != nullptr ? text_list_.get() : face_list_.get(); }
  bool HasIcons() const { return text_list_ != nullptr && icon_states_ != nullptr && icon_picture_ != nullptr; }
  int32_t RowStep() const { return row_height_ + row_gap_; }
  int32_t ScrollPosition() const;
  void Activate(int32_t index);
  void ScrollIntoView(int32_t row);
  void MoveCursor(int32_t cursor);
  void DrawRow(int32_t row, int32_t y, int32_t x0, int32_t text_width);
  bool HandleKeyboard();

  HeldFont<CFontBase> font_;
  std::unique_ptr<CStringList> text_list_;
  std::unique_ptr<CStringList> face_list_;
  int32_t row_height_ = 0;
  int32_t row_gap_ = 0;
  int32_t selected_ = -1;
  int32_t cursor_ = -1;  // a row, or row + count for its icon
  int32_t remembered_cursor_ = -1;
  CListBoxListener listener_{*this};
  CListBoxScrollBar scroll_bar_;
  int32_t scroll_bar_length_ = 0;
  std::unique_ptr<CImage> icon_picture_;
  std::unique_ptr<std::deque<uint8_t>> icon_states_;
  int32_t icon_width_ = 0;
  uint8_t default_icon_state_ = 1;
  uint32_t background_ = kDefaultBackground;
  uint32_t cursor_colour_ = kDefaultCursorColour;
  uint32_t selection_colour_ = kDefaultSelectionColour;
  uint8_t page_up_action_ = 0;
  uint8_t page_down_action_ = 0;
  CGuiWindow* window_ = nullptr;
};

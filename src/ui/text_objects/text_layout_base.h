// The GUI element that places Shift-JIS text character by character into a box: pen, line
// metrics, margins and insets, horizontal or vertical writing, ruby, the Japanese line-breaking
// rules and the clickable text items with their per-line segments. It draws nothing itself:
// `CTextLayout` owns the page image and supplies the layout operations declared here.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "platform/system/geometry.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_element.h"
#include "ui/gui/widget_action.h"


// One character of layout text: two bytes from a lead byte of 0x81 up; "@@" is one "@"; "@"
// with up to six digits is a custom glyph (code 0). Never reads past the terminating zero.
struct LayoutChar {
  int32_t length = 0;
  uint8_t lead = 0;
  uint8_t trail = 0;  // 0 for a one-byte character
  bool two_byte() const { return trail != 0; }
};
LayoutChar ReadLayoutChar(const char* text);

// A clickable run of text: the action record, its tooltip, highlight colour and one rectangle
// (box pixels) per line it covers.
struct CTextItem {
  struct Segment {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
  };
  explicit CTextItem(const CWidgetAction::Setup& setup) : action(setup) {}
  CWidgetAction action;
  std::string description;
  uint32_t highlight_colour = 0;
  bool complete = false;
  std::deque<Segment> segments;
};

class CTextLayoutBase : public CGuiElement {
 public:
  static constexpr int32_t kType = 5;
  // Results of placing a character.
  static constexpr int32_t kPlaced = 0;
  static constexpr int32_t kPlacedAfterBreak = -1;
  static constexpr int32_t kPageFull = 1;

  int32_t GetType() const override { return kType; }
  int32_t GetWidth() const override { return box_width_; }
  int32_t GetHeight() const override { return box_height_; }
  bool HitTest(int32_t x, int32_t y) const override;
  void OnMouseMove(int32_t x, int32_t y) override;
  void OnMouseLeave() override;
  bool OnMouseButton(int32_t x, int32_t y, CMouse* mouse) override;
  void OnFocus(CGuiElement* previous, int forward) override;
  void OnKillFocus(CGuiElement* next) override;
  // Tab and Shift+Tab walk the complete items, then leave to the owner's next or previous
  // element; the decide action decides the current item.
  bool ProcessInput(CInputBindings* bindings) override;
  const char* GetText() const override { return hover_text_; }

  // Layout operations of the page.
  virtual void SetCursor(int32_t x, int32_t y) = 0;
  // True when the page is full (nothing moves).
  virtual bool NewLine() = 0;
  // Places one character and advances the pointer past it: kPlaced, kPlacedAfterBreak, or
  // kPageFull with nothing consumed and the pen unchanged.
  virtual int32_t PutChar(const char** text) = 0;
  virtual void DrawItemText(const char* text, int32_t x, int32_t y, bool use_cursor) = 0;
  // Whether a box point lies on the band by which the box can be dragged.
  virtual bool HitTestAlpha(int32_t x, int32_t y) const = 0;
  virtual void FillRegion(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
  virtual int32_t GetRegionAt(int32_t x, int32_t y) const = 0;
  virtual void SetItemHighlight(int32_t index, bool on) = 0;

  void ClearItems();
  // 0; 1 when items are not enabled or an item is still open.
  uint32_t AddItem(const CWidgetAction::Setup& setup, const char* description, uint32_t highlight_colour);
  void StartItemSegment();
  void CloseItemRegion();
  void CloseItem();
  void SetItemsFrozen(bool frozen) { items_frozen_ = frozen; }
  void UpdateLineMetrics();
  int32_t GetLineCrossOffset() const;
  int32_t GetLineBoxOffsetX() const;
  int32_t GetLineBoxOffsetY() const { return -inset_top_; }
  bool UpdateBreakLimit();
  bool UpdateLayout() { return font_ != nullptr && UpdateBreakLimit(); }
  // False when a new line was started, else the auto-wrap flag.
  bool NewLineChecked() { return NewLine() && auto_wrap_; }
  void SetIndentHere();
  void ClearIndent() { indent_ = 0; }
  bool SetRuby(const char* text);
  // Spreads the characters evenly along a rectangle (relative to the margins): equal steps
  // before each and after the last, the remainder split at both ends.
  void DrawTextSpread(const char* text, const plat::Rect& rect);
  // Draws the string as one unit: 0 centres it on the page, 1 centres it along the current line,
  // 2 starts it at the line's start, 3 ends it at the line's end; a larger value is the start
  // coordinate along the line itself (relative to the margins).
  void DrawTextAligned(const char* text, int32_t alignment);
  bool DecideItem(int32_t index);
  bool FocusItem(int32_t index);
  bool HoverItem(int32_t index);
  void UnhoverItem(int32_t index);
  // Whether the line may not break between the previous character and this one.
  bool IsNoBreakSbcs(uint8_t next) const;
  bool IsNoBreakDbcs(uint8_t lead, uint8_t trail) const;

  // The area inside the margins, relative to them.
  plat::Rect GetTextArea() const {
    return {0, 0, box_width_ - margin_left_ - margin_right_, box_height_ - margin_top_ - margin_bottom_};
  }
  CFont* font() const { return font_; }
  int32_t pen_x() const { return pen_x_; }
  int32_t pen_y() const { return pen_y_; }
  int32_t line_size() const { return line_size_; }
  int32_t line_pitch() const { return line_pitch_; }
  int32_t break_limit() const { return break_limit_; }
  bool last_line() const { return last_line_; }
  bool vertical() const { return vertical_; }
  int32_t item_count() const { return static_cast<int32_t>(items_.size()); }
  const CTextItem& item(int32_t index) const { return *items_.at(static_cast<size_t>(index)); }
  int32_t current_item() const { return current_item_; }

  // Not 0: the box can be dragged wherever its background's alpha reaches this level.
  void SetDragThreshold(uint8_t threshold) { drag_threshold_ = threshold; }
  void EndDrag() { dragging_ = false; }
  bool dragging() const { return dragging_; }
  void SetAutoWrap(bool on) { auto_wrap_ = on; }
  void SetLineGap(int32_t gap) { line_gap_ = PenStep(gap); }
  void SetCharacterSpacing(int32_t spacing) { character_spacing_ = PenStep(spacing); }
  void SetRubyGap(int32_t gap) { ruby_gap_ = PenStep(gap); }
  void SetHangingCells(int32_t cells) { hanging_cells_ = cells; }
  void SetMinimumLineSize(int32_t size) { minimum_line_size_ = size; }
  void SetRubyBand(bool on) { ruby_band_ = on; }
  // Where the page's following lines start along the line, from the margin (a new page starts
  // them at the margin again).
  void SetIndent(int32_t indent) { indent_ = PenStep(indent); }
  int32_t indent() const { return indent_; }
  bool auto_wrap() const { return auto_wrap_; }
  bool ruby_band() const { return ruby_band_; }
  int32_t line_gap() const { return line_gap_; }
  int32_t character_spacing() const { return character_spacing_; }
  int32_t ruby_gap() const { return ruby_gap_; }
  // A value the scripts keep in the box and read back; the layout never uses it.
  void SetStoredValue(int32_t value) { stored_value_ = value; }
  std::optional<int32_t> stored_value() const { return stored_value_; }

  // A spacing, gap or indent from outside held to the largest page's side: no farther means
  // nothing more on any page, and the pen's sums with it cannot overflow.
  static int32_t PenStep(int32_t step);

 protected:
  CTextLayoutBase() = default;
  ~CTextLayoutBase() override;

  // The pen coordinate along the line and the limit it may reach inside the margin.
  int32_t PenAlong() const { return vertical_ ? pen_y_ : pen_x_; }
  int32_t LineEnd() const { return vertical_ ? box_height_ - margin_bottom_ : box_width_ - margin_right_; }
  int32_t FontHeight() const;
  // The pen moved by `step`, held within a reach far beyond any page however far unwrapped text,
  // negative spacing or gaps carry it.
  static int32_t MovedPen(int32_t pen, int32_t step);
  void AdvancePen(int32_t step) {
    int32_t& along = vertical_ ? pen_y_ : pen_x_;
    along = MovedPen(along, step);
  }
  int32_t RubyFontHeight() const;
  void ParkAtOwnerPointer();
  // The pointer or focus leaves the current item: its tooltip goes and it is unhovered.
  void LeaveCurrentItem();
  bool HasCompleteItems() const;

  HeldFont<CFont> font_;
  HeldFont<CFont> ruby_font_;
  int32_t box_width_ = 0;
  int32_t box_height_ = 0;
  uint32_t background_colour_ = 0;
  uint8_t background_alpha_ = 128;
  uint8_t background_style_ = 1;
  int32_t margin_left_ = 8;
  int32_t margin_top_ = 8;
  int32_t margin_right_ = 8;
  int32_t margin_bottom_ = 8;
  int32_t minimum_line_size_ = 0;
  int32_t line_size_ = 0;
  int32_t line_pitch_ = 0;
  int32_t inset_left_ = 2;
  int32_t inset_top_ = 2;
  int32_t inset_right_ = 2;
  int32_t inset_bottom_ = 2;
  int32_t pen_x_ = 0;
  int32_t pen_y_ = 0;
  bool items_enabled_ = false;
  bool centre_double_byte_ = false;
  bool vertical_ = false;
  bool auto_wrap_ = true;
  int32_t line_gap_ = 0;
  int32_t character_spacing_ = 0;
  int32_t ruby_gap_ = 0;
  int32_t hanging_cells_ = 2;
  int32_t break_limit_ = 0;
  int32_t indent_ = 0;
  const char* pending_ruby_ = nullptr;
  bool last_line_ = false;
  uint8_t previous_lead_ = 0;
  uint8_t previous_trail_ = 0;
  bool page_empty_ = true;
  bool ruby_band_ = true;
  bool items_frozen_ = false;
  uint8_t drag_threshold_ = 0;
  bool dragging_ = false;
  int32_t drag_anchor_x_ = 0;
  int32_t drag_anchor_y_ = 0;
  mutable bool pointer_parked_ = false;
  int32_t parked_x_ = 0;
  int32_t parked_y_ = 0;
  std::deque<std::unique_ptr<CTextItem>> items_;
  bool item_open_ = false;
  int32_t current_item_ = -1;
  bool segment_open_ = false;
  const char* hover_text_ = nullptr;
  std::optional<int32_t> stored_value_;
};

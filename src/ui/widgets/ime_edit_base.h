// The behaviour of a text field (widget type 3): the edit buffer with its caret, single-line
// fields that scroll sideways and multi-line fields of a fixed number of lines, horizontal or
// vertical writing, keys and typed Shift-JIS text, the mouse, and the focus, which binds the
// input method's window and shows the mode label. The derived field draws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/system/geometry.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_element.h"

class CImeContext;
class CImeModeLabel;

class CImeEditBase : public CGuiElement {
 public:
  static constexpr int32_t kType = 3;
  static constexpr uint32_t kKeepColour = 0xFFFFFFFF;
  // Virtual keys the field reads.
  static constexpr uint32_t kKeyEnd = 0x23;
  static constexpr uint32_t kKeyHome = 0x24;
  static constexpr uint32_t kKeyLeft = 0x25;
  static constexpr uint32_t kKeyUp = 0x26;
  static constexpr uint32_t kKeyRight = 0x27;
  static constexpr uint32_t kKeyDown = 0x28;
  static constexpr uint32_t kKeyDelete = 0x2E;

  CImeEditBase() = default;

  int32_t GetType() const override { return kType; }
  int32_t GetWidth() const override { return width_; }
  int32_t GetHeight() const override { return height_; }
  bool HitTest(int32_t x, int32_t y) const override;
  void OnMouseMove(int32_t x, int32_t y) override;
  void OnMouseLeave() override;
  bool OnMouseButton(int32_t x, int32_t y, CMouse* mouse) override;
  void OnFocus(CGuiElement* previous, int forward) override;
  void OnKillFocus(CGuiElement* next) override;
  bool ProcessInput(CInputBindings* bindings) override;
  bool OnKeyDown(uint32_t virtual_key) override;
  bool OnChar(const char* text, int32_t length) override;

  virtual void Relayout() = 0;
  virtual void UpdateComposition() = 0;
  virtual void EndComposition() = 0;
  // 1 once the edit buffer exists (the length is set before creating).
  virtual uint32_t SetMaxLength(int32_t length);
  // A capacity <= 0 or a colour of kKeepColour keeps the old value. 0.
  virtual uint32_t SetCompositionStyle(int32_t capacity, uint32_t background, uint32_t text_colour);
  virtual void SetModeLabel(CImeModeLabel* label) { mode_label_ = label; }
  CImeModeLabel* GetModeLabel() const { return mode_label_; }
  // Locks the field and copies the text into the result buffer: 0, 1 without either.
  virtual uint32_t Commit();
  virtual void SetLocked(bool locked);
  // 0, 1 before creation.
  virtual uint32_t Clear();
  // 0, 1 before creation or for null.
  virtual uint32_t SetEditText(const char* text);
  virtual void PlaceCaret() = 0;
  virtual void ShowCaret() = 0;
  virtual void HideCaret() = 0;

  // The caller's buffer that Commit fills (maximum length + 1 bytes).
  void SetResultBuffer(char* buffer) { result_buffer_ = buffer; }
  void SetDoubleByteOnly(bool on) { double_byte_only_ = on; }
  void SetOpenImeOnFocus(bool on) { open_ime_on_focus_ = on; }
  void SetFocusOnHover(bool on) { focus_on_hover_ = on; }
  void SetColours(uint32_t background_argb, uint32_t text_rgb) {
    background_colour_ = background_argb;
    text_colour_ = text_rgb;
  }

  const std::string& GetEditText() const { return text_; }
  int32_t GetCaretOffset() const { return caret_offset_; }
  int32_t GetCaretLine() const { return caret_line_; }
  int32_t GetLineCount() const { return line_count_; }
  int32_t GetScrollStart() const { return multi_line() ? 0 : scroll_or_column_; }
  bool IsLocked() const { return locked_; }
  bool IsVertical() const { return vertical_; }
  int32_t GetMaxLength() const { return max_length_; }

  // A byte of 0x81 or above, but 0xFF, begins a two-byte character.
  static bool IsLeadByte(uint8_t byte) { return byte >= 0x81 && byte != 0xFF; }
  // The size of the character that ends at `offset` (0 at the start).
  static int32_t PreviousCharSize(const std::string& text, int32_t offset);
  // The offset `count` characters on from `offset`, stopping at the end.
  static int32_t StepForward(const std::string& text, int32_t offset, int32_t count);

 protected:
  bool multi_line() const { return max_lines_ > 0; }
  bool has_buffer() const { return buffer_made_; }
  int32_t font_height() const;
  // The pixel advance of `length` bytes of the text from `offset`, at the field's pitch.
  int32_t Advance(int32_t offset, int32_t length) const;
  // The caret's offset from the text origin: along the line, and across to its line.
  int32_t CaretAlong() const;
  int32_t CaretAcross() const;
  // The line table from the text: a new line after each line feed and where the next character
  // would pass the line length; text past the last line is cut off.
  void BuildLines();
  // Where a typed character may go at most: the maximum length, in multi-line fields less a
  // byte per line but plus the line feeds held.
  int32_t InsertLimit() const;
  // Puts the buffer up for a new field: text cut to the maximum length, caret at the start.
  void ResetBuffer(const char* text);
  void HidePointerWhileTyping();

  CImeContext* ime_context_ = nullptr;
  plat::Point composition_position_{};
  int32_t composition_capacity_ = 16;
  uint32_t composition_background_ = 0x0000FF;
  uint32_t composition_text_colour_ = 0xFFFFFF;
  CImeModeLabel* mode_label_ = nullptr;
  HeldFont<CFont> font_;
  char* result_buffer_ = nullptr;
  std::string text_;
  bool buffer_made_ = false;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t caret_margin_ = 0;
  plat::Point text_origin_{};
  int32_t max_lines_ = 0;
  int32_t line_spacing_ = 0;
  int32_t max_line_length_ = 0;
  std::vector<int32_t> line_starts_;
  int32_t line_count_ = 0;
  int32_t caret_line_ = 0;
  int32_t caret_offset_ = 0;
  int32_t scroll_or_column_ = 0;
  uint32_t background_colour_ = 0xC0C0DCC0;
  uint32_t text_colour_ = 0;
  int32_t max_length_ = 255;
  bool frame_ = false;
  bool vertical_ = false;
  bool double_byte_only_ = false;
  bool focus_on_hover_ = true;
  bool open_ime_on_focus_ = false;
  bool locked_ = false;
  bool focused_by_click_ = false;
  bool pointer_hidden_ = false;

 private:
  void MoveCaretTo(int32_t offset, int32_t scroll_step);
  // Single-line fields: the scroll start moves so that the caret stays in sight.
  void KeepCaretVisible(int32_t step);
  void UpdateCaretLine();
  bool MoveCaretAcrossLines(int32_t delta);
  bool RemoveAt(int32_t offset, int32_t size);
  // Inserts one character; false when it is refused.
  bool Insert(const char* bytes, int32_t size);
  int32_t PositionFromPoint(int32_t x, int32_t y) const;
  bool UsesIme() const { return ime_context_ != nullptr && (open_ime_on_focus_ || double_byte_only_); }
  plat::Rect ScreenArea() const;
};

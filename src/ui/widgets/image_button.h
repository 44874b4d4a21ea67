// The engine's ordinary push button (widget type 0): its face is a strip of frames (normal, hot,
// pressed when there is one, disabled when there is one) shown one at a time. The strip comes
// from an image file, from an image that another object owns, or is drawn from a label in the
// bevelled style of a face colour.
#pragma once

#include <cstdint>
#include <string>

#include "ui/fonts/font_base.h"
#include "ui/widgets/button_strip.h"
#include "ui/widgets/image_button_base.h"

class CImage;
class IDrawList;

class CImageButton : public CImageButtonBase {
 public:
  static constexpr int32_t kType = 0;
  static constexpr uint32_t kDefaultFaceColour = 0xD4D0C8;
  static constexpr uint32_t kDefaultFocusTint = 0x400080FF;

  CImageButton() = default;
  ~CImageButton() override;

  int32_t GetType() const override { return kType; }
  int32_t GetX() const override { return strip_.face().GetX(); }
  int32_t GetY() const override { return strip_.face().GetY(); }
  void SetPosition(int32_t x, int32_t y) override { strip_.face().SetPosition(x, y); }
  void SetActive(bool active) override;
  bool IsActive() const override { return strip_.face().IsEnabled(); }
  void SetPriority(uint32_t priority, uint32_t key, uint32_t key3) override;
  uint32_t GetPriority() const override { return strip_.face().GetPriority(); }
  void SetOpacity(uint8_t opacity) override { strip_.face().SetOpacity(opacity); }
  uint8_t GetOpacity() const override { return strip_.face().GetOpacity(); }
  bool SetEnabled(bool enabled) override;
  bool HitTest(int32_t x, int32_t y) const override { return strip_.HitTest(x, y); }

  // The label button: the text measured with the font (width or height 0: the text's plus 8), or
  // without a font a face of at least 8 × 8 that DrawLabel fills. 0; 1 null list, no font and
  // a side below 8, or no text with a font; 2 the strip cannot be made; -1 other failure.
  uint32_t Create(IDrawList* list, uint32_t priority, const char* text, CFontBase* font, int32_t x, int32_t y,
                  int32_t width, int32_t height, bool has_disabled_frame, int32_t group);
  // 0; 1 null list or file name; 2 the file does not load.
  uint32_t CreateFromFile(IDrawList* list, uint32_t priority, const char* file_name, bool has_disabled_frame,
                          bool has_pressed_frame, int32_t x, int32_t y, uint8_t blend_mode, uint8_t opacity,
                          int32_t key, int32_t key_y, int32_t group);
  // The image is kept by pointer. 0; 1 null list, null image or an image without pixels.
  uint32_t CreateFromImage(IDrawList* list, uint32_t priority, CImage* image, bool has_disabled_frame,
                           bool has_pressed_frame, int32_t x, int32_t y, uint8_t blend_mode, uint8_t opacity,
                           int32_t group);
  // Rebuild the face with a new label or file, everything else as before. 0; 1 null; 2 failed.
  uint32_t SetLabel(const char* text);
  uint32_t SetFaceFile(const char* file_name);
  // 1 when the face is in no list or the list is null.
  uint32_t MoveToDrawList(IDrawList* list) { return strip_.face().MoveToDrawList(list); }
  void Release();
  bool HitTestImage(int32_t x, int32_t y) const { return strip_.face().HitTest(x, y, true); }
  void SetRectHit(bool on) { strip_.rect_hit = on; }
  // The label buttons' colours, which the widget manager hands on.
  void SetFaceColours(uint32_t face_colour, uint32_t focus_tint) {
    face_colour_ = face_colour;
    focus_tint_ = focus_tint;
  }

  // The frame of the strip that the face shows.
  int32_t GetShownFrame() const { return strip_.GetShownFrame(); }
  const CWidgetFace& GetFace() const { return strip_.face(); }
  CWidgetFace& GetFace() { return strip_.face(); }
  const CImage* GetImage() const { return strip_.shown_image(); }
  CImage* GetImage() { return strip_.shown_image(); }

 protected:
  void ShowState() override;
  // Draws a face picture into a frame rectangle of a label button made without a font; derived
  // buttons (arrow buttons) draw their glyphs here.
  virtual void DrawLabel(CImage& /*image*/, const plat::Rect& /*rect*/, bool /*disabled*/) {}

 private:
  struct Bevel;
  uint32_t Build(IDrawList* list, const char* text, CFontBase* font, int32_t x, int32_t y,
                 int32_t width, int32_t height, bool has_disabled_frame);
  uint32_t Finish(uint32_t status);
  uint32_t PlaceFace(int32_t frame_count, int32_t x, int32_t y, uint8_t blend_mode, uint8_t opacity, uint32_t priority,
                     int32_t group);
  void UseList(IDrawList* list);
  void DrawFrame(int32_t frame, const Bevel& bevel, const plat::Point& text_at);
  void DrawLabelText(int32_t x, int32_t y, bool disabled);

  HeldFont<CFontBase> font_;
  std::string label_;
  bool has_disabled_frame_ = false;
  bool has_pressed_frame_ = false;
  uint32_t face_colour_ = kDefaultFaceColour;
  uint32_t focus_tint_ = kDefaultFocusTint;
  plat::Point text_offset_{};  // where the top-left of the label's bounds lies in a frame
  plat::Point text_origin_{};  // the label's bounds' top-left relative to the pen
  CButtonStrip strip_;
};

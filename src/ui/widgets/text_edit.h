// The text field that the widget manager makes: it draws the edit buffer into its own image
// shown by a sprite, the caret as a colour box blinked every 500 ms, and the input method's
// composition in place at the caret, the segment being converted in swapped colours.
#pragma once

#include <cstdint>
#include <memory>

#include "base/lifetime/watched_ptr.h"
#include "gfx/images/image.h"
#include "platform/encoding/text_composition.h"
#include "scene/drawables/draw_list.h"
#include "scene/sprites/color_box.h"
#include "scene/sprites/sprite.h"
#include "ui/widgets/ime_edit_base.h"

class CCaretBlinkTask;
class CTimerManager;

class CTextEdit : public CImeEditBase {
 public:
  // Create results.
  static constexpr uint32_t kBadArguments = 1;
  static constexpr uint32_t kImageFailed = 2;
  static constexpr uint32_t kCaretTaskFailed = 3;
  static constexpr uint32_t kCompositionImageFailed = 4;
  static constexpr int32_t kVerticalAngle = 2700;

  CTextEdit() = default;
  ~CTextEdit() override;

  int32_t GetX() const override { return sprite_.GetX(); }
  int32_t GetY() const override { return sprite_.GetY(); }
  // Moves the text; the caret and the composition follow when they are placed next.
  void SetPosition(int32_t x, int32_t y) override;
  void SetActive(bool active) override;
  bool IsActive() const override { return sprite_.IsEnabled(); }
  // The first call lists the text and the caret with the key as their id and the field's group.
  void SetPriority(uint32_t priority, uint32_t key, uint32_t tag) override;
  uint32_t GetPriority() const override { return priority_; }
  void SetOpacity(uint8_t opacity) override;
  uint8_t GetOpacity() const override { return sprite_.GetOpacity(); }

  // 0; 1 bad arguments (no list or font, width <= 0); 2 image; 3 caret task; 4 composition image.
  uint32_t CreateSingleLine(CDrawList* draw_list, uint32_t priority, CTimerManager* timers, CImeContext* ime_context,
                            CFont* font, int32_t width, const char* text, int32_t x, int32_t y, int32_t margin,
                            bool frame, uint32_t key);
  // The same with lines > 1 of line_length > 0 bytes each, line_spacing pixels apart.
  uint32_t CreateMultiLine(CDrawList* draw_list, uint32_t priority, CTimerManager* timers, CImeContext* ime_context,
                           CFont* font, int32_t lines, int32_t line_length, const char* text, int32_t x, int32_t y,
                           int32_t margin, int32_t line_spacing, bool frame, uint32_t key);
  void Destroy();

  void Relayout() override;
  void UpdateComposition() override;
  void EndComposition() override;
  void PlaceCaret() override;
  void ShowCaret() override;
  void HideCaret() override;

  const CImage& GetImage() const { return image_; }
  CImage& GetImage() { return image_; }
  CSprite& GetSprite() { return sprite_; }
  const CColorBox& GetCaret() const { return caret_; }
  const CSprite* GetCompositionSprite() const { return composition_sprite_.get(); }
  const CImage* GetCompositionImage() const { return composition_image_.get(); }
  bool IsCaretBlinking() const;

 private:
  struct Layout {
    int32_t width;
    int32_t height;
    int32_t lines;
    int32_t line_length;
    int32_t line_spacing;
  };
  uint32_t Create(CDrawList* draw_list, uint32_t priority, CTimerManager* timers, CImeContext* ime_context,
                  CFont* font, const Layout& layout, const char* text, int32_t x, int32_t y, int32_t margin,
                  bool frame, uint32_t key);
  // Where a point of the text (along its lines, across them) lies in the field image.
  plat::Point ImagePoint(int32_t along, int32_t across, int32_t cell) const;
  // Draws one character with its cell's top-left at `at`.
  void DrawChar(CImage& image, plat::Point at, const char* bytes, int32_t size, uint32_t rgb) const;
  void DrawFrame();
  void DrawComposition(const plat::TextComposition& composition);

  // Null once the list ends (a canvas a script deleted): the field then shows nowhere.
  WatchedPtr<CDrawList, IDrawList> draw_list_;
  uint32_t priority_ = 0;
  CTimerManager* timers_ = nullptr;
  CCaretBlinkTask* blink_task_ = nullptr;
  CImage image_;
  CSprite sprite_;
  CColorBox caret_;
  std::unique_ptr<CImage> composition_image_;
  std::unique_ptr<CSprite> composition_sprite_;
  plat::TextComposition shown_composition_;
};

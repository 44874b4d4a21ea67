// The label that shows the input method's mode while a text field has the focus, as short
// Japanese text: "英数" while it is closed or does not convert, else the roman, shape, kana and
// sentence modes in that order ("Ｒ全ひ連", ...). One label serves every field.
#pragma once

#include <cstdint>
#include <string>

#include "base/lifetime/watched_ptr.h"
#include "gfx/images/image.h"
#include "scene/drawables/draw_list.h"
#include "scene/sprites/sprite.h"
#include "ui/widgets/label_base.h"

class CImeModeLabel : public CLabelBase {
 public:
  static constexpr uint32_t kBadArguments = 1;
  static constexpr uint32_t kImageFailed = 2;

  CImeModeLabel() = default;
  ~CImeModeLabel() override { Destroy(); }

  // 0; 1 when the list, the context or the font is null; 2 when the image cannot be made.
  uint32_t Create(CDrawList* draw_list, CImeContext* ime_context, CFont* font, int32_t x, int32_t y,
                  bool right_aligned, uint32_t key);
  void Destroy() override;
  int32_t GetX() const override { return x_; }
  int32_t GetY() const override { return y_; }
  void SetPosition(int32_t x, int32_t y) override;
  void SetVisible(bool visible) override { sprite_.SetEnabled(visible && image_.GetPixels() != nullptr); }
  bool IsActive() const override { return sprite_.IsEnabled(); }
  void SetOpacity(bool on) { SetVisible(on); }
  // Draws the modes anew when they, the open state or the label's settings changed.
  void Update() override;

  // The text for the input method's state.
  static std::string ModeText(bool open, uint32_t conversion, uint32_t sentence);
  const CSprite& GetSprite() const { return sprite_; }
  const CImage& GetImage() const { return image_; }

 private:
  void PlaceSprite();

  // Null once the list ends (a canvas a script deleted): the label then shows nowhere.
  WatchedPtr<CDrawList, IDrawList> draw_list_;
  CImage image_;
  CSprite sprite_;
  int32_t drawn_width_ = 0;
};

// What a widget shows through its sprite or colour box: the source image and rectangle, the
// position, blend mode, opacity and on/off switch, and its place in a draw list. Sprites and
// draw lists join the engine later; until then the face keeps this state for the widget (and
// answers hit tests from it), and putting it into a draw list says that nothing is drawn yet.
#pragma once

#include <cstdint>

#include "platform/window_messages.h"

class CImage;
class IDrawList;

class CWidgetFace {
 public:
  // Shows the image's rectangle (not owned; null for a colour box) at (x, y).
  void Show(const CImage* image, const plat::Rect& source, int32_t x, int32_t y, uint8_t blend_mode, uint8_t opacity);
  // Moves the source rectangle so that its top-left lies at (x, y) of the image.
  void SetSourceOrigin(int32_t x, int32_t y);
  // The draw list that the face joins at its first SetPriority.
  void UseList(IDrawList* list) { list_ = list; }
  // 1 without a list; joins it at the priority with `key` as its id, or moves within it.
  uint32_t SetPriority(uint32_t priority, uint32_t key);
  // 1 when the face is in no list or the new list is null; else it joins the new list.
  uint32_t MoveToDrawList(IDrawList* list);
  // Leaves its list, which it forgets.
  void Leave() {
    list_ = nullptr;
    listed_ = false;
  }
  // Forgets the image and the look; position, list and id stay.
  void Reset();

  // Without `exact` the shown rectangle decides; with it the shown pixel: not the colour key,
  // or, without a key, a 32-bit pixel whose alpha is not 0.
  bool HitTest(int32_t x, int32_t y, bool exact) const;

  void SetPosition(int32_t x, int32_t y) {
    x_ = x;
    y_ = y;
  }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  void SetOpacity(uint8_t opacity) { opacity_ = opacity; }
  void SetSize(int32_t width, int32_t height) { source_ = {source_.left, source_.top, source_.left + width, source_.top + height}; }

  int32_t GetX() const { return x_; }
  int32_t GetY() const { return y_; }
  bool IsEnabled() const { return enabled_; }
  uint8_t GetOpacity() const { return opacity_; }
  uint8_t GetBlendMode() const { return blend_mode_; }
  const CImage* GetImage() const { return image_; }
  const plat::Rect& GetSource() const { return source_; }
  IDrawList* GetList() const { return list_; }
  bool IsListed() const { return listed_; }
  uint32_t GetPriority() const { return priority_; }
  uint32_t GetKey() const { return key_; }

 private:
  const CImage* image_ = nullptr;
  plat::Rect source_{};
  int32_t x_ = 0;
  int32_t y_ = 0;
  uint8_t blend_mode_ = 0;
  uint8_t opacity_ = 255;
  bool enabled_ = true;
  IDrawList* list_ = nullptr;
  bool listed_ = false;
  uint32_t priority_ = 0;
  uint32_t key_ = 0;
};

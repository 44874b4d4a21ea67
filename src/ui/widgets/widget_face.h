// What a widget shows: a rectangle of an image through a sprite, or without an image a colour
// box, at a position with a blend mode, an opacity and an on/off switch, in a draw list. The face
// keeps that state itself (hit tests answer from it) and hands every change to the drawable.
#pragma once

#include <cstdint>

#include "base/lifetime/watched_ptr.h"
#include "platform/system/geometry.h"
#include "scene/sprites/color_box.h"
#include "scene/sprites/sprite.h"

class CDrawList;
class CImage;
class IDrawList;

class CWidgetFace {
 public:
  CWidgetFace() = default;
  CWidgetFace(const CWidgetFace&) = delete;
  CWidgetFace& operator=(const CWidgetFace&) = delete;
  ~CWidgetFace() { Leave(); }

  // Shows the image's rectangle, which starts at (0, 0) (the image is not owned; null for a
  // colour box), at (x, y).
  void Show(CImage* image, const plat::Rect& source, int32_t x, int32_t y, uint8_t blend_mode, uint8_t opacity);
  // Moves the source rectangle so that its top-left lies at (x, y) of the image.
  void SetSourceOrigin(int32_t x, int32_t y);
  // The colour box's colour, alpha in the top byte (which becomes its opacity).
  void SetColour(uint32_t argb);
  // The draw list that the face joins at its first SetPriority.
  void UseList(IDrawList* list) { list_ = list; }
  // 1 without a list; joins it at the priority with `key` as its id, or moves within it.
  uint32_t SetPriority(uint32_t priority, uint32_t key);
  // 1 when the face is in no list or the new list is null; else it joins the new list.
  uint32_t MoveToDrawList(IDrawList* list);
  // Leaves its list, which it forgets.
  void Leave();
  // Forgets the image and the look; position, list and id stay.
  void Reset();

  // Without `exact` the shown rectangle decides; with it the shown pixel: not the colour key,
  // or, without a key, a 32-bit pixel whose alpha is not 0.
  bool HitTest(int32_t x, int32_t y, bool exact) const;

  void SetPosition(int32_t x, int32_t y);
  void SetEnabled(bool enabled);
  void SetOpacity(uint8_t opacity);
  void SetSize(int32_t width, int32_t height);
  // The image changed under the face: it is painted again.
  void MarkDirty() { drawable().SetDirty(true); }

  int32_t GetX() const { return x_; }
  int32_t GetY() const { return y_; }
  bool IsEnabled() const { return enabled_; }
  uint8_t GetOpacity() const { return opacity_; }
  uint8_t GetBlendMode() const { return blend_mode_; }
  const CImage* GetImage() const { return image_; }
  CImage* GetImage() { return image_; }
  const plat::Rect& GetSource() const { return source_; }
  IDrawList* GetList() const { return list_; }
  bool IsListed() const { return listed_; }
  // The sprite while the face shows an image, else the colour box.
  CDrawable& GetDrawable() { return drawable(); }
  uint32_t GetPriority() const { return priority_; }
  uint32_t GetKey() const { return key_; }

 private:
  // What the face shows through: the sprite with an image, else the colour box.
  CDrawable& drawable() { return image_ != nullptr ? static_cast<CDrawable&>(sprite_) : box_; }
  CDrawList* draw_list() const;
  // Hands the face's image, rectangle, place and look to its drawable (a sprite shows nothing
  // while no pixel-routine library is bound).
  void ApplyLook();

  CSprite sprite_;
  CColorBox box_;
  WatchedPtr<CImage, CImageInterface> image_;
  plat::Rect source_{};
  int32_t x_ = 0;
  int32_t y_ = 0;
  uint8_t blend_mode_ = 0;
  uint8_t opacity_ = 255;
  bool enabled_ = true;
  WatchedPtr<IDrawList> list_;
  bool listed_ = false;
  uint32_t priority_ = 0;
  uint32_t key_ = 0;
  uint32_t colour_ = 0;
};

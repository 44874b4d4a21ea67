// A widget that shows one picture of its own through one face in a draw list (widget type 8):
// position, size, visibility and opacity are the face's, and it is hit by its opaque pixels.
#pragma once

#include <cstdint>

#include "base/lifetime/watched_ptr.h"
#include "gfx/images/image.h"
#include "ui/gui/gui_element.h"
#include "ui/widgets/widget_face.h"

class IDrawList;

class CSpriteWidget : public CGuiElement {
 public:
  static constexpr int32_t kType = 8;

  int32_t GetType() const override { return kType; }
  int32_t GetX() const override { return face_.GetX(); }
  int32_t GetY() const override { return face_.GetY(); }
  int32_t GetWidth() const override { return face_.GetSource().Width(); }
  int32_t GetHeight() const override { return face_.GetSource().Height(); }
  void SetPosition(int32_t x, int32_t y) override { face_.SetPosition(x, y); }
  void SetActive(bool active) override;
  bool IsActive() const override { return face_.IsEnabled(); }
  // Nothing without a draw list. The face joins the list at the first call, with `group` as its
  // id and the element's group.
  void SetPriority(uint32_t priority, uint32_t group, uint32_t keep_if_same) override;
  uint32_t GetPriority() const override { return priority_; }
  void SetOpacity(uint8_t opacity) override { face_.SetOpacity(opacity); }
  uint8_t GetOpacity() const override { return face_.GetOpacity(); }
  bool HitTest(int32_t x, int32_t y) const override { return face_.HitTest(x, y, true); }
  void OnFocus(CGuiElement* previous, int forward) override;

  const CImage& GetPicture() const { return picture_; }
  CImage& GetPicture() { return picture_; }
  const CWidgetFace& GetFace() const { return face_; }
  CWidgetFace& GetFace() { return face_; }

 protected:
  WatchedPtr<IDrawList> list_;
  uint32_t priority_ = 0;
  CImage picture_;
  CWidgetFace face_;
};

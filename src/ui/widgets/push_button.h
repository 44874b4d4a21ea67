// A push button without a picture (widget type 2): a rectangle of colour whose colour shows the
// state, usually a half-transparent highlight over a picture that the scripts draw themselves.
// It has the image button's state machine, always shows the pressed colour for 100 ms before the
// decide action fires, and has no disabled look.
#pragma once

#include <cstdint>

#include "ui/widgets/image_button_base.h"
#include "ui/widgets/widget_face.h"

class IDrawList;

class CPushButton : public CImageButtonBase {
 public:
  static constexpr int32_t kType = 2;
  static constexpr uint32_t kKeepColour = 0xFFFFFFFF;
  static constexpr uint32_t kDefaultHotColour = 0x400080FF;
  static constexpr uint32_t kDefaultPressedColour = 0x40FF8000;

  CPushButton() { pressed_flash_ = true; }
  ~CPushButton() override { Release(); }

  int32_t GetType() const override { return kType; }
  int32_t GetX() const override { return box_.GetX(); }
  int32_t GetY() const override { return box_.GetY(); }
  void SetPosition(int32_t x, int32_t y) override { box_.SetPosition(x, y); }
  void SetActive(bool active) override;
  bool IsActive() const override { return box_.IsEnabled(); }
  void SetPriority(uint32_t priority, uint32_t key, uint32_t key3) override;
  uint32_t GetPriority() const override { return box_.GetPriority(); }
  void SetOpacity(uint8_t opacity) override { box_.SetOpacity(opacity); }
  uint8_t GetOpacity() const override { return box_.GetOpacity(); }
  bool SetEnabled(bool enabled) override;
  bool HitTest(int32_t x, int32_t y) const override;

  // A colour of kKeepColour keeps the current one. 0; 1 null list or a side <= 0.
  uint32_t Create(IDrawList* list, uint32_t priority, int32_t x, int32_t y, int32_t width, int32_t height,
                  uint32_t normal_colour, uint32_t hot_colour, uint32_t pressed_colour, int32_t group);
  // A side <= 0 stays. 0; 1 without a draw list.
  uint32_t Resize(int32_t width, int32_t height);
  uint32_t MoveToDrawList(IDrawList* list) { return box_.MoveToDrawList(list); }
  void Release();

  // The colour the box shows.
  uint32_t GetColour() const { return colour_; }
  const CWidgetFace& GetBox() const { return box_; }
  CWidgetFace& GetBox() { return box_; }

 protected:
  void ShowState() override;

 private:
  uint32_t colours_[3] = {0, kDefaultHotColour, kDefaultPressedColour};
  uint32_t colour_ = 0;
  CWidgetFace box_;
};

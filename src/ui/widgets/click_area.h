// An invisible rectangular hot spot (widget type 7): it draws nothing, takes hover, focus and
// clicks, fires on the press of the left button (not its release) or at once on the decide
// action, reports its command id, plays the GUI sounds and runs its optional action record.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/gui/gui_element.h"
#include "ui/gui/widget_action.h"

class CClickArea : public CGuiElement {
 public:
  static constexpr int32_t kType = 7;

  int32_t GetType() const override { return kType; }
  int32_t GetX() const override { return x_; }
  int32_t GetY() const override { return y_; }
  int32_t GetWidth() const override { return width_; }
  int32_t GetHeight() const override { return height_; }
  // The hot point stays where it is.
  void SetPosition(int32_t x, int32_t y) override {
    x_ = x;
    y_ = y;
  }
  void SetActive(bool /*active*/) override {}
  bool IsActive() const override { return IsEnabled(); }
  void SetPriority(uint32_t, uint32_t, uint32_t) override {}
  uint32_t GetPriority() const override { return 0; }
  void SetOpacity(uint8_t) override {}
  uint8_t GetOpacity() const override { return 0; }
  bool HitTest(int32_t x, int32_t y) const override;
  void OnMouseMove(int32_t x, int32_t y) override;
  void OnMouseLeave() override;
  bool OnMouseButton(int32_t x, int32_t y, CMouse* mouse) override;
  void OnFocus(CGuiElement* previous, int forward) override;
  void OnKillFocus(CGuiElement* next) override;
  bool ProcessInput(CInputBindings* bindings) override;

  // A hot point below 0 lies at the middle of that side. 0; 1 a side below 1.
  uint32_t Create(int32_t x, int32_t y, int32_t width, int32_t height, int32_t hot_x, int32_t hot_y,
                  bool hit_testable, bool clickable, int32_t group);
  void SetAction(const CWidgetAction::Setup& setup) { action_ = std::make_unique<CWidgetAction>(setup); }
  void ReleaseAction() { action_.reset(); }
  // False without an owner or when the area is not clickable.
  bool Fire();

  // Where the pointer goes when the area takes the focus (screen coordinates).
  void SetHotPoint(int32_t x, int32_t y) {
    hot_x_ = x;
    hot_y_ = y;
  }
  int32_t GetHotX() const { return hot_x_; }
  int32_t GetHotY() const { return hot_y_; }
  bool IsHot() const { return hovered_; }

 private:
  void SetHovered(bool hovered, bool with_sound);

  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t hot_x_ = 0;
  int32_t hot_y_ = 0;
  bool hit_testable_ = false;
  bool clickable_ = false;
  bool hovered_ = false;
  std::unique_ptr<CWidgetAction> action_;
};

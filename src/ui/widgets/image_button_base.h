// The push-button state machine: normal, hot (hovered or focused), pressed and disabled; a mouse
// click fires on the release of the left button over the button, the decide action fires at
// once or after showing the pressed state for 100 ms. Firing reports the command id to the
// owner window and runs the optional action record. How a state looks is the derived button's.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/gui/gui_element.h"
#include "ui/gui/widget_action.h"

class CImageButtonBase : public CGuiElement {
 public:
  static constexpr uint8_t kNormal = 0;
  static constexpr uint8_t kHot = 1;
  static constexpr uint8_t kPressed = 2;
  static constexpr uint8_t kDisabled = 3;
  // How long the decide action shows the pressed state before the button fires.
  static constexpr uint32_t kPressedFlash = 100;

  int32_t GetWidth() const override { return width_; }
  int32_t GetHeight() const override { return height_; }
  void OnMouseMove(int32_t x, int32_t y) override;
  void OnMouseLeave() override;
  bool OnMouseButton(int32_t x, int32_t y, CMouse* mouse) override;
  void OnFocus(CGuiElement* previous, int forward) override;
  void OnKillFocus(CGuiElement* next) override;
  bool ProcessInput(CInputBindings* bindings) override;

  // 0; shows the state when it changes.
  uint32_t SetState(uint8_t state);
  uint8_t GetState() const { return state_; }
  void SetAction(const CWidgetAction::Setup& setup) { action_ = std::make_unique<CWidgetAction>(setup); }
  void ReleaseAction() { action_.reset(); }
  // False without an owner.
  virtual bool Fire();

 protected:
  virtual void ShowState() = 0;

  int32_t width_ = 0;
  int32_t height_ = 0;
  // The decide action shows the pressed state before firing.
  bool pressed_flash_ = false;

 private:
  void Enter();
  void Leave(bool with_sound);

  uint8_t state_ = kNormal;
  std::unique_ptr<CWidgetAction> action_;
  uint32_t press_due_ = 0;  // 0: no timed press running
};

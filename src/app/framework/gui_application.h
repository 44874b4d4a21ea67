// The application as the root GUI window sees it: the tracked pointer, moving it, the cursor's
// visibility and the text-input services.
#pragma once

#include "ui/gui/gui_root_window.h"

class CFrameworkApp;

class CGuiApplication : public IGuiApplication {
 public:
  explicit CGuiApplication(CFrameworkApp& app) : app_(app) {}

  plat::Point GetPointerPos() const override;
  void SetPointerPos(int32_t x, int32_t y) override;
  void ShowCursor(bool show) override;
  bool SendImeMessage(uint32_t flag) override;
  bool DeliverTextInput(CGuiElement* element) override;

 private:
  CFrameworkApp& app_;
};

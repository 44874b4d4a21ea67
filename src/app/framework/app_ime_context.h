// The input method as the text fields see it, bound to the application: the main window takes
// the typing, SDL's text input is the input method's open state, and the composition comes from
// the application's reader. SDL does not tell the input method's conversion modes.
#pragma once

#include "ui/widgets/ime_context.h"

class CFrameworkApp;

class CAppImeContext : public CImeContext {
 public:
  explicit CAppImeContext(CFrameworkApp& app) : app_(app) {}

  bool GetOpenStatus() const override;
  bool GetConversionStatus(uint32_t& conversion, uint32_t& sentence) const override;
  const plat::TextComposition& UpdateComposition() override;
  void SetImeWindow(bool bound) override;
  void SetTextInputArea(const plat::Rect& area) override;

 private:
  CFrameworkApp& app_;
};

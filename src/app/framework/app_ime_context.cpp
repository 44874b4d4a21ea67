#include "app/framework/app_ime_context.h"

#include "app/framework/framework_app.h"
#include "platform/window/native_window.h"

bool CAppImeContext::GetOpenStatus() const { return plat::IsTextInputOn(); }

bool CAppImeContext::GetConversionStatus(uint32_t& conversion, uint32_t& sentence) const {
  conversion = 0;
  sentence = 0;
  return false;
}

const plat::TextComposition& CAppImeContext::UpdateComposition() {
  app_.UpdateComposition();
  return app_.CurrentComposition();
}

void CAppImeContext::SetImeWindow(bool bound) { app_.SetImeWindow(bound ? &app_.GetMainWindow() : nullptr); }

void CAppImeContext::SetTextInputArea(const plat::Rect& area) { app_.SetTextInputArea(area); }

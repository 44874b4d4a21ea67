#include "app/framework/gui_application.h"

#include "app/framework/framework_app.h"
#include "app/framework/private_messages.h"
#include "base/input/mouse.h"

plat::Point CGuiApplication::GetPointerPos() const {
  const TrackedCursor& cursor = app_.GetTrackedCursor();
  return plat::Point{cursor.x.load(), cursor.y.load()};
}

void CGuiApplication::SetPointerPos(int32_t x, int32_t y) { app_.SetCursorPosClient(x, y); }

void CGuiApplication::ShowCursor(bool show) {
  if (CMouse* mouse = app_.GetInputManager().GetMouse()) {
    mouse->ShowCursorVia(show, app_.GetMainWindow().GetHandle(), kMsgCursorRequest);
  }
}

bool CGuiApplication::SendImeMessage(uint32_t flag) { return app_.SendImeMessage(flag); }

bool CGuiApplication::DeliverTextInput(CGuiElement* element) {
  return element != nullptr && app_.DeliverTextInput(*element);
}

// The application's top-level windows: the main window and the full-screen menu window. Beyond
// a plain window they filter the input method's messages.
#pragma once

#include "app/framework/message_map_window.h"

class CMainWindow : public CWindow {
 public:
  int OnUnhandled(MessageBlock& block) override;
};

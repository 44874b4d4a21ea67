// A game whose devices are set up without the start-up: single-threaded, with the input devices
// made as the start-up would make them.
#pragma once

#include "app/game/game_app.h"

namespace test_support {

class SingleThreadGame : public CGameApp {
 public:
  SingleThreadGame() {
    SetThreaded(false);
    GetInputManager().Create(kInputMethodMessages, kInputMethodMessages);
  }
};

}  // namespace test_support

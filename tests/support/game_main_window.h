// The game's main window for tests that run its handlers without the start-up: the game's
// message map, then a 320 x 240 window on the current thread's queue.
#pragma once

#include "app/game/game_app.h"
#include "platform/window/message_queue.h"

namespace test_support {

// CWindow::kCreated, or the failure of the window's creation.
inline unsigned OpenGameMainWindow(CGameApp& game, const char* title, bool post_quit) {
  plat::MessageQueue::Instance().AttachToCurrentThread();
  game.PrepareWindow();
  WindowCreateParams params;
  params.client_width = 320;
  params.client_height = 240;
  params.title = title;
  params.class_name = title;
  return game.GetMainWindow().Create(params, nullptr, post_quit, true);
}

}  // namespace test_support

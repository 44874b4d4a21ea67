// The game's own entries in the main window's message map.
#include <memory>

#include "app/game_app.h"
#include "base/not_built.h"
#include "builtins/variable_builtins.h"
#include "platform/window.h"

int CGameApp::PrepareWindow() {
  GetMainWindow().AddHandler(plat::WM_COMMAND, std::make_unique<CMessageHandler>(this, &CGameApp::OnMenuCommand));
  GetMainWindow().AddHandler(plat::WM_DROPFILES, std::make_unique<CMessageHandler>(this, &CGameApp::OnDropFiles));
  GetMainWindow().AddHandler(plat::WM_QUERYENDSESSION,
                             std::make_unique<CMessageHandler>(this, &CGameApp::OnQueryEndSession));
  ReportNotBuiltYet(
      "game window preparation: the icon, window mode with Ctrl held, the display check, and the handlers of "
      "creation, close confirmation, system commands, destruction, dialog requests and movie notifications");
  return 0;
}

int CGameApp::OnQueryEndSession(MessageBlock& /*block*/) {
  SaveReadLogs();
  SaveSettings(0);
  return 1;
}

int CGameApp::OnDropFiles(MessageBlock& block) {
  if (plat::Window* window = block.window != nullptr ? block.window->GetPlatformWindow() : nullptr) window->Raise();
  drop_files_.OnDropFiles(block.wparam);
  return 0;
}

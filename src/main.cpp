// The program entry: the game's application object on this frame, run with the command line as
// the engine reads it (the arguments joined by spaces, in Shift-JIS, a data folder as an engine
// path).
#include <string>

#include "app/command_line.h"
#include "app/game_app.h"
#include "app/win_main.h"
#include "platform/process_end.h"
#include "platform/session_end.h"

namespace {

constexpr int kShowNormal = 1;

}  // namespace

int main(int argc, char** argv) {
  plat::CatchEndRequests();
  CGameApp app;
  const int code = WinMain(app, EngineCommandLine(argc, argv), kShowNormal);
  // The application's devices close with it, just before the process ends.
  plat::AnnounceProcessEnd();
  return code;
}

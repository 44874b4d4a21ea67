// The program entry: the game's application object on this frame, run with the command line as
// the engine reads it (the arguments joined by spaces, in Shift-JIS).
#include <string>

#include "app/command_line.h"
#include "app/game_app.h"
#include "app/win_main.h"
#include "platform/text_encoding.h"

namespace {

constexpr int kShowNormal = 1;

}  // namespace

int main(int argc, char** argv) {
  CGameApp app;
  return WinMain(app, plat::Utf8ToSjis(JoinCommandLine(argc, argv)), kShowNormal);
}

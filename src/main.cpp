// The program entry: the game's application object on this frame, run with the command line as
// the engine reads it (the arguments joined by spaces, in Shift-JIS, a data folder as an engine
// path).
#include <cstdio>
#include <string>
#include <string_view>

#include "app/framework/command_line.h"
#include "app/framework/win_main.h"
#include "app/game/game_app.h"
#include "platform/events/session_end.h"
#include "platform/files/file_system_ops.h"
#include "platform/files/process_end.h"

namespace {

constexpr int kShowNormal = 1;
constexpr const char* kUsage =
    "usage: kestrune /L<game folder>\n"
    "Runs the game in <game folder>, the folder that holds SCRIPT/DL_APP.SYS or SCRIPT.DPK (without\n"
    "/L, the program's own folder). Its log goes to the standard error.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  plat::CatchEndRequests();
  plat::LetFileSizeLimitFailWrites();
  CGameApp app;
  const int code = WinMain(app, EngineCommandLine(argc, argv), kShowNormal);
  // The application's devices close with it, just before the process ends.
  plat::AnnounceProcessEnd();
  return code;
}

#include "app/win_main.h"

int WinMain(CAppBase& app, const std::string& command_line, int show_command) {
  app.Run(command_line, show_command);
  return 0;
}

#include "app/framework/win_main.h"

int WinMain(CAppBase& app, const std::string& command_line, int show_command) {
  return app.Run(command_line, show_command);
}

#include "app/framework/win_main.h"

#include "app/framework/framework_app.h"

int WinMain(CAppBase& app, const std::string& command_line, int show_command) {
  const int code = app.Run(command_line, show_command);
  return code == kExitAnotherInstance ? 0 : code;
}

// The program's entry as the engine defines it: run the application object and return 0,
// whatever the run returned.
#pragma once

#include <string>

#include "app/app_base.h"

int WinMain(CAppBase& app, const std::string& command_line, int show_command);

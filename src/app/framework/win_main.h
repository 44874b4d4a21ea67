// The program's entry: run the application object and return its exit status. A start that
// failed ends with the code of its failure, so that whoever started the program can tell (a
// second instance, which hands the user over to the first, with kExitAnotherInstance); a game
// that ran ends with 0.
#pragma once

#include <string>

#include "app/framework/app_base.h"

int WinMain(CAppBase& app, const std::string& command_line, int show_command);

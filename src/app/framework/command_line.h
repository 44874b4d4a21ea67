// The program's command line, read as the engine reads it: one string of the arguments
// joined by spaces, of which only a leading "/L" (either case) means anything.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Joins the arguments after the program name with single spaces.
std::string JoinCommandLine(int argc, const char* const* argv);

// The engine's command line (Shift-JIS) of the program's UTF-8 arguments. A data folder given
// as a path of this machine ("/L/home/me/game", or relative to the working folder) is turned
// into the engine path of that folder; a folder with a drive or server name stays as given.
std::string EngineCommandLine(int argc, const char* const* argv);

// The base data folder named by a line that begins with "/L" or "/l": the rest of the
// line as it stands. Empty when the line names none.
std::optional<std::string> DataFolderFromCommandLine(std::string_view command_line);

// What a game's data may never choose: native code to run. A game's scripts may ask for plug-in
// libraries and start programs, but a library loads only when the player installed it for the
// engine, and a program starts only when it came with the game as a program of this machine.
// Neither is ever a file the game's scripts made or changed.
#pragma once

#include <string>
#include <string_view>

// The folder of the libraries the player installed for the engine: the folder "plugin" beside the
// program, or another that this names (an engine path; an empty one names that folder again).
void SetPlayerPluginFolder(std::string_view engine_folder);

// Whether the library at absolute engine path `path`, whose file lies at host path `real_path`
// (every link followed), may be loaded: it lies in the player's plug-in folder and is reached
// from there without a link, it lies in neither the game folder nor the save folder, and no
// script wrote it or moved it there. A refusal is logged with the path.
bool MayLoadLibrary(const char* path, const std::string& real_path);

// Whether the program file at absolute engine path `path`, lying at `real_path`, may be started
// for a script: it lies in the game folder, no script opened it for writing, copied over it or
// moved it in this run of the game, and it begins as a program of this machine
// (`native_program`). A refusal is logged with the path.
bool MayStartProgram(const char* path, const std::string& real_path, bool native_program);

// What a game's data may never choose: native code to run. A game's scripts may ask for plug-in
// libraries and start programs, but a library loads only when the player installed it for the
// engine, and a program starts only when it came with the game as a program of this machine.
// Neither is ever a file the game's scripts made or changed.
#pragma once

#include <string>
#include <string_view>

// The folder the program loads native code from: its own folder, or another that this names (an
// engine path ending with a separator; an empty one names the program's folder again). Plug-in
// libraries load from its folder "plugin", the movie libraries and their player from it.
void SetNativeCodeFolder(std::string_view engine_folder);
// That folder; empty when the program's folder cannot be had.
std::string NativeCodeFolder();
// Its folder of the plug-in libraries the player installed for the engine; empty likewise.
std::string PlayerPluginFolder();

// Why the program may load no native code in this run, as one line that says what to do: its
// folder, its links followed, lies in or below the game folder or the save folder, whose files
// the game brings or its scripts write. Empty when it lies apart from both.
std::string WhyNoNativeCodeLoads();

// Whether the library at absolute engine path `path`, whose file lies at host path `real_path`
// (every link followed), may be loaded: it lies in the player's plug-in folder and is reached
// from there without a link, it lies in neither the game folder nor the save folder, and no
// script wrote it or moved it there. A refusal is logged with the path.
bool MayLoadLibrary(const char* path, const std::string& real_path);

// The same for a library of the program itself (the movie libraries and their player), which
// lies in the program's folder.
bool MayLoadProgramLibrary(const char* path, const std::string& real_path);

// Whether the program file at absolute engine path `path`, lying at `real_path`, may be started
// for a script: it lies in the game folder, no script opened it for writing, copied over it or
// moved it in this run of the game, and it begins as a program of this machine
// (`native_program`). A refusal is logged with the path.
bool MayStartProgram(const char* path, const std::string& real_path, bool native_program);

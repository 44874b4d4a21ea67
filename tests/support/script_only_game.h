// A game folder whose whole game is one main script assembled from source, with settings that
// are only read and no single-instance lock (games of other test runs on the machine may hold it).
#pragma once

#include <string>

#include "support/temp_game_folder.h"

namespace test_support {

// False, with the assembler's message in `error`, when the source does not assemble.
bool WriteScriptOnlyGame(const TempGameFolder& game, const char* main_source, std::string& error);

}  // namespace test_support

// The player module, loaded from this library's own folder when the library makes its first
// movie and kept until the library goes, and the engine's log sink, which the module shares.
#pragma once

#include <string>

#include "player_module_abi.h"

namespace kvxmovie {

// The module's table; null when the module cannot be loaded, which the log says once.
const KvxPlayerModule* PlayerModule();

// Says a line in the engine's log, when the engine gave a sink.
void LogLine(const std::string& line);

}  // namespace kvxmovie

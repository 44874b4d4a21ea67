// Names a test's folder as the player's plug-in folder, where the libraries the player installed
// for the engine lie, for as long as it lives.
#pragma once

#include <string>

#include "base/files/script_code_rule.h"

namespace test_support {

class ScopedPlayerPluginFolder {
 public:
  explicit ScopedPlayerPluginFolder(const std::string& engine_folder) { SetPlayerPluginFolder(engine_folder); }
  ~ScopedPlayerPluginFolder() { SetPlayerPluginFolder(""); }
  ScopedPlayerPluginFolder(const ScopedPlayerPluginFolder&) = delete;
  ScopedPlayerPluginFolder& operator=(const ScopedPlayerPluginFolder&) = delete;
};

}  // namespace test_support

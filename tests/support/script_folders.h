// A test's game folder and save folder as the folders scripts may reach (and the write roots of
// the file layer), for as long as it lives.
#pragma once

#include <string>

#include "base/files/script_write_rule.h"

namespace test_support {

class ScopedScriptFolders {
 public:
  ScopedScriptFolders(const std::string& game_folder, const std::string& save_folder) {
    SetScriptWriteFolders(game_folder, save_folder);
  }
  ~ScopedScriptFolders() { ClearScriptWriteFolders(); }
  ScopedScriptFolders(const ScopedScriptFolders&) = delete;
  ScopedScriptFolders& operator=(const ScopedScriptFolders&) = delete;
};

}  // namespace test_support

// A test's game folder and save folder (and the game's own user folders) as the folders scripts may reach (and the write roots of
// the file layer), for as long as it lives.
#pragma once

#include <string>

#include "base/files/script_write_rule.h"

namespace test_support {

class ScopedScriptFolders {
 public:
  // `game_name` names the game's own folder in each user folder.
  ScopedScriptFolders(const std::string& game_folder, const std::string& save_folder,
                      const std::string& game_name = "Tale") {
    SetScriptWriteFolders(game_folder, save_folder, game_name);
  }
  ~ScopedScriptFolders() { ClearScriptWriteFolders(); }
  ScopedScriptFolders(const ScopedScriptFolders&) = delete;
  ScopedScriptFolders& operator=(const ScopedScriptFolders&) = delete;
};

}  // namespace test_support

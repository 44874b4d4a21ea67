// Names the game's own folder inside the user folders while it lives (SetUserFolderGameName), and
// names none again after, as before a game starts.
#pragma once

#include <string_view>

#include "base/files/user_folders.h"

namespace test_support {

class ScopedUserFolderGameName {
 public:
  explicit ScopedUserFolderGameName(std::string_view name) { SetUserFolderGameName(name); }
  ~ScopedUserFolderGameName() { SetUserFolderGameName({}); }
  ScopedUserFolderGameName(const ScopedUserFolderGameName&) = delete;
  ScopedUserFolderGameName& operator=(const ScopedUserFolderGameName&) = delete;
};

}  // namespace test_support

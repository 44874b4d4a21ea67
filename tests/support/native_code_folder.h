// Names a test's folder as the folder the program loads native code from (the player's plug-in
// libraries in its folder "plugin", the movie libraries beside them) for as long as it lives.
#pragma once

#include <string>

#include "base/files/script_code_rule.h"

namespace test_support {

class ScopedNativeCodeFolder {
 public:
  explicit ScopedNativeCodeFolder(const std::string& engine_folder) { SetNativeCodeFolder(engine_folder); }
  ~ScopedNativeCodeFolder() { SetNativeCodeFolder(""); }
  ScopedNativeCodeFolder(const ScopedNativeCodeFolder&) = delete;
  ScopedNativeCodeFolder& operator=(const ScopedNativeCodeFolder&) = delete;
};

}  // namespace test_support

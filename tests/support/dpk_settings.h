// Sets the DPK decoder's program-wide settings (key words, build-tables flag) through its
// assist entry for the life of the object, and puts the previous ones back afterwards.
#pragma once

#include "resource/archives/dpk_decoder.h"

namespace test_support {

// The key words the DPK tests write and read archives with, never the defaults.
inline constexpr DpkKeyWords kTestDpkKeys{0x13572468u, 0x9ABCDEF0u};

class ScopedDpkSettings {
 public:
  explicit ScopedDpkSettings(DpkDecoderSettings settings);
  ~ScopedDpkSettings();
  ScopedDpkSettings(const ScopedDpkSettings&) = delete;
  ScopedDpkSettings& operator=(const ScopedDpkSettings&) = delete;

 private:
  DpkDecoderSettings previous_;
};

// Applies settings through the assist entry, as the game's set-up does.
void ApplyDpkSettings(const DpkDecoderSettings& settings);

}  // namespace test_support

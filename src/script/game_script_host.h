// The game's script host: the script host with the game's built-in functions 3 to 808, the
// seeding of the script random generator, and the restart of the main script.
#pragma once

#include <cstdint>

#include "script/script_host.h"

class CGameScriptHost : public CScriptHost {
 public:
  static constexpr const char* kMainScript = "MAIN";

  // The script host part, the seeding of the script random generator from the millisecond clock,
  // then the built-in functions 3 to 808 in the order of their numbers. The sound channels, the
  // text printer, the widget manager, the built-in effects and the message box join here with
  // their subsystems.
  CGameScriptHost();

  // Drops every script but the library with the boot value (its negation when `keep_boot_value`
  // is false) in "ScriptBootFlg", then loads the main script into the own context. 0, or 1 when the
  // main script does not load.
  std::uint32_t RestartMain(bool keep_boot_value);

  std::uint16_t BootValue() const { return boot_value_; }
  void SetBootValue(std::uint16_t value) { boot_value_ = value; }

 private:
  std::uint16_t boot_value_ = 1;
};

// Seeds the script random generator's state from `clock`.
void SeedScriptRandom(std::uint32_t clock);

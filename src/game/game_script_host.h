// The game's script host: the script host with the game's built-in functions 3 to 808, the
// seeding of the script random generator, and the restart of the main script.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

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

  // The state record that save files and snapshots carry: the class-1 variables, a text flag
  // byte, with the text part the text printer's state and the held snapshot (u32 size, bytes),
  // then the novel frame's state when a frame exists. The text part is written when asked and
  // the game settings ask for saved text. 0; 1 the variables, 2 the text printer, 3 the novel
  // frame could not be written (`record` is then empty).
  std::uint32_t WriteState(std::vector<std::uint8_t>& record, bool with_text) const;
  // Reads a record in the same order, discarding the held snapshot on the way. 0; 1 an empty
  // record; 2 the variables do not match; 3 the text part or the novel frame's state is damaged.
  // A failure leaves what was read before it in place. Bytes after the record are ignored.
  std::uint32_t ReadState(std::span<const std::uint8_t> record);

  // RestoreSnapshot's result when no snapshot is held (-1 to the scripts).
  static constexpr std::uint32_t kNoSnapshot = 0xFFFFFFFF;
  // Replaces the held snapshot by a new record, with the text part unless the game settings say
  // otherwise; WriteState's result (no snapshot is held after a failure).
  std::uint32_t TakeSnapshot();
  // Reads the held snapshot back and drops it; ReadState's result, or kNoSnapshot.
  std::uint32_t RestoreSnapshot();
  void DiscardSnapshot() { snapshot_ = std::vector<std::uint8_t>(); }
  // The held snapshot's record, empty when none is held.
  std::span<const std::uint8_t> HeldSnapshot() const { return snapshot_; }

 private:
  std::uint16_t boot_value_ = 1;
  std::vector<std::uint8_t> snapshot_;
};

// Seeds the script random generator's state from `clock`.
void SeedScriptRandom(std::uint32_t clock);

// The settings files of a game as byte images: the application definition and information files
// of the game's data, the user's settings file, the game settings file and the install
// information file. Every length read from a file is checked: a length larger than the room of
// a block is cut to that room, and a file shorter than its lengths announce is read as far as it
// goes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/settings/framework_settings.h"
#include "base/settings/game_settings.h"

inline constexpr std::size_t kAppDefinitionSize = 23;
inline constexpr std::size_t kRunTimeBlockSize = 17;

// Forced values of the definition record after it was read.
inline constexpr uint32_t kForcedWindowStyle = 0x00CB0000;
inline constexpr uint16_t kForcedIconId = 103;
inline constexpr uint16_t kSystemMenuId = 101;
inline constexpr uint16_t kAcceleratorsId = 102;

// "SCRIPT\DL_APP.SYS": a u16 length, then that many bytes over the 23-byte definition record.
// False when the file is too short to hold the length.
bool ReadAppDefinition(std::span<const uint8_t> file, AppInfo& info);

// "SCRIPT\DL_APP.INF": version, minor version and revision bytes, then the application name,
// product name, copyright line, web address and save-folder name, each a length byte and that
// many bytes with the terminating zero. A string stored without its zero ends after its bytes.
// False when the file is too short to hold the three version bytes.
bool ReadAppInformation(std::span<const uint8_t> file, AppInfo& info);

// The version as shown to the user: "%d.%02d", then the revision as "%x" when it is not 0.
std::string FormatVersion(const AppInfo& info);

// The blocks of "USER.CFG", in the file's order; the chosen save folder is empty when none.
struct UserConfigBlocks {
  std::span<uint8_t> environment;
  std::span<uint8_t> window;
  std::span<uint8_t> run_time;
  std::string* chosen_folder = nullptr;
};
// False when the file ends before a part it announces (a file cut short): what it holds is read,
// the rest keeps its values.
bool ReadUserConfig(std::span<const uint8_t> file, const UserConfigBlocks& blocks);
std::vector<uint8_t> WriteUserConfig(const UserConfigBlocks& blocks);

// "APP_CFG.DAT": a u32 length, then that many bytes over the game settings block.
// False, in the same way, for a file cut short.
bool ReadGameSettingsFile(std::span<const uint8_t> file, GameSettingsBlock& settings);
std::vector<uint8_t> WriteGameSettingsFile(const GameSettingsBlock& settings);

// "SET_UP.IFG": the magic "IFG1", the uninstall key name and the per-user flag. Nothing when
// the magic does not match, the name is empty or the file ends early.
struct InstallInformation {
  std::string key_name;
  bool per_user = false;
};
std::optional<InstallInformation> ReadInstallInformation(std::span<const uint8_t> file);

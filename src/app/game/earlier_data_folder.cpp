#include "app/game/earlier_data_folder.h"

#include <algorithm>
#include <span>
#include <vector>

#include "base/files/file_services.h"
#include "base/settings/game_switches.h"
#include "base/settings/settings_files.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/host_path.h"
#include "platform/files/plain_files.h"
#include "platform/system/diagnostic_log.h"

namespace {

constexpr const char* kUserConfigName = "USER.CFG";
constexpr const char* kGameSettingsName = "APP_CFG.DAT";

// Longer than either settings file as the engine writes it, USER.CFG naming the longest save
// folder included.
constexpr std::size_t kLargestSettingsFile = 1024;

// Whether `file` is a USER.CFG as WriteUserConfig writes it: read back into blocks of the
// engine's sizes, it is written again byte for byte.
bool IsEnginesUserConfig(std::span<const uint8_t> file) {
  EnvironmentBlock environment{};
  WindowBlock window{};
  GameSwitches run_time{};
  std::string chosen_folder;
  const UserConfigBlocks blocks{environment, window, run_time, &chosen_folder};
  return ReadUserConfig(file, blocks) && std::ranges::equal(WriteUserConfig(blocks), file);
}

// The same for APP_CFG.DAT and WriteGameSettingsFile.
bool IsEnginesGameSettings(std::span<const uint8_t> file) {
  GameSettingsBlock settings{};
  return ReadGameSettingsFile(file, settings) && std::ranges::equal(WriteGameSettingsFile(settings), file);
}

// Whether `earlier` holds a settings file as the engine writes it. A folder of another program
// that happens to have the game's folder name may hold a file of such a name with other
// contents: the log then says why that folder is not carried over.
bool HoldsEnginesSettings(const std::string& earlier, const std::vector<std::string>& files) {
  std::string others;
  for (const std::string& file : files) {
    const bool user_config = plat::NamesMatchIgnoringCase(file, kUserConfigName);
    if (!user_config && !plat::NamesMatchIgnoringCase(file, kGameSettingsName)) continue;
    const auto bytes = plat::ReadPlainFile(earlier, file, kLargestSettingsFile);
    if (bytes && (user_config ? IsEnginesUserConfig(*bytes) : IsEnginesGameSettings(*bytes))) return true;
    others += (others.empty() ? "" : ", ") + plat::SjisToUtf8(file);
  }
  if (!others.empty()) {
    plat::LogDiagnostic("the folder " + LoggedPath(earlier) + " is not carried over: " + others +
                        " there is not a settings file as the engine writes it (another program's folder of the "
                        "same name)");
  }
  return false;
}

std::string JoinedNames(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + plat::SjisToUtf8(name);
  return joined;
}

// The folder the copies are made in before they take the new folder's name: that name with
// ":carrying" after it. No game's folder has such a name (PlainFolderName replaces every ':'),
// and a start after one cut short finds it by that name.
std::string StagingFolder(const std::string& folder) { return folder.substr(0, folder.size() - 1) + ":carrying\\"; }

}  // namespace

bool CarryEarlierFolderOver(const std::string& earlier, const std::string& folder) {
  const std::vector<std::string> files = plat::PlainFilesIn(earlier);
  if (!HoldsEnginesSettings(earlier, files)) return true;
  const plat::CarriedFiles carried = plat::CarryPlainFiles(earlier, StagingFolder(folder), folder, kLargestCarriedFile);
  const std::string what = "the saves and settings that an earlier version kept in " + LoggedPath(earlier);
  if (!carried.failure.empty()) {
    plat::LogDiagnostic(what + " cannot be copied to " + LoggedPath(folder) + ": " + carried.failure +
                        "; the earlier folder is left as it was, and the next start tries again");
    return false;
  }
  const std::string left = carried.too_large.empty() ? std::string()
                                                     : "; larger than " + std::to_string(kLargestCarriedFile >> 20) +
                                                           " MiB, and left there: " + JoinedNames(carried.too_large);
  plat::LogDiagnostic(what + " were copied to " + LoggedPath(folder) + " (" + std::to_string(carried.copied) + " of " +
                      std::to_string(files.size()) + " files; the earlier folder is left as it was" + left + ")");
  return true;
}

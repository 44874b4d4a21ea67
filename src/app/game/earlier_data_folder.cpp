#include "app/game/earlier_data_folder.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "base/files/file_services.h"
#include "base/settings/game_switches.h"
#include "base/settings/settings_files.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/exclusive_lock.h"
#include "platform/files/file_system_ops.h"
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

// The names left behind for one reason, in order, after that reason, when there are any.
std::string LeftFor(const plat::CarriedFiles& carried, plat::LeftBehind why, const std::string& reason) {
  std::vector<std::string> names;
  for (const auto& [left_why, name] : carried.left) {
    if (left_why == why) names.push_back(name);
  }
  std::ranges::sort(names);
  return names.empty() ? std::string() : "; " + reason + ", and left there: " + JoinedNames(names);
}

std::string NamesLeftBehind(const plat::CarriedFiles& carried) {
  return LeftFor(carried, plat::LeftBehind::kTooLarge,
                 "larger than " + std::to_string(kLargestCarriedFile >> 20) + " MiB") +
         LeftFor(carried, plat::LeftBehind::kExecutable, "with an execute bit") +
         LeftFor(carried, plat::LeftBehind::kNotPlain, "not a plain file") +
         LeftFor(carried, plat::LeftBehind::kUnreadable, "not readable");
}

// The folder of the engine's data folder, beside the games' folders, that the copies are made
// in before they take the new folder's name, and the file whose lock keeps the starts of all
// games to one copy at a time. No game's folder has such names (PlainFolderName replaces every
// ':'), they fit the system's bound on a name whatever the game's folder is named, and the start
// that holds the lock after one cut short finds the folder by its name.
constexpr const char* kStagingName = ":carrying\\";
constexpr const char* kLockName = ":carrying.lock";

}  // namespace

std::optional<std::string> CarryEarlierFolderOver(const std::string& earlier, const std::string& data_folder,
                                                  const std::string& name) {
  if (!plat::GetFileAttributes(earlier)) return std::nullopt;
  const std::string folder = data_folder + name + '\\';
  const std::string what = "the saves and settings that an earlier version kept in " + LoggedPath(earlier);
  plat::CreateFolders(data_folder);
  const plat::ExclusiveLock lock(data_folder + kLockName);
  if (!lock.Holds()) {
    plat::LogDiagnostic(what + " cannot be copied to " + LoggedPath(folder) + ": the lock " +
                        LoggedPath(data_folder + kLockName) + " cannot be taken (" + std::strerror(lock.Error()) +
                        "); the earlier folder is left as it was, and the next start tries again");
    return data_folder + kLockName;
  }
  // Another start of the game carried it over while this one waited for the lock.
  if (plat::GetFileAttributes(folder)) return std::nullopt;
  if (!HoldsEnginesSettings(earlier, plat::PlainFilesIn(earlier))) return std::nullopt;
  const std::string staging = data_folder + kStagingName;
  const plat::CarriedFiles carried = plat::CarryPlainFiles(earlier, staging, folder, kLargestCarriedFile);
  if (!carried.failure.empty()) {
    plat::LogDiagnostic(what + " cannot be copied to " + LoggedPath(folder) + ": " + carried.failure +
                        "; the earlier folder is left as it was, and the next start tries again");
    return staging;
  }
  plat::LogDiagnostic(what + " were copied to " + LoggedPath(folder) + " (" + std::to_string(carried.copied) + " of " +
                      std::to_string(carried.found) + " files; the earlier folder is left as it was" +
                      NamesLeftBehind(carried) + ")");
  return std::nullopt;
}

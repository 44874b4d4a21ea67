#include "base/files/script_write_rule.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/files/path.h"
#include "base/files/user_folders.h"
#include "platform/encoding/sjis_text.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/disk_place.h"
#include "platform/files/file_system_ops.h"
#include "platform/files/host_path.h"
#include "platform/files/process.h"
#include "platform/files/resolved_path.h"
#include "platform/files/special_folders.h"
#include "platform/files/write_roots.h"
#include "platform/system/diagnostic_log.h"

namespace {

enum class Reach { kRead, kWrite, kRun };

std::string g_game_folder;
std::string g_save_folder;
// The game's own user folders as they were when the game's folders were set; none before.
std::vector<std::string> g_user_folders;
// Where scripts were let write since the folders were set (host paths, links followed), each once.
std::set<std::string> g_written;

// The rule reads paths as the file layer converts them to the host's names, by the characters
// of code page 932: a half-width kana is one there, so the separator after a folder named ﾃｽﾄ
// ends it.
constexpr plat::SjisReading kWriteRuleReading = plat::SjisReading::kCodePage;

// The path with a backslash at its end, unless its last character is a separator.
std::string AsFolder(std::string path) {
  if (!plat::EndsWithSeparator(path, kWriteRuleReading)) path += '\\';
  return path;
}

// The folder made absolute and ending with a backslash; empty when it cannot be.
std::string FullFolder(std::string_view folder) {
  if (folder.empty()) return {};
  char full[kMaxPath];
  if (MakeFullPath(full, std::string(folder).c_str()) == 0) return {};
  return AsFolder(full);
}

std::vector<std::string> FullUserFolders() {
  std::vector<std::string> folders;
  for (const std::string& user_folder : UserFolderPaths()) folders.push_back(FullFolder(user_folder));
  return folders;
}

// Programs start only from the game folder; files are read and written in every open folder.
std::vector<std::string> OpenFolders(Reach reach) {
  std::vector<std::string> folders;
  if (reach != Reach::kRun) {
    folders = g_user_folders;
    folders.push_back(g_save_folder);
  }
  folders.push_back(g_game_folder);
  std::erase(folders, std::string());
  return folders;
}

// What follows `folder` (a full folder, ending with a separator) in `path` when the path starts
// with it, character by character as the file layer reads the text; nothing otherwise. Only
// single-byte letters are compared without case. A start that matches the folder ends with its
// separator, so it ends where a character of the path ends.
std::optional<std::string_view> Below(std::string_view path, std::string_view folder) {
  if (folder.empty() || path.size() < folder.size() ||
      !plat::EqualIgnoringAsciiCase(path.substr(0, folder.size()), folder)) {
    return std::nullopt;
  }
  return path.substr(folder.size());
}

// Whether the path names something inside one of the folders or, for a read, the folder itself
// (with or without its last separator).
bool NamesInside(std::string_view full, const std::vector<std::string>& folders, Reach reach) {
  const std::string as_folder = AsFolder(std::string(full));
  return std::any_of(folders.begin(), folders.end(), [&](const std::string& folder) {
    const std::optional<std::string_view> rest = Below(full, folder);
    if (rest && StaysInsideFolder(*rest)) return true;
    const std::optional<std::string_view> itself = Below(as_folder, folder);
    return reach == Reach::kRead && itself && itself->empty();
  });
}

// Where the path leads on disk: for a read or a start with its links followed; for a write as the
// write will open it, which below an open folder follows no link at all.
std::optional<std::string> Target(std::string_view full, Reach reach) {
  return reach == Reach::kWrite ? plat::WriteTarget(full) : plat::ResolveLinks(full);
}

// Whether the path, so followed, still lies inside one of the folders, theirs followed too; a
// write must lie below one, not be it.
bool LeadsInside(const std::optional<std::string>& target, const std::vector<std::string>& folders, Reach reach) {
  if (!target) return false;
  return std::any_of(folders.begin(), folders.end(), [&](const std::string& folder) {
    const std::optional<std::string> open = plat::ResolveLinks(folder);
    return open && plat::IsSameOrBelow(*target, *open) && (reach == Reach::kRead || *target != *open);
  });
}

// The written paths keep the case the scripts gave to names that did not exist yet. Host paths
// (UTF-8), whose bytes from 0x80 up are never letters.
bool IsSameOrBelowIgnoringCase(std::string_view path, std::string_view folder) {
  if (path.size() < folder.size() || !plat::NamesMatchIgnoringCase(path.substr(0, folder.size()), folder)) return false;
  return path.size() == folder.size() || path[folder.size()] == '/';
}

const char* Verb(Reach reach) {
  switch (reach) {
    case Reach::kRead: return "read ";
    case Reach::kWrite: return "write ";
    case Reach::kRun: return "run ";
  }
  return "";
}

bool Refused(const char* path, Reach reach, std::string_view why) {
  plat::LogDiagnostic(std::string("a script may not ") + Verb(reach) + plat::SjisToUtf8(path) + ": " + std::string(why));
  return false;
}

bool Refused(const char* path, Reach reach) {
  return Refused(path, reach,
                 reach == Reach::kRun ? "scripts run only programs inside the game folder, links followed"
                                      : "scripts reach only the game folder, the save folder and the game's own "
                                        "folders in the user's folders, links followed");
}

// Whether a write at `target` (a host path) lands at or below the program's own folder, where
// the player's libraries lie, and not inside a game or save folder kept below it (the game
// started beside the program). Folders are told by what they are, so that the program's folder
// reached through a bind mount is still the program's.
bool LandsInProgramFolder(std::string_view target) {
  const std::optional<std::string> program = plat::ProgramFolder();
  const std::optional<std::string> place = program ? plat::ResolveLinks(*program) : std::nullopt;
  const std::optional<plat::DiskPlace> target_place = plat::DiskPlace::Of(target);
  if (!place || !target_place) return true;
  if (target_place->In(*place) == plat::Placement::kApart) return false;
  const auto lies_in = [](const std::optional<plat::Placement> placement) {
    return placement == plat::Placement::kSame || placement == plat::Placement::kBelow;
  };
  for (const std::string* folder : {&g_game_folder, &g_save_folder}) {
    const std::optional<std::string> kept = folder->empty() ? std::nullopt : plat::ResolveLinks(*folder);
    if (kept && lies_in(plat::PlacementOnDisk(*kept, *place)) && lies_in(target_place->In(*kept))) return false;
  }
  return true;
}

// The names below the game's own user folder that `full` lies in; nothing when it lies in none.
std::optional<std::string_view> BelowUserFolder(std::string_view full) {
  for (const std::string& folder : g_user_folders) {
    if (const std::optional<std::string_view> rest = Below(full, folder)) return rest;
  }
  return std::nullopt;
}

// Whether the name's extension is ".desktop", in any case of its letters.
bool IsLauncherName(std::string_view name) {
  const std::optional<std::size_t> dot = plat::LastDot(name, kWriteRuleReading);
  return dot && plat::EqualIgnoringAsciiCase(name.substr(*dot), ".desktop");
}

// What the desktop reads from a user folder as its own: hidden files (settings, autostart
// entries) and launchers.
bool NamesWhatTheDesktopReads(std::string_view rest) {
  const std::vector<std::string_view> names = plat::SplitComponents(rest, kWriteRuleReading);
  const bool hidden = std::any_of(names.begin(), names.end(), [](std::string_view name) { return name.starts_with('.'); });
  return hidden || IsLauncherName(names.back());
}

// The checks a write passes once its target is known: see MayScriptWriteAt.
bool MayWriteTarget(const char* path, std::string_view full, const std::string& target) {
  if (LandsInProgramFolder(target)) {
    return Refused(path, Reach::kWrite, "scripts never write in the program's own folder, where its libraries lie");
  }
  if (plat::HasExecuteBit(plat::ToEnginePath(target))) {
    return Refused(path, Reach::kWrite, "it is a program (it has an execute bit), which scripts never change");
  }
  const std::optional<std::string_view> in_user_folder = BelowUserFolder(full);
  if (in_user_folder && NamesWhatTheDesktopReads(*in_user_folder)) {
    return Refused(path, Reach::kWrite, "in the user's folders scripts write no hidden files and no launchers");
  }
  return true;
}

// The game's own folder in a user folder, made when a write first lands in it.
void MakeUserFolderFor(std::string_view full) {
  for (const std::string& folder : g_user_folders) {
    if (Below(full, folder) && !plat::GetFileAttributes(folder) && !plat::CreateFolders(folder)) {
      plat::LogDiagnostic("the game's folder " + plat::SjisToUtf8(folder) + " cannot be made");
    }
  }
}

bool MayScriptReach(const char* path, Reach reach) {
  if (path == nullptr) return false;
  char full[kMaxPath];
  if (MakeFullPath(full, path) == 0) return Refused(path, reach);
  const std::vector<std::string> folders = OpenFolders(reach);
  if (!NamesInside(full, folders, reach)) return Refused(path, reach);
  const std::optional<std::string> target = Target(full, reach);
  if (!LeadsInside(target, folders, reach)) return Refused(path, reach);
  if (reach != Reach::kWrite) return true;
  if (!MayWriteTarget(path, full, *target)) return false;
  MakeUserFolderFor(full);
  g_written.insert(*target);
  return true;
}

void LogUnusableUserFolders() {
  for (int which = kFirstUserFolder; which <= kLastUserFolder; ++which) {
    if (const std::optional<std::string> folder = UnusableUserFolder(which)) {
      plat::LogDiagnostic("the user folder " + plat::SjisToUtf8(*folder) +
                          " is the root, the home folder, a folder above it, one of the system's or a hidden folder "
                          "of the home folder, or is, lies in or holds one of the desktop's own folders or the "
                          "engine's data folder: scripts get no folder there");
    }
  }
}

}  // namespace

void SetScriptWriteFolders(std::string_view game_folder, std::string_view save_folder) {
  g_game_folder = FullFolder(game_folder);
  g_save_folder = FullFolder(save_folder);
  g_user_folders = FullUserFolders();
  LogUnusableUserFolders();
  g_written.clear();
  std::vector<std::string> roots = g_user_folders;
  roots.push_back(g_game_folder);
  roots.push_back(g_save_folder);
  std::erase(roots, std::string());
  plat::SetWriteRoots(roots);
}

void ClearScriptWriteFolders() {
  g_game_folder.clear();
  g_save_folder.clear();
  SetUserFolderGameName({});
  g_user_folders.clear();
  g_written.clear();
  plat::SetWriteRoots({});
}

bool MayScriptWriteAt(const char* path) { return MayScriptReach(path, Reach::kWrite); }

bool MayScriptReadAt(const char* path) { return MayScriptReach(path, Reach::kRead); }

bool MayScriptUseFileAt(const char* path, ScriptFileUse use) {
  return MayScriptReach(path, use == ScriptFileUse::kWrite ? Reach::kWrite : Reach::kRead);
}

bool MayScriptRunAt(const char* path) { return MayScriptReach(path, Reach::kRun); }

bool MayScriptListAt(const char* pattern) {
  char full[kMaxPath];
  if (pattern == nullptr || MakeFullPath(full, pattern) == 0) return MayScriptReach(pattern, Reach::kRead);
  // The folder it looks in, split from the pattern as the listing splits it.
  return MayScriptReach(std::string(FolderOnDisk(full)).c_str(), Reach::kRead);
}

bool LiesInGameOrSaveFolder(std::string_view real_path) {
  const std::optional<plat::DiskPlace> place = plat::DiskPlace::Of(real_path);
  for (const std::string* folder : {&g_game_folder, &g_save_folder}) {
    if (folder->empty()) continue;
    const std::optional<std::string> folder_place = plat::ResolveLinks(*folder);
    // Told by what the folders are: a bind mount of the game folder names its files elsewhere.
    if (folder_place && (!place || place->In(*folder_place) != plat::Placement::kApart)) return true;
  }
  return false;
}

bool MayScriptHaveWritten(std::string_view real_path) {
  const std::optional<plat::DiskPlace> place = plat::DiskPlace::Of(real_path);
  return std::any_of(g_written.begin(), g_written.end(), [&](const std::string& written) {
    // Also where the file is reached by another name than the one it was written by (a bind
    // mount of the folder a script wrote in).
    return IsSameOrBelowIgnoringCase(real_path, written) || !place || place->In(written) != plat::Placement::kApart;
  });
}

#include "base/files/script_write_rule.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/files/path.h"
#include "base/files/user_folders.h"
#include "platform/encoding/sjis.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/host_path.h"
#include "platform/files/resolved_path.h"
#include "platform/files/write_roots.h"
#include "platform/system/diagnostic_log.h"

namespace {

enum class Reach { kRead, kWrite, kRun };

std::string g_game_folder;
std::string g_save_folder;
// The user folders as they were when the game's folders were set; until then they are asked for
// at each check.
std::optional<std::vector<std::string>> g_user_folders;
// Where scripts were let write since the folders were set (host paths, links followed), each once.
std::set<std::string> g_written;

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The folder made absolute and ending with a backslash; empty when it cannot be.
std::string FullFolder(std::string_view folder) {
  if (folder.empty()) return {};
  char full[kMaxPath];
  if (MakeFullPath(full, std::string(folder).c_str()) == 0) return {};
  std::string result = full;
  if (!EndsWithSeparator(result.c_str())) result += '\\';
  return result;
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
    folders = g_user_folders.value_or(FullUserFolders());
    folders.push_back(g_save_folder);
  }
  folders.push_back(g_game_folder);
  std::erase(folders, std::string());
  return folders;
}

// What follows `folder` in `path` when the path starts with it, character by character as the
// file layer reads the text; nothing otherwise. Only single-byte letters are compared without case.
std::optional<std::string_view> Below(std::string_view path, std::string_view folder) {
  if (folder.empty() || path.size() < folder.size()) return std::nullopt;
  std::size_t i = 0;
  while (i < folder.size()) {
    if (plat::SjisCodeLengthAt(path, i) == 2) {
      if (i + 1 >= folder.size() || path.substr(i, 2) != folder.substr(i, 2)) return std::nullopt;
      i += 2;
    } else {
      if (FoldAscii(path[i]) != FoldAscii(folder[i])) return std::nullopt;
      ++i;
    }
  }
  return path.substr(folder.size());
}

// Whether the path names something inside one of the folders or, for a read, the folder itself
// (with or without its last separator).
bool NamesInside(std::string_view full, const std::vector<std::string>& folders, Reach reach) {
  std::string as_folder(full);
  if (!EndsWithSeparator(as_folder.c_str())) as_folder += '\\';
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

// The written paths keep the case the scripts gave to names that did not exist yet.
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

bool Refused(const char* path, Reach reach) {
  plat::LogDiagnostic(std::string("a script may not ") + Verb(reach) + plat::SjisToUtf8(path) +
                      (reach == Reach::kRun ? ": scripts run only programs inside the game folder, links followed"
                                            : ": scripts reach only the game folder, the save folder and the user's "
                                              "folders, links followed"));
  return false;
}

bool MayScriptReach(const char* path, Reach reach) {
  if (path == nullptr) return false;
  char full[kMaxPath];
  if (MakeFullPath(full, path) == 0) return Refused(path, reach);
  const std::vector<std::string> folders = OpenFolders(reach);
  if (!NamesInside(full, folders, reach)) return Refused(path, reach);
  const std::optional<std::string> target = Target(full, reach);
  if (!LeadsInside(target, folders, reach)) return Refused(path, reach);
  if (reach == Reach::kWrite) g_written.insert(*target);
  return true;
}

}  // namespace

void SetScriptWriteFolders(std::string_view game_folder, std::string_view save_folder) {
  g_game_folder = FullFolder(game_folder);
  g_save_folder = FullFolder(save_folder);
  g_user_folders = FullUserFolders();
  g_written.clear();
  std::vector<std::string> roots = *g_user_folders;
  roots.push_back(g_game_folder);
  roots.push_back(g_save_folder);
  std::erase(roots, std::string());
  plat::SetWriteRoots(roots);
}

void ClearScriptWriteFolders() {
  g_game_folder.clear();
  g_save_folder.clear();
  g_user_folders.reset();
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
  char folder[kMaxPath];
  GetPathFolder(full, folder);
  return MayScriptReach(folder, Reach::kRead);
}

bool LiesInGameOrSaveFolder(std::string_view real_path) {
  for (const std::string* folder : {&g_game_folder, &g_save_folder}) {
    if (folder->empty()) continue;
    const std::optional<std::string> place = plat::ResolveLinks(*folder);
    if (place && plat::IsSameOrBelow(real_path, *place)) return true;
  }
  return false;
}

bool MayScriptHaveWritten(std::string_view real_path) {
  return std::any_of(g_written.begin(), g_written.end(),
                     [&](const std::string& written) { return IsSameOrBelowIgnoringCase(real_path, written); });
}

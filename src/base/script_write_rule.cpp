#include "base/script_write_rule.h"

#include <optional>
#include <string>
#include <vector>

#include "base/path.h"
#include "base/user_folders.h"
#include "platform/sjis.h"

namespace {

std::string g_game_folder;
std::string g_save_folder;

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

}  // namespace

void SetScriptWriteFolders(std::string_view game_folder, std::string_view save_folder) {
  g_game_folder = FullFolder(game_folder);
  g_save_folder = FullFolder(save_folder);
}

void ClearScriptWriteFolders() {
  g_game_folder.clear();
  g_save_folder.clear();
}

bool MayScriptWriteAt(const char* path) {
  if (path == nullptr) return false;
  char full[kMaxPath];
  if (MakeFullPath(full, path) == 0) return false;
  std::vector<std::string> folders;
  for (const std::string& user_folder : UserFolderPaths()) folders.push_back(FullFolder(user_folder));
  folders.push_back(g_game_folder);
  folders.push_back(g_save_folder);
  for (const std::string& folder : folders) {
    const std::optional<std::string_view> rest = Below(full, folder);
    if (rest && StaysInsideFolder(*rest)) return true;
  }
  return false;
}

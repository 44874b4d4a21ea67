#include "base/files/path.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "platform/encoding/sjis.h"
#include "platform/encoding/sjis_text.h"
#include "platform/files/file_system_ops.h"
#include "platform/files/special_folders.h"

char g_ModuleFolder[kMaxPath] = {};

namespace {

// Copies `text` into a kMaxPath buffer; false (and an empty buffer) when it does not fit.
bool CopyPath(char* destination, std::string_view text) {
  if (text.size() >= kMaxPath) {
    destination[0] = '\0';
    return false;
  }
  std::memcpy(destination, text.data(), text.size());
  destination[text.size()] = '\0';
  return true;
}

// '/' becomes '\' from `start` on; only the lead bytes of code page 932 proper start a
// two-byte character here.
void ConvertSlashes(std::string& path, std::size_t start) {
  for (std::size_t i = start; i < path.size(); ++i) {
    if (plat::IsSjisStrictLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
      ++i;
    } else if (path[i] == '/') {
      path[i] = '\\';
    }
  }
}

constexpr std::size_t kNone = plat::kNoCharacter;

bool IsUnc(std::string_view path) { return path.size() >= 2 && path[0] == '\\' && path[1] == '\\'; }

std::optional<std::string> StripLastFolder(std::string path, unsigned& status) {
  status = 1;
  if (path.size() < 3) return std::nullopt;
  plat::Separators separators = plat::FindSeparators(path);
  if (IsUnc(path) && separators.second_last == 0) {
    status = 0;
    return std::nullopt;
  }
  if (IsUnc(path) && separators.second_last == 1) separators.second_last = kNone;
  if (!plat::EndsWithSeparator(path)) {
    if (separators.last == kNone) return std::nullopt;
    status = 0;
    return path.substr(0, separators.last + 1);
  }
  status = 0;
  if (separators.second_last == kNone) return std::nullopt;
  return path.substr(0, separators.second_last + 1);
}

// Whether a component of `path` is "..", with characters stepped over by `length_at`.
template <class CharLength>
bool HasParentComponent(std::string_view path, CharLength length_at) {
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); i += i < path.size() ? length_at(path, i) : 1) {
    if (i < path.size() && !plat::IsPathSeparator(path[i])) continue;
    if (path.substr(start, i - start) == "..") return true;
    start = i + 1;
  }
  return false;
}

}  // namespace

bool StaysInsideFolder(std::string_view path) {
  if (path.empty() || plat::IsPathSeparator(path[0]) || path.find(':') != std::string_view::npos) return false;
  return !HasParentComponent(path, plat::SjisCharLengthAt) && !HasParentComponent(path, plat::SjisCodeLengthAt);
}

std::string PlainFolderName(std::string_view name) {
  std::string plain;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t length = plat::SjisCodeLengthAt(name, i);
    const auto byte = static_cast<unsigned char>(name[i]);
    // A lead byte left alone would, read as the engine's own scans read it, take the separator
    // that follows the name into a character.
    const bool broken = plat::IsSjisLeadByte(byte) && (plat::IsSjisStrictLeadByte(byte) || i + 1 == name.size());
    const bool unsafe = length == 1 && (plat::IsPathSeparator(name[i]) || byte == ':' || byte < 0x20 || byte == 0x7F || broken);
    plain += unsafe ? std::string("_") : std::string(name.substr(i, length));
    i += length;
  }
  // The looser scan reads a half-width kana as a lead byte too; where it then meets a separator
  // that the strict scan took as a second byte ("\xB1\xE0\\.."), that byte becomes '_' as well.
  for (std::size_t i = 0; i < plain.size(); i += plat::SjisCharLengthAt(plain, i)) {
    if (plat::IsPathSeparator(plain[i])) plain[i] = '_';
  }
  if (plain.find_first_not_of('.') == std::string::npos) plain = std::string(std::max<std::size_t>(plain.size(), 1), '_');
  return plain;
}

bool EndsWithSeparator(const char* path) { return path != nullptr && plat::EndsWithSeparator(std::string_view(path)); }

unsigned InitModuleFolder() {
  const std::optional<std::string> folder = plat::ProgramFolder();
  if (!folder || folder->size() >= kMaxPath) return 1;
  CopyPath(g_ModuleFolder, *folder);
  return 0;
}

unsigned SetBaseFolder(const char* path) {
  char resolved[kMaxPath];
  if (MakeFullPath(resolved, path) == 0) return 1;
  std::string folder = resolved;
  if (!plat::EndsWithSeparator(folder)) folder += '\\';
  if (folder.size() >= kMaxPath) return 1;
  CopyPath(g_ModuleFolder, folder);
  return 0;
}

unsigned MakeFullPath(char* destination, const char* name, const char* base_folder) {
  if (destination == nullptr || name == nullptr) return 0;
  std::string_view rest = name;
  if (IsUnc(rest) || rest.find(':') != std::string_view::npos) {
    std::string path(rest);
    ConvertSlashes(path, IsUnc(rest) ? 2 : 0);
    return CopyPath(destination, path) ? 1 : 0;
  }

  std::string work = base_folder != nullptr ? base_folder : g_ModuleFolder;
  for (;;) {
    if (rest.size() >= 2 && rest[0] == '.' && plat::IsPathSeparator(rest[1])) {
      rest.remove_prefix(2);
    } else if (rest.size() >= 3 && rest[0] == '.' && rest[1] == '.' && plat::IsPathSeparator(rest[2])) {
      unsigned status;
      std::optional<std::string> stripped = StripLastFolder(work, status);
      if (status != 0) return 0;
      if (stripped) work = std::move(*stripped);
      rest.remove_prefix(3);
    } else {
      break;
    }
  }
  if (work.empty()) return 0;
  if (!rest.empty() && plat::IsPathSeparator(rest[0])) rest.remove_prefix(1);
  const std::size_t base_length = work.size();
  work += rest;
  ConvertSlashes(work, base_length);
  return CopyPath(destination, work) ? 2 : 0;
}

unsigned StripLastFolder(char* path) {
  if (path == nullptr) return 1;
  unsigned status;
  if (std::optional<std::string> stripped = StripLastFolder(std::string(path), status)) CopyPath(path, *stripped);
  return status;
}

void GetPathLeaf(const char* path, char* destination, bool folder) {
  if (path == nullptr || path[0] == '\0' || destination == nullptr) return;
  const std::string_view text = path;
  plat::Separators separators = plat::FindSeparators(text);
  if (IsUnc(text) && separators.second_last <= 1) separators.second_last = kNone;
  if (!plat::EndsWithSeparator(text)) {
    CopyPath(destination, separators.last != kNone ? text.substr(separators.last + 1) : text);
    return;
  }
  if (!folder) {
    destination[0] = '\0';
  } else if (separators.second_last == kNone) {
    CopyPath(destination, text);
  } else {
    const std::size_t start = separators.second_last + 1;
    CopyPath(destination, text.substr(start, separators.last - start));
  }
}

void GetPathFolder(const char* path, char* destination) {
  if (destination == nullptr) return;
  destination[0] = '\0';
  if (path == nullptr) return;
  const std::string_view text = path;
  if (const plat::Separators separators = plat::FindSeparators(text); separators.last != kNone) {
    CopyPath(destination, text.substr(0, separators.last + 1));
  }
}

std::string_view FolderOnDisk(std::string_view path) {
  return path.substr(0, plat::LastComponentStart(path, plat::SjisReading::kCodePage));
}

void GetFileExtension(const char* name, char* destination) {
  if (destination == nullptr) return;
  destination[0] = '\0';
  if (name == nullptr) return;
  const std::string_view text = name;
  if (const std::optional<std::size_t> dot = plat::LastDot(text)) CopyPath(destination, text.substr(*dot + 1));
}

void CutFileExtension(char* name, char* extension) {
  GetFileExtension(name, extension);
  if (name == nullptr) return;
  if (const std::optional<std::size_t> dot = plat::LastDot(name)) name[*dot] = '\0';
}

unsigned FindCdromDrive(const char* file_name, char* destination, const std::string& mount_table) {
  bool searched = false;
  for (const std::string& root : plat::OpticalDriveRoots(mount_table)) {
    if (root.size() >= kMaxPath) continue;
    if (file_name != nullptr) {
      searched = true;
      if (!plat::FindFirstFile(root + file_name)) continue;
    }
    if (destination != nullptr) CopyPath(destination, root);
    return 0;
  }
  return file_name != nullptr && searched ? 2 : 1;
}

bool IsOnCdromDrive(std::string_view path, const std::string& mount_table) {
  for (const std::string& root : plat::OpticalDriveRoots(mount_table)) {
    if (path.size() >= root.size() && path.substr(0, root.size()) == root) return true;
  }
  return false;
}

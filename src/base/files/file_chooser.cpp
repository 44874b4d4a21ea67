#include "base/files/file_chooser.h"

#include <algorithm>

#include "platform/encoding/sjis.h"
#include "platform/encoding/sjis_text.h"
#include "platform/files/file_system_ops.h"
#include "platform/files/host_path.h"

namespace {

constexpr std::string_view kRoot = "Z:\\";

std::vector<std::string> SplitPatterns(std::string_view text) {
  std::vector<std::string> patterns;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(';', start), text.size());
    if (end > start) patterns.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return patterns;
}

bool IsFolder(std::string_view path) {
  const std::optional<uint32_t> attributes = plat::GetFileAttributes(path);
  return attributes && (*attributes & plat::kFileAttributeDirectory) != 0;
}

}  // namespace

std::string FolderWithBackslash(std::string folder) {
  if (!plat::EndsWithSeparator(folder, kChooserReading)) folder += '\\';
  return folder;
}

std::string_view NameOfPath(std::string_view path) {
  return path.substr(plat::LastComponentStart(path, kChooserReading));
}

std::size_t ExtensionOffsetOf(std::string_view path) {
  const std::optional<std::size_t> dot = plat::LeafDot(path, kChooserReading);
  return dot ? *dot + 1 : 0;
}

std::vector<FileFilter> ParseFileFilter(std::string_view filter) {
  std::vector<std::string> parts;
  std::string part;
  for (std::size_t i = 0; i < filter.size(); ++i) {
    const auto byte = static_cast<unsigned char>(filter[i]);
    if (plat::IsSjisLeadByte(byte) && i + 1 < filter.size()) {
      part.append(filter.substr(i, 2));
      ++i;
    } else if (filter[i] == '\t') {
      parts.push_back(std::move(part));
      part.clear();
    } else {
      part += filter[i];
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  std::vector<FileFilter> filters;
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    filters.push_back(FileFilter{parts[i], SplitPatterns(i + 1 < parts.size() ? parts[i + 1] : parts[i])});
  }
  return filters;
}

CFileChooserModel::CFileChooserModel(FileChooserKind kind, std::string_view initial_folder,
                                     std::vector<FileFilter> filters, std::string name, std::string default_extension)
    : kind_(kind), folder_(initial_folder), filters_(std::move(filters)), name_(std::move(name)),
      default_extension_(std::move(default_extension)) {
  if (folder_.empty() || !plat::ToHostPath(folder_) || !IsFolder(folder_)) folder_ = kRoot;
  folder_ = FolderWithBackslash(folder_);
  List();
}

void CFileChooserModel::SetFilter(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= filters_.size()) return;
  filter_ = index;
  List();
}

void CFileChooserModel::Pick(int entry) {
  if (entry < 0 || static_cast<std::size_t>(entry) >= entries_.size()) return;
  if (!entries_[static_cast<std::size_t>(entry)].folder) name_ = entries_[static_cast<std::size_t>(entry)].name;
}

void CFileChooserModel::Open(int entry) {
  if (entry < 0 || static_cast<std::size_t>(entry) >= entries_.size()) return;
  const Entry chosen = entries_[static_cast<std::size_t>(entry)];
  if (!chosen.folder) {
    name_ = chosen.name;
    return;
  }
  folder_ = FolderWithBackslash(folder_ + chosen.name);
  List();
}

void CFileChooserModel::Up() {
  if (folder_.size() <= kRoot.size()) return;
  // The folder ends with a separator; the one before it ends the folder above.
  const std::size_t above = plat::FindSeparators(folder_, kChooserReading).second_last;
  if (above == plat::kNoCharacter) return;
  folder_.resize(std::max(above + 1, kRoot.size()));
  List();
}

std::optional<std::string> CFileChooserModel::Choice() const {
  if (kind_ == FileChooserKind::kFolder) {
    // A folder's path ends without a backslash, unless it is the root.
    return folder_.size() > kRoot.size() ? folder_.substr(0, folder_.size() - 1) : folder_;
  }
  if (name_.empty() || name_ == "." || name_ == ".." ||
      plat::FindFirstCharacterOf(name_, "\\/:", kChooserReading) != plat::kNoCharacter) {
    return std::nullopt;
  }
  std::string path = folder_ + name_;
  if (kind_ == FileChooserKind::kSave && !default_extension_.empty() && !plat::LastDot(name_, kChooserReading)) {
    path += "." + default_extension_;
  }
  return path;
}

void CFileChooserModel::List() {
  entries_.clear();
  for (const plat::FindData& found : plat::FindFiles(folder_ + "*.*")) {
    const std::string name = found.file_name;
    if (name == "." || name == ".." || (found.attributes & plat::kFileAttributeHidden) != 0) continue;
    if (found.IsFolder()) {
      entries_.push_back(Entry{name, true});
    } else if (kind_ != FileChooserKind::kFolder && Matches(name)) {
      entries_.push_back(Entry{name, false});
    }
  }
  std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
    return a.folder != b.folder ? a.folder : a.name < b.name;
  });
}

bool CFileChooserModel::Matches(const std::string& name) const {
  if (filters_.empty()) return true;
  const FileFilter& filter = filters_[static_cast<std::size_t>(filter_)];
  return std::any_of(filter.patterns.begin(), filter.patterns.end(),
                     [&name](const std::string& pattern) { return plat::MatchesPattern(name, pattern); });
}

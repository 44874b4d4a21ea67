// The state of the file and folder choosers: the folder shown with its subfolders and the files
// that match the chosen filter, the name typed or picked, and the path chosen. Paths are engine
// paths (Shift-JIS, backslashes, absolute); folders end with a backslash.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/encoding/sjis.h"

// The choosers read their paths as code page 932 reads them, from the folder they start in to
// the path they answer: the folders they list and the files they name are converted to the
// host's names by that reading, where a half-width kana is one character and a separator after
// it ends a folder (ﾃｽﾄ\), and 表 or ソ (second byte 0x5C) never ends one.
inline constexpr plat::SjisReading kChooserReading = plat::SjisReading::kCodePage;

// The folder path with a backslash at its end, unless its last character is a separator.
std::string FolderWithBackslash(std::string folder);
// The name a path ends with: what follows its last separator (the whole path without one).
std::string_view NameOfPath(std::string_view path);
// Where the extension of the name a path ends with starts (just after the name's last dot), as
// the save chooser reports it to the game; 0 when the name has no dot.
std::size_t ExtensionOffsetOf(std::string_view path);

enum class FileChooserKind { kOpen, kSave, kFolder };

struct FileFilter {
  std::string description;
  std::vector<std::string> patterns;  // "*.TXT", ...
};

// A filter as the game writes it: descriptions and patterns alternating, separated by tabs
// ("テキスト(*.TXT)\t*.TXT\tすべて\t*.*"); several patterns of one filter are separated by ';'.
// A tab is never read inside a double-byte character.
std::vector<FileFilter> ParseFileFilter(std::string_view filter);

class CFileChooserModel {
 public:
  struct Entry {
    std::string name;
    bool folder = false;
  };

  // `initial_folder` empty or not a folder: the current folder of the engine ("Z:\").
  CFileChooserModel(FileChooserKind kind, std::string_view initial_folder, std::vector<FileFilter> filters,
                    std::string name, std::string default_extension);

  FileChooserKind Kind() const { return kind_; }
  const std::string& Folder() const { return folder_; }
  const std::string& Name() const { return name_; }
  const std::vector<Entry>& Entries() const { return entries_; }
  const std::vector<FileFilter>& Filters() const { return filters_; }
  int FilterIndex() const { return filter_; }
  void SetFilter(int index);

  // Goes into a listed folder, or takes a listed file's name.
  void Pick(int entry);
  // Goes into the entry's folder (a file: its name is taken as with Pick).
  void Open(int entry);
  void Up();
  std::string& Name() { return name_; }

  // The path of the choice: the folder and the name (with the default extension when the name
  // has none), or the folder itself for a folder chooser; none while no name is given. A name
  // with a folder separator or ".." is refused.
  std::optional<std::string> Choice() const;

 private:
  void List();
  bool Matches(const std::string& name) const;

  FileChooserKind kind_;
  std::string folder_;
  std::vector<FileFilter> filters_;
  int filter_ = 0;
  std::string name_;
  std::string default_extension_;
  std::vector<Entry> entries_;
};

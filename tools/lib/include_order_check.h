// The check that keeps the layers of src/ pointing one way: a folder may include the folders
// below it in the layer order (platform at the bottom, app at the top) and never one above it.
// Files directly in src/ (the program entry) stand above every folder. A folder's rooms (its
// sub-folders, as in "gfx/images/") belong to it: only the top folder of a path counts.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kvxtools {

// The folders of src/, lowest first. The one place the order is written down.
inline constexpr std::array<std::string_view, 14> kLayerOrder = {
    "platform", "base", "pixel", "resource", "script", "gfx", "sound",
    "scene",    "ui",   "effects", "novel",  "builtins", "game", "app"};

struct IncludeOrderViolation {
  std::string file;  // relative to the source root, '/' separators
  int line = 0;
  std::string message;
};

// Reads every .h and .cpp below `source_root` and reports each `#include "folder/..."` that
// reaches a folder above the including one, and each file or include in a folder that the
// order does not name. Sorted by file and line.
std::vector<IncludeOrderViolation> FindIncludeOrderViolations(const std::filesystem::path& source_root);

// "file:line: message".
std::string Describe(const IncludeOrderViolation& violation);

}  // namespace kvxtools

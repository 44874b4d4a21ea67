#include "include_order_check.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <tuple>

namespace kvxtools {
namespace {

namespace fs = std::filesystem;

constexpr int kProgramEntryRank = static_cast<int>(kLayerOrder.size());

std::optional<int> RankOf(std::string_view folder) {
  const auto found = std::find(kLayerOrder.begin(), kLayerOrder.end(), folder);
  if (found == kLayerOrder.end()) return std::nullopt;
  return static_cast<int>(found - kLayerOrder.begin());
}

// The folder part of `#include "folder/name.h"`; nothing for other lines and plain names.
std::optional<std::string_view> IncludedFolder(std::string_view line) {
  const std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos || line.substr(start, 1) != "#") return std::nullopt;
  line.remove_prefix(start + 1);
  line.remove_prefix(std::min(line.size(), line.find_first_not_of(" \t")));
  constexpr std::string_view kInclude = "include";
  if (line.substr(0, kInclude.size()) != kInclude) return std::nullopt;
  line.remove_prefix(kInclude.size());
  line.remove_prefix(std::min(line.size(), line.find_first_not_of(" \t")));
  if (line.empty() || line.front() != '"') return std::nullopt;
  line.remove_prefix(1);
  const std::size_t slash = line.find('/');
  const std::size_t quote = line.find('"');
  if (slash == std::string_view::npos || quote == std::string_view::npos || slash > quote) return std::nullopt;
  return line.substr(0, slash);
}

void CheckFile(const fs::path& root, const fs::path& file, std::vector<IncludeOrderViolation>& out) {
  const fs::path relative = file.lexically_relative(root);
  const std::string name = relative.generic_string();
  const bool program_entry = std::distance(relative.begin(), relative.end()) == 1;
  const std::string folder = program_entry ? std::string() : relative.begin()->string();
  std::optional<int> rank = program_entry ? std::optional<int>(kProgramEntryRank) : RankOf(folder);
  if (!rank) {
    out.push_back({name, 0, "the folder \"" + folder + "\" has no place in the layer order"});
    return;
  }
  std::ifstream in(file);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::optional<std::string_view> included = IncludedFolder(line);
    if (!included) continue;
    const std::optional<int> included_rank = RankOf(*included);
    if (!included_rank) {
      out.push_back({name, number, "includes \"" + std::string(*included) + "/\", a folder with no place in the layer order"});
    } else if (*included_rank > *rank) {
      out.push_back({name, number,
                     "\"" + folder + "\" includes \"" + std::string(*included) + "/\", which lies above it"});
    }
  }
}

}  // namespace

std::vector<IncludeOrderViolation> FindIncludeOrderViolations(const fs::path& source_root) {
  std::vector<IncludeOrderViolation> violations;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(source_root)) {
    const fs::path extension = entry.path().extension();
    if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
    CheckFile(source_root, entry.path(), violations);
  }
  std::sort(violations.begin(), violations.end(), [](const auto& a, const auto& b) {
    return std::tie(a.file, a.line) < std::tie(b.file, b.line);
  });
  return violations;
}

std::string Describe(const IncludeOrderViolation& violation) {
  return violation.file + ":" + std::to_string(violation.line) + ": " + violation.message;
}

}  // namespace kvxtools

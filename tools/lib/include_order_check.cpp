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

std::span<const std::string_view> RoomsOf(std::string_view layer) {
  for (const LayerRooms& entry : kRoomOrder) {
    if (entry.layer == layer) return entry.rooms;
  }
  return {};
}

std::optional<int> RoomRankOf(std::string_view layer, std::string_view room) {
  const std::span<const std::string_view> rooms = RoomsOf(layer);
  const auto found = std::find(rooms.begin(), rooms.end(), room);
  if (found == rooms.end()) return std::nullopt;
  return static_cast<int>(found - rooms.begin());
}

bool IsRoomOrderException(std::string_view layer, std::string_view from, std::string_view to) {
  return std::any_of(kRoomOrderExceptions.begin(), kRoomOrderExceptions.end(), [&](const RoomOrderException& e) {
    return e.from == std::string(layer) + "/" + std::string(from) && e.to == std::string(layer) + "/" + std::string(to);
  });
}

// Where a path below src/ lies: its layer and its room (empty when it lies in the layer folder itself).
struct Place {
  std::string_view layer;
  std::string_view room;
};

Place PlaceOf(std::string_view path) {
  const std::size_t first = path.find('/');
  const std::string_view layer = path.substr(0, first);
  const std::size_t second = path.find('/', first + 1);
  if (second == std::string_view::npos) return {layer, {}};
  return {layer, path.substr(first + 1, second - first - 1)};
}

// The path of `#include "folder/name.h"`; nothing for other lines and plain names.
std::optional<std::string_view> IncludedPath(std::string_view line) {
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
  return line.substr(0, quote);
}

// The room of a file in a layer with rooms: its rank, or nothing after a violation is noted.
std::optional<int> CheckRoomOfFile(const std::string& name, Place place, std::vector<IncludeOrderViolation>& out) {
  if (RoomsOf(place.layer).empty()) {
    if (!place.room.empty()) {
      out.push_back({name, 0, "the layer \"" + std::string(place.layer) + "\" has no rooms"});
    }
    return std::nullopt;
  }
  if (place.room.empty()) {
    out.push_back({name, 0, "the file lies in no room of \"" + std::string(place.layer) + "\""});
    return std::nullopt;
  }
  const std::optional<int> rank = RoomRankOf(place.layer, place.room);
  if (!rank) {
    out.push_back({name, 0,
                   "the room \"" + std::string(place.layer) + "/" + std::string(place.room) +
                       "\" has no place in the room order"});
  }
  return rank;
}

void CheckRoomOfInclude(const std::string& name, int number, Place from, std::optional<int> from_rank, Place to,
                        std::vector<IncludeOrderViolation>& out) {
  if (to.layer != from.layer || to.room.empty() || to.room == from.room || RoomsOf(to.layer).empty()) return;
  const std::string from_room = std::string(from.layer) + "/" + std::string(from.room);
  const std::string to_room = std::string(to.layer) + "/" + std::string(to.room);
  const std::optional<int> to_rank = RoomRankOf(to.layer, to.room);
  if (!to_rank) {
    out.push_back({name, number, "includes \"" + to_room + "/\", a room with no place in the room order"});
  } else if (from_rank && *to_rank > *from_rank && !IsRoomOrderException(from.layer, from.room, to.room)) {
    out.push_back({name, number, "\"" + from_room + "\" includes \"" + to_room + "/\", a room above it"});
  }
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
  const Place place = program_entry ? Place{} : PlaceOf(name);
  const std::optional<int> room_rank = program_entry ? std::nullopt : CheckRoomOfFile(name, place, out);
  std::ifstream in(file);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::optional<std::string_view> included = IncludedPath(line);
    if (!included) continue;
    const Place included_place = PlaceOf(*included);
    const std::optional<int> included_rank = RankOf(included_place.layer);
    if (!included_rank) {
      out.push_back({name, number,
                     "includes \"" + std::string(included_place.layer) +
                         "/\", a folder with no place in the layer order"});
    } else if (*included_rank > *rank) {
      out.push_back({name, number,
                     "\"" + folder + "\" includes \"" + std::string(included_place.layer) + "/\", which lies above it"});
    } else if (!program_entry) {
      CheckRoomOfInclude(name, number, place, room_rank, included_place, out);
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

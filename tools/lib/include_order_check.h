// The check that keeps the layers of src/ pointing one way: a folder may include the folders
// below it in the layer order (platform at the bottom, app at the top) and never one above it.
// Files directly in src/ (the program entry) stand above every folder. Within a layer the rooms
// (its sub-folders, as in "gfx/images/") keep an order of their own the same way; a layer named
// in no room order keeps its files in the folder itself.
#pragma once

#include <array>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kvxtools {

// The folders of src/, lowest first. The one place the order is written down.
inline constexpr std::array<std::string_view, 14> kLayerOrder = {
    "platform", "base",    "pixel",  "resource", "gfx",      "sound", "scene",
    "ui",       "effects", "script", "novel",    "builtins", "game",  "app"};

// The rooms of a layer, lowest first.
struct LayerRooms {
  std::string_view layer;
  std::span<const std::string_view> rooms;
};

namespace room_lists {
inline constexpr std::array<std::string_view, 7> kPlatform = {"encoding", "system", "files", "events",
                                                              "fonts",    "sound",  "window"};
inline constexpr std::array<std::string_view, 9> kBase = {"numbers",  "text",  "threads", "time",  "lifetime",
                                                          "settings", "files", "input",   "system"};
inline constexpr std::array<std::string_view, 2> kPixel = {"kernels", "formats"};
inline constexpr std::array<std::string_view, 3> kResource = {"plugins", "archives", "pictures"};
inline constexpr std::array<std::string_view, 3> kGfx = {"images", "image_operations", "display"};
inline constexpr std::array<std::string_view, 6> kScene = {"render",  "drawables",  "sprites",
                                                           "motions", "animations", "movies"};
inline constexpr std::array<std::string_view, 7> kUi = {"fonts",   "gui",            "widgets", "text_objects",
                                                        "dialogs", "widget_manager", "layouts"};
inline constexpr std::array<std::string_view, 8> kEffects = {"framework", "sprite",   "background", "screen",
                                                             "filters",   "patterns", "staff_roll", "table"};
inline constexpr std::array<std::string_view, 5> kNovel = {"page", "scenario", "text", "frame", "screens"};
inline constexpr std::array<std::string_view, 3> kApp = {"framework", "game", "dialogs"};
}  // namespace room_lists

// The layers with rooms. The one place their order is written down.
inline constexpr std::array<LayerRooms, 10> kRoomOrder = {{
    {"platform", room_lists::kPlatform},
    {"base", room_lists::kBase},
    {"pixel", room_lists::kPixel},
    {"resource", room_lists::kResource},
    {"gfx", room_lists::kGfx},
    {"scene", room_lists::kScene},
    {"ui", room_lists::kUi},
    {"effects", room_lists::kEffects},
    {"novel", room_lists::kNovel},
    {"app", room_lists::kApp},
}};

// A room that may include one above it in its layer.
struct RoomOrderException {
  std::string_view from;  // "layer/room"
  std::string_view to;
};

// The novel frame holds its system screens, and the screens act on the frame that holds them.
inline constexpr std::array<RoomOrderException, 1> kRoomOrderExceptions = {{{"novel/frame", "novel/screens"}}};

struct IncludeOrderViolation {
  std::string file;  // relative to the source root, '/' separators
  int line = 0;
  std::string message;
};

// Reads every .h and .cpp below `source_root` and reports each `#include "folder/..."` that
// reaches a folder above the including one or a room above the including one in its layer, and
// each file or include in a folder or room that the orders do not name. Sorted by file and line.
std::vector<IncludeOrderViolation> FindIncludeOrderViolations(const std::filesystem::path& source_root);

// "file:line: message".
std::string Describe(const IncludeOrderViolation& violation);

}  // namespace kvxtools

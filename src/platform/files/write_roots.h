// The folders below which files are written and read without following links. Each root's place on disk,
// its links followed, is taken once when the roots are set; a later write below a root reaches
// its file from that place down, every folder on the way opened without following a link, so a
// link put below a root after a path was checked is never followed. A write elsewhere opens its
// folder as named and refuses a link only as its last name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/unique_fd.h"

namespace plat {

// The roots as engine paths; replaces the earlier ones (an empty list sets none).
void SetWriteRoots(const std::vector<std::string>& engine_folders);

// Where a write at `engine_path` lands: below a root, the root's place and the names below it;
// elsewhere the path with its links followed (see ResolveLinks). Nothing when the path does not
// map to the host, or when below its root a link now stands on the way or as the last name.
std::optional<std::string> WriteTarget(std::string_view engine_path);

// The folder that holds what a write at an engine path creates, replaces or removes, opened as
// the file comment says; nothing when it cannot be opened so (a link on the way below a root).
struct WriteFolder {
  UniqueFd folder;
  std::string leaf;        // the last name, to be opened relative to `folder` without following it
  std::string named_path;  // the whole path as the engine named it, for the folder listings
};
std::optional<WriteFolder> OpenWriteFolder(std::string_view engine_path);

// The file at an engine path opened for reading: below a root the way a write reaches it, with no
// link on its way nor as its last name, so that a folder swapped for a link after a read was let
// through is not followed; elsewhere by its path, links followed. Not open when it cannot be.
UniqueFd OpenForReading(std::string_view engine_path);
// The folder at an engine path opened for listing its entries, the way OpenForReading opens a file.
UniqueFd OpenForListing(std::string_view engine_folder);

}  // namespace plat

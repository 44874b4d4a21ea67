// Mapping between the engine's Windows-style Shift-JIS paths and the paths of this machine.
//
// Drive Z: is the root of the file system: "Z:\opt\game\SCRIPT.DPK" is /opt/game/SCRIPT.DPK.
// Each component is converted to UTF-8 and matched against the folder's listing without regard
// to the case of ASCII letters (the only letters the engine's own case rules change), so a name
// the engine forms in another case still finds the file. Listings are cached per folder: the
// engine's own creations and deletions update them at once, and the changes other programs make
// arrive through the system's file-change notifications, taken at the start of every lookup.
// Components that do not exist keep the case the engine gave, so new files get that case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plat {

// The host path of an engine path; nothing for a path that is not on drive Z: (another drive
// letter, a UNC name or a relative name). "." and ".." components are resolved as Windows does;
// components are split and converted by one reading of the text (SjisCodeLengthAt), and one that
// would still be "." or ".." or hold a '/' after conversion makes the path unmappable, so the
// host never resolves a component the engine did not.
std::optional<std::string> ToHostPath(std::string_view engine_path);

// A host path with what the folder listings said of it on the way.
struct HostPath {
  std::string path;
  // A component is missing from the trusted listing of its folder, so opening the path for
  // reading would fail: the caller may skip the attempt.
  bool listed_missing = false;
};
// The same mapping as ToHostPath, keeping whether the path is known not to exist.
std::optional<HostPath> LookUpHostPath(std::string_view engine_path);

// The engine path of an absolute host path: "Z:" followed by the path with backslashes, in
// Shift-JIS. A folder path ending with '/' gives an engine path ending with '\'.
std::string ToEnginePath(std::string_view host_path);
// The same for a path the engine must be able to open again: nothing when a character of it has
// no Shift-JIS form (see ToEngineName).
std::optional<std::string> ToExactEnginePath(std::string_view host_path);

// The Shift-JIS form of a UTF-8 name, nothing when it does not convert back to the same name.
std::optional<std::string> ToEngineName(std::string_view utf8_name);

// Brings the cached listing of the folder that holds `host_path` up to date with whether it
// exists now, after the engine created, deleted or renamed it.
void UpdateListingOf(const std::string& host_path);

// Drops every cached listing with its watch; later lookups read the folders again. A program
// that ends calls it when it starts its exit: closing the notifications waits until the kernel
// has retired their watches, which it does in the background meanwhile after this.
void ForgetFolderListings();

// Whether two UTF-8 names are equal when ASCII letters are compared without case.
bool NamesMatchIgnoringCase(std::string_view a, std::string_view b);

}  // namespace plat

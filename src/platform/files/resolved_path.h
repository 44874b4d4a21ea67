// Where an engine path really leads once the links on its way are followed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plat {

// The host path that `engine_path` (absolute, on drive Z:) reaches: the part of it that exists
// with every link followed, then the names that do not exist yet, as given. Nothing for a path
// that does not map to the host, a link that leads nowhere or into a loop, or a folder on the
// way that cannot be searched: what it would reach cannot be told.
std::optional<std::string> ResolveLinks(std::string_view engine_path);

// The host path of the file open at `fd`, every link followed: where the file that was opened
// lies, whatever has been put at the path it was opened by since.
std::optional<std::string> RealPathOfOpenFile(int fd);

// Whether host path `path` is `folder` or lies below it (both as ResolveLinks gives them).
bool IsSameOrBelow(std::string_view path, std::string_view folder);

}  // namespace plat

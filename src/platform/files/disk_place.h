// Where a file or folder lies on disk, told by what it and each folder above it are (device and
// inode numbers), not by the names that reach them: a folder reached through a bind mount of
// another, or through a second mount of its file system, is that other folder, wherever the
// mount puts it, so a path that names it elsewhere lies inside it all the same.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/file_identity.h"

namespace plat {

enum class Placement { kApart, kSame, kBelow };

class DiskPlace {
 public:
  // The place of host path `host_path`: the part of it that exists, opened with its links
  // followed, and every folder above that one, walked up through ".." to the root. The names
  // after that part, which do not exist yet, lie below it by those names. The folders above a
  // file are those its path names, so a file is given by its real path (RealPathOfOpenFile).
  // Nothing for a relative path or where the part that exists cannot be opened.
  static std::optional<DiskPlace> Of(std::string_view host_path);

  // Whether this place is `folder`, lies below it or apart from it; nothing when it was not
  // met on a way up that a folder which cannot be searched cut short before the root.
  std::optional<Placement> In(const DiskPlace& folder) const;
  // The same for the folder at host path `folder`, nothing also when its place cannot be told.
  std::optional<Placement> In(std::string_view folder) const;

 private:
  // The place, with the folders above it or, for a place that is only compared with, without.
  static std::optional<DiskPlace> Open(std::string_view host_path, bool walk_up);

  // The part that exists, then each folder above it up to the root.
  std::vector<FileIdentity> way_up_;
  // The names below that part that do not exist yet.
  std::vector<std::string> missing_;
  bool reached_root_ = false;
};

// Where host path `path` lies with respect to host path `folder`, both taken as DiskPlace::Of
// takes them; nothing when either place cannot be told.
std::optional<Placement> PlacementOnDisk(std::string_view path, std::string_view folder);

}  // namespace plat

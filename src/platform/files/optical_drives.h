// CD and DVD drives: folders where an iso9660 or udf file system is mounted.
#pragma once

#include <string>
#include <vector>

namespace plat {

inline constexpr const char* kMountTable = "/proc/mounts";

// The mount points of optical discs in the order of the mount table, as engine paths ending
// with a backslash.
std::vector<std::string> OpticalDriveRoots(const std::string& mount_table = kMountTable);

}  // namespace plat

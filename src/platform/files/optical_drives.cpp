#include "platform/files/optical_drives.h"

#include <fstream>
#include <sstream>

#include "platform/files/host_path.h"

namespace plat {
namespace {

bool IsOctalEscape(const std::string& field, std::size_t i) {
  if (field[i] != '\\' || i + 3 >= field.size()) return false;
  for (std::size_t digit = i + 1; digit <= i + 3; ++digit) {
    if (field[digit] < '0' || field[digit] > '7') return false;
  }
  return true;
}

// The mount table writes blanks, tabs, newlines and backslashes in paths as octal escapes.
std::string Unescape(const std::string& field) {
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (IsOctalEscape(field, i)) {
      text += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

}  // namespace

std::vector<std::string> OpticalDriveRoots(const std::string& mount_table) {
  std::vector<std::string> roots;
  std::ifstream table(mount_table);
  std::string line;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string device, mount_point, type;
    if (!(fields >> device >> mount_point >> type)) continue;
    if (type != "iso9660" && type != "udf") continue;
    std::string folder = Unescape(mount_point);
    if (folder.empty() || folder[0] != '/') continue;
    if (folder.back() != '/') folder += '/';
    roots.push_back(ToEnginePath(folder));
  }
  return roots;
}

}  // namespace plat

// What the process's memory map says, read from /proc/self/maps.
#pragma once

#include <fstream>
#include <string>
#include <string_view>

namespace test_support {

// Calls visit(permissions, bytes) for every mapping; permissions as "rwxp".
template <class Visit>
void VisitMappings(Visit visit) {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    const std::size_t dash = line.find('-'), space = line.find(' ');
    if (dash == std::string::npos || space == std::string::npos || space < dash || space + 5 > line.size()) continue;
    const unsigned long long start = std::stoull(line.substr(0, dash), nullptr, 16);
    const unsigned long long end = std::stoull(line.substr(dash + 1, space - dash - 1), nullptr, 16);
    visit(std::string_view(line).substr(space + 1, 4), end - start);
  }
}

// Mappings that may be written and executed at once.
inline int WritableExecutableMappings() {
  int count = 0;
  VisitMappings([&count](std::string_view permissions, unsigned long long) {
    if (permissions[1] == 'w' && permissions[2] == 'x') ++count;
  });
  return count;
}

// Bytes of all executable mappings.
inline unsigned long long ExecutableBytes() {
  unsigned long long bytes = 0;
  VisitMappings([&bytes](std::string_view permissions, unsigned long long size) {
    if (permissions[2] == 'x') bytes += size;
  });
  return bytes;
}

}  // namespace test_support

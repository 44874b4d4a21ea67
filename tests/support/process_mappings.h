// What the process's memory map says, read from /proc/self/maps.
#pragma once

#include <fstream>
#include <string>

namespace test_support {

// Mappings that may be written and executed at once.
inline int WritableExecutableMappings() {
  std::ifstream maps("/proc/self/maps");
  int count = 0;
  for (std::string line; std::getline(maps, line);) {
    const std::size_t permissions = line.find(' ') + 1;
    if (permissions + 3 <= line.size() && line[permissions + 1] == 'w' && line[permissions + 2] == 'x') ++count;
  }
  return count;
}

}  // namespace test_support

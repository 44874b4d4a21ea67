#include "tool_usage.h"

#include <cstdio>
#include <string_view>

namespace kvxtools {

bool AskedForUsage(int argc, char** argv, const char* usage) {
  if (argc != 2 || (std::string_view(argv[1]) != "--help" && std::string_view(argv[1]) != "-h")) return false;
  std::fputs(usage, stdout);
  return true;
}

int UsageError(const char* usage) {
  std::fputs(usage, stderr);
  return 2;
}

}  // namespace kvxtools

#include "resource/plugins/plugin_host.h"

#include "base/files/path.h"

std::vector<std::string> SplitExtensionList(const char* list) {
  std::vector<std::string> items;
  if (list == nullptr) return items;
  while (*list != '\0') {
    items.emplace_back(list);
    list += items.back().size() + 1;
  }
  return items;
}

std::string UpperExtensionOf(const char* file_name) {
  char extension[kMaxPath];
  GetFileExtension(file_name, extension);
  std::string upper = extension;
  UpperSjis(upper);
  return upper;
}

#include "resource/plugins/plugin_host.h"

#include <optional>
#include <string_view>

#include "platform/encoding/sjis_text.h"

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
  if (file_name == nullptr) return {};
  const std::string_view name = file_name;
  const std::optional<std::size_t> dot = plat::LastDot(name, plat::SjisReading::kCodePage);
  std::string upper(dot ? name.substr(*dot + 1) : std::string_view());
  UpperSjis(upper);
  return upper;
}

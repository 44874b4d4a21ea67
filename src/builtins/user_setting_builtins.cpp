#include "builtins/user_setting_builtins.h"

#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "base/numbers/little_endian.h"
#include "base/settings/game_settings.h"
#include "base/text/sjis_fit.h"
#include "script/game_host_access.h"

namespace {

constexpr std::uint32_t kWord = 4;
constexpr std::uint32_t kFaceName = 32;
constexpr std::uint32_t kLastGroup = 8;
// Groups up to this one refuse an item they do not have with -1.
constexpr std::uint32_t kLastRefusingGroup = 5;

// Items first .. first + count - 1 of a group, one after another from `offset`, each `width`
// bytes wide.
struct ItemRun {
  std::uint32_t group;
  std::uint32_t first;
  std::uint32_t count;
  std::uint32_t offset;
  std::uint32_t width;
};

constexpr std::array<ItemRun, 26> kRuns{{
    {0, 0, 7, 0, 1},          {0, 8, 7, 8, 1},         {0, 15, 1, 20, kWord},   {1, 0, 7, 24, 1},
    {1, 7, 1, 32, kWord},     {2, 0, 1, 36, kFaceName}, {2, 1, 7, 68, 1},        {2, 8, 1, 76, kWord},
    {3, 0, 1, 80, 1},         {3, 16, 1, 81, 1},       {3, 1, 4, 82, 1},        {3, 15, 1, 86, 1},
    {3, 17, 1, 88, kWord},    {3, 5, 4, 92, kWord},    {3, 9, 6, 108, 1},       {4, 2, 16, 114, 1},
    {4, 0, 2, 130, 1},        {5, 0, 1, 132, 1},       {5, 6, 16, 133, 1},      {5, 1, 5, 149, 1},
    {6, 2, 3, 154, 1},        {6, 6, 1, 157, 1},       {6, 5, 1, 158, 1},       {6, 0, 2, 160, 1},
    {7, 0, 1, 159, 1},        {8, 0, 5, 162, 1},
}};

struct Field {
  std::uint32_t offset;
  std::uint32_t width;
};

std::optional<Field> Locate(std::uint32_t group, std::uint32_t item) {
  for (const ItemRun& run : kRuns) {
    if (run.group == group && item >= run.first && item - run.first < run.count) {
      return Field{run.offset + (item - run.first) * run.width, run.width};
    }
  }
  return std::nullopt;
}

bool IsItemSeven(std::uint32_t group, std::uint32_t item) { return group == 0 && item == 7; }

}  // namespace

std::uint32_t NativeSetUserSetting(const NativeArgs& args) {
  const std::uint32_t group = args.U32(0);
  const std::uint32_t item = args.U8(1);
  if (group > kLastGroup) return 0;
  if (IsItemSeven(group, item)) return 1;
  const std::optional<Field> field = Locate(group, item);
  if (!field) return group <= kLastRefusingGroup ? static_cast<std::uint32_t>(-1) : 0;
  if (g_UserConfig == nullptr) return 0;
  std::uint8_t* bytes = g_UserConfig->data() + field->offset;
  if (field->width == kFaceName) {
    const char* text = args.Str(2);
    const std::string kept = FitSjis(text != nullptr ? text : "", kFaceName - 1);
    std::memset(bytes, 0, kFaceName);
    std::memcpy(bytes, kept.data(), kept.size());
  } else if (field->width == kWord) {
    StoreLe32(bytes, args.U32(2));
  } else {
    *bytes = args.U8(2);
  }
  return 0;
}

std::uint32_t NativeGetUserSetting(const NativeArgs& args) {
  const std::optional<Field> field = Locate(args.U32(0), args.U8(1));
  if (!field || g_UserConfig == nullptr) return 0;
  const std::uint8_t* bytes = g_UserConfig->data() + field->offset;
  if (field->width == kWord) return LoadLe32(bytes);
  if (field->width == 1) return *bytes;
  const std::string face(reinterpret_cast<const char*>(bytes), strnlen(reinterpret_cast<const char*>(bytes), kFaceName));
  return WithGameHost([&face](IGameHost& host) { return host.Scripts().SettingsTextExport().Export(face); });
}

#include "base/settings/settings_files.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "base/numbers/little_endian.h"

namespace {

// Reads a file front to back; reads past the end give nothing and leave the cursor at the end.
class FileCursor {
 public:
  explicit FileCursor(std::span<const uint8_t> file) : rest_(file) {}

  std::optional<uint8_t> Byte() {
    if (rest_.empty()) return std::nullopt;
    const uint8_t value = rest_[0];
    rest_ = rest_.subspan(1);
    return value;
  }
  std::optional<uint32_t> Le(std::size_t width) {
    if (rest_.size() < width) {
      rest_ = {};
      return std::nullopt;
    }
    const uint32_t value = width == 2 ? LoadLe16(rest_.data()) : LoadLe32(rest_.data());
    rest_ = rest_.subspan(width);
    return value;
  }
  bool AtEnd() const { return rest_.empty(); }
  // Up to `length` bytes: fewer when the file ends first.
  std::span<const uint8_t> Take(std::size_t length) {
    const auto taken = rest_.first(std::min(length, rest_.size()));
    rest_ = rest_.subspan(taken.size());
    return taken;
  }

 private:
  std::span<const uint8_t> rest_;
};

// Copies a stored block of `length` bytes over `block`: bytes beyond the block's room are
// skipped, fields the file does not reach keep their values. False when the file ends before
// the block does.
bool OverlayBlock(FileCursor& cursor, std::size_t length, std::span<uint8_t> block) {
  const auto stored = cursor.Take(length);
  std::copy_n(stored.begin(), std::min(stored.size(), block.size()), block.begin());
  return stored.size() == length;
}

// A string stored with its terminating zero; one stored without it ends after its bytes.
std::string StoredString(std::span<const uint8_t> bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  return std::string(bytes.begin(), end);
}

using DefinitionRecord = std::array<uint8_t, kAppDefinitionSize>;

DefinitionRecord EncodeDefinition(const AppInfo& info) {
  DefinitionRecord record{};
  StoreLe16(&record[0], info.screen_width);
  StoreLe16(&record[2], info.screen_height);
  StoreLe32(&record[4], info.window_style);
  StoreLe32(&record[8], info.ex_window_style);
  StoreLe16(&record[12], info.icon_id);
  StoreLe16(&record[14], info.menu_id);
  StoreLe16(&record[16], info.accelerator_id);
  record[18] = info.single_instance;
  record[19] = info.allowed_screen_modes;
  record[20] = info.allow_cd_start;
  record[21] = info.save_folder_kind;
  record[22] = info.menu_in_fullscreen;
  return record;
}

void DecodeDefinition(const DefinitionRecord& record, AppInfo& info) {
  info.screen_width = LoadLe16(&record[0]);
  info.screen_height = LoadLe16(&record[2]);
  info.window_style = LoadLe32(&record[4]);
  info.ex_window_style = LoadLe32(&record[8]);
  info.icon_id = LoadLe16(&record[12]);
  info.menu_id = LoadLe16(&record[14]);
  info.accelerator_id = LoadLe16(&record[16]);
  info.single_instance = record[18];
  info.allowed_screen_modes = record[19];
  info.allow_cd_start = record[20];
  info.save_folder_kind = record[21];
  info.menu_in_fullscreen = record[22];
}

void WriteLe(std::vector<uint8_t>& out, uint32_t value, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void WriteBlock(std::vector<uint8_t>& out, std::span<const uint8_t> block) {
  WriteLe(out, static_cast<uint32_t>(block.size()), 2);
  out.insert(out.end(), block.begin(), block.end());
}

}  // namespace

bool ReadAppDefinition(std::span<const uint8_t> file, AppInfo& info) {
  FileCursor cursor(file);
  const auto length = cursor.Le(2);
  if (!length) return false;
  DefinitionRecord record = EncodeDefinition(info);
  OverlayBlock(cursor, *length, record);
  DecodeDefinition(record, info);
  info.window_style = kForcedWindowStyle;
  info.icon_id = kForcedIconId;
  if (info.menu_id != 0) info.menu_id = kSystemMenuId;
  if (info.accelerator_id != 0) info.accelerator_id = kAcceleratorsId;
  return true;
}

bool ReadAppInformation(std::span<const uint8_t> file, AppInfo& info) {
  if (file.size() < 3) return false;
  FileCursor cursor(file);
  info.version_major = *cursor.Byte();
  info.version_minor = *cursor.Byte();
  info.revision = *cursor.Byte();
  for (std::string* text : {&info.application_name, &info.product_name, &info.copyright, &info.web_address}) {
    const auto length = cursor.Byte();
    if (!length) return true;
    *text = StoredString(cursor.Take(*length));
  }
  if (const auto length = cursor.Byte(); length && *length != 0) {
    info.save_folder_name = StoredString(cursor.Take(*length));
  }
  return true;
}

std::string FormatVersion(const AppInfo& info) {
  char text[32];
  int used = std::snprintf(text, sizeof text, "%d.%02d", info.version_major, info.version_minor);
  if (info.revision != 0) used += std::snprintf(text + used, sizeof text - used, "%x", info.revision);
  return text;
}

bool ReadUserConfig(std::span<const uint8_t> file, const UserConfigBlocks& blocks) {
  FileCursor cursor(file);
  for (const std::span<uint8_t> block : {blocks.environment, blocks.window, blocks.run_time}) {
    const auto length = cursor.Le(2);
    if (!length || !OverlayBlock(cursor, *length, block)) return false;
  }
  blocks.chosen_folder->clear();
  if (cursor.AtEnd()) return true;
  const auto length = cursor.Le(2);
  if (!length) return false;
  const auto stored = cursor.Take(*length);
  *blocks.chosen_folder = StoredString(stored);
  return stored.size() == *length;
}

std::vector<uint8_t> WriteUserConfig(const UserConfigBlocks& blocks) {
  std::vector<uint8_t> out;
  for (const std::span<const uint8_t> block : {blocks.environment, blocks.window, blocks.run_time}) {
    WriteBlock(out, block);
  }
  const std::string& path = *blocks.chosen_folder;
  if (path.empty()) {
    WriteLe(out, 0, 2);
  } else {
    WriteBlock(out, std::span(reinterpret_cast<const uint8_t*>(path.c_str()), path.size() + 1));
  }
  return out;
}

bool ReadGameSettingsFile(std::span<const uint8_t> file, GameSettingsBlock& settings) {
  FileCursor cursor(file);
  const auto length = cursor.Le(4);
  return length && OverlayBlock(cursor, *length, settings);
}

std::vector<uint8_t> WriteGameSettingsFile(const GameSettingsBlock& settings) {
  std::vector<uint8_t> out;
  WriteLe(out, kGameSettingsSize, 4);
  out.insert(out.end(), settings.begin(), settings.end());
  return out;
}

std::optional<InstallInformation> ReadInstallInformation(std::span<const uint8_t> file) {
  constexpr char kMagic[] = "IFG1";
  FileCursor cursor(file);
  const auto magic = cursor.Take(4);
  if (magic.size() != 4 || std::memcmp(magic.data(), kMagic, 4) != 0) return std::nullopt;
  const auto length = cursor.Byte();
  if (!length || *length == 0) return std::nullopt;
  const auto name = cursor.Take(*length);
  const auto per_user = cursor.Byte();
  if (name.size() != *length || !per_user) return std::nullopt;
  return InstallInformation{StoredString(name), *per_user != 0};
}

#include "builtins/app_value_builtins.h"

#include <cstddef>
#include <span>

#include "base/system/app_services.h"
#include "ui/fonts/glyph_cache.h"

namespace {

constexpr std::uint32_t kFrameSkip = 1;
constexpr std::uint32_t kGlyphCacheLimit = 6;
constexpr std::uint32_t kFirstMenuGroup = 7;
constexpr std::uint32_t kScreenModeGroup = 11;
constexpr std::uint32_t kInstallInformation = 12;

enum class Block : std::uint8_t { kWindow, kSwitches };

// A value that is a field of the window block or of the game switches.
struct ValueField {
  std::uint32_t index;
  Block block;
  std::size_t offset;
  bool wide;  // u16, else a byte
};

constexpr ValueField kFields[] = {
    {0, Block::kWindow, kWinCursorMoves, false},           {1, Block::kSwitches, kSwitchFrameSkip, false},
    {2, Block::kWindow, kWinPauseWhileInactive, false},    {3, Block::kWindow, kWinMenuDelay, true},
    {4, Block::kSwitches, kSwitchMovieLibraries, false},   {5, Block::kSwitches, kSwitchScriptsOwn, false},
    {6, Block::kSwitches, kSwitchGlyphCacheLimit, true},   {13, Block::kSwitches, kSwitchCarried, false},
};

const ValueField* FieldOf(std::uint32_t index) {
  for (const ValueField& field : kFields) {
    if (field.index == index) return &field;
  }
  return nullptr;
}

std::span<std::uint8_t> BytesOf(IAppServices& app, const ValueField& field) {
  std::span<std::uint8_t> block = field.block == Block::kWindow ? std::span<std::uint8_t>(app.WindowSettingBytes())
                                                                 : std::span<std::uint8_t>(app.SwitchBytes());
  return block.subspan(field.offset, field.wide ? 2 : 1);
}

bool IsMenuGroup(std::uint32_t index) { return index >= kFirstMenuGroup && index <= kScreenModeGroup; }

}  // namespace

std::uint32_t NativeSetAppValue(const NativeArgs& args) {
  if (g_AppServices == nullptr) return 0;
  IAppServices& app = *g_AppServices;
  const std::uint32_t index = args.U32(0);
  const std::uint32_t value = args.U32(1);
  if (IsMenuGroup(index)) {
    app.SetMenuGroup(static_cast<int>(index - kFirstMenuGroup), static_cast<std::uint8_t>(value) != 0);
    return 0;
  }
  const ValueField* field = FieldOf(index);
  if (field == nullptr || index > kScreenModeGroup) return 0;
  const std::span<std::uint8_t> bytes = BytesOf(app, *field);
  if (index == kFrameSkip) {
    bytes[0] = value != 0 ? 1 : 0;
    app.Pacer().SetSkipEnabled(value != 0);
    return 0;
  }
  bytes[0] = static_cast<std::uint8_t>(value);
  if (field->wide) bytes[1] = static_cast<std::uint8_t>(value >> 8);
  if (index == kGlyphCacheLimit) g_GlyphCacheLimit = static_cast<std::uint16_t>(value);
  return 0;
}

std::uint32_t NativeGetAppValue(const NativeArgs& args) {
  if (g_AppServices == nullptr) return 0;
  IAppServices& app = *g_AppServices;
  const std::uint32_t index = args.U32(0);
  if (index == kScreenModeGroup && app.AllowedScreenModes() == kWindowModeOnly) return 0;
  if (IsMenuGroup(index)) return app.MenuGroupPermitted(static_cast<int>(index - kFirstMenuGroup)) ? 1 : 0;
  if (index == kInstallInformation) return app.InstallInformation();
  const ValueField* field = FieldOf(index);
  if (field == nullptr) return 0;
  const std::span<std::uint8_t> bytes = BytesOf(app, *field);
  return field->wide ? bytes[0] | std::uint32_t{bytes[1]} << 8 : bytes[0];
}

std::uint32_t NativeSetRunningValue1(const NativeArgs& args) {
  if (g_AppServices != nullptr) g_AppServices->Pacer().SetSkipEnabled((args.U32(0) & 1) != 0);
  return 0;
}

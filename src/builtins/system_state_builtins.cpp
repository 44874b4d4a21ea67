#include "builtins/system_state_builtins.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "base/input/input_manager.h"
#include "base/settings/game_settings.h"
#include "base/system/app_services.h"
#include "base/system/cpu_info.h"
#include "gfx/display/screen_manager.h"
#include "pixel/kernels/pixel_kernel_choice.h"

namespace {

// The engine's own fixed identifier: 38 characters with the braces.
constexpr std::string_view kEngineIdentifier = "{6E1C5F0A-3B7D-4C2E-9A84-5D17B2F3C960}";
static_assert(kEngineIdentifier.size() == 38);

constexpr std::uint32_t kTextIdentifier = 0;
constexpr std::uint32_t kTextSaveFolder = 2;
constexpr std::uint32_t kLastText = 3;
constexpr std::uint32_t kVideoMemoryCapsBit = 1u << 25;

std::uint32_t ScreenState(CScreenManager& screen, std::uint32_t index) {
  switch (index) {
    case 0: return (screen.GetBackCaps() & kVideoMemoryCapsBit) == 0 ? 1 : 0;
    case 1: return screen.GetDisplayState();
    case 2: return screen.GetRenderMode() > CScreenManager::kRenderGdi ? 1 : 0;
    case 3:
      return screen.GetDisplayState() == CScreenManager::kFullScreen &&
                     screen.GetRenderMode() == CScreenManager::kRenderTexture
                 ? 1
                 : 0;
    case 14: return screen.GetDisplayDepth();
    case 15: return screen.GetBackFormat();
    case 16: return screen.GetFreeVideoMemory(true);
    case 17: return screen.IsScaling() ? 1 : 0;
    case 18: return static_cast<std::uint32_t>(screen.GetOutputWidth());
    case 19: return static_cast<std::uint32_t>(screen.GetOutputHeight());
    case 20: return screen.GetPrimaryCaps();
    case 22: return screen.GetWaitForVerticalBlank();
    default: return 0;
  }
}

bool IsScreenState(std::uint32_t index) { return index <= 3 || (index >= 14 && index <= 20) || index == 22; }

std::uint32_t AppState(IAppServices& app, std::uint32_t index) {
  const WindowBlock& window = app.WindowSettingBytes();
  const GameSettingsBlock& settings = CurrentGameSettings();
  switch (index) {
    case 4: return app.CursorHost().IsActive() ? 1 : 0;
    case 5: return app.AllowedScreenModes();
    case 9: return static_cast<std::uint32_t>(window[kWinScreenMode]) - 1;
    case 10: return window[kWinColourDepth];
    case 11: return settings[kSettingEnlargedDrawing];
    case 12: return settings[kSettingDrawingUnenlarged];
    case 13: return settings[kSettingResolutionMethod];
    default: return 0;
  }
}

std::optional<std::string> AppText(std::uint32_t which) {
  if (which == kTextIdentifier) return std::string(kEngineIdentifier);
  if (which == kTextSaveFolder && g_AppServices != nullptr) {
    std::string folder = g_AppServices->SaveFolderText();
    if (!folder.empty()) return folder;
  }
  return std::nullopt;
}

}  // namespace

std::uint32_t NativeGetSystemState(const NativeArgs& args) {
  const std::uint32_t index = args.U32(0);
  switch (index) {
    case 6: return g_Joystick != nullptr ? 1 : 0;
    case 7: return g_CpuHasMmx;
    case 8: return g_CpuInfo.sse ? 1 : 0;
    case 21: return 1;
    default: break;
  }
  if (IsScreenState(index)) return g_ScreenManager != nullptr ? ScreenState(*g_ScreenManager, index) : 0;
  return g_AppServices != nullptr ? AppState(*g_AppServices, index) : 0;
}

std::uint32_t NativeGetAppText(const NativeArgs& args) {
  const std::uint32_t which = args.U32(0);
  if (which > kLastText) return static_cast<std::uint32_t>(-1);
  const std::optional<std::string> text = AppText(which);
  const std::uint32_t size = args.U32(2);
  if (size == 0) return text ? static_cast<std::uint32_t>(text->size() + 1) : 0;
  const ScriptOut buffer = args.Out(1);
  if (!text) {
    buffer.SetBytes("", 1);
    return 0;
  }
  // The text as far as it fits, and its zero.
  std::string cut = text->substr(0, std::min<std::size_t>(text->size(), size - 1));
  buffer.SetBytes(cut.c_str(), static_cast<std::uint32_t>(cut.size() + 1));
  return 0;
}

std::uint32_t NativeGetAppByte(const NativeArgs& /*args*/) {
  return g_AppServices != nullptr ? g_AppServices->ModalState() : 0;
}

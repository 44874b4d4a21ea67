#include "builtins/window_mode_builtins.h"

#include "base/system/app_services.h"
#include "gfx/display/screen_manager.h"
#include "platform/encoding/text_encoding.h"

namespace {

constexpr std::uint32_t kOptionScreenModeChange = 0;
constexpr std::uint32_t kOptionKeyboardHook = 1;
constexpr std::int32_t kFirstWindowMode = 3;

// The window block's screen mode and colour depth, put back after a switch that did not happen.
class SavedScreenMode {
 public:
  explicit SavedScreenMode(WindowBlock& window)
      : window_(window), mode_(window[kWinScreenMode]), depth_(window[kWinColourDepth]) {}
  void Restore() const {
    window_[kWinScreenMode] = mode_;
    window_[kWinColourDepth] = depth_;
  }

 private:
  WindowBlock& window_;
  std::uint8_t mode_;
  std::uint8_t depth_;
};

bool IsSwitchRefused(IAppServices& app, std::int32_t mode) {
  return app.AllowedScreenModes() == kWindowModeOnly || (app.WindowBehaviourBits() & kBehaviourMaximizeBox) == 0 ||
         (mode >= kFirstWindowMode && app.AllowedScreenModes() == kFullScreenOnly);
}

}  // namespace

std::uint32_t NativeSetWindowOption(const NativeArgs& args) {
  if (g_AppServices == nullptr) return 0;
  IAppServices& app = *g_AppServices;
  const std::uint32_t value = args.U32(1);
  switch (args.U32(0)) {
    case kOptionScreenModeChange:
      if (app.AllowedScreenModes() != kWindowModeOnly) app.AllowScreenModeChange(value != 0);
      break;
    case kOptionKeyboardHook:
      app.SetKeyboardHook(static_cast<std::uint8_t>(value & kBehaviourSystemKeys), value != 0);
      break;
    default:
      break;
  }
  return 0;
}

std::uint32_t NativeChangeScreenMode(const NativeArgs& args) {
  const std::int32_t mode = args.I32(0);
  if (g_AppServices == nullptr || IsSwitchRefused(*g_AppServices, mode)) return 1;
  IAppServices& app = *g_AppServices;
  const SavedScreenMode saved(app.WindowSettingBytes());
  std::uint8_t kind = kScreenModeWindow;
  std::uint8_t depth = 0;
  if (mode < kFirstWindowMode) {
    kind = kScreenModeFullScreen;
    depth = mode < 0 ? 0 : static_cast<std::uint8_t>((mode + 2) * 8);
    if (app.SelectFullScreenDisplay(depth) != 0) {
      app.ShowStopMessage(plat::Utf8ToSjis("画面モード変更設定に失敗"));
      saved.Restore();
      return 2;
    }
    if (g_ScreenManager != nullptr) depth = g_ScreenManager->GetFullScreenDepth();
  }
  if (app.RequestScreenMode(kind, depth) != 0) {
    saved.Restore();
    app.MarkModeSwitchFailed();
    return 3;
  }
  app.ApplyFrameRate(-1);
  return 0;
}

std::uint32_t NativeTakeFlagBit3(const NativeArgs& /*args*/) {
  return g_AppServices != nullptr && g_AppServices->TakeScreenModeSwitched() ? 1 : 0;
}

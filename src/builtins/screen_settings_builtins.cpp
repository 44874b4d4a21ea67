#include "builtins/screen_settings_builtins.h"

#include "base/system/app_services.h"
#include "gfx/display/screen_manager.h"

std::uint32_t NativeSetWindowFlag(const NativeArgs& args) {
  if (g_AppServices != nullptr) g_AppServices->SwitchBackFormatRefresh((args.U32(0) & 1) != 0);
  return 0;
}

std::uint32_t NativeSetScreenByte(const NativeArgs& args) {
  if (g_ScreenManager != nullptr) g_ScreenManager->SetWaitForVerticalBlank(args.U8(0));
  return 0;
}

std::uint32_t NativeGetScreenByte(const NativeArgs& /*args*/) {
  return g_ScreenManager != nullptr ? g_ScreenManager->GetWaitForVerticalBlank() : 0;
}

std::uint32_t NativeSetScreenColor(const NativeArgs& args) {
  if (g_ScreenManager != nullptr) g_ScreenManager->SetBackgroundColour(args.U8(0), args.U8(1), args.U8(2));
  return 0;
}

std::uint32_t NativeSetAppSwitch(const NativeArgs& args) {
  if (g_AppServices != nullptr) g_AppServices->SwitchZeroSleep((args.U32(0) & 1) != 0);
  return 0;
}

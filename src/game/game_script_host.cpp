#include "game/game_script_host.h"

#include "base/numbers/little_endian.h"
#include "base/numbers/subtractive_random.h"
#include "base/system/app_hooks.h"
#include "base/time/millisecond_clock.h"
#include "builtins/builtin_table.h"
#include "builtins/cursor_move_task.h"
#include "builtins/vov_frame_builtins.h"
#include "effects/framework/builtin_effect_services.h"
#include "effects/table/builtin_effect_table.h"
#include "ui/dialogs/game_message_box.h"
#include "ui/gui/cursor_glide_hook.h"
#include "ui/gui/gui_root_window.h"
#include "ui/widget_manager/widget_manager.h"
#include "ui/widgets/ime_context.h"

void SeedScriptRandom(std::uint32_t clock) { SeedSubtractive(g_ScriptRandomIndex, g_ScriptRandomState, clock); }

namespace {

// The widgets' pointer glide: not forced past a parked pointer, only while the game is active.
std::int32_t GlideCursor(std::int32_t x, std::int32_t y, std::uint32_t duration, CCursorMotion** task) {
  return StartCursorMoveTask(x, y, duration, false, kCursorMotionWhileActive, task);
}

}  // namespace

CGameScriptHost::CGameScriptHost() {
  sound_channels_.SetTaskManager(g_TimerManager);
  sound_channels_.SetOwner(this);
  g_SoundChannels = &sound_channels_;
  g_TextPrinter = &text_printer_;
  GuiRootWindow().SetSoundChannels(&sound_channels_);
  g_WidgetManager.timer_manager = g_TimerManager;
  g_WidgetManager.ime_context = g_ImeContext;
  g_WidgetManager.bar_style.page_back_action = kPageBackAction;
  g_WidgetManager.bar_style.page_forward_action = kPageForwardAction;
  SeedScriptRandom(ReadMillisecondClock());
  for (const GameBuiltin& builtin : GameBuiltins()) RegisterNative(builtin.function);
  g_GameHost = this;
  g_CursorGlideHook = &GlideCursor;
  g_MessageBox.LoadImages();
  if (g_DcpHost != nullptr && g_TcpHost != nullptr) RegisterBuiltinEffects(*g_DcpHost, *g_TcpHost);
}

CGameScriptHost::~CGameScriptHost() {
  g_MessageBox.StopTask();
  // The frame runs on this host's runtime and writes its read-text log as it goes.
  DestroyVovFrame();
  if (g_CursorGlideHook == &GlideCursor) g_CursorGlideHook = nullptr;
  // The scripts' widgets end with them.
  GuiRootWindow().RemoveAll();
  g_WidgetManager.DeleteAll();
  g_WidgetManager.DeleteImeModeLabel();
  if (g_GameHost == this) g_GameHost = nullptr;
  if (g_SoundChannels == &sound_channels_) g_SoundChannels = nullptr;
  if (g_TextPrinter == &text_printer_) g_TextPrinter = nullptr;
  if (g_BuiltinEffectServices.staff_roll_channels == &sound_channels_) {
    g_BuiltinEffectServices.staff_roll_channels = nullptr;
  }
  if (GuiRootWindow().GetSoundChannels() == &sound_channels_) GuiRootWindow().SetSoundChannels(nullptr);
}

void CGameScriptHost::ApplySoundSettings(const GameSettingsBlock& settings) {
  const auto level = [&](std::size_t offset) { return static_cast<std::int32_t>(LoadLe32(&settings[offset])); };
  sound_channels_.SetSoundEnabled(settings[kSettingSoundOn] != 0, true);
  sound_channels_.SetBgmEnabled(settings[kSettingMusicOn] != 0, false);
  sound_channels_.SetChannelClassEnabled(settings[kSettingSoundEffectsOn] != 0, CSoundChannelManager::kSoundEffectClass,
                                         true, false);
  sound_channels_.SetMasterVolume(level(kSettingMasterVolume), true);
  sound_channels_.SetBgmVolume(-1, level(kSettingMusicLevel), true);
  sound_channels_.SetVoiceVolume(level(kSettingVoiceVolume));
  sound_channels_.default_levels[0] = level(kSettingSoundEffectLevel);
  sound_channels_.default_levels[1] = level(kSettingSecondClassLevel);
  sound_channels_.default_levels[2] = 256;
  sound_channels_.SetClassSwitch(CSoundChannelManager::kSecondClass, settings[kSettingSecondClassOn] != 0);
  sound_channels_.SetClassSwitch(CSoundChannelManager::kVoiceClass, settings[kSettingVoicesOn] != 0);
}

std::uint32_t CGameScriptHost::RestartMain(bool keep_boot_value) {
  const std::uint32_t boot_flag = keep_boot_value ? boot_value_ : 0u - boot_value_;
  ResetScripts(boot_flag);
  if (LoadScript(kMainScript, nullptr) != 0) return 1;
  // The frame modes the old scripts left on end with them.
  if (g_EndScriptFrameModesHook != nullptr) g_EndScriptFrameModesHook();
  return 0;
}

#include "builtins/voice_ducking.h"

#include <cstdlib>

#include "base/timer_manager.h"
#include "builtins/app_access.h"
#include "sound/sound_channel_manager.h"

float VoiceDuckingFraction(const char* text, uint8_t setting) {
  if (text != nullptr) return static_cast<float>(std::strtod(text, nullptr));
  if (setting == kDuckingSettingDefault) return -1.0F;
  return static_cast<float>(setting * 0.01);
}

CVoiceDuckingTask* StartVoiceDuckingPercent(int32_t voice_channel, const char* text) {
  if (g_SoundChannels == nullptr) return nullptr;
  const uint8_t setting = g_BuiltinApp != nullptr ? g_BuiltinApp->VoiceDuckingSetting() : kDuckingSettingDefault;
  return g_SoundChannels->StartVoiceDucking(g_TimerManager, voice_channel, VoiceDuckingFraction(text, setting));
}

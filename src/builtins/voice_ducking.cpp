#include "builtins/voice_ducking.h"

#include <cmath>
#include <cstdlib>

#include "base/time/timer_manager.h"
#include "base/system/app_services.h"
#include "sound/sound_channel_manager.h"

float VoiceDuckingFraction(const char* text, uint8_t setting) {
  if (text != nullptr) {
    const double value = std::strtod(text, nullptr);
    // Kept inside the float's range and never NaN: the ducking refuses a fraction of 1 or more
    // and takes any negative one as half.
    if (std::isnan(value) || value >= 1.0) return 1.0F;
    if (value < 0.0) return -1.0F;
    return static_cast<float>(value);
  }
  if (setting == kDuckingSettingDefault) return -1.0F;
  return static_cast<float>(setting * 0.01);
}

CVoiceDuckingTask* StartVoiceDuckingPercent(int32_t voice_channel, const char* text) {
  if (g_SoundChannels == nullptr) return nullptr;
  const uint8_t setting = g_AppServices != nullptr ? g_AppServices->VoiceDuckingSetting() : kDuckingSettingDefault;
  return g_SoundChannels->StartVoiceDucking(g_TimerManager, voice_channel, VoiceDuckingFraction(text, setting));
}

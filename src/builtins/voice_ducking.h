// Lowering the music while a voice plays, at a level the caller gives as text or the settings'
// ducking level.
#pragma once

#include <cstdint>

class CVoiceDuckingTask;

// The setting that leaves the level to the ducking itself (half).
inline constexpr uint8_t kDuckingSettingDefault = 50;

// The fraction of the music's level that stays while the voice plays: the decimal value of
// `text` (0 for text that is no number; 1, which the ducking refuses, for 1 or more and NaN;
// -1 for any negative value), or for null the setting in percent, where the default setting
// gives -1.0 (half).
float VoiceDuckingFraction(const char* text, uint8_t setting);

// Ducks the music of the sound channels for the voice channel on the frame's timer manager: the
// ducking task, or null when it did not start (also without sound channels).
// Without an application the setting is the default.
CVoiceDuckingTask* StartVoiceDuckingPercent(int32_t voice_channel, const char* text);

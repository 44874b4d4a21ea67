#include "scene/animations/voice_loudness.h"

#include "sound/static_sound_buffer.h"

bool CStaticSoundLoudness::HoldsData() { return sound_.GetDataSize() != 0; }

bool CStaticSoundLoudness::IsPlaying() { return sound_.IsPlaying(nullptr, nullptr); }

int32_t CStaticSoundLoudness::LoudnessNow(int32_t steps) {
  uint32_t play_cursor = 0;
  uint32_t write_cursor = 0;
  if (!sound_.IsPlaying(&play_cursor, &write_cursor)) return 0;
  return sound_.GetAmplitude(play_cursor, steps);
}

CWatchedSoundLoudness::CWatchedSoundLoudness(CStaticSoundBuffer& sound)
    : lifetime_(sound.Lifetime()), reading_(sound) {}

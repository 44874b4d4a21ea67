// How loud a playing voice is at its play position, as the lip-sync task reads it, and the
// reading of a static sound buffer that keeps its samples or their envelope.
#pragma once

#include <cstdint>

class CStaticSoundBuffer;

class IVoiceLoudness {
 public:
  virtual ~IVoiceLoudness() = default;
  virtual bool HoldsData() = 0;
  virtual bool IsPlaying() = 0;
  // The loudness at the play position scaled to 0..steps-1.
  virtual int32_t LoudnessNow(int32_t steps) = 0;
};

class CStaticSoundLoudness : public IVoiceLoudness {
 public:
  explicit CStaticSoundLoudness(CStaticSoundBuffer& sound) : sound_(sound) {}

  bool HoldsData() override;
  bool IsPlaying() override;
  int32_t LoudnessNow(int32_t steps) override;

 private:
  CStaticSoundBuffer& sound_;
};

// How loud a playing voice is at its play position, as the lip-sync task reads it, and the
// reading of a static sound buffer that keeps its samples or their envelope.
#pragma once

#include <cstdint>
#include <memory>

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

// The reading of a static sound buffer that someone else owns and may destroy meanwhile (one the
// scripts hold): a destroyed buffer holds no data and plays no more.
class CWatchedSoundLoudness : public IVoiceLoudness {
 public:
  explicit CWatchedSoundLoudness(CStaticSoundBuffer& sound);

  bool HoldsData() override { return !lifetime_.expired() && reading_.HoldsData(); }
  bool IsPlaying() override { return !lifetime_.expired() && reading_.IsPlaying(); }
  int32_t LoudnessNow(int32_t steps) override { return lifetime_.expired() ? 0 : reading_.LoudnessNow(steps); }

 private:
  std::weak_ptr<const char> lifetime_;
  CStaticSoundLoudness reading_;
};

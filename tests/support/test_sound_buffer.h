// The smallest playable sound over the base: a second of 16-bit stereo at 22050 Hz with every
// control, played, paused and stopped directly on its platform buffer.
#pragma once

#include <memory>

#include "sound/sound_buffer.h"
#include "sound/sound_device.h"

class CTestSoundBuffer : public CSoundBuffer {
 public:
  static constexpr plat::WaveFormat kFormat{plat::WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};

  explicit CTestSoundBuffer(CSoundDevice& device) {
    const plat::SoundBufferDesc desc{
        plat::DSBCAPS_CTRLVOLUME | plat::DSBCAPS_CTRLPAN | plat::DSBCAPS_CTRLFREQUENCY, 88200, &kFormat};
    device.GetDirectSound()->CreateSoundBuffer(desc, &buffer_);
    SetVolume(GetVolume());
  }
  ~CTestSoundBuffer() override { CancelFade(); }

  bool IsStream() const override { return false; }
  void Release() override { buffer_.reset(); }
  uint32_t Play() override { return Start(0); }
  uint32_t PlayLooped() override { return Start(plat::DSBPLAY_LOOPING); }
  uint32_t Pause() override {
    if (pause_depth_++ == 0) buffer_->Stop();
    return 0;
  }
  uint32_t Resume() override {
    if (pause_depth_ == 0) return 2;
    if (--pause_depth_ == 0) buffer_->Play(plat::DSBPLAY_LOOPING);
    return 0;
  }
  uint32_t Stop() override {
    buffer_->Stop();
    buffer_->SetCurrentPosition(0);
    pause_depth_ = 0;
    CancelFade();
    return 0;
  }
  uint32_t GetDataSize() override { return 88200; }
  uint32_t GetLength() override { return 1000; }
  uint32_t Seek(uint32_t) override { return 0; }
  int32_t GetPosition() override { return 0; }
  bool IsPlaying(uint32_t*, uint32_t*) override {
    uint32_t status = 0;
    buffer_->GetStatus(&status);
    return (status & plat::DSBSTATUS_PLAYING) != 0;
  }

  // The volume the platform buffer plays at, in hundredths of a decibel.
  int32_t PlatformVolume() const {
    int32_t volume = 1;
    buffer_->GetVolume(&volume);
    return volume;
  }

 private:
  uint32_t Start(uint32_t flags) {
    pause_depth_ = 0;
    return plat::SoundFailed(buffer_->Play(flags)) ? 2 : 0;
  }
};

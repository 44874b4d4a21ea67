// A whole decoded sound in one platform buffer: sound effects and voices. It can keep a copy of
// its samples, or their loudness envelope, so that the loudness at a play position can be read
// (a speaking character's mouth follows it), and it can share its samples with a duplicate.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resource/plugins/sound_decoder.h"
#include "sound/sound_buffer.h"

class CSoundDevice;

class CStaticSoundBuffer : public CSoundBuffer {
 public:
  // Load modes.
  static constexpr uint8_t kPlain = 0;
  static constexpr uint8_t kKeepSamples = 1;
  static constexpr uint8_t kKeepEnvelope = 2;
  // Load statuses.
  static constexpr int32_t kVolumeControlOnly = -1;
  static constexpr int32_t kNoDevice = 1;
  static constexpr int32_t kNotFound = 2;
  static constexpr int32_t kBufferFailed = 3;
  static constexpr int32_t kLockFailed = 4;
  static constexpr int32_t kNothingDecoded = 5;
  static constexpr int32_t kUnlockFailed = 6;
  static constexpr int32_t kUnexpected = 7;
  // The samples that one value of the loudness envelope stands for.
  static constexpr uint32_t kEnvelopeBlock = 32;

  // A non-null device becomes the device of every sound buffer.
  explicit CStaticSoundBuffer(CSoundDevice* device = nullptr);
  ~CStaticSoundBuffer() override;

  // Decodes the data file `name` whole into a new platform buffer. Loading the file that is
  // loaded already (the same resolved path) returns 0 and changes nothing. 0, -1 loaded with
  // the volume control only, or a positive status of the list above (the buffer is then
  // empty).
  int32_t Load(const char* name, uint8_t mode);
  // Plays the samples of `source` with a buffer of its own: 0, 1 no device or a source without
  // samples, 2 the device refused.
  uint32_t Duplicate(const CStaticSoundBuffer* source);

  // From the kept copy: the unsigned byte of 8-bit data or the signed value of 16-bit data at
  // the byte offset; 0 without a copy or past the data.
  int32_t GetSample(uint32_t offset) const;
  // The loudness at the byte offset: 0..255, or with a scale n, 0..n-1 where a quarter of the
  // envelope's peak already gives n-1. 0 without a copy or past the data.
  int32_t GetAmplitude(uint32_t offset, int32_t scale) const;
  // The resolved path of the loaded file; empty when none.
  const std::string& GetFileName() const { return file_name_; }
  // The width of the kept copy's samples: 0 no copy, 1 8-bit, 2 16-bit.
  uint8_t GetSampleWidth() const { return sample_width_; }

  bool IsStream() const override { return false; }
  void Release() override;
  // 0, 1 no buffer, 2 the buffer refused.
  uint32_t Play() override;
  uint32_t PlayLooped() override;
  // 0, 1 no buffer, 2 never started or the buffer refused, 3 not playing.
  uint32_t Pause() override;
  // 0, 1 no buffer, 2 not paused, 3 the buffer refused.
  uint32_t Resume() override;
  // 0, 1 no buffer, 2 the buffer refused (the rest of the stop is done all the same).
  uint32_t Stop() override;
  uint32_t GetDataSize() override { return data_size_; }
  uint32_t GetLength() override;
  // Moves a playing sound at once; any other sound stops and the next Play or PlayLooped
  // starts at the position. 0, 1 no buffer, 2 no format, 3 past the end or refused.
  uint32_t Seek(uint32_t milliseconds) override;
  int32_t GetPosition() override;
  // The cursors are read when either out is given.
  bool IsPlaying(uint32_t* play_cursor, uint32_t* write_cursor) override;

 private:
  enum PlayMode : uint8_t { kStopped = 0, kOnce = 1, kLooped = 2 };

  // Makes the platform buffer for the decoder's format and decodes into it.
  int32_t Fill(CSoundDecoder& decoder, const plat::WaveFormat& format, uint8_t mode);
  // Replaces each whole block of samples in the copy by a sample as loud as the block's mean.
  void BuildEnvelope();
  uint32_t StartPlaying(PlayMode mode);
  uint32_t BytesPerSecond() const;

  std::string file_name_;
  uint32_t data_size_ = 0;
  PlayMode play_mode_ = kStopped;
  bool seek_pending_ = false;
  // 0 no copy, 1 8-bit samples, 2 16-bit samples.
  uint8_t sample_width_ = 0;
  // A quarter of the envelope's peak; 0 without an envelope.
  uint16_t amplitude_scale_ = 0;
  std::vector<uint8_t> samples_;
};

// The built-in Ogg Vorbis decoder: a file object of the engine decoded to 16-bit PCM.
#pragma once

#include <cstdint>

#include "base/files/file.h"
#include "platform/sound/vorbis_file.h"
#include "resource/plugins/sound_decoder.h"

class COggVorbisDecoder final : public CSoundDecoder, private plat::VorbisSource {
 public:
  // Open statuses.
  static constexpr int kOpened = 0;
  static constexpr int kNotVorbis = 1;
  static constexpr int kNotSeekable = 2;
  // Seek statuses.
  static constexpr std::uint32_t kSeekPastEnd = 5;
  static constexpr std::uint32_t kSeekRefused = 6;

  // Takes a reference of its own to `file`.
  explicit COggVorbisDecoder(CFile& file);
  ~COggVorbisDecoder() override;

  // One of the open statuses. After a failure the decoder must be released.
  int Open();

  std::uint32_t GetLength() const override { return length_; }
  std::uint32_t GetDataSize() const override { return data_size_; }
  std::uint32_t Seek(std::uint32_t milliseconds) override;
  std::uint32_t GetPosition() const override;
  bool IsEnd() const override { return end_; }
  // Whole sample frames only: a request shorter than one frame gives 0 without ending.
  std::uint32_t Read(void* buffer, std::uint32_t count) override;
  const plat::WaveFormat* GetFormat() const override { return &format_; }

 private:
  std::size_t ReadBytes(void* buffer, std::size_t bytes) override;
  int SeekBytes(std::int64_t offset, int whence) override;
  std::int64_t TellBytes() override;

  CFile* file_;
  mutable plat::VorbisFile vorbis_;
  plat::WaveFormat format_;
  std::uint32_t length_ = 0;
  std::uint32_t data_size_ = 0;
  bool end_ = false;
};

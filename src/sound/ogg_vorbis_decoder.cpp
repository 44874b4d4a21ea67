#include "sound/ogg_vorbis_decoder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

COggVorbisDecoder::COggVorbisDecoder(CFile& file) : file_(&file) { file.AddRef(); }

COggVorbisDecoder::~COggVorbisDecoder() { file_->Release(); }

int COggVorbisDecoder::Open() {
  if (!vorbis_.Open(*this)) return kNotVorbis;
  if (!vorbis_.IsSeekable()) return kNotSeekable;
  const auto channels = static_cast<std::uint16_t>(vorbis_.GetChannels());
  const auto rate = static_cast<std::uint32_t>(vorbis_.GetRate());
  format_.format_tag = plat::WAVE_FORMAT_PCM;
  format_.channels = channels;
  format_.samples_per_sec = rate;
  format_.bits_per_sample = 16;
  format_.block_align = static_cast<std::uint16_t>(channels * 2);
  format_.avg_bytes_per_sec = format_.block_align * rate;
  format_.extra_size = 18;
  const double seconds = vorbis_.GetTimeTotal();
  length_ = seconds > 0 ? static_cast<std::uint32_t>(seconds * 1000) : 0;
  const std::int64_t frames = vorbis_.GetPcmTotal();
  data_size_ = frames > 0 ? static_cast<std::uint32_t>(frames * format_.block_align) : 0;
  return kOpened;
}

std::uint32_t COggVorbisDecoder::Seek(std::uint32_t milliseconds) {
  if (milliseconds >= length_) return kSeekPastEnd;
  // Sample 0 rather than a byte position: a restart must begin at the first sample, even of a
  // sound that fits in one page.
  const int result = milliseconds == 0 ? vorbis_.SeekPcm(0) : vorbis_.SeekTime(milliseconds * 0.001);
  if (result != 0) return kSeekRefused;
  end_ = false;
  return 0;
}

std::uint32_t COggVorbisDecoder::GetPosition() const {
  const double seconds = vorbis_.GetTimeTell();
  return seconds > 0 ? static_cast<std::uint32_t>(seconds * 1000) : 0;
}

std::uint32_t COggVorbisDecoder::Read(void* buffer, std::uint32_t count) {
  if (end_ || buffer == nullptr || format_.block_align == 0) return 0;
  const std::uint32_t wanted = count - count % format_.block_align;
  auto* out = static_cast<char*>(buffer);
  std::uint32_t got = 0;
  while (got < wanted) {
    const long result = vorbis_.ReadPcm16(out + got, static_cast<int>(wanted - got));
    if (result == 0) end_ = true;
    if (result <= 0) break;
    got += static_cast<std::uint32_t>(result);
  }
  return got;
}

std::size_t COggVorbisDecoder::ReadBytes(void* buffer, std::size_t bytes) {
  const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(bytes, UINT32_MAX));
  return file_->Read(buffer, count);
}

int COggVorbisDecoder::SeekBytes(std::int64_t offset, int whence) {
  // Positions of the engine's files are 32-bit.
  const auto low = static_cast<std::uint32_t>(offset);
  switch (whence) {
    case SEEK_SET:
      return file_->SeekBegin(low) == 0 ? 0 : -1;
    case SEEK_CUR:
      return file_->SeekCurrent(static_cast<std::int32_t>(low)) == 0 ? 0 : -1;
    case SEEK_END:
      return file_->SeekBegin(file_->GetSize() + low) == 0 ? 0 : -1;
    default:
      return -1;
  }
}

std::int64_t COggVorbisDecoder::TellBytes() { return file_->Tell(); }

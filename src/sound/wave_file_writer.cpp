#include "sound/wave_file_writer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "base/files/file.h"
#include "base/files/file_services.h"
#include "base/numbers/little_endian.h"
#include "resource/plugins/sound_decoder_manager.h"

namespace {

constexpr uint32_t kCopyBlockBytes = 32768;
// The bytes of the RIFF chunk in front of the PCM: "WAVE", the format chunk and the data
// chunk's header.
constexpr uint32_t kRiffHeaderBytes = kWaveHeaderSize - 8;
constexpr uint32_t kFormatChunkBytes = 18;

bool WriteHeader(CFile& file, const plat::WaveFormat& format, uint32_t data_bytes) {
  std::array<uint8_t, kWaveHeaderSize> header{};
  std::memcpy(&header[0], "RIFF", 4);
  StoreLe32(&header[4], kRiffHeaderBytes + data_bytes);
  std::memcpy(&header[8], "WAVEfmt ", 8);
  StoreLe32(&header[16], kFormatChunkBytes);
  StoreLe16(&header[20], format.format_tag);
  StoreLe16(&header[22], format.channels);
  StoreLe32(&header[24], format.samples_per_sec);
  StoreLe32(&header[28], format.avg_bytes_per_sec);
  StoreLe16(&header[32], format.block_align);
  StoreLe16(&header[34], format.bits_per_sample);
  StoreLe16(&header[36], format.extra_size);
  std::memcpy(&header[38], "data", 4);
  StoreLe32(&header[42], data_bytes);
  return file.SeekBegin(0) == 0 && file.Write(header.data(), kWaveHeaderSize) == kWaveHeaderSize;
}

// The header, then what the decoder gives up to its declared size and one second more, then
// the header again with the sizes written.
bool WriteWave(CFile& file, CSoundDecoder& decoder, const plat::WaveFormat& format, std::vector<uint8_t>& block) {
  if (!WriteHeader(file, format, 0)) return false;
  uint32_t limit = static_cast<uint32_t>(std::min<uint64_t>(uint64_t{decoder.GetDataSize()} + format.avg_bytes_per_sec,
                                                            std::numeric_limits<uint32_t>::max() - kRiffHeaderBytes));
  uint32_t written = 0;
  while (limit > 0) {
    uint32_t count = decoder.Read(block.data(), kCopyBlockBytes);
    if (count == 0 || count > kCopyBlockBytes) break;
    count = std::min(count, limit);
    if (file.Write(block.data(), count) != count) return false;
    written += count;
    limit -= count;
  }
  return WriteHeader(file, format, written);
}

}  // namespace

uint32_t WriteWaveFile(const char* source, const char* destination, CSoundDecoderManager* host) {
  if (host == nullptr) host = g_SoundDecoderManager;
  if (source == nullptr || destination == nullptr || host == nullptr) return 1;
  try {
    RefPtr<CSoundDecoder> decoder = host->OpenSound(source, nullptr, true, nullptr);
    const plat::WaveFormat* format = decoder != nullptr ? decoder->GetFormat() : nullptr;
    if (format == nullptr) return 2;
    std::vector<uint8_t> block;
    try {
      block.resize(kCopyBlockBytes);
    } catch (const std::bad_alloc&) {
      return 4;
    }
    const auto content = [&](CFile& file) { return WriteWave(file, *decoder, *format, block); };
    return WriteFileReplacing(destination, content) == 0 ? 0 : 3;
  } catch (...) {
    return 6;
  }
}

// A sound format for tests of the sound buffers: a file holds its PCM raw behind a 16-byte
// header (bits per sample, channels, rate, the size the decoder declares), so that a test knows
// every byte a decoder gives. The provider counts the decoders it made.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "resource/plugins/sound_decoder_manager.h"

namespace test_support {

struct FakePcm {
  uint16_t bits = 16;
  uint16_t channels = 1;
  uint32_t rate = 22050;
  std::vector<uint8_t> pcm;
  // The data size the decoder declares; by default the size of the PCM.
  int64_t declared_size = -1;
};

// The contents of a file of the format.
std::string MakeFakePcmFile(const FakePcm& sound);

struct FakePcmCounters {
  int decoders_made = 0;
  // The decoder throws after it gave this many reads (-1: never).
  int throw_after_reads = -1;
};

class FakePcmProvider final : public CSoundDecoderProvider {
 public:
  explicit FakePcmProvider(std::shared_ptr<FakePcmCounters> counters) : counters_(std::move(counters)) {}
  RefPtr<CSoundDecoder> CreateDecoder(CFile& file, int* error) override;

 private:
  std::shared_ptr<FakePcmCounters> counters_;
};

// Registers the provider for the extension "PCM" with `host`.
void RegisterFakePcmProvider(CSoundDecoderManager& host, std::shared_ptr<FakePcmCounters> counters);

}  // namespace test_support

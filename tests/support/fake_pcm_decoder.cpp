#include "support/fake_pcm_decoder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "base/numbers/little_endian.h"

namespace test_support {

namespace {

constexpr uint32_t kHeaderBytes = 16;

class FakePcmDecoder final : public CSoundDecoder {
 public:
  FakePcmDecoder(FakePcm sound, std::shared_ptr<FakePcmCounters> counters)
      : sound_(std::move(sound)), counters_(std::move(counters)) {
    const uint16_t block_align = static_cast<uint16_t>(sound_.bits / 8 * sound_.channels);
    format_ = {plat::WAVE_FORMAT_PCM, sound_.channels, sound_.rate, sound_.rate * block_align, block_align,
               sound_.bits, 18};
  }
  uint32_t GetLength() const override {
    return static_cast<uint32_t>(uint64_t{GetDataSize()} * 1000 / format_.avg_bytes_per_sec);
  }
  uint32_t GetDataSize() const override {
    return static_cast<uint32_t>(sound_.declared_size >= 0 ? sound_.declared_size : sound_.pcm.size());
  }
  uint32_t Seek(uint32_t) override {
    position_ = 0;
    return 0;
  }
  uint32_t GetPosition() const override { return 0; }
  bool IsEnd() const override { return position_ == sound_.pcm.size(); }
  uint32_t Read(void* buffer, uint32_t count) override {
    if (counters_->throw_after_reads >= 0 && reads_++ >= counters_->throw_after_reads) {
      throw std::runtime_error("decoder failed");
    }
    const auto bytes = static_cast<uint32_t>(std::min<std::size_t>(count, sound_.pcm.size() - position_));
    if (bytes != 0) std::memcpy(buffer, sound_.pcm.data() + position_, bytes);
    position_ += bytes;
    return bytes;
  }
  const plat::WaveFormat* GetFormat() const override { return &format_; }

 private:
  FakePcm sound_;
  std::shared_ptr<FakePcmCounters> counters_;
  plat::WaveFormat format_;
  std::size_t position_ = 0;
  int reads_ = 0;
};

}  // namespace

std::string MakeFakePcmFile(const FakePcm& sound) {
  std::string file(kHeaderBytes, '\0');
  auto* header = reinterpret_cast<uint8_t*>(file.data());
  StoreLe16(header, sound.bits);
  StoreLe16(header + 2, sound.channels);
  StoreLe32(header + 4, sound.rate);
  StoreLe32(header + 8, static_cast<uint32_t>(sound.declared_size >= 0 ? sound.declared_size : sound.pcm.size()));
  file.append(sound.pcm.begin(), sound.pcm.end());
  return file;
}

RefPtr<CSoundDecoder> FakePcmProvider::CreateDecoder(CFile& file, int* error) {
  std::vector<uint8_t> bytes(file.GetSize());
  if (bytes.size() < kHeaderBytes || file.Read(bytes.data(), file.GetSize()) != bytes.size()) {
    file.SeekBegin(0);
    if (error != nullptr) *error = 1;
    return nullptr;
  }
  FakePcm sound{LoadLe16(&bytes[0]), LoadLe16(&bytes[2]), LoadLe32(&bytes[4]),
                std::vector<uint8_t>(bytes.begin() + kHeaderBytes, bytes.end()), LoadLe32(&bytes[8])};
  ++counters_->decoders_made;
  if (error != nullptr) *error = 0;
  return MakeRef<FakePcmDecoder>(std::move(sound), counters_);
}

void RegisterFakePcmProvider(CSoundDecoderManager& host, std::shared_ptr<FakePcmCounters> counters) {
  host.RegisterDecoder(DecoderPtr<SllFamily>(new FakePcmProvider(std::move(counters))), "PCM\0", "fake PCM", 9,
                       nullptr, nullptr, nullptr);
}

}  // namespace test_support

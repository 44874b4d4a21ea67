// A sound-decoder plug-in library for the host tests: it takes files that begin with "SLL!",
// read through the engine's file object, and reports the file's size as its data size.
#include <cstdint>
#include <cstring>

#include "resource/plugins/plugin_args.h"
#include "resource/plugins/sound_decoder.h"

namespace {

class SizeDecoder final : public CSoundDecoder {
 public:
  explicit SizeDecoder(CFile& file) : file_(file) { file_.AddRef(); }
  ~SizeDecoder() override { file_.Release(); }
  std::uint32_t GetLength() const override { return 1000; }
  std::uint32_t GetDataSize() const override { return file_.GetSize(); }
  std::uint32_t Seek(std::uint32_t) override { return 0; }
  std::uint32_t GetPosition() const override { return 0; }
  bool IsEnd() const override { return false; }
  std::uint32_t Read(void*, std::uint32_t) override { return 0; }
  const plat::WaveFormat* GetFormat() const override { return &format_; }

 private:
  CFile& file_;
  plat::WaveFormat format_{1, 2, 44100, 176400, 4, 16, 0};
};

class MagicProvider final : public CSoundDecoderProvider {
 public:
  RefPtr<CSoundDecoder> CreateDecoder(CFile& file, int* error) override {
    char magic[4] = {};
    file.SeekBegin(0);
    const bool matches = file.Read(magic, 4) == 4 && std::memcmp(magic, "SLL!", 4) == 0;
    file.SeekBegin(0);
    if (!matches) {
      if (error != nullptr) *error = 1;
      return nullptr;
    }
    return RefPtr<CSoundDecoder>(new SizeDecoder(file));
  }
};

}  // namespace

extern "C" {

std::uint32_t GetSllType() { return 0x61; }
const char* GetSllTypeString() { return "Test sound format"; }
const char* GetSllSupportExt() { return "SND\0"; }
std::int32_t SllAssistFunc(std::uint32_t command, const PluginArgs*) { return static_cast<std::int32_t>(command); }
std::int32_t SllAssistFunc2(const PluginArgs* args) { return args->I32(0) + 1; }
CSoundDecoderProvider* GetSllDecodeObject() { return new MagicProvider; }

}  // extern "C"

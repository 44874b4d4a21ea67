#include "sound/ogg_vorbis_module.h"

#include <new>

#include "sound/ogg_vorbis_decoder.h"

namespace {

constexpr int kNoMemory = 8;

void SetError(int* error, int status) {
  if (error != nullptr) *error = status;
}

}  // namespace

RefPtr<CSoundDecoder> COggVorbisModule::CreateDecoder(CFile& file, int* error) {
  try {
    RefPtr<COggVorbisDecoder> decoder = MakeRef<COggVorbisDecoder>(file);
    if (decoder == nullptr) {
      SetError(error, kNoMemory);
      return nullptr;
    }
    const int status = decoder->Open();
    if (status != COggVorbisDecoder::kOpened) {
      decoder.reset();
      file.SeekBegin(0);
      SetError(error, status);
      return nullptr;
    }
    SetError(error, COggVorbisDecoder::kOpened);
    return decoder;
  } catch (const std::bad_alloc&) {
    file.SeekBegin(0);
    SetError(error, kNoMemory);
  } catch (...) {
    file.SeekBegin(0);
    SetError(error, kUnexpected);
  }
  return nullptr;
}

unsigned RegisterOggVorbisModule(CSoundDecoderManager& host) {
  DecoderPtr<SllFamily> module(new (std::nothrow) COggVorbisModule);
  return host.RegisterDecoder(std::move(module), "OGG\0", "Ogg Vorbis format", COggVorbisModule::kType, nullptr,
                              nullptr, nullptr);
}

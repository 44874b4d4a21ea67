#include "resource/plugins/sound_decoder_manager.h"

#include <new>
#include <string>

#include "platform/encoding/text_encoding.h"
#include "platform/system/diagnostic_log.h"

CSoundDecoderManager* g_SoundDecoderManager = nullptr;

CSoundDecoderManager::~CSoundDecoderManager() { providers_.UnloadAll(); }

void CSoundDecoderManager::UnloadDecodersOfType(std::uint32_t type) { providers_.UnloadOfType(type); }

void CSoundDecoderManager::UnloadDecoders() { providers_.UnloadAll(); }

unsigned CSoundDecoderManager::RegisterDecoder(DecoderPtr<SllFamily> provider, const char* extensions,
                                               const char* type_string, std::uint32_t type, PluginAssistFunc assist,
                                               PluginAssistFunc2 assist2, PluginConfigFunc config) {
  return providers_.Register(std::move(provider), extensions, type_string, type, assist, assist2, config);
}

unsigned CSoundDecoderManager::LoadDecoderPlugin(const char* path) { return providers_.LoadPlugin(path); }

int CSoundDecoderManager::LoadDecoderPlugins(const char* folder) { return providers_.LoadPlugins(folder); }

CSoundDecoderProvider* CSoundDecoderManager::FindDecoderByExtension(const char* file_name) const {
  return file_name != nullptr ? providers_.FindByExtension(file_name) : nullptr;
}

CSoundDecoderProvider* CSoundDecoderManager::FindDecoderByType(std::uint32_t type) const {
  return providers_.FindByType(type);
}

RefPtr<CSoundDecoder> CSoundDecoderManager::OpenSound(const char* name, CFile* file, bool prefer_stream, int* error) {
  int status = kUnexpected;
  RefPtr<CSoundDecoder> decoder;
  try {
    // The file made here is held by this one reference: a decoder that accepts it takes its
    // own, and the file ends here, once, when none does.
    RefPtr<CFile> own_file;
    if (file == nullptr) {
      own_file = MakeRef<CFile>();
      if (!own_file) throw kNoMemory;
      const bool stream = prefer_stream && !load_whole_;
      if ((stream ? own_file->OpenStream(name) : own_file->Load(name)) != 0) throw kFileFailed;
      file = own_file.get();
    }
    decoder = Decode(name, *file);
    status = decoder ? kOpened : kNoDecoder;
  } catch (int code) {
    status = code;
  } catch (...) {
    status = kUnexpected;
  }
  // A sound that is there but that no decoder takes is named in the log: the game goes on
  // without it.
  if (status == kNoDecoder && name != nullptr) {
    plat::LogDiagnostic("sound \"" + plat::SjisToUtf8(name) +
                        "\" cannot be read: no sound decoder takes its contents (it is damaged, or of another format)");
  }
  if (error != nullptr) *error = status;
  return decoder;
}

RefPtr<CSoundDecoder> CSoundDecoderManager::Decode(const char* name, CFile& file) const {
  return providers_.WithRecords([&](std::span<const PluginRecord<SllFamily>> records) -> RefPtr<CSoundDecoder> {
    const PluginRecord<SllFamily>* chosen =
        name != nullptr ? CPluginHost<SllFamily>::FindRecordByExtension(records, name) : nullptr;
    if (chosen != nullptr) {
      if (RefPtr<CSoundDecoder> decoder = chosen->decoder->CreateDecoder(file, nullptr)) return decoder;
    }
    for (const auto& record : records) {
      if (&record == chosen) continue;
      if (RefPtr<CSoundDecoder> decoder = record.decoder->CreateDecoder(file, nullptr)) return decoder;
    }
    return nullptr;
  });
}

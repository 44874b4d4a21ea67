#include "resource/pictures/image_loader_manager.h"

#include <algorithm>
#include <cstring>

#include "base/files/file.h"
#include "base/files/path.h"
#include "base/numbers/little_endian.h"
#include "pixel/formats/decoded_picture_conversions.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/file_system_ops.h"
#include "platform/system/diagnostic_log.h"
#include "platform/system/physical_memory.h"
#include "resource/archives/file_system.h"

CImageLoaderManager* g_GllHost = nullptr;

namespace {

// A file read whole through the data-file layer; null when it cannot be read.
RefPtr<CFile> ReadWhole(const char* file_name) {
  RefPtr<CFile> file = MakeRef<CFile>();
  if (!file || file_name == nullptr || file->Load(file_name) != 0) return nullptr;
  return file;
}

bool WriteToFile(const std::uint8_t* data, std::size_t size, void* argument) {
  const auto count = static_cast<std::uint32_t>(size);
  return size == count && static_cast<CFile*>(argument)->Write(data, count) == count;
}

// Hands the picture's user values and extra data to the caller: a picture that nobody else holds
// gives its extra data up, a shared one is copied.
void HandOverValues(CCachedPicture& picture, const DecodeOutputs& outputs) {
  if (outputs.user_value0 != nullptr) *outputs.user_value0 = picture.GetUserValue0();
  if (outputs.user_value1 != nullptr) *outputs.user_value1 = picture.GetUserValue1();
  if (outputs.extra_data == nullptr || picture.GetExtraSize() == 0) return;
  *outputs.extra_data = picture.GetRefCount() == 0 ? picture.DetachExtraData() : picture.GetExtraData();
}

// A picture that is there but does not decode is named in the log: the game goes on without it.
void LogUndecodable(const char* file_name, const char* reason) {
  plat::LogDiagnostic("picture \"" + plat::SjisToUtf8(file_name) + "\" cannot be read: " + reason);
}

}  // namespace

CImageLoaderManager::CImageLoaderManager(MemorySource physical_memory)
    : physical_memory_(physical_memory != nullptr ? physical_memory : &plat::TotalPhysicalMemory) {}

CImageLoaderManager::~CImageLoaderManager() {
  decoders_.UnloadAll();
  cache_.SetBudget(0);
}

void CImageLoaderManager::UnloadLoadersOfType(std::uint32_t type) { decoders_.UnloadOfType(type); }

void CImageLoaderManager::UnloadLoaders() { decoders_.UnloadAll(); }

unsigned CImageLoaderManager::RegisterLoader(DecoderPtr<GllFamily> decoder, const char* extensions,
                                             const char* type_string, std::uint32_t type, PluginAssistFunc assist,
                                             PluginAssistFunc2 assist2, PluginConfigFunc config) {
  return decoders_.Register(std::move(decoder), extensions, type_string, type, assist, assist2, config);
}

unsigned CImageLoaderManager::LoadLoaderPlugin(const char* path) { return decoders_.LoadPlugin(path); }

int CImageLoaderManager::LoadLoaderPlugins(const char* folder) { return decoders_.LoadPlugins(folder); }

CImageDecoder* CImageLoaderManager::FindLoaderForData(const std::uint8_t* data, std::size_t size,
                                                      std::uint32_t hint) {
  return decoders_.WithRecords([&](std::span<const PluginRecord<GllFamily>> records) -> CImageDecoder* {
    for (const auto& record : records) {
      if (record.decoder->IsSupported(data, size, hint)) return record.decoder.get();
    }
    return nullptr;
  });
}

CImageDecoder* CImageLoaderManager::FindLoaderByExtension(const char* file_name, bool for_saving) {
  if (file_name == nullptr) return nullptr;
  const std::string extension = UpperExtensionOf(file_name);
  return decoders_.WithRecords([&](std::span<const PluginRecord<GllFamily>> records) -> CImageDecoder* {
    for (const auto& record : records) {
      if (for_saving && !record.decoder->CanSave()) continue;
      if (std::find(record.extensions.begin(), record.extensions.end(), extension) != record.extensions.end()) {
        return record.decoder.get();
      }
    }
    return nullptr;
  });
}

CImageDecoder* CImageLoaderManager::FindLoaderByType(std::uint32_t type) { return decoders_.FindByType(type); }

std::int32_t CImageLoaderManager::DecodeData(const std::uint8_t* data, std::size_t size, const DecodeTarget& target,
                                             std::uint32_t hint, const DecodeOutputs& outputs) {
  CImageDecoder* decoder = FindLoaderForData(data, size, hint);
  if (decoder == nullptr) return kFailed;
  return LoadInto(*decoder, data, size, target, nullptr, outputs);
}

std::int32_t CImageLoaderManager::DecodeFile(const char* file_name, const DecodeTarget& target,
                                             const DecodeOutputs& outputs) {
  const RefPtr<CFile> file = ReadWhole(file_name);
  if (!file) return kFileFailed;
  const std::uint8_t* data = file->GetData();
  const std::size_t size = file->GetSize();
  CImageDecoder* decoder = FindLoaderByExtension(file_name, false);
  if (decoder == nullptr || !decoder->IsSupported(data, size, 0)) decoder = FindLoaderForData(data, size, 0);
  if (decoder == nullptr) {
    LogUndecodable(file_name, "no picture loader knows its contents (it is damaged, or of another format)");
    return kFailed;
  }
  return LoadNamedInto(*decoder, data, size, target, file_name, outputs);
}

std::int32_t CImageLoaderManager::DecodeFileWith(std::uint32_t type, const char* file_name, const DecodeTarget& target,
                                                 const DecodeOutputs& outputs) {
  if (type == 0) return DecodeFile(file_name, target, outputs);
  CImageDecoder* decoder = FindLoaderByType(type);
  if (decoder == nullptr) return kFailed;
  const RefPtr<CFile> file = ReadWhole(file_name);
  if (!file) return kFileFailed;
  return LoadNamedInto(*decoder, file->GetData(), file->GetSize(), target, file_name, outputs);
}

std::int32_t CImageLoaderManager::LoadNamedInto(CImageDecoder& decoder, const std::uint8_t* data, std::size_t size,
                                                const DecodeTarget& target, const char* file_name,
                                                const DecodeOutputs& outputs) {
  const std::int32_t status = LoadInto(decoder, data, size, target, file_name, outputs);
  if (status == kFailed || status == kConversionFailed || status == kUnexpected) {
    LogUndecodable(file_name, "its loader refuses it (it is damaged)");
  }
  return status;
}

std::int32_t CImageLoaderManager::LoadInto(CImageDecoder& decoder, const std::uint8_t* data, std::size_t size,
                                           const DecodeTarget& target, const char* file_name,
                                           const DecodeOutputs& outputs) {
  const std::int32_t status =
      decoder.Load(data, size, target.create, target.context, target.mode, target.progress, target.progress_argument);
  if (status == CImageDecoder::kNotSupported) {
    return DecodeThroughPicture(data, size, &decoder, target, file_name, outputs);
  }
  if (status != 0) {
    if (target.free != nullptr) target.free(target.context);
    return kFailed;
  }
  if (outputs.user_value0 != nullptr) *outputs.user_value0 = decoder.GetUserValue0();
  if (outputs.user_value1 != nullptr) *outputs.user_value1 = decoder.GetUserValue1();
  if (outputs.extra_data != nullptr && decoder.GetExtraSize() != 0) *outputs.extra_data = decoder.DetachExtraData();
  return kDone;
}

std::int32_t CImageLoaderManager::DecodeThroughPicture(const std::uint8_t* data, std::size_t size,
                                                       CImageDecoder* decoder, const DecodeTarget& target,
                                                       const char* file_name, const DecodeOutputs& outputs) {
  try {
    const RefPtr<CCachedPicture> picture = DecodeToPicture(data, size, decoder);
    if (!picture) return kFailed;
    if (file_name != nullptr && cache_.IsOn()) InsertUnderName(*picture, file_name);
    const DibInfo& info = picture->GetInfo();
    const bool palettized = target.mode != 0;
    std::int32_t pitch = 0;
    std::uint8_t* palette = nullptr;
    std::uint8_t* pixels =
        target.create(info.width, info.height, palettized ? 8 : 32, info.bit_count == 32 ? 1 : 0, &pitch,
                      palettized && ListedColourCount(info) != 0 ? &palette : nullptr, target.context);
    if (pixels == nullptr) return kNoTarget;
    const plat::Rect rect{0, 0, info.width, info.height};
    const DecodedSource source{info, picture->GetBits().data(), static_cast<std::int32_t>(picture->GetRowPitch()), 0,
                               0};
    bool converted = false;
    if (palettized) {
      if (palette != nullptr) {
        const std::size_t count = std::min<std::size_t>({ListedColourCount(info), info.colour_table.size(), 256});
        for (std::size_t i = 0; i < count; ++i) StoreLe32(palette + 4 * i, info.colour_table[i]);
      }
      converted = ConvertDecodedToNative(pixels, rect, pitch, source);
    } else {
      converted = info.bit_count == 32 ? ConvertDibTo32(pixels, rect, pitch, source)
                                       : ConvertDecodedTo32(pixels, rect, pitch, source);
    }
    if (!converted) {
      if (target.free != nullptr) target.free(target.context);
      return kConversionFailed;
    }
    HandOverValues(*picture, outputs);
    return kDone;
  } catch (...) {
    return kUnexpected;
  }
}

RefPtr<CCachedPicture> CImageLoaderManager::DecodeToPicture(const std::uint8_t* data, std::size_t size,
                                                            CImageDecoder* decoder) {
  if (decoder == nullptr) decoder = FindLoaderForData(data, size, 0);
  if (decoder == nullptr) return nullptr;
  DibInfoBlock info;
  DibBits bits;
  if (decoder->Decode(data, size, &info, &bits, nullptr, nullptr) != 0 || !info) return nullptr;
  RefPtr<CCachedPicture> picture =
      MakeRef<CCachedPicture>(std::move(info), std::move(bits), decoder->GetByteCount(), decoder->GetRowPitch());
  if (!picture) return nullptr;
  picture->SetUserValues(decoder->GetUserValue0(), decoder->GetUserValue1());
  if (decoder->GetExtraSize() != 0) picture->SetExtraData(decoder->DetachExtraData());
  return picture;
}

RefPtr<CCachedPicture> CImageLoaderManager::LoadCachedPicture(const char* file_name) {
  const bool cache_on = cache_.IsOn();
  std::optional<std::string> key;
  if (cache_on && g_DataFiles != nullptr) {
    key = CacheKeyOf(file_name);
    if (!key) return nullptr;
    if (RefPtr<CCachedPicture> cached = cache_.Find(*key)) return cached;
  }
  const RefPtr<CFile> file = ReadWhole(file_name);
  if (!file) return nullptr;
  const std::uint8_t* data = file->GetData();
  const std::size_t size = file->GetSize();
  RefPtr<CCachedPicture> picture;
  if (CImageDecoder* decoder = FindLoaderByExtension(file_name, false)) picture = DecodeToPicture(data, size, decoder);
  if (!picture) picture = DecodeToPicture(data, size, nullptr);
  if (picture && cache_on) cache_.Insert(*picture, key ? *key : CImageCache::KeyOf(file_name));
  return picture;
}

std::int32_t CImageLoaderManager::SaveImage(const char* file_name, std::uint32_t mode, const std::uint8_t* pixels,
                                            std::int32_t width, std::int32_t height, std::uint32_t bit_count,
                                            std::int32_t pitch, const std::uint8_t* palette,
                                            std::uint32_t encoder_type, DecodeProgressFunc progress,
                                            void* progress_argument) {
  CImageDecoder* encoder =
      encoder_type != 0 ? FindLoaderByType(encoder_type) : FindLoaderByExtension(file_name, true);
  if (encoder == nullptr || file_name == nullptr) return kFailed;
  CFile file;
  if (file.Create(file_name, true) != 0) return kFileFailed;
  const std::int32_t status = encoder->Save(mode, pixels, width, height, bit_count, pitch, &WriteToFile, &file,
                                            palette, progress, progress_argument);
  if (status != 0) {
    const std::string path = file.GetPath();
    file.Close();
    plat::DeleteFile(path);
  }
  return status;
}

void CImageLoaderManager::SetCacheLimit(std::int32_t megabytes) {
  cache_.SetBudget(CacheBudgetBytes(megabytes, physical_memory_()));
}

std::optional<std::string> CImageLoaderManager::CacheKeyOf(const char* file_name) const {
  if (file_name == nullptr) return std::nullopt;
  if (g_DataFiles == nullptr) return CImageCache::KeyOf(file_name);
  char path[kMaxPath] = {};
  if (g_DataFiles->LocateFile(path, file_name, nullptr) > 0) return std::nullopt;
  return CImageCache::KeyOf(path);
}

void CImageLoaderManager::InsertUnderName(CCachedPicture& picture, const char* file_name) {
  if (const std::optional<std::string> key = CacheKeyOf(file_name)) cache_.Insert(picture, *key);
}

std::int32_t CImageLoaderManager::AddCachedImage(CCachedPicture* picture, const char* file_name) {
  if (picture == nullptr || file_name == nullptr) return kFailed;
  if (!cache_.IsOn()) return kNoPicture;
  return cache_.Insert(*picture, CImageCache::KeyOf(file_name));
}

RefPtr<CCachedPicture> CImageLoaderManager::FindCachedImage(const char* file_name) {
  if (!cache_.IsOn() || file_name == nullptr) return nullptr;
  return cache_.Find(CImageCache::KeyOf(file_name));
}

std::int32_t CImageLoaderManager::PreloadCachedImage(const char* file_name) {
  if (!cache_.IsOn()) return kFailed;
  return LoadCachedPicture(file_name) ? kDone : kNoPicture;
}

std::int32_t CImageLoaderManager::ReleaseCachedImage(const char* file_name) {
  if (!cache_.IsOn()) return kFailed;
  const std::optional<std::string> key = CacheKeyOf(file_name);
  if (!key) return kNoPicture;
  return cache_.ReleaseCallerReference(*key);
}

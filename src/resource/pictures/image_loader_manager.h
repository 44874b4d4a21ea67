// The image-loader host: holds the image decoders (built-in ones and *.GLL plug-ins) in plug-in
// records, chooses a decoder for a file or a block of data, decodes into a target that the
// caller creates through callbacks, saves through a decoder that encodes, and keeps the image
// cache of decoded pictures keyed by their files' full paths.
#pragma once

#include <cstdint>
#include <string>
#include <optional>
#include <vector>

#include "resource/pictures/cached_picture.h"
#include "resource/pictures/image_cache.h"
#include "resource/pictures/image_decoder.h"
#include "resource/plugins/plugin_host.h"

// The image-decoder family of the plug-in scheme: *.GLL libraries.
struct GllFamily {
  using Decoder = CImageDecoder;
  static constexpr std::string_view kName = "Gll";
  static constexpr const char* kObjectEntry = "GetGllLoadObject";
  static constexpr const char* kWildcard = "*.GLL";
  static void ReleaseDecoder(CImageDecoder* decoder) { decoder->Release(); }
};

// Where a decode hands the picture's user values and extra data; null members are not wanted.
struct DecodeOutputs {
  std::int32_t* user_value0 = nullptr;
  std::int32_t* user_value1 = nullptr;
  std::vector<std::uint8_t>* extra_data = nullptr;
};

// The target callbacks of one decode.
struct DecodeTarget {
  CreateTargetFunc create = nullptr;
  FreeTargetFunc free = nullptr;
  void* context = nullptr;
  std::uint32_t mode = 0;  // 0: a 32-bit target; other: an 8-bit target with palette
  DecodeProgressFunc progress = nullptr;
  void* progress_argument = nullptr;
};

class CImageLoaderManager {
 public:
  static constexpr std::int32_t kDone = 0;
  static constexpr std::int32_t kFailed = 1;  // no decoder, bad arguments, cache off, decode failed
  static constexpr std::int32_t kNoPicture = 2;
  static constexpr std::int32_t kNoTarget = 6;
  static constexpr std::int32_t kConversionFailed = 9;
  static constexpr std::int32_t kUnexpected = 10;
  static constexpr std::int32_t kAlreadyCached = -1;
  static constexpr std::int32_t kFileFailed = -3;

  using MemorySource = std::uint64_t (*)();

  // The cache starts off. `physical_memory` tells the machine's memory to the cache budget.
  explicit CImageLoaderManager(MemorySource physical_memory = nullptr);
  virtual ~CImageLoaderManager();
  CImageLoaderManager(const CImageLoaderManager&) = delete;
  CImageLoaderManager& operator=(const CImageLoaderManager&) = delete;

  virtual void UnloadLoadersOfType(std::uint32_t type);
  virtual void UnloadLoaders();
  virtual unsigned RegisterLoader(DecoderPtr<GllFamily> decoder, const char* extensions, const char* type_string,
                                  std::uint32_t type, PluginAssistFunc assist, PluginAssistFunc2 assist2,
                                  PluginConfigFunc config);
  virtual unsigned LoadLoaderPlugin(const char* path);
  virtual int LoadLoaderPlugins(const char* folder);
  virtual CImageDecoder* FindLoaderForData(const std::uint8_t* data, std::size_t size, std::uint32_t hint);
  virtual CImageDecoder* FindLoaderByExtension(const char* file_name, bool for_saving);
  virtual CImageDecoder* FindLoaderByType(std::uint32_t type);
  virtual std::int32_t DecodeData(const std::uint8_t* data, std::size_t size, const DecodeTarget& target,
                                  std::uint32_t hint, const DecodeOutputs& outputs);
  virtual std::int32_t DecodeFile(const char* file_name, const DecodeTarget& target, const DecodeOutputs& outputs);
  // DecodeFile through the loader registered with `type` (0: chosen as DecodeFile chooses it).
  std::int32_t DecodeFileWith(std::uint32_t type, const char* file_name, const DecodeTarget& target,
                              const DecodeOutputs& outputs);
  // A new picture decoded by `decoder` (null: chosen by content), or null.
  virtual RefPtr<CCachedPicture> DecodeToPicture(const std::uint8_t* data, std::size_t size, CImageDecoder* decoder);
  // The picture of a file with one reference for the caller, from the cache or freshly decoded.
  virtual RefPtr<CCachedPicture> LoadCachedPicture(const char* file_name);
  virtual std::int32_t SaveImage(const char* file_name, std::uint32_t mode, const std::uint8_t* pixels,
                                 std::int32_t width, std::int32_t height, std::uint32_t bit_count, std::int32_t pitch,
                                 const std::uint8_t* palette, std::uint32_t encoder_type, DecodeProgressFunc progress,
                                 void* progress_argument);

  // Negative megabytes: chosen by the machine's memory.
  void SetCacheLimit(std::int32_t megabytes);
  bool IsCacheOn() const { return cache_.IsOn(); }
  // 0; 1 without picture or name; 2 cache off; -1 the name is cached already.
  std::int32_t AddCachedImage(CCachedPicture* picture, const char* file_name);
  // The cached picture with a reference for the caller; null when off or not cached.
  RefPtr<CCachedPicture> FindCachedImage(const char* file_name);
  // 0; 1 cache off; 2 no picture to be had.
  std::int32_t PreloadCachedImage(const char* file_name);
  // Drops one reference a caller holds on a cached picture: 0; 1 cache off; 2 not cached.
  std::int32_t ReleaseCachedImage(const char* file_name);
  // The cache key of a file: its resolved full path, lower-cased; none when the file is not found.
  std::optional<std::string> CacheKeyOf(const char* file_name) const;
  const CImageCache& GetCache() const { return cache_; }

  PluginAssistFunc2 GetAssistFunc2(std::uint32_t type) const { return decoders_.GetAssistFunc2(type); }

 private:
  std::int32_t LoadInto(CImageDecoder& decoder, const std::uint8_t* data, std::size_t size, const DecodeTarget& target,
                        const char* file_name, const DecodeOutputs& outputs);
  // LoadInto for a named file, which names a file that fails to decode in the log.
  std::int32_t LoadNamedInto(CImageDecoder& decoder, const std::uint8_t* data, std::size_t size,
                             const DecodeTarget& target, const char* file_name, const DecodeOutputs& outputs);
  std::int32_t DecodeThroughPicture(const std::uint8_t* data, std::size_t size, CImageDecoder* decoder,
                                    const DecodeTarget& target, const char* file_name, const DecodeOutputs& outputs);
  void InsertUnderName(CCachedPicture& picture, const char* file_name);

  MemorySource physical_memory_;
  CPluginHost<GllFamily> decoders_;
  CImageCache cache_;
};

// The program's image-loader host, set by the application.
extern CImageLoaderManager* g_GllHost;

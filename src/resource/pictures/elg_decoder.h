// The built-in decoder of ELG pictures, registered with the image-loader host under the
// extension "ELG". Damaged data never reads past the input or writes past the target.
#pragma once

#include "resource/pictures/image_decoder.h"

class CElgDecoder : public CImageDecoder {
 public:
  static constexpr std::int32_t kDone = 0;
  static constexpr std::int32_t kNoMagic = 1;
  static constexpr std::int32_t kFailed = 3;
  static constexpr std::int32_t kBadArguments = 4;
  static constexpr std::int32_t kNoTarget = 6;
  static constexpr std::int32_t kCancelled = -1;

  static constexpr const char* kExtensions = "ELG\0";
  static constexpr const char* kTypeString = "ELG format";
  static constexpr std::uint32_t kType = 2;

  bool IsSupported(const std::uint8_t* data, std::size_t size, std::uint32_t hint) override;
  // `mode` 0 asks for a 32-bit target, any other mode for an 8-bit one (grey for 24- and 32-bit
  // pictures). The target's rows are taken at the pitch that `create_target` returns. A picture
  // larger than images take (pixel/formats/image_limits.h) is refused with kNoTarget before any target
  // or block is asked for. Once the data has the magic, the closing progress report is made
  // however the call ends (Decode likewise).
  std::int32_t Load(const std::uint8_t* data, std::size_t size, CreateTargetFunc create_target, void* context,
                    std::uint32_t mode, DecodeProgressFunc progress, void* progress_argument) override;
  std::int32_t Decode(const std::uint8_t* data, std::size_t size, DibInfoBlock* info, DibBits* bits,
                      DecodeProgressFunc progress, void* progress_argument) override;
  void FreeImage() override;

 private:
  class ClosingProgress;

  std::int32_t LoadPicture(const std::uint8_t* data, std::size_t size, CreateTargetFunc create_target, void* context,
                           bool palettized, DecodeProgressFunc progress, void* progress_argument,
                           ClosingProgress& closing);
  std::int32_t DecodePicture(const std::uint8_t* data, std::size_t size, DecodeProgressFunc progress,
                             void* progress_argument, ClosingProgress& closing);
  bool ReadHeader(const std::uint8_t* data, std::size_t size, struct ElgHeader& header);
};

class CImageLoaderManager;
// Registers a new ELG decoder with the host under "ELG", "ELG format" and type 2; the host's
// registration status.
unsigned RegisterElgDecoder(CImageLoaderManager& host);

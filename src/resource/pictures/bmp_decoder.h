// The built-in decoder and encoder of BMP pictures, registered with the image-loader host under
// the extension "BMP"; the one built-in decoder that saves. Every size, offset and row count of
// a file is checked against the file before anything is allocated for it.
#pragma once

#include "resource/pictures/image_decoder.h"

struct BmpHeader;

class CBmpDecoder : public CImageDecoder {
 public:
  static constexpr std::int32_t kDone = 0;
  static constexpr std::int32_t kNotBmp = 1;
  static constexpr std::int32_t kBadRunLength = 2;
  static constexpr std::int32_t kUnsupportedMode = 2;
  static constexpr std::int32_t kFailed = 3;        // null data, unsupported form, unexpected failure
  static constexpr std::int32_t kBadArguments = 4;
  static constexpr std::int32_t kNoMemory = 6;
  static constexpr std::int32_t kCancelled = -1;

  static constexpr const char* kExtensions = "BMP\0";
  static constexpr const char* kTypeString = "Bitmap format";
  static constexpr std::uint32_t kType = 1;

  // Save modes: 0 the pixels as they are (32 bits as 24-bit rows), 1 32-bit rows whole,
  // 2 the alpha bytes of 32-bit pixels as an 8-bit picture.
  static constexpr std::uint32_t kSaveColours = 0;
  static constexpr std::uint32_t kSaveWithAlpha = 1;
  static constexpr std::uint32_t kSaveAlpha = 2;

  bool IsSupported(const std::uint8_t* data, std::size_t size, std::uint32_t hint) override;
  // `mode` 0 asks for a 32-bit target, any other mode for an 8-bit one with the colour table
  // of pictures below 16 bits (grey for the others).
  std::int32_t Load(const std::uint8_t* data, std::size_t size, CreateTargetFunc create_target, void* context,
                    std::uint32_t mode, DecodeProgressFunc progress, void* progress_argument) override;
  std::int32_t Decode(const std::uint8_t* data, std::size_t size, DibInfoBlock* info, DibBits* bits,
                      DecodeProgressFunc progress, void* progress_argument) override;
  // Writes 8-, 24- or 32-bit pixels (rows `pitch` bytes apart, top-down for a positive height)
  // as a BMP file through `write`. `palette` (1024 bytes) colours an 8-bit file; without one
  // the file gets a grey ramp.
  std::int32_t Save(std::uint32_t mode, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                    std::uint32_t bit_count, std::int32_t pitch, EncodeWriteFunc write, void* write_argument,
                    const std::uint8_t* palette, DecodeProgressFunc progress, void* progress_argument) override;
  bool CanSave() const override;

 private:
  std::int32_t DecodePicture(const std::uint8_t* data, std::size_t size, DecodeProgressFunc progress,
                             void* progress_argument);
  std::int32_t LoadPicture(const std::uint8_t* data, std::size_t size, CreateTargetFunc create_target, void* context,
                           bool palettized, DecodeProgressFunc progress, void* progress_argument);
  std::int32_t LoadBitFields(const BmpHeader& header, const std::uint8_t* data, CreateTargetFunc create_target,
                             void* context, bool palettized);
};

class CImageLoaderManager;
// Registers a new BMP decoder with the host under "BMP", "Bitmap format" and type 1; the host's
// registration status.
unsigned RegisterBmpDecoder(CImageLoaderManager& host);

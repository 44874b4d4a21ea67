#include "resource/pictures/bmp_decoder.h"

#include <algorithm>
#include <bit>

#include "base/numbers/little_endian.h"
#include "pixel/formats/decoded_picture_conversions.h"
#include "resource/pictures/bmp_header.h"
#include "resource/pictures/bmp_run_length.h"
#include "resource/pictures/image_loader_manager.h"
#include "resource/plugins/decode_progress.h"

namespace {

// One channel of a bit-field pixel: the mask's bits moved down to its lowest set bit and then
// scaled to eight bits. Masks of up to eight bits are moved up by (8 - bits), as 5-5-5 and
// 5-6-5 pictures expect (white reads 248); wider masks keep their top eight bits.
class ChannelMask {
 public:
  explicit ChannelMask(std::uint32_t mask)
      : mask_(mask), lowest_(mask != 0 ? std::countr_zero(mask) : 0), bits_(std::popcount(mask)) {}

  std::uint8_t Of(std::uint32_t pixel) const {
    const std::uint32_t value = (pixel & mask_) >> lowest_;
    return static_cast<std::uint8_t>(bits_ <= 8 ? value << (8 - bits_) : value >> (bits_ - 8));
  }

 private:
  std::uint32_t mask_;
  int lowest_;
  int bits_;
};

struct ChannelMasks {
  explicit ChannelMasks(const BmpHeader& header)
      : red(header.masks[0]), green(header.masks[1]), blue(header.masks[2]), bytes(header.bit_count / 8) {}

  // Pixel x of a file row, little-endian.
  std::uint32_t PixelAt(const std::uint8_t* row, std::size_t x) const {
    const std::uint8_t* at = row + x * bytes;
    std::uint32_t pixel = 0;
    for (std::uint32_t i = 0; i < bytes; ++i) pixel |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    return pixel;
  }

  ChannelMask red;
  ChannelMask green;
  ChannelMask blue;
  std::uint32_t bytes;
};

std::uint8_t Grey(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<std::uint8_t>((29u * blue + 150u * green + 77u * red) >> 8);
}

// The picture's information block: the header with its colour table; bit-field and run-length
// files become plain pictures (24 bits, and the file's bit count).
DibInfoBlock MakeInfo(const BmpHeader& header, std::uint32_t image_size) {
  auto info = std::make_unique<DibInfo>();
  info->width = header.width;
  info->height = header.height;
  info->bit_count = header.compression == kBmpBitFields ? 24 : header.bit_count;
  info->compression = kBmpRgb;
  info->image_size = image_size;
  info->colours_used = static_cast<std::uint32_t>(header.colour_table.size());
  info->colour_table = header.colour_table;
  return info;
}

std::uint32_t InfoBlockSize(const BmpHeader& header) {
  return kBmpInfoHeaderSize + (header.bit_count < 16 ? 4 * static_cast<std::uint32_t>(header.colour_table.size()) : 4);
}

// The target row that a picture row lands in: bottom-up pictures fill the target from its last
// row, top-down ones from its first.
std::size_t TargetRowOf(const BmpHeader& header, std::size_t picture_row) {
  return header.height > 0 ? header.Rows() - 1 - picture_row : picture_row;
}

}  // namespace

bool CBmpDecoder::IsSupported(const std::uint8_t* data, std::size_t size, std::uint32_t) {
  return HasBmpMagic(data, size);
}

bool CBmpDecoder::CanSave() const { return true; }

std::int32_t CBmpDecoder::Decode(const std::uint8_t* data, std::size_t size, DibInfoBlock* info, DibBits* bits,
                                 DecodeProgressFunc progress, void* progress_argument) {
  if (data == nullptr) return kFailed;
  if ((info == nullptr) != (bits == nullptr)) return kBadArguments;
  return DecodeOwnBlocks(info, bits, kFailed, kNoMemory,
                         [&] { return DecodePicture(data, size, progress, progress_argument); });
}

std::int32_t CBmpDecoder::DecodePicture(const std::uint8_t* data, std::size_t size, DecodeProgressFunc progress,
                                        void* progress_argument) {
  BmpHeader header;
  const BmpHeaderStatus parsed = ParseBmpHeader(data, size, header);
  if (parsed == BmpHeaderStatus::kNotBmp) return kNotBmp;
  if (parsed != BmpHeaderStatus::kUsable) return kFailed;
  const auto height = static_cast<std::int32_t>(header.Rows());
  if (ProgressCancels(progress, 0, height, progress_argument)) return kCancelled;
  const ClosingProgress closing(progress, height, progress_argument);

  const std::size_t row_size = header.PictureRowSize();
  const std::size_t rows = header.Rows();
  bits_.assign(row_size * rows, 0);
  const std::uint8_t* pixels = data + header.pixel_offset;
  if (header.IsRunLength()) {
    const RunLengthStatus expanded = ExpandBmpRunLength(pixels, size - header.pixel_offset, header.bit_count,
                                                        static_cast<std::uint32_t>(header.width), header.Rows(),
                                                        bits_.data(), row_size);
    if (expanded != RunLengthStatus::kDone) return kBadRunLength;
  } else if (header.compression == kBmpBitFields) {
    const ChannelMasks masks(header);
    const std::size_t file_row_size = header.FileRowSize();
    for (std::size_t y = 0; y < rows; ++y) {
      const std::uint8_t* in = pixels + y * file_row_size;
      std::uint8_t* out = bits_.data() + y * row_size;
      for (std::size_t x = 0; x < static_cast<std::size_t>(header.width); ++x) {
        const std::uint32_t pixel = masks.PixelAt(in, x);
        out[3 * x] = masks.blue.Of(pixel);
        out[3 * x + 1] = masks.green.Of(pixel);
        out[3 * x + 2] = masks.red.Of(pixel);
      }
    }
  } else {
    std::copy_n(pixels, bits_.size(), bits_.begin());
  }
  info_ = MakeInfo(header, static_cast<std::uint32_t>(bits_.size()));
  byte_count_ = InfoBlockSize(header) + static_cast<std::uint32_t>(bits_.size());
  row_pitch_ = static_cast<std::uint32_t>(row_size);
  return kDone;
}

std::int32_t CBmpDecoder::Load(const std::uint8_t* data, std::size_t size, CreateTargetFunc create_target,
                               void* context, std::uint32_t mode, DecodeProgressFunc progress,
                               void* progress_argument) {
  if (data == nullptr) return kFailed;
  if (create_target == nullptr) return kBadArguments;
  try {
    return LoadPicture(data, size, create_target, context, mode != 0, progress, progress_argument);
  } catch (...) {
    return kFailed;
  }
}

std::int32_t CBmpDecoder::LoadPicture(const std::uint8_t* data, std::size_t size, CreateTargetFunc create_target,
                                      void* context, bool palettized, DecodeProgressFunc progress,
                                      void* progress_argument) {
  BmpHeader header;
  const BmpHeaderStatus parsed = ParseBmpHeader(data, size, header);
  if (parsed == BmpHeaderStatus::kNotBmp) return kNotBmp;
  if (parsed != BmpHeaderStatus::kUsable) return kFailed;
  if (header.compression == kBmpBitFields) return LoadBitFields(header, data, create_target, context, palettized);

  // Run-length pictures are expanded first and converted from the expansion.
  const std::uint8_t* pixels = data + header.pixel_offset;
  std::size_t row_size = header.FileRowSize();
  if (header.IsRunLength()) {
    if (Decode(data, size, nullptr, nullptr, progress, progress_argument) != kDone) return kBadRunLength;
    pixels = bits_.data();
    row_size = row_pitch_;
  }
  std::int32_t pitch = 0;
  std::uint8_t* palette = nullptr;
  const bool hands_palette = palettized && header.bit_count < 16;
  std::uint8_t* target = create_target(header.width, static_cast<std::int32_t>(header.Rows()), palettized ? 8 : 32,
                                       header.bit_count == 32 ? 1 : 0, &pitch, hands_palette ? &palette : nullptr,
                                       context);
  if (target == nullptr) {
    FreeImage();
    return kNoMemory;
  }
  if (palette != nullptr) {
    for (std::size_t i = 0; i < header.colour_table.size() && i < 256; ++i) {
      StoreLe32(palette + 4 * i, header.colour_table[i]);
    }
  }

  // Row by row, each picture row converted as a picture of one row.
  DibInfo row_info;
  row_info.width = header.width;
  row_info.height = 1;
  row_info.bit_count = header.bit_count;
  row_info.colours_used = static_cast<std::uint32_t>(header.colour_table.size());
  row_info.colour_table = header.colour_table;
  const plat::Rect rect{0, 0, header.width, 1};
  bool converted = pitch >= static_cast<std::int64_t>(header.width) * (palettized ? 1 : 4);
  for (std::size_t y = 0; converted && y < header.Rows(); ++y) {
    const DecodedSource source{row_info, pixels + y * row_size, static_cast<std::int32_t>(row_size), 0, 0};
    std::uint8_t* out = target + TargetRowOf(header, y) * static_cast<std::size_t>(pitch);
    if (palettized) {
      converted = ConvertDecodedToNative(out, rect, pitch, source);
    } else {
      converted = header.bit_count == 32 ? ConvertDibTo32(out, rect, pitch, source)
                                         : ConvertDecodedTo32(out, rect, pitch, source);
    }
  }
  FreeImage();
  return converted ? kDone : kFailed;
}

std::int32_t CBmpDecoder::LoadBitFields(const BmpHeader& header, const std::uint8_t* data,
                                        CreateTargetFunc create_target, void* context, bool palettized) {
  std::int32_t pitch = 0;
  std::uint8_t* target = create_target(header.width, static_cast<std::int32_t>(header.Rows()), palettized ? 8 : 32, 0,
                                       &pitch, nullptr, context);
  if (target == nullptr) return kNoMemory;
  if (pitch < static_cast<std::int64_t>(header.width) * (palettized ? 1 : 4)) return kFailed;
  const ChannelMasks masks(header);
  const std::uint8_t* pixels = data + header.pixel_offset;
  const std::size_t file_row_size = header.FileRowSize();
  for (std::size_t y = 0; y < header.Rows(); ++y) {
    const std::uint8_t* in = pixels + y * file_row_size;
    std::uint8_t* out = target + TargetRowOf(header, y) * static_cast<std::size_t>(pitch);
    for (std::size_t x = 0; x < static_cast<std::size_t>(header.width); ++x) {
      const std::uint32_t pixel = masks.PixelAt(in, x);
      const std::uint8_t red = masks.red.Of(pixel);
      const std::uint8_t green = masks.green.Of(pixel);
      const std::uint8_t blue = masks.blue.Of(pixel);
      if (palettized) {
        out[x] = Grey(red, green, blue);
      } else {
        StoreLe32(out + 4 * x, static_cast<std::uint32_t>(red) << 16 | static_cast<std::uint32_t>(green) << 8 | blue);
      }
    }
  }
  return kDone;
}

unsigned RegisterBmpDecoder(CImageLoaderManager& host) {
  return host.RegisterLoader(DecoderPtr<GllFamily>(new CBmpDecoder), CBmpDecoder::kExtensions,
                             CBmpDecoder::kTypeString, CBmpDecoder::kType, nullptr, nullptr, nullptr);
}

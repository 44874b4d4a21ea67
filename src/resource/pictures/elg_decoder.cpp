#include "resource/pictures/elg_decoder.h"

#include <array>
#include <cstdint>
#include <new>

#include "base/numbers/little_endian.h"
#include "base/numbers/script_bound.h"
#include "pixel/formats/image_limits.h"
#include "resource/pictures/elg_header.h"
#include "resource/pictures/elg_picture.h"
#include "resource/pictures/elg_unpack.h"
#include "resource/pictures/image_loader_manager.h"

namespace {

constexpr std::size_t kPaletteBytes = 1024;
constexpr std::uint32_t kPalettizedInfoSize = kDibHeaderSize + kPaletteBytes;
constexpr std::uint32_t kTrueColourInfoSize = 44;

bool SupportedDepth(std::uint8_t depth) { return depth == 8 || depth == 24 || depth == 32; }

// No stream op yields more than this many units per byte (a long run: three bytes for 8226
// units), so a header whose pixel count the data cannot reach is refused before anything is
// allocated for it.
constexpr std::uint64_t kMostUnitsPerByte = 2743;

bool DataCanCover(const ElgHeader& header, std::size_t size) {
  const std::uint64_t pixels = static_cast<std::uint64_t>(header.width) * header.height;
  return pixels <= static_cast<std::uint64_t>(size - header.pixel_offset) * kMostUnitsPerByte;
}

bool UsableHeader(const ElgHeader& header, std::size_t size) {
  return SupportedDepth(header.bit_depth) && header.pixel_offset <= size && DataCanCover(header, size);
}

bool Cancelled(DecodeProgressFunc progress, std::int32_t done, std::int32_t total, void* argument) {
  return progress != nullptr && progress(done, total, argument) != 0;
}

}  // namespace

// Makes the closing progress report when a load or decode ends, however it ends: with the
// picture's height once the header was read, else with 0.
class CElgDecoder::ClosingProgress {
 public:
  ClosingProgress(DecodeProgressFunc progress, void* argument) : progress_(progress), argument_(argument) {}
  ~ClosingProgress() {
    if (progress_ != nullptr) progress_(height_, height_, argument_);
  }
  ClosingProgress(const ClosingProgress&) = delete;
  ClosingProgress& operator=(const ClosingProgress&) = delete;

  void SetHeight(std::int32_t height) { height_ = height; }

 private:
  DecodeProgressFunc progress_;
  void* argument_;
  std::int32_t height_ = 0;
};

bool CElgDecoder::IsSupported(const std::uint8_t* data, std::size_t size, std::uint32_t) {
  return HasElgMagic(data, size);
}

bool CElgDecoder::ReadHeader(const std::uint8_t* data, std::size_t size, ElgHeader& header) {
  if (!ParseElgHeader(data, size, header)) return false;
  SetUserValues(header.user_value0, header.user_value1);
  extra_data_.assign(data + header.extra_offset, data + header.extra_offset + header.extra_size);
  return true;
}

std::int32_t CElgDecoder::Load(const std::uint8_t* data, std::size_t size, CreateTargetFunc create_target,
                               void* context, std::uint32_t mode, DecodeProgressFunc progress,
                               void* progress_argument) {
  if (data == nullptr) return kFailed;
  if (create_target == nullptr) return kBadArguments;
  if (!HasElgMagic(data, size)) return kNoMagic;
  extra_data_.clear();
  ClosingProgress closing(progress, progress_argument);
  std::int32_t status = kFailed;
  try {
    status = LoadPicture(data, size, create_target, context, mode != 0, progress, progress_argument, closing);
  } catch (...) {
    status = kFailed;
  }
  if (status != kDone) extra_data_.clear();
  return status;
}

std::int32_t CElgDecoder::LoadPicture(const std::uint8_t* data, std::size_t size, CreateTargetFunc create_target,
                                      void* context, bool palettized, DecodeProgressFunc progress,
                                      void* progress_argument, ClosingProgress& closing) {
  ElgHeader header;
  if (!ReadHeader(data, size, header)) return kFailed;
  closing.SetHeight(header.height);
  if (!UsableHeader(header, size)) return kFailed;
  if (Cancelled(progress, 0, header.height, progress_argument)) return kCancelled;
  if (!PictureWithinBound(header.width, header.height) ||
      !ImageWithinLimits(header.width, header.height, palettized ? 8 : 32)) {
    return kNoTarget;
  }

  std::int32_t pitch = 0;
  std::uint8_t* palette = nullptr;
  const bool wants_palette = palettized && header.bit_depth == 8;
  std::uint8_t* target = create_target(header.width, header.height, palettized ? 8 : 32, header.bit_depth == 32 ? 1 : 0,
                                       &pitch, wants_palette ? &palette : nullptr, context);
  if (target == nullptr) return kNoTarget;
  const std::int64_t row_bytes = static_cast<std::int64_t>(header.width) * (palettized ? 1 : 4);
  if (pitch < row_bytes) return kFailed;

  const bool unpacked = palettized ? UnpackElgPictureTo8(header, data, size, target, pitch, palette)
                                   : UnpackElgPictureTo32(header, data, size, target, pitch);
  return unpacked ? kDone : kFailed;
}

std::int32_t CElgDecoder::Decode(const std::uint8_t* data, std::size_t size, DibInfoBlock* info, DibBits* bits,
                                 DecodeProgressFunc progress, void* progress_argument) {
  if (data == nullptr) return kFailed;
  if ((info == nullptr) != (bits == nullptr)) return kBadArguments;
  if (!HasElgMagic(data, size)) return kNoMagic;
  FreeImage();
  ClosingProgress closing(progress, progress_argument);
  std::int32_t status = kFailed;
  try {
    status = DecodePicture(data, size, progress, progress_argument, closing);
  } catch (const std::bad_alloc&) {
    status = kNoTarget;
  } catch (...) {
    status = kFailed;
  }
  if (status != kDone) {
    FreeImage();
    return status;
  }
  if (info != nullptr) {
    *info = std::move(info_);
    *bits = std::move(bits_);
    bits_ = {};
  }
  return kDone;
}

std::int32_t CElgDecoder::DecodePicture(const std::uint8_t* data, std::size_t size, DecodeProgressFunc progress,
                                        void* progress_argument, ClosingProgress& closing) {
  ElgHeader header;
  if (!ReadHeader(data, size, header)) return kFailed;
  closing.SetHeight(header.height);
  if (!UsableHeader(header, size)) return kFailed;
  const std::uint32_t pitch = DibRowPitch(header.width, header.bit_depth);
  if (Cancelled(progress, 0, header.height, progress_argument)) return kCancelled;
  if (!PictureWithinBound(header.width, header.height) ||
      !ImageWithinLimits(header.width, header.height, header.bit_depth)) {
    return kNoTarget;
  }

  auto picture = std::make_unique<DibInfo>();
  picture->width = header.width;
  picture->height = header.height;
  picture->bit_count = header.bit_depth;
  picture->image_size = pitch * header.height;
  // Zero without being written (plat::ZeroedBytes): rows the streams never reach cost nothing.
  bits_ = DibBits(picture->image_size);

  const std::uint8_t* stream = data + header.pixel_offset;
  const std::uint8_t* end = data + size;
  bool unpacked = false;
  if (header.bit_depth == 8) {
    std::array<std::uint8_t, kPaletteBytes> palette{};
    stream = UnpackElg8(stream, end, palette.data(), palette.size());
    picture->colours_used = 256;
    picture->colour_table.resize(256);
    for (std::size_t i = 0; i < 256; ++i) picture->colour_table[i] = LoadLe32(palette.data() + 4 * i);
    unpacked = stream != nullptr && UnpackElg8ToDib(stream, end, bits_.data(), header.width, header.height, pitch);
  } else if (header.bit_depth == 24) {
    unpacked = UnpackElgRgbToDib24(stream, end, bits_.data(), header.width, header.height, pitch) != nullptr;
  } else {
    stream = UnpackElgRgbToDib32(stream, end, bits_.data(), header.width, header.height);
    unpacked = stream != nullptr && UnpackElgAlphaToDib(stream, end, bits_.data(), header.width, header.height);
  }
  if (!unpacked) return kFailed;
  const std::uint32_t picture_size = picture->image_size;
  info_ = std::move(picture);
  byte_count_ = (header.bit_depth == 8 ? kPalettizedInfoSize : kTrueColourInfoSize) + picture_size;
  row_pitch_ = pitch;
  return kDone;
}

void CElgDecoder::FreeImage() {
  CImageDecoder::FreeImage();
  extra_data_.clear();
}

unsigned RegisterElgDecoder(CImageLoaderManager& host) {
  return host.RegisterLoader(DecoderPtr<GllFamily>(new CElgDecoder), CElgDecoder::kExtensions,
                             CElgDecoder::kTypeString, CElgDecoder::kType, nullptr, nullptr, nullptr);
}

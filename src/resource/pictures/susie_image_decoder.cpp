#include "resource/pictures/susie_image_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/numbers/little_endian.h"

namespace {

constexpr std::size_t kSupportProbeSize = 2048;

bool KnownBitCount(std::uint16_t bit_count) {
  return bit_count == 1 || bit_count == 4 || bit_count == 8 || bit_count == 16 || bit_count == 24 || bit_count == 32;
}

}  // namespace

std::int32_t SusieProgressRelay::Call(std::int32_t done, std::int32_t total, std::intptr_t data) {
  const auto* relay = reinterpret_cast<const SusieProgressRelay*>(data);
  if (relay == nullptr || relay->progress == nullptr) return 0;
  return relay->progress(done, total, relay->argument);
}

bool CSpiImageDecoder::IsSupported(const std::uint8_t* data, std::size_t size, std::uint32_t) {
  if (data == nullptr) return false;
  if (size >= kSupportProbeSize) return entries_.is_supported("", data) != 0;
  std::array<std::uint8_t, kSupportProbeSize> padded{};
  std::copy_n(data, size, padded.begin());
  return entries_.is_supported("", padded.data()) != 0;
}

std::int32_t CSpiImageDecoder::Load(const std::uint8_t*, std::size_t, CreateTargetFunc, void*, std::uint32_t,
                                    DecodeProgressFunc, void*) {
  return kNotSupported;
}

std::int32_t CSpiImageDecoder::Decode(const std::uint8_t* data, std::size_t size, DibInfoBlock* info, DibBits* bits,
                                      DecodeProgressFunc progress, void* progress_argument) {
  if (data == nullptr) return kBadPicture;
  if ((info == nullptr) != (bits == nullptr)) return kBadArguments;
  return DecodeOwnBlocks(info, bits, kBadPicture, kBadPicture, [&]() -> std::int32_t {
    SusieProgressRelay relay{progress, progress_argument};
    SusieBlock* info_block = nullptr;
    SusieBlock* bits_block = nullptr;
    const std::int32_t result = entries_.get_picture(data, static_cast<std::intptr_t>(size), kSusieFromMemory,
                                                     &info_block, &bits_block, &SusieProgressRelay::Call, relay.Data());
    SusieBlockPtr owned_info(info_block);
    SusieBlockPtr owned_bits(bits_block);
    if (result != 0) return kPluginFailed;
    return TakePicture(std::move(owned_info), std::move(owned_bits));
  });
}

std::int32_t CSpiImageDecoder::TakePicture(SusieBlockPtr info_block, SusieBlockPtr bits_block) {
  if (!info_block || !bits_block || info_block->size < 40) return kBadPicture;
  const std::uint8_t* header = SusieBlockData(info_block.get());
  auto picture = std::make_unique<DibInfo>();
  picture->width = static_cast<std::int32_t>(LoadLe32(header + 4));
  picture->height = static_cast<std::int32_t>(LoadLe32(header + 8));
  picture->bit_count = LoadLe16(header + 14);
  picture->compression = LoadLe32(header + 16);
  const std::uint32_t colours_used = LoadLe32(header + 32);
  if (picture->width <= 0 || picture->height == 0 || picture->height == INT32_MIN || !KnownBitCount(picture->bit_count)) {
    return kBadPicture;
  }
  const std::uint64_t colours =
      colours_used != 0 ? colours_used : picture->bit_count <= 8 ? std::uint64_t{1} << picture->bit_count : 0;
  if (40 + 4 * colours > info_block->size) return kBadPicture;
  picture->colours_used = static_cast<std::uint32_t>(colours);
  picture->colour_table.resize(static_cast<std::size_t>(colours));
  for (std::size_t i = 0; i < colours; ++i) picture->colour_table[i] = LoadLe32(header + 40 + 4 * i);

  const std::uint64_t row_bytes = picture->bit_count >= 16
                                      ? static_cast<std::uint64_t>(picture->width) * picture->bit_count / 8
                                      : (static_cast<std::uint64_t>(picture->width) * picture->bit_count + 7) / 8;
  const std::uint64_t row_size = (row_bytes + 3) / 4 * 4;
  const std::uint64_t rows = static_cast<std::uint64_t>(std::abs(static_cast<std::int64_t>(picture->height)));
  if (row_size * rows > bits_block->size) return kBadPicture;
  picture->image_size = static_cast<std::uint32_t>(row_size * rows);
  const std::uint8_t* pixels = SusieBlockData(bits_block.get());
  bits_.assign(pixels, pixels + picture->image_size);
  byte_count_ = info_block->size + bits_block->size;
  row_pitch_ = static_cast<std::uint32_t>(row_size);
  info_ = std::move(picture);
  return 0;
}

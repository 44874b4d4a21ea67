#include "pixel/formats/decoded_picture_conversions.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/numbers/little_endian.h"

namespace {

constexpr std::uint32_t kFormatArgb1555 = 64;
constexpr std::uint32_t kFormatArgb4444 = 128;
constexpr std::uint32_t kFormatArgb8888 = 256;

bool Indexed(std::uint32_t bit_count) { return bit_count <= 8; }

bool Convertible(const DibInfo& info) {
  switch (info.bit_count) {
    case 1:
    case 16:
    case 24:
    case 32:
      return true;
    case 4:
    case 8:
      return info.compression == 0;
    default:
      return false;
  }
}

bool InsidePicture(const plat::Rect& rect, const DecodedSource& source) {
  const std::int64_t width = rect.Width();
  const std::int64_t height = rect.Height();
  const std::int64_t row_bytes = (source.info.width * static_cast<std::int64_t>(source.info.bit_count) + 7) / 8;
  return width >= 0 && height >= 0 && source.x >= 0 && source.y >= 0 && source.x + width <= source.info.width &&
         source.y + height <= source.info.height && source.pitch >= row_bytes;
}

// The colour table as 256 words; entries the picture does not list stay 0.
std::array<std::uint32_t, 256> FullColourTable(const DibInfo& info) {
  std::array<std::uint32_t, 256> table{};
  const std::size_t count = std::min({ListedColourCount(info), info.colour_table.size(), table.size()});
  std::copy_n(info.colour_table.begin(), count, table.begin());
  return table;
}

// The raw value of pixel x of a picture row: an index, a 5-5-5 word, 0x00RRGGBB or the whole word.
std::uint32_t ReadPixel(const std::uint8_t* row, std::int32_t x, std::uint32_t bit_count) {
  const auto at = static_cast<std::size_t>(x);
  switch (bit_count) {
    case 1:
      return (row[at / 8] >> (7 - at % 8)) & 1u;
    case 4:
      return at % 2 != 0 ? row[at / 2] & 0x0Fu : static_cast<std::uint32_t>(row[at / 2] >> 4);
    case 8:
      return row[at];
    case 16:
      return LoadLe16(row + 2 * at);
    case 24:
      return static_cast<std::uint32_t>(row[3 * at]) | static_cast<std::uint32_t>(row[3 * at + 1]) << 8 |
             static_cast<std::uint32_t>(row[3 * at + 2]) << 16;
    default:
      return LoadLe32(row + 4 * at);
  }
}

// A 5-5-5 word as 0x00RRGGBB, each channel shifted left by 3.
std::uint32_t Expand555(std::uint32_t word) {
  return ((word >> 10) & 0x1F) << 19 | ((word >> 5) & 0x1F) << 11 | (word & 0x1F) << 3;
}

std::uint8_t Grey(std::uint32_t rgb) {
  const std::uint32_t red = (rgb >> 16) & 0xFF;
  const std::uint32_t green = (rgb >> 8) & 0xFF;
  const std::uint32_t blue = rgb & 0xFF;
  return static_cast<std::uint8_t>((77 * red + 150 * green + 29 * blue) >> 8);
}

std::uint16_t Nibbles(std::uint32_t argb) {
  return static_cast<std::uint16_t>(((argb >> 28) & 0xF) << 12 | ((argb >> 20) & 0xF) << 8 |
                                    ((argb >> 12) & 0xF) << 4 | ((argb >> 4) & 0xF));
}

// Walks the rectangle: destination row r reads picture row (height - y - 1 - r).
template <class Put>
bool ConvertRect(std::uint8_t* pixels, const plat::Rect& rect, std::int32_t pitch, const DecodedSource& source,
                 Put put) {
  if (!Convertible(source.info) || !InsidePicture(rect, source)) return false;
  for (std::int32_t r = 0; r < rect.Height(); ++r) {
    const std::int64_t picture_row = static_cast<std::int64_t>(source.info.height) - source.y - 1 - r;
    const std::uint8_t* row = source.bits + picture_row * source.pitch;
    std::uint8_t* out = pixels + static_cast<std::int64_t>(rect.top + r) * pitch;
    for (std::int32_t c = 0; c < rect.Width(); ++c) {
      put(out, rect.left + c, ReadPixel(row, source.x + c, source.info.bit_count));
    }
  }
  return true;
}

void Store32(std::uint8_t* row, std::int32_t x, std::uint32_t value) {
  StoreLe32(row + 4 * static_cast<std::size_t>(x), value);
}

}  // namespace

bool ConvertDecodedTo32(std::uint8_t* pixels, const plat::Rect& rect, std::int32_t pitch, const DecodedSource& source) {
  const auto table = FullColourTable(source.info);
  const std::uint32_t bit_count = source.info.bit_count;
  return ConvertRect(pixels, rect, pitch, source, [&](std::uint8_t* row, std::int32_t x, std::uint32_t raw) {
    if (Indexed(bit_count)) return Store32(row, x, table[raw]);
    if (bit_count == 16) return Store32(row, x, Expand555(raw));
    Store32(row, x, raw & 0x00FFFFFF);
  });
}

bool ConvertDibTo32(std::uint8_t* pixels, const plat::Rect& rect, std::int32_t pitch, const DecodedSource& source) {
  const auto table = FullColourTable(source.info);
  const std::uint32_t bit_count = source.info.bit_count;
  return ConvertRect(pixels, rect, pitch, source, [&](std::uint8_t* row, std::int32_t x, std::uint32_t raw) {
    if (Indexed(bit_count)) return Store32(row, x, table[raw] | 0xFF000000);
    if (bit_count == 16) return Store32(row, x, Expand555(raw) | 0xFF000000);
    Store32(row, x, bit_count == 24 ? raw | 0xFF000000 : raw);
  });
}

bool ConvertDecodedToNative(std::uint8_t* pixels, const plat::Rect& rect, std::int32_t pitch,
                            const DecodedSource& source) {
  const std::uint32_t bit_count = source.info.bit_count;
  return ConvertRect(pixels, rect, pitch, source, [&](std::uint8_t* row, std::int32_t x, std::uint32_t raw) {
    const auto at = static_cast<std::size_t>(x);
    if (Indexed(bit_count)) {
      row[at] = static_cast<std::uint8_t>(raw);
    } else {
      row[at] = Grey(bit_count == 16 ? Expand555(raw) : raw);
    }
  });
}

bool ConvertDecodedToArgb4444(std::uint8_t* pixels, const plat::Rect& rect, std::int32_t pitch,
                              const DecodedSource& source) {
  std::array<std::uint16_t, 256> table{};
  const auto colours = FullColourTable(source.info);
  for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::uint16_t>(0xF000 | Nibbles(colours[i]));
  const std::uint32_t bit_count = source.info.bit_count;
  return ConvertRect(pixels, rect, pitch, source, [&](std::uint8_t* row, std::int32_t x, std::uint32_t raw) {
    std::uint16_t word = 0;
    if (Indexed(bit_count)) {
      word = table[raw];
    } else if (bit_count == 16) {
      word =
          static_cast<std::uint16_t>(0xF000 | ((raw >> 11) & 0xF) << 8 | ((raw >> 6) & 0xF) << 4 | ((raw >> 1) & 0xF));
    } else {
      word = bit_count == 32 ? Nibbles(raw) : static_cast<std::uint16_t>(0xF000 | Nibbles(raw));
    }
    StoreLe16(row + 2 * static_cast<std::size_t>(x), word);
  });
}

namespace {

std::uint32_t Argb1555(std::uint32_t c) {
  return ((c >> 9) & 0x7C00) | ((c >> 6) & 0x3E0) | ((c >> 3) & 0x1F) | ((c >> 16) & 0x8000);
}

bool KnownSurfaceFormat(std::uint32_t format) {
  return format == kFormatArgb1555 || format == kFormatArgb4444 || format == kFormatArgb8888;
}

template <class Put>
void WalkSurface(const SurfaceRect& surface, const PlaneSource& source, std::size_t source_unit, Put put) {
  for (std::int32_t r = 0; r < surface.height; ++r) {
    std::uint8_t* out = surface.pixels + static_cast<std::int64_t>(surface.y + r) * surface.pitch;
    const std::uint8_t* in = source.pixels + static_cast<std::int64_t>(source.y + r) * source.pitch +
                             static_cast<std::int64_t>(source.x) * static_cast<std::int64_t>(source_unit);
    for (std::int32_t c = 0; c < surface.width; ++c) {
      put(out, static_cast<std::size_t>(surface.x + c), in + static_cast<std::size_t>(c) * source_unit);
    }
  }
}

}  // namespace

std::uint32_t CopyToSurface32(std::uint32_t format, const SurfaceRect& surface, const PlaneSource& source) {
  if (!KnownSurfaceFormat(format)) return 1;
  WalkSurface(surface, source, 4, [format](std::uint8_t* row, std::size_t x, const std::uint8_t* pixel) {
    const std::uint32_t c = LoadLe32(pixel);
    if (format == kFormatArgb8888) return StoreLe32(row + 4 * x, c);
    StoreLe16(row + 2 * x, static_cast<std::uint16_t>(format == kFormatArgb1555 ? Argb1555(c) : Nibbles(c)));
  });
  return 0;
}

std::uint32_t CopyAlphaPlaneToSurface(std::uint32_t format, const SurfaceRect& surface, const PlaneSource& plane) {
  if (!KnownSurfaceFormat(format)) return 1;
  WalkSurface(surface, plane, 1, [format](std::uint8_t* row, std::size_t x, const std::uint8_t* alpha) {
    if (format == kFormatArgb8888) {
      row[4 * x + 3] = *alpha;
      return;
    }
    const std::uint16_t word = LoadLe16(row + 2 * x);
    const auto kept = format == kFormatArgb1555 ? (word & 0x7FFF) | ((*alpha & 0x80) << 8)
                                                : (word & 0x0FFF) | ((*alpha & 0xF0) << 8);
    StoreLe16(row + 2 * x, static_cast<std::uint16_t>(kept));
  });
  return 0;
}

void Reduce32To8(std::uint8_t* pixels, std::int32_t pitch, std::int32_t width, std::int32_t height) {
  for (std::int32_t j = 0; 4 * j + 3 < height; ++j) {
    std::uint8_t* out = pixels + static_cast<std::int64_t>(j) * pitch;
    for (std::int32_t i = 0; i < width; ++i) {
      std::uint32_t sum = 0;
      for (std::int32_t k = 0; k < 4; ++k) {
        const std::uint8_t* word = pixels + static_cast<std::int64_t>(4 * j + k) * pitch + 4 * i;
        sum += static_cast<std::uint32_t>(word[0] + word[1] + word[2] + word[3]);
      }
      const std::uint32_t s = sum & 0xFF;
      out[i] = static_cast<std::uint8_t>(s | ((s >> 3) & 7));
    }
  }
}

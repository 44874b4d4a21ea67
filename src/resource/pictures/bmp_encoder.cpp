// The BMP writer of CBmpDecoder: uncompressed 8-, 24- and 32-bit files, bottom row first.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <new>
#include <vector>

#include "base/numbers/byte_cursor.h"
#include "resource/pictures/bmp_decoder.h"
#include "resource/pictures/bmp_header.h"
#include "resource/plugins/decode_progress.h"

namespace {

constexpr std::uint32_t kPaletteEntries = 256;

// What one save writes: the file's bit count, and how a file row is made of an image row.
enum class RowForm { kAsTheyAre, kDropAlpha, kAlphaOnly };

struct SaveForm {
  std::uint32_t file_bits;
  RowForm rows;
};

// The form of a save, or nothing for a mode that does not exist or does not fit the bit count.
std::optional<SaveForm> FormOf(std::uint32_t mode, std::uint32_t bit_count) {
  switch (mode) {
    case CBmpDecoder::kSaveColours:
      return bit_count == 32 ? SaveForm{24, RowForm::kDropAlpha} : SaveForm{bit_count, RowForm::kAsTheyAre};
    case CBmpDecoder::kSaveWithAlpha:
      return SaveForm{32, RowForm::kAsTheyAre};
    case CBmpDecoder::kSaveAlpha:
      return SaveForm{8, RowForm::kAlphaOnly};
    default:
      return std::nullopt;
  }
}

std::vector<std::uint8_t> Headers(std::int32_t width, std::uint32_t rows, std::uint32_t file_bits,
                                  std::uint32_t row_size, const std::uint8_t* palette) {
  const std::uint32_t colours = file_bits == 8 ? kPaletteEntries : 0;
  const std::uint32_t pixel_offset = kBmpHeadersSize + 4 * colours;
  const std::uint32_t image_size = row_size * rows;
  ByteWriter writer;
  writer.Reserve(pixel_offset);
  writer.Byte('B');
  writer.Byte('M');
  writer.Word(pixel_offset + image_size);
  writer.Word(0);  // both reserved words
  writer.Word(pixel_offset);
  writer.Word(kBmpInfoHeaderSize);
  writer.Word(static_cast<std::uint32_t>(width));
  writer.Word(rows);
  writer.Word16(1);
  writer.Word16(static_cast<std::uint16_t>(file_bits));
  writer.Word(kBmpRgb);
  writer.Word(image_size);
  for (int i = 0; i < 4; ++i) writer.Word(0);  // resolution and colour counts
  for (std::uint32_t i = 0; i < colours; ++i) {
    if (palette != nullptr) {
      for (std::uint32_t b = 0; b < 4; ++b) writer.Byte(palette[4 * i + b]);
    } else {
      writer.Word(i * 0x010101u);
    }
  }
  return writer.Take();
}

// One file row of `row_size` bytes from an image row; padding stays zero.
void MakeRow(RowForm form, const std::uint8_t* in, std::int32_t width, std::uint32_t bytes_per_pixel,
             std::uint8_t* out) {
  const auto pixels = static_cast<std::size_t>(width);
  switch (form) {
    case RowForm::kAsTheyAre:
      std::copy_n(in, pixels * bytes_per_pixel, out);
      break;
    case RowForm::kDropAlpha:
      for (std::size_t x = 0; x < pixels; ++x) std::copy_n(in + 4 * x, 3, out + 3 * x);
      break;
    case RowForm::kAlphaOnly:
      for (std::size_t x = 0; x < pixels; ++x) out[x] = in[4 * x + 3];
      break;
  }
}

}  // namespace

std::int32_t CBmpDecoder::Save(std::uint32_t mode, const std::uint8_t* pixels, std::int32_t width,
                               std::int32_t height, std::uint32_t bit_count, std::int32_t pitch, EncodeWriteFunc write,
                               void* write_argument, const std::uint8_t* palette, DecodeProgressFunc progress,
                               void* progress_argument) {
  if (pixels == nullptr || (bit_count != 8 && bit_count != 24 && bit_count != 32)) return kFailed;
  if (write == nullptr) return kBadArguments;
  if (mode != kSaveColours && bit_count != 32) return kUnsupportedMode;
  const std::optional<SaveForm> form = FormOf(mode, bit_count);
  if (!form) return kUnsupportedMode;
  const std::uint32_t bytes_per_pixel = bit_count / 8;
  // Every row read must lie inside its image row, whose bytes the pitch bounds.
  if (width <= 0 || height == 0 || height == INT32_MIN || pitch < static_cast<std::int64_t>(width) * bytes_per_pixel) {
    return kFailed;
  }
  const std::uint64_t row_bytes = (static_cast<std::uint64_t>(width) * form->file_bits + 31) / 32 * 4;
  const std::uint32_t rows = static_cast<std::uint32_t>(height > 0 ? height : -height);
  if (row_bytes * rows > UINT32_MAX - kBmpHeadersSize - 4 * kPaletteEntries) return kFailed;
  const auto row_size = static_cast<std::uint32_t>(row_bytes);

  try {
    const std::vector<std::uint8_t> headers = Headers(width, rows, form->file_bits, row_size, palette);
    if (!write(headers.data(), headers.size(), write_argument)) return kFailed;
    if (ProgressCancels(progress, 0, static_cast<std::int32_t>(rows), progress_argument)) return kCancelled;
    std::vector<std::uint8_t> row(row_size, 0);
    for (std::uint32_t r = 0; r < rows; ++r) {
      // The file's bottom row first: the last image row of a top-down image.
      const std::uint32_t image_row = height > 0 ? rows - 1 - r : r;
      MakeRow(form->rows, pixels + static_cast<std::size_t>(image_row) * static_cast<std::size_t>(pitch), width,
              bytes_per_pixel, row.data());
      if (!write(row.data(), row.size(), write_argument)) return kFailed;
      if (ProgressCancels(progress, static_cast<std::int32_t>(r + 1), static_cast<std::int32_t>(rows),
                          progress_argument)) {
        return kCancelled;
      }
    }
    return kDone;
  } catch (const std::bad_alloc&) {
    return kNoMemory;
  } catch (...) {
    return kFailed;
  }
}

#include "resource/pictures/bmp_run_length.h"

namespace {

constexpr std::uint8_t kEndOfLine = 0;
constexpr std::uint8_t kEndOfBitmap = 1;
constexpr std::uint8_t kDelta = 2;

class RowWriter {
 public:
  RowWriter(std::uint32_t bits_per_pixel, std::uint32_t width, std::uint32_t rows, std::uint8_t* pixels,
            std::size_t pitch)
      : four_bit_(bits_per_pixel == 4), width_(width), rows_(rows), pixels_(pixels), pitch_(pitch) {}

  // False when the pixel would fall outside the picture.
  bool Put(std::uint8_t index) {
    if (y_ >= rows_ || x_ >= width_) return false;
    std::uint8_t* row = pixels_ + y_ * pitch_;
    if (!four_bit_) {
      row[x_] = index;
    } else if (x_ % 2 == 0) {
      row[x_ / 2] = static_cast<std::uint8_t>((row[x_ / 2] & 0x0F) | index << 4);
    } else {
      row[x_ / 2] = static_cast<std::uint8_t>((row[x_ / 2] & 0xF0) | (index & 0x0F));
    }
    ++x_;
    return true;
  }
  void NextLine() {
    ++y_;
    x_ = 0;
  }
  bool FourBit() const { return four_bit_; }

 private:
  bool four_bit_;
  std::uint32_t width_;
  std::uint32_t rows_;
  std::uint8_t* pixels_;
  std::size_t pitch_;
  std::size_t x_ = 0;
  std::size_t y_ = 0;
};

// Pixel i of a run or of absolute bytes: the byte itself, or its high then low nibble.
std::uint8_t PixelOf(const RowWriter& writer, std::uint8_t value, std::size_t i) {
  if (!writer.FourBit()) return value;
  return i % 2 == 0 ? static_cast<std::uint8_t>(value >> 4) : static_cast<std::uint8_t>(value & 0x0F);
}

}  // namespace

RunLengthStatus ExpandBmpRunLength(const std::uint8_t* data, std::size_t size, std::uint32_t bits_per_pixel,
                                   std::uint32_t width, std::uint32_t rows, std::uint8_t* pixels, std::size_t pitch) {
  RowWriter writer(bits_per_pixel, width, rows, pixels, pitch);
  std::size_t at = 0;
  while (at < size) {
    if (size - at < 2) return RunLengthStatus::kBroken;
    const std::uint8_t count = data[at];
    const std::uint8_t value = data[at + 1];
    at += 2;
    if (count != 0) {
      for (std::size_t i = 0; i < count; ++i) {
        if (!writer.Put(PixelOf(writer, value, i))) return RunLengthStatus::kBroken;
      }
      continue;
    }
    if (value == kEndOfLine) {
      writer.NextLine();
    } else if (value == kEndOfBitmap) {
      return RunLengthStatus::kDone;
    } else if (value == kDelta) {
      return RunLengthStatus::kDelta;
    } else {
      const std::size_t bytes = writer.FourBit() ? (value + 1u) / 2 : value;
      const std::size_t padded = (bytes + 1) / 2 * 2;
      if (size - at < padded) return RunLengthStatus::kBroken;
      for (std::size_t i = 0; i < value; ++i) {
        const std::uint8_t byte = data[at + (writer.FourBit() ? i / 2 : i)];
        if (!writer.Put(PixelOf(writer, byte, i))) return RunLengthStatus::kBroken;
      }
      at += padded;
    }
  }
  return RunLengthStatus::kDone;
}

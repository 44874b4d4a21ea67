#include "resource/pictures/elg_unpack.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Unpacks an 8-bit stream into `size` bytes; the bytes, or nothing when the stream fails. Also
// says how many stream bytes were used.
struct Unpacked8 {
  bool ok;
  Bytes output;
  std::size_t used;
};

Unpacked8 Run8(const Bytes& stream, std::size_t size) {
  Bytes output(size, 0xEE);
  const std::uint8_t* after = UnpackElg8(stream.data(), stream.data() + stream.size(), output.data(), size);
  return {after != nullptr, output, after != nullptr ? static_cast<std::size_t>(after - stream.data()) : 0};
}

struct UnpackedColour {
  bool ok;
  Bytes output;
};

UnpackedColour RunColour(const Bytes& stream, std::size_t width, std::size_t pixels) {
  Bytes output(pixels * 4, 0xEE);
  const std::uint8_t* after =
      UnpackElgRgb(stream.data(), stream.data() + stream.size(), output.data(), width, pixels);
  return {after != nullptr, output};
}

TEST(ElgUnpack8, LiteralsRunsAndOverlappingCopies) {
  Bytes long_literal = {0x20, 0x00};
  for (std::uint8_t i = 0; i < 33; ++i) long_literal.push_back(i);
  long_literal.push_back(0xFF);
  const Unpacked8 literal = Run8(long_literal, 33);
  ASSERT_TRUE(literal.ok);
  EXPECT_EQ(literal.output[32], 32);
  EXPECT_EQ(literal.used, long_literal.size());

  const Unpacked8 run = Run8({0x40, 9, 0xFF}, 3);
  ASSERT_TRUE(run.ok);
  EXPECT_EQ(run.output, (Bytes{9, 9, 9}));

  // Offset 1 repeats the byte just written; 0x80 copies two bytes from offset 2 (b1 0).
  const Unpacked8 copies = Run8({0x01, 4, 5, 0xC0, 0x80, 0x00, 0xFF}, 5);
  ASSERT_TRUE(copies.ok);
  EXPECT_EQ(copies.output, (Bytes{4, 5, 5, 5, 5}));
}

TEST(ElgUnpack8, EmptyStreamEndsRightAfterItsEndByte) {
  const Bytes streams = {0xFF, 0x00, 7, 0xFF};
  Bytes first(1, 0xEE);
  const std::uint8_t* second = UnpackElg8(streams.data(), streams.data() + streams.size(), first.data(), 1);
  ASSERT_EQ(second, streams.data() + 1);
  EXPECT_EQ(first[0], 0xEE);
  const std::uint8_t* after = UnpackElg8(second, streams.data() + streams.size(), first.data(), 1);
  EXPECT_EQ(after, streams.data() + streams.size());
  EXPECT_EQ(first[0], 7);
}

TEST(ElgUnpack8, DamagedStreamsFailWithoutWritingOutside) {
  EXPECT_FALSE(Run8({0x02, 1, 2, 3}, 8).ok) << "no end byte";
  EXPECT_FALSE(Run8({0x05, 1, 2}, 8).ok) << "literal cut off";
  EXPECT_FALSE(Run8({0x60}, 8).ok) << "run cut off";
  EXPECT_FALSE(Run8({0x43, 1, 0xFF}, 5).ok) << "run of 6 into 5 bytes";
  EXPECT_FALSE(Run8({0x00, 1, 0x80, 0x00, 0xFF}, 8).ok) << "offset 2 with one byte written";
  EXPECT_FALSE(Run8({0xC0, 0xFF}, 8).ok) << "copy before anything was written";
  EXPECT_FALSE(Run8({0x00, 1, 0xE0, 0xFF}, 8).ok) << "offset 2 after one byte";
  const Unpacked8 overflow = Run8({0x00, 1, 0x8F, 0x00, 0xFF}, 4);
  EXPECT_FALSE(overflow.ok) << "copy of 17 into 4 bytes";
}

TEST(ElgUnpackColour, RunsCopiesAndPixelsFromAbove) {
  const UnpackedColour run = RunColour({0x40, 1, 2, 3, 0xFF}, 2, 2);
  ASSERT_TRUE(run.ok);
  EXPECT_EQ(run.output, (Bytes{1, 2, 3, 0, 1, 2, 3, 0}));

  // Row 0: A B; row 1: D0 takes A (straight above), E0 takes the pixel before B's above, i.e. A.
  const UnpackedColour above = RunColour({0x01, 1, 1, 1, 2, 2, 2, 0xD0, 0xE0, 0xFF}, 2, 4);
  ASSERT_TRUE(above.ok);
  EXPECT_EQ(above.output, (Bytes{1, 1, 1, 0, 2, 2, 2, 0, 1, 1, 1, 0, 1, 1, 1, 0}));

  const UnpackedColour right = RunColour({0x01, 1, 1, 1, 2, 2, 2, 0xF0, 0xFF}, 2, 3);
  ASSERT_TRUE(right.ok);
  EXPECT_EQ(Bytes(right.output.begin() + 8, right.output.end()), (Bytes{2, 2, 2, 0}));
}

TEST(ElgUnpackColour, DamagedStreamsFail) {
  EXPECT_FALSE(RunColour({0xD0, 0xFF}, 2, 4).ok) << "above the first row";
  EXPECT_FALSE(RunColour({0x00, 1, 1, 1, 0xF0, 0xFF}, 1, 4).ok) << "right of above is the pixel being written";
  EXPECT_FALSE(RunColour({0x00, 1, 1, 1, 0xB0, 0xFF}, 4, 4).ok) << "offset 2 after one pixel";
  EXPECT_FALSE(RunColour({0x00, 1, 1}, 4, 4).ok) << "pixel cut off";
  EXPECT_FALSE(RunColour({0x41, 1, 1, 1, 0xFF}, 4, 2).ok) << "run of 3 into 2 pixels";
  EXPECT_FALSE(RunColour({0x00, 1, 1, 1, 0xA0, 0, 0, 0, 0xFF}, 4, 8).ok) << "far copy before the start";
}

TEST(ElgUnpackVariants, BottomUpBitmapsAndRowsHoldTheSamePicture) {
  // 3 x 2: row 0 = 1 2 3, row 1 = copies from offsets 3, 3 and 1: 1 2 2.
  const Bytes stream = {0x02, 1, 2, 3, 0xC2, 0xC2, 0xC0, 0xFF};
  const std::uint8_t* end = stream.data() + stream.size();
  Bytes dib(8, 0xEE);
  ASSERT_NE(UnpackElg8ToDib(stream.data(), end, dib.data(), 3, 2, 4), nullptr);
  EXPECT_EQ(dib, (Bytes{1, 2, 2, 0xEE, 1, 2, 3, 0xEE}));
  Bytes rows(10, 0xEE);
  ASSERT_NE(UnpackElg8ToRows(stream.data(), end, rows.data(), 3, 2, 5), nullptr);
  EXPECT_EQ(rows, (Bytes{1, 2, 3, 0xEE, 0xEE, 1, 2, 2, 0xEE, 0xEE}));
}

TEST(ElgUnpackVariants, IndexedPixelsTakeThePaletteEntryAndTheGivenAlpha) {
  Bytes palette(1024, 0);
  palette[4 * 2 + 0] = 10;
  palette[4 * 2 + 1] = 20;
  palette[4 * 2 + 2] = 30;
  palette[4 * 2 + 3] = 40;
  const Bytes stream = {0x00, 2, 0xC0, 0xFF};
  Bytes pixels(8, 0xEE);
  ASSERT_NE(UnpackElgIndexedTo32(stream.data(), stream.data() + stream.size(), pixels.data(), 2, palette.data(), 7),
            nullptr);
  EXPECT_EQ(pixels, (Bytes{10, 20, 30, 7, 10, 20, 30, 7}));
}

// A stream of a literal of `literal` units of `unit_bytes` random bytes, then back-copies with the
// long-copy op (0x90: offset = low nibble * 256 + b1 + `offset_bias`, length = b2 + `length_bias`)
// at every offset up to `longest_offset`, each longer than its offset where `overlap` asks, so that
// the copy repeats what it writes. `reference` gets the units as a copy one unit at a time makes
// them.
Bytes BackCopyStream(std::size_t unit_bytes, std::size_t offset_bias, std::size_t length_bias,
                     std::size_t longest_offset, std::vector<Bytes>& reference) {
  std::mt19937 random(3);
  Bytes stream = {0x1F};
  for (int i = 0; i < 32; ++i) {
    Bytes unit(unit_bytes);
    for (std::uint8_t& byte : unit) byte = static_cast<std::uint8_t>(random());
    stream.insert(stream.end(), unit.begin(), unit.end());
    reference.push_back(unit);
  }
  for (std::size_t offset = offset_bias; offset <= longest_offset; ++offset) {
    for (const std::size_t length : {length_bias, offset - 1, offset, offset + 1, 2 * offset + 3}) {
      if (length < length_bias || length > 255 + length_bias || offset > reference.size()) continue;
      stream.push_back(0x90);
      stream.push_back(static_cast<std::uint8_t>(offset - offset_bias));
      stream.push_back(static_cast<std::uint8_t>(length - length_bias));
      for (std::size_t i = 0; i < length; ++i) reference.push_back(reference[reference.size() - offset]);
    }
  }
  stream.push_back(0xFF);
  return stream;
}

TEST(ElgUnpackVariants, BackCopiesAtEveryOffsetMatchACopyOneUnitAtATime) {
  std::vector<Bytes> bytes;
  const Bytes stream8 = BackCopyStream(1, 3, 4, 40, bytes);
  const std::uint8_t* end8 = stream8.data() + stream8.size();
  const std::size_t count = bytes.size();
  Bytes consecutive(count);
  ASSERT_NE(UnpackElg8(stream8.data(), end8, consecutive.data(), count), nullptr);
  // Rows of 7 with padding, top-down and bottom-up: copies cross row ends at every point.
  const std::size_t width = 7;
  const std::size_t height = (count + width - 1) / width;
  Bytes rows(height * 9, 0xEE);
  Bytes dib(height * 8, 0xEE);
  ASSERT_NE(UnpackElg8ToRows(stream8.data(), end8, rows.data(), width, height, 9), nullptr);
  ASSERT_NE(UnpackElg8ToDib(stream8.data(), end8, dib.data(), width, height, 8), nullptr);
  Bytes alpha(count * 4, 0xEE);
  ASSERT_NE(UnpackElgAlpha(stream8.data(), end8, alpha.data(), count), nullptr);
  for (std::size_t n = 0; n < count; ++n) {
    ASSERT_EQ(consecutive[n], bytes[n][0]) << n;
    ASSERT_EQ(alpha[4 * n + 3], bytes[n][0]) << n;
    ASSERT_EQ(alpha[4 * n], 0xEE) << n;
    ASSERT_EQ(rows[n / width * 9 + n % width], bytes[n][0]) << n;
    ASSERT_EQ(dib[(height - 1 - n / width) * 8 + n % width], bytes[n][0]) << n;
  }

  std::vector<Bytes> pixels;
  const Bytes colour = BackCopyStream(3, 2, 1, 40, pixels);
  const std::uint8_t* colour_end = colour.data() + colour.size();
  const std::size_t pixel_count = pixels.size();
  const std::size_t pixel_rows = (pixel_count + width - 1) / width;
  Bytes rgb_rows(pixel_rows * 32, 0xEE);
  Bytes dib24(pixel_rows * 24, 0xEE);
  ASSERT_NE(UnpackElgRgbRows(colour.data(), colour_end, rgb_rows.data(), width, pixel_rows, 32), nullptr);
  ASSERT_NE(UnpackElgRgbToDib24(colour.data(), colour_end, dib24.data(), width, pixel_rows, 24), nullptr);
  for (std::size_t n = 0; n < pixel_count; ++n) {
    const Bytes expected = {pixels[n][0], pixels[n][1], pixels[n][2], 0};
    const std::size_t row = n / width;
    ASSERT_EQ(Bytes(rgb_rows.begin() + static_cast<long>(row * 32 + n % width * 4),
                    rgb_rows.begin() + static_cast<long>(row * 32 + n % width * 4 + 4)),
              expected)
        << n;
    const std::size_t at = (pixel_rows - 1 - row) * 24 + n % width * 3;
    ASSERT_EQ(Bytes(dib24.begin() + static_cast<long>(at), dib24.begin() + static_cast<long>(at + 3)),
              Bytes(expected.begin(), expected.begin() + 3))
        << n;
  }
}

}  // namespace

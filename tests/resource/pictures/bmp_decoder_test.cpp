#include "resource/pictures/bmp_decoder.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "base/numbers/little_endian.h"
#include "bmp_writer.h"
#include "elg_test_target.h"
#include "pixel/formats/decoded_picture_conversions.h"

using kvxtools::BmpFile;
using kvxtools::PadBmpRows;
using kvxtools::WriteBmp;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Pixels = std::vector<std::uint32_t>;

// Every case is a picture of 3 x 2 pixels; expected pixels are 32-bit words, top row first.
constexpr std::int32_t kWidth = 3;
constexpr std::int32_t kHeight = 2;

const std::vector<std::uint32_t> kSixColours = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080};

struct DecodeCase {
  std::string name;
  Bytes file;
  Pixels expected;
};

void PrintTo(const DecodeCase& c, std::ostream* out) { *out << c.name; }

Pixels Load32(CBmpDecoder& decoder, const Bytes& file, std::int32_t* status) {
  ElgTestTarget target;
  target.padding = 4;
  *status = decoder.Load(file.data(), file.size(), &ElgTestTarget::Create, &target, 0, nullptr, nullptr);
  Pixels pixels;
  const Bytes rows = target.Rows();
  for (std::size_t at = 0; at + 4 <= rows.size(); at += 4) pixels.push_back(LoadLe32(rows.data() + at));
  EXPECT_TRUE(*status != 0 || target.PaddingUntouched());
  return pixels;
}

Bytes LoadGrey(CBmpDecoder& decoder, const Bytes& file, ElgTestTarget& target) {
  EXPECT_EQ(decoder.Load(file.data(), file.size(), &ElgTestTarget::Create, &target, 1, nullptr, nullptr), 0);
  return target.Rows();
}

BmpFile Indexed(std::uint16_t bits, std::vector<std::uint32_t> table, std::uint32_t colours_used, Bytes rows) {
  BmpFile file;
  file.width = kWidth;
  file.height = kHeight;
  file.bit_count = bits;
  file.colour_table = std::move(table);
  file.colours_used = colours_used;
  file.pixels = std::move(rows);
  return file;
}

BmpFile TrueColour(std::uint16_t bits, std::uint32_t compression, Bytes rows) {
  BmpFile file;
  file.width = kWidth;
  file.height = kHeight;
  file.bit_count = bits;
  file.compression = compression;
  file.pixels = std::move(rows);
  return file;
}

std::vector<DecodeCase> DecodeCases() {
  std::vector<DecodeCase> cases;
  std::vector<std::uint32_t> sixteen(16, 0x123456);
  std::copy(kSixColours.begin(), kSixColours.end(), sixteen.begin());
  // Index rows bottom-up: bottom row {3, 4, 5}, top row {0, 1, 2}.
  cases.push_back({"one_bit", WriteBmp(Indexed(1, {0x102030, 0xF0E0D0}, 0, PadBmpRows({0b01100000, 0b10100000}, 1))),
                   {0xF0E0D0, 0x102030, 0xF0E0D0, 0x102030, 0xF0E0D0, 0xF0E0D0}});
  // clrUsed 0: the table has all sixteen entries; index 15 reads the last.
  cases.push_back({"four_bit_full_table", WriteBmp(Indexed(4, sixteen, 0, PadBmpRows({0x34, 0x5F, 0x01, 0x20}, 2))),
                   {kSixColours[0], kSixColours[1], kSixColours[2], kSixColours[3], kSixColours[4], kSixColours[5]}});
  cases.push_back({"eight_bit", WriteBmp(Indexed(8, kSixColours, 6, PadBmpRows({3, 4, 5, 0, 1, 2}, 3))), kSixColours});
  cases.push_back({"sixteen_bit_555",
                   WriteBmp(TrueColour(16, 0, PadBmpRows({0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00,  // red green blue
                                                          0xFF, 0x7F, 0x00, 0x00, 0x10, 0x42},  // white black grey
                                                         6))),
                   {0xFFFFFF & 0xF8F8F8, 0x000000, 0x808080, 0xF80000, 0x00F800, 0x0000F8}});
  cases.push_back({"twenty_four_bit",
                   WriteBmp(TrueColour(24, 0, PadBmpRows({0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 0x80, 0x80,  //
                                                          0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0},
                                                         9))),
                   kSixColours});
  Bytes with_alpha;
  for (const std::uint32_t colour : {0x11FFFFFFu, 0x22000000u, 0x33808080u, 0x44FF0000u, 0x5500FF00u, 0x660000FFu}) {
    with_alpha.resize(with_alpha.size() + 4);
    StoreLe32(with_alpha.data() + with_alpha.size() - 4, colour);
  }
  cases.push_back({"thirty_two_bit", WriteBmp(TrueColour(32, 0, with_alpha)),
                   {0x44FF0000, 0x5500FF00, 0x660000FF, 0x11FFFFFF, 0x22000000, 0x33808080}});
  // Bottom row as an absolute run, top row as repeats {0, 0} and {2}.
  BmpFile rle8 = Indexed(8, kSixColours, 6, {0, 3, 3, 4, 5, 0, 0, 0, 2, 0, 1, 2, 0, 1});
  rle8.compression = 1;
  cases.push_back({"rle8", WriteBmp(rle8),
                   {kSixColours[0], kSixColours[0], kSixColours[2], kSixColours[3], kSixColours[4], kSixColours[5]}});
  BmpFile rle4 = Indexed(4, kSixColours, 6, {0, 3, 0x34, 0x50, 0, 0, 2, 0x00, 1, 0x20, 0, 1});
  rle4.compression = 2;
  cases.push_back({"rle4", WriteBmp(rle4),
                   {kSixColours[0], kSixColours[0], kSixColours[2], kSixColours[3], kSixColours[4], kSixColours[5]}});
  // 5-6-5 bit fields: white reads as 248, 252, 248.
  BmpFile fields565 = TrueColour(16, 3, PadBmpRows({0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0, 0, 0, 0, 0}, 6));
  fields565.masks = {0xF800, 0x07E0, 0x001F};
  cases.push_back({"bit_fields_565", WriteBmp(fields565),
                   {0x0000F8, 0x000000, 0x000000, 0xF8FCF8, 0xF80000, 0x00FC00}});
  // 10-10-10 masks keep their top eight bits; an empty mask reads 0.
  BmpFile wide = TrueColour(32, 3, {});
  for (const std::uint32_t word : {0x3FF80001u, 0x00000000u, 0x200003FFu, 0x3FFFFFFFu, 0x000FFC00u, 0x10040100u}) {
    wide.pixels.resize(wide.pixels.size() + 4);
    StoreLe32(wide.pixels.data() + wide.pixels.size() - 4, word);
  }
  wide.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
  cases.push_back({"bit_fields_10_10_10", WriteBmp(wide),
                   {0xFFFFFF, 0x00FF00, 0x404040, 0xFF8000, 0x000000, 0x8000FF}});
  BmpFile no_green = TrueColour(32, 3, Bytes(24, 0xFF));
  no_green.masks = {0x00FF0000, 0, 0x000000FF};
  cases.push_back({"bit_fields_empty_mask", WriteBmp(no_green), Pixels(6, 0xFF00FF)});
  return cases;
}

class BmpDecodeForms : public testing::TestWithParam<DecodeCase> {};

TEST_P(BmpDecodeForms, LoadAndDecodeGiveThePixels) {
  const DecodeCase& c = GetParam();
  CBmpDecoder decoder;
  std::int32_t status = 0;
  EXPECT_EQ(Load32(decoder, c.file, &status), c.expected);
  EXPECT_EQ(status, 0);

  DibInfoBlock info;
  DibBits bits;
  ASSERT_EQ(decoder.Decode(c.file.data(), c.file.size(), &info, &bits, nullptr, nullptr), 0);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->compression, 0u);
  EXPECT_EQ(bits.size(), info->image_size);
  std::vector<std::uint8_t> out(kWidth * kHeight * 4);
  const DecodedSource source{*info, bits.data(), static_cast<std::int32_t>(DibRowPitch(kWidth, info->bit_count)), 0,
                             0};
  ASSERT_TRUE(info->bit_count == 32 ? ConvertDibTo32(out.data(), {0, 0, kWidth, kHeight}, kWidth * 4, source)
                                    : ConvertDecodedTo32(out.data(), {0, 0, kWidth, kHeight}, kWidth * 4, source));
  for (std::size_t i = 0; i < c.expected.size(); ++i) EXPECT_EQ(LoadLe32(out.data() + 4 * i), c.expected[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(Forms, BmpDecodeForms, testing::ValuesIn(DecodeCases()),
                         [](const auto& param_info) { return param_info.param.name; });

TEST(BmpDecoder, PalettizedLoadsGiveIndicesOrGrey) {
  CBmpDecoder decoder;
  BmpFile white = TrueColour(16, 3, PadBmpRows(Bytes(12, 0xFF), 6));
  for (std::size_t i = 1; i < white.pixels.size(); i += 2) white.pixels[i] = 0x7F;  // 0x7FFF
  white.masks = {0x7C00, 0x03E0, 0x001F};
  ElgTestTarget grey;
  EXPECT_EQ(LoadGrey(decoder, WriteBmp(white), grey), Bytes(6, 248));
  EXPECT_FALSE(grey.palette_asked);

  ElgTestTarget indexed;
  EXPECT_EQ(LoadGrey(decoder, WriteBmp(Indexed(8, kSixColours, 6, PadBmpRows({3, 4, 5, 0, 1, 2}, 3))), indexed),
            (Bytes{0, 1, 2, 3, 4, 5}));
  ASSERT_TRUE(indexed.palette_asked);
  EXPECT_EQ(LoadLe32(indexed.palette.data() + 4 * 5), 0x808080u);

  // A top-down file fills the target from its first row.
  BmpFile top_down = Indexed(8, kSixColours, 6, PadBmpRows({3, 4, 5, 0, 1, 2}, 3));
  top_down.height = -kHeight;
  ElgTestTarget flipped;
  EXPECT_EQ(LoadGrey(decoder, WriteBmp(top_down), flipped), (Bytes{3, 4, 5, 0, 1, 2}));
}

TEST(BmpDecoder, DamagedAndUnsupportedFilesGiveTheirStatuses) {
  CBmpDecoder decoder;
  auto decode = [&](const Bytes& file) {
    DibInfoBlock info;
    DibBits bits;
    return decoder.Decode(file.data(), file.size(), &info, &bits, nullptr, nullptr);
  };
  BmpFile delta = Indexed(8, kSixColours, 6, {0, 2, 1, 1, 0, 1});
  delta.compression = 1;
  EXPECT_EQ(decode(WriteBmp(delta)), CBmpDecoder::kBadRunLength);
  BmpFile overrun = Indexed(8, kSixColours, 6, {4, 1, 0, 1});  // a run past the row's end
  overrun.compression = 1;
  EXPECT_EQ(decode(WriteBmp(overrun)), CBmpDecoder::kBadRunLength);

  Bytes not_bmp = WriteBmp(TrueColour(24, 0, Bytes(24)));
  not_bmp[14] = 12;  // an old-style header
  EXPECT_EQ(decode(not_bmp), CBmpDecoder::kNotBmp);
  EXPECT_EQ(decode(Bytes{'B', 'M'}), CBmpDecoder::kNotBmp);
  EXPECT_EQ(decode(Bytes{'B', 'M', 0, 0, 40, 0, 0, 0}), CBmpDecoder::kNotBmp);
  EXPECT_EQ(decoder.Decode(nullptr, 0, nullptr, nullptr, nullptr, nullptr), CBmpDecoder::kFailed);
  DibInfoBlock info;
  EXPECT_EQ(decoder.Decode(not_bmp.data(), not_bmp.size(), &info, nullptr, nullptr, nullptr),
            CBmpDecoder::kBadArguments);
  EXPECT_EQ(decode(WriteBmp(TrueColour(24, 2, Bytes(24)))), CBmpDecoder::kFailed);  // RLE4 at 24 bits

  // Sizes the file cannot hold are refused before any target or block is made for them.
  BmpFile huge = TrueColour(24, 0, Bytes(24));
  huge.width = 60000;
  huge.height = 60000;
  BmpFile huge_rle = Indexed(8, kSixColours, 6, {0, 1});
  huge_rle.compression = 1;
  huge_rle.height = 100000;
  BmpFile short_table = Indexed(8, {}, 200, {});
  for (const Bytes& file : {WriteBmp(huge), WriteBmp(huge_rle), WriteBmp(short_table)}) {
    EXPECT_EQ(decode(file), CBmpDecoder::kFailed);
    ElgTestTarget target;
    EXPECT_EQ(decoder.Load(file.data(), file.size(), &ElgTestTarget::Create, &target, 0, nullptr, nullptr),
              CBmpDecoder::kFailed);
    EXPECT_TRUE(target.pixels.empty());
  }
}

// Saving: rows collected from the write callback.
bool Collect(const std::uint8_t* data, std::size_t size, void* argument) {
  auto& bytes = *static_cast<Bytes*>(argument);
  bytes.insert(bytes.end(), data, data + size);
  return true;
}

struct SavedImage {
  // 3 x 2 pixels, top row first, rows 16 bytes apart.
  Bytes pixels = Bytes(32, 0xEE);
  SavedImage() {
    const std::uint32_t colours[] = {0x10FF0000, 0x8000FF00, 0xF00000FF, 0x00FFFFFF, 0x40000000, 0xFF808080};
    for (std::size_t i = 0; i < 6; ++i) StoreLe32(pixels.data() + (i / 3) * 16 + (i % 3) * 4, colours[i]);
  }
  Bytes Save(std::uint32_t mode, std::int32_t height = kHeight, std::int32_t* status = nullptr) {
    Bytes file;
    CBmpDecoder encoder;
    const std::int32_t result =
        encoder.Save(mode, pixels.data(), kWidth, height, 32, 16, &Collect, &file, nullptr, nullptr, nullptr);
    if (status != nullptr) *status = result;
    EXPECT_EQ(result, 0);
    return file;
  }
};

TEST(BmpEncoder, SaveModesWriteColoursWholePixelsOrAlpha) {
  SavedImage image;
  CBmpDecoder decoder;
  std::int32_t status = 0;

  const Bytes colours = image.Save(CBmpDecoder::kSaveColours);
  EXPECT_EQ(LoadLe16(colours.data() + 28), 24);
  EXPECT_EQ(LoadLe32(colours.data() + 2), colours.size());
  EXPECT_EQ(LoadLe32(colours.data() + 10), 54u);
  EXPECT_EQ(colours.size(), 54u + 12 * 2);
  EXPECT_EQ(Load32(decoder, colours, &status),
            (Pixels{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080}));

  const Bytes whole = image.Save(CBmpDecoder::kSaveWithAlpha);
  EXPECT_EQ(LoadLe16(whole.data() + 28), 32);
  EXPECT_EQ(Load32(decoder, whole, &status),
            (Pixels{0x10FF0000, 0x8000FF00, 0xF00000FF, 0x00FFFFFF, 0x40000000, 0xFF808080}));

  const Bytes alpha = image.Save(CBmpDecoder::kSaveAlpha);
  EXPECT_EQ(LoadLe16(alpha.data() + 28), 8);
  EXPECT_EQ(LoadLe32(alpha.data() + 10), 54u + 1024);
  for (std::uint32_t i = 0; i < 256; ++i) ASSERT_EQ(LoadLe32(alpha.data() + 54 + 4 * i), i * 0x010101u);
  ElgTestTarget grey;
  EXPECT_EQ(LoadGrey(decoder, alpha, grey), (Bytes{0x10, 0x80, 0xF0, 0x00, 0x40, 0xFF}));

  // A negative height: the rows are bottom-up in memory and go out in memory order.
  const Bytes bottom_up = image.Save(CBmpDecoder::kSaveWithAlpha, -kHeight);
  EXPECT_EQ(LoadLe32(bottom_up.data() + 22), static_cast<std::uint32_t>(kHeight));
  EXPECT_EQ(Load32(decoder, bottom_up, &status),
            (Pixels{0x00FFFFFF, 0x40000000, 0xFF808080, 0x10FF0000, 0x8000FF00, 0xF00000FF}));
}

TEST(BmpEncoder, RefusedSaves) {
  SavedImage image;
  CBmpDecoder encoder;
  Bytes file;
  auto save = [&](std::uint32_t mode, std::uint32_t bits, EncodeWriteFunc write, std::int32_t pitch = 16) {
    return encoder.Save(mode, image.pixels.data(), kWidth, kHeight, bits, pitch, write, &file, nullptr, nullptr,
                        nullptr);
  };
  EXPECT_EQ(save(0, 16, &Collect), CBmpDecoder::kFailed);
  EXPECT_EQ(save(0, 4, &Collect), CBmpDecoder::kFailed);
  EXPECT_EQ(save(0, 32, nullptr), CBmpDecoder::kBadArguments);
  EXPECT_EQ(save(1, 24, &Collect), CBmpDecoder::kUnsupportedMode);
  EXPECT_EQ(save(3, 32, &Collect), CBmpDecoder::kUnsupportedMode);
  EXPECT_EQ(save(0, 32, &Collect, 8), CBmpDecoder::kFailed);  // a pitch shorter than a row
  EXPECT_TRUE(file.empty());
  EXPECT_EQ(save(0, 32, [](const std::uint8_t*, std::size_t, void*) { return false; }), CBmpDecoder::kFailed);
}

}  // namespace

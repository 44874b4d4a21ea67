#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "base/numbers/little_endian.h"
#include "elg_encoder.h"
#include "gfx/images/image.h"
#include "random_elg_picture.h"
#include "support/image_host_fixture.h"
#include "support/log_capture.h"
#include "support/peak_memory.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class ImageLoadingTest : public test_support::ImageHostTest {
 protected:
  kvxtools::ElgPicture WritePicture(const std::string& name, std::uint8_t depth, std::uint16_t width,
                                    std::uint16_t height) {
    kvxtools::ElgPicture picture = kvxtools::RandomElgPicture(depth, width, height, depth + width);
    picture.form = kvxtools::ElgHeaderForm::kRecords;
    picture.user_value0 = 5;
    picture.user_value1 = -6;
    picture.records = {{2, {7, 7}}};
    kvxtools::ElgEncodeOptions options;
    options.mix_seed = width;
    const Bytes file = kvxtools::EncodeElg(picture, options);
    game_.WriteFile(name, std::string(file.begin(), file.end()));
    return picture;
  }

  // The image's rows without padding.
  static Bytes Rows(const CImage& image) {
    Bytes rows;
    const std::size_t row_bytes = static_cast<std::size_t>(image.GetWidth()) * image.GetBitsPerPixel() / 8;
    for (std::int32_t y = 0; y < image.GetHeight(); ++y) {
      const std::uint8_t* row = image.GetRowPointer(y);
      rows.insert(rows.end(), row, row + row_bytes);
    }
    return rows;
  }

};

TEST_F(ImageLoadingTest, LoadFile32GivesThePictureWithItsValues) {
  for (const std::uint8_t depth : {std::uint8_t{8}, std::uint8_t{24}, std::uint8_t{32}}) {
    SCOPED_TRACE(static_cast<int>(depth));
    const std::string name = "pic" + std::to_string(depth) + ".elg";
    const kvxtools::ElgPicture picture = WritePicture(name, depth, 13, 7);
    CImage image;
    ASSERT_EQ(image.LoadFile32(name.c_str(), nullptr, 0, 0), 0u);
    EXPECT_EQ(image.GetBitsPerPixel(), 32);
    EXPECT_EQ(Rows(image), kvxtools::ElgPictureAs32(picture));
    EXPECT_EQ(image.GetAlphaFlag(), depth == 32 ? 1 : 0);
    EXPECT_EQ(static_cast<std::int32_t>(image.GetUserWord1()), -6);
    EXPECT_EQ(image.GetExtraData(), kvxtools::ElgRecordChainBytes(picture.records));
    EXPECT_TRUE(image.IsModified());
  }
}

TEST_F(ImageLoadingTest, LoadFileGivesIndicesAndPalette) {
  const kvxtools::ElgPicture picture = WritePicture("eight.elg", 8, 9, 4);
  CImage image;
  ASSERT_EQ(image.LoadFile("EIGHT.ELG", nullptr, 0, 0), 0u);
  EXPECT_EQ(image.GetBitsPerPixel(), 8);
  EXPECT_EQ(Rows(image), picture.pixels);
  ASSERT_NE(image.GetPalette(), nullptr);
  EXPECT_EQ(image.GetPalette()[3], LoadLe32(&picture.palette[12]));
}

TEST_F(ImageLoadingTest, CacheHitGivesTheSamePixelsAsADecode) {
  host_.SetCacheLimit(8);
  for (const std::uint8_t depth : {std::uint8_t{24}, std::uint8_t{32}}) {
    const std::string name = "hit" + std::to_string(depth) + ".elg";
    WritePicture(name, depth, 11, 6);
    CImage decoded;
    ASSERT_EQ(decoded.LoadFile32(name.c_str(), nullptr, 0, 0), 0u);
    ASSERT_EQ(host_.PreloadCachedImage(name.c_str()), 0);
    CImage cached;
    ASSERT_EQ(cached.LoadFile32(name.c_str(), nullptr, 0, 0), 0u);
    EXPECT_EQ(Rows(cached), Rows(decoded));
    EXPECT_EQ(cached.GetAlphaFlag(), decoded.GetAlphaFlag());
    EXPECT_EQ(cached.GetUserWord0(), decoded.GetUserWord0());
    EXPECT_EQ(cached.GetExtraData(), decoded.GetExtraData());
  }
  WritePicture("hit8.elg", 8, 5, 5);
  CImage decoded;
  ASSERT_EQ(decoded.LoadFile("hit8.elg", nullptr, 0, 0), 0u);
  ASSERT_EQ(host_.PreloadCachedImage("hit8.elg"), 0);
  CImage cached;
  ASSERT_EQ(cached.LoadFile("HIT8.ELG", nullptr, 0, 0), 0u);
  EXPECT_EQ(Rows(cached), Rows(decoded));
  EXPECT_EQ(std::memcmp(cached.GetPalette(), decoded.GetPalette(), 1024), 0);
  EXPECT_EQ(host_.GetCache().GetCount(), 3u);
  EXPECT_EQ(cached.LoadFile32("missing.elg", nullptr, 0, 0), 4u) << "a name the data-file layer cannot resolve";
}

TEST_F(ImageLoadingTest, LoadFileIntoFastPathAndDecoderPath) {
  const kvxtools::ElgPicture picture = WritePicture("into.elg", 24, 6, 3);
  const Bytes expected = kvxtools::ElgPictureAs32(picture);
  CImage image;
  ASSERT_EQ(image.Create(6, 5, 32, 0), 0u);
  ASSERT_EQ(image.LoadFileInto("into.elg", nullptr, 0, 0, 0, false), 0u);
  for (std::int32_t y = 0; y < 3; ++y) {
    EXPECT_EQ(Bytes(image.GetRowPointer(y), image.GetRowPointer(y) + 24),
              Bytes(expected.begin() + 24 * y, expected.begin() + 24 * (y + 1)));
  }

  // Placed at (4, 3) only a 2 x 2 corner lands, through the decoder (24 bits: alpha 0).
  CImage offset;
  ASSERT_EQ(offset.Create(6, 5, 32, 0), 0u);
  std::memset(offset.GetPixels(), 0, static_cast<std::size_t>(offset.GetPitch()) * 5);
  ASSERT_EQ(offset.LoadFileInto("into.elg", nullptr, 0, 4, 3, false), 0u);
  EXPECT_EQ(Bytes(offset.GetRowPointer(3) + 16, offset.GetRowPointer(3) + 24),
            (Bytes{expected[0], expected[1], expected[2], 0, expected[4], expected[5], expected[6], 0}));
  EXPECT_EQ(offset.GetRowPointer(2)[16], 0) << "above the picture nothing changed";

  CImage elsewhere;
  ASSERT_EQ(elsewhere.Create(6, 5, 32, 0), 0u);
  EXPECT_EQ(elsewhere.LoadFileInto("into.elg", nullptr, 0, 6, 0, false), 0xFFFFFFFFu);
  EXPECT_FALSE(elsewhere.IsModified());

  // A wider image than the picture: the decoder path at (0, 0).
  CImage wide;
  ASSERT_EQ(wide.Create(8, 3, 32, 0), 0u);
  std::memset(wide.GetPixels(), 0xEE, static_cast<std::size_t>(wide.GetPitch()) * 3);
  ASSERT_EQ(wide.LoadFileInto("into.elg", nullptr, 0, 0, 0, false), 0u);
  EXPECT_EQ(Bytes(wide.GetRowPointer(1), wide.GetRowPointer(1) + 24),
            Bytes(expected.begin() + 24, expected.begin() + 48));
  EXPECT_EQ(wide.GetRowPointer(1)[4 * 6], 0xEE) << "right of the picture nothing changed";

  CImage grey;
  ASSERT_EQ(grey.Create(6, 3, 8, 0), 0u);
  ASSERT_EQ(grey.LoadFileInto("into.elg", nullptr, 0, 0, 0, true), 0u);
  EXPECT_EQ(Rows(grey), kvxtools::ElgPictureAs8(picture));
  EXPECT_EQ(grey.LoadFileInto("none.elg", nullptr, 0, 0, 0, true), 2u);
  EXPECT_EQ(grey.LoadFileInto(nullptr, nullptr, 0, 0, 0, true), 2u);
  CImage empty;
  EXPECT_EQ(empty.LoadFileInto("into.elg", nullptr, 0, 0, 0, false), 1u);
}

// 196 KB of data may claim a picture of 4096 x 4096 at 32 bits, the bound of a picture's
// pixels. Its streams end at once, so the image is black, and only what was written costs memory.
// One pixel more, 673 x 24929, is refused before anything is allocated, with one line in the log.
TEST_F(ImageLoadingTest, AHugePictureOfLittleDataCostsOnlyWhatItWritesUpToTheBoundOfPixels) {
  const auto claiming = [](std::uint16_t width, std::uint16_t height) {
    Bytes file = {'E', 'L', 'G', 32, 0, 0, 0, 0, 0xFF, 0xFF};
    StoreLe16(&file[4], width);
    StoreLe16(&file[6], height);
    file.resize(196'000, 0);
    return file;
  };
  const Bytes at_bound = claiming(4096, 4096);
  const Bytes past_bound = claiming(673, 24929);
  for (const std::uint32_t flags : {0u, CImage::kUseDib}) {
    const std::optional<std::uint64_t> growth = test_support::PeakMemoryGrowth([&] {
      CImage image;
      if (image.LoadFile32(nullptr, at_bound.data(), static_cast<std::uint32_t>(at_bound.size()), flags) != 0 ||
          image.GetWidth() != 4096 || image.GetRowPointer(4095)[4 * 4095] != 0) {
        std::abort();
      }
    });
    ASSERT_TRUE(growth) << flags;
    EXPECT_LT(*growth, 32 * test_support::kMebibyte) << flags;

    LogCapture log;
    CImage refused;
    EXPECT_NE(refused.LoadFile32(nullptr, past_bound.data(), static_cast<std::uint32_t>(past_bound.size()), flags), 0u);
    EXPECT_EQ(refused.GetPixels(), nullptr);
    ASSERT_EQ(log.Lines().size(), 1u) << flags;
    EXPECT_NE(log.Last().find("16777217 asked for, at most 16777216"), std::string::npos) << log.Last();
  }
}

TEST_F(ImageLoadingTest, LoadFileByPluginDecodesIntoAnImageOfThePicturesSizeOnly) {
  const kvxtools::ElgPicture picture = WritePicture("same.elg", 32, 6, 5);
  CImage image;
  ASSERT_EQ(image.Create(6, 5, 32, 0), 0u);
  ASSERT_EQ(image.LoadFileByPlugin("same.elg", 0, 0), 0u) << "the loader chosen by the name";
  EXPECT_EQ(Rows(image), kvxtools::ElgPictureAs32(picture));
  EXPECT_TRUE(image.IsModified());
  CImage by_type;
  ASSERT_EQ(by_type.Create(6, 5, 32, 0), 0u);
  EXPECT_EQ(by_type.LoadFileByPlugin("same.elg", 0, 2), 0u) << "the ELG loader's type";
  EXPECT_EQ(Rows(by_type), Rows(image));
  EXPECT_EQ(by_type.LoadFileByPlugin("same.elg", 0, 77), 1u) << "no loader of that type";

  CImage smaller;
  ASSERT_EQ(smaller.Create(5, 5, 32, 0), 0u);
  const Bytes before = Rows(smaller);
  EXPECT_NE(smaller.LoadFileByPlugin("same.elg", 0, 0), 0u) << "a picture that does not fit";
  EXPECT_EQ(Rows(smaller), before);
  CImage empty;
  EXPECT_EQ(empty.LoadFileByPlugin("same.elg", 0, 0), 0xFFFFFFFCu);
  g_GllHost = nullptr;
  EXPECT_EQ(image.LoadFileByPlugin("same.elg", 0, 0), 1u);
}

TEST_F(ImageLoadingTest, WithoutHostOrPixels) {
  const Bytes file = kvxtools::EncodeElg(kvxtools::RandomElgPicture(24, 3, 3, 1));
  CImage image;
  ASSERT_EQ(image.LoadFile32(nullptr, file.data(), static_cast<std::uint32_t>(file.size()), 0), 0u)
      << "from a data block";
  EXPECT_EQ(image.GetWidth(), 3);
  g_GllHost = nullptr;
  CImage untouched;
  EXPECT_EQ(untouched.LoadFile32(nullptr, file.data(), static_cast<std::uint32_t>(file.size()), 0), 1u);
  EXPECT_EQ(untouched.GetPixels(), nullptr);
  EXPECT_EQ(untouched.SaveFile("out.elg", 0, 0), 0xFFFFFFFCu);
  EXPECT_EQ(image.SaveFile("out.elg", 0, 0), 1u);
}

}  // namespace

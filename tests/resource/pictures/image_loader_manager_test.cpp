#include "resource/pictures/image_loader_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "elg_encoder.h"
#include "elg_test_target.h"
#include "random_elg_picture.h"
#include "resource/pictures/elg_decoder.h"
#include "support/data_files_fixture.h"
#include "support/log_capture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint64_t kMegabyte = 1048576;

std::uint64_t g_fake_memory = 0;
std::uint64_t FakeMemory() { return g_fake_memory; }

TEST(CacheBudget, AutomaticAndChosenSizes) {
  EXPECT_EQ(CacheBudgetBytes(-1, 512 * kMegabyte), 64 * kMegabyte) << "exactly 512 MB is not above it";
  EXPECT_EQ(CacheBudgetBytes(-1, 512 * kMegabyte + 1), 80 * kMegabyte);
  EXPECT_EQ(CacheBudgetBytes(-1, 200 * kMegabyte), 30 * kMegabyte);
  EXPECT_EQ(CacheBudgetBytes(-1, 129 * kMegabyte), 20 * kMegabyte);
  EXPECT_EQ(CacheBudgetBytes(-1, 97 * kMegabyte), 10 * kMegabyte);
  EXPECT_EQ(CacheBudgetBytes(-1, 96 * kMegabyte), 0u);
  EXPECT_EQ(CacheBudgetBytes(100, 128 * kMegabyte), 64 * kMegabyte) << "half the memory";
  EXPECT_EQ(CacheBudgetBytes(0, 128 * kMegabyte), 0u);
  // Sizes beyond 4 GB stay exact.
  EXPECT_EQ(CacheBudgetBytes(5000, 64 * 1024 * kMegabyte), 5000 * kMegabyte);
}

RefPtr<CCachedPicture> PictureOfBytes(std::uint32_t bytes) {
  return MakeRef<CCachedPicture>(std::make_unique<DibInfo>(), DibBits{}, bytes, 0);
}

class ImageCacheTest : public ::testing::Test {
 protected:
  void SetUp() override { g_fake_memory = 1024 * kMegabyte; }
  CImageLoaderManager host_{&FakeMemory};
};

TEST_F(ImageCacheTest, LeastRecentlyUsedGoesFirst) {
  host_.SetCacheLimit(3);
  const auto a = PictureOfBytes(1 * kMegabyte);
  const auto b = PictureOfBytes(1 * kMegabyte);
  const auto c = PictureOfBytes(1 * kMegabyte);
  const auto d = PictureOfBytes(1 * kMegabyte);
  ASSERT_EQ(host_.AddCachedImage(a.get(), "A"), 0);
  ASSERT_EQ(host_.AddCachedImage(b.get(), "B"), 0);
  ASSERT_EQ(host_.AddCachedImage(c.get(), "C"), 0);
  EXPECT_EQ(host_.AddCachedImage(c.get(), "c"), CImageLoaderManager::kAlreadyCached) << "names ignore case";
  EXPECT_TRUE(host_.FindCachedImage("a")) << "a lookup makes A the most recently used";
  ASSERT_EQ(host_.AddCachedImage(d.get(), "D"), 0);
  EXPECT_EQ(host_.GetCache().KeysByRecency(), (std::vector<std::string>{"d", "a", "c"}));
  EXPECT_EQ(host_.GetCache().GetTotal(), 3 * kMegabyte);
  EXPECT_FALSE(host_.FindCachedImage("B"));
  EXPECT_EQ(a->GetRefCount(), 1u) << "the cache's reference only; the lookup's went with its RefPtr";
}

TEST_F(ImageCacheTest, PictureLargerThanTheBudgetStaysAlone) {
  host_.SetCacheLimit(2);
  const auto small = PictureOfBytes(1 * kMegabyte);
  const auto large = PictureOfBytes(5 * kMegabyte);
  ASSERT_EQ(host_.AddCachedImage(small.get(), "small"), 0);
  ASSERT_EQ(host_.AddCachedImage(large.get(), "large"), 0);
  EXPECT_EQ(host_.GetCache().KeysByRecency(), (std::vector<std::string>{"large"}));
}

TEST_F(ImageCacheTest, HeldPictureSurvivesEvictionAndSwitchingOff) {
  host_.SetCacheLimit(1);
  {
    RefPtr<CCachedPicture> first = PictureOfBytes(1 * kMegabyte);
    ASSERT_EQ(host_.AddCachedImage(first.get(), "first"), 0);
    RefPtr<CCachedPicture> held = host_.FindCachedImage("FIRST");
    ASSERT_TRUE(held);
    EXPECT_EQ(held->GetRefCount(), 2u);
    first.reset();
    const auto second = PictureOfBytes(1 * kMegabyte);
    ASSERT_EQ(host_.AddCachedImage(second.get(), "second"), 0);
    EXPECT_EQ(held->GetRefCount(), 0u) << "only the caller holds it now";
    EXPECT_EQ(held->GetByteCount(), 1 * kMegabyte);
  }
  host_.SetCacheLimit(0);
  EXPECT_EQ(host_.GetCache().GetCount(), 0u);
  EXPECT_EQ(host_.AddCachedImage(PictureOfBytes(1).get(), "x"), CImageLoaderManager::kNoPicture);
  EXPECT_EQ(host_.AddCachedImage(nullptr, "x"), CImageLoaderManager::kFailed);
}

class ImageLoaderHostTest : public test_support::DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    g_fake_memory = 1024 * kMegabyte;
    ASSERT_EQ(RegisterElgDecoder(host_), 0u);
  }

  kvxtools::ElgPicture WritePicture(const std::string& name, std::uint8_t depth, std::uint32_t seed) {
    kvxtools::ElgPicture picture = kvxtools::RandomElgPicture(depth, 13, 9, seed);
    picture.form = kvxtools::ElgHeaderForm::kRecords;
    picture.user_value0 = 12;
    picture.user_value1 = -34;
    picture.records = {{4, {1, 2, 3}}};
    const Bytes file = kvxtools::EncodeElg(picture);
    game_.WriteFile(name, std::string(file.begin(), file.end()));
    return picture;
  }

  CImageLoaderManager host_{&FakeMemory};
};

TEST_F(ImageLoaderHostTest, DecodeFileFillsTheTargetAndTheOutputs) {
  const kvxtools::ElgPicture picture = WritePicture("pic.elg", 32, 5);
  ElgTestTarget target;
  target.padding = 4;
  std::int32_t value0 = 0;
  std::int32_t value1 = 0;
  Bytes extra;
  ASSERT_EQ(host_.DecodeFile("PIC.ELG", {&ElgTestTarget::Create, nullptr, &target, 0, nullptr, nullptr},
                             {&value0, &value1, &extra}),
            0);
  EXPECT_EQ(target.Rows(), kvxtools::ElgPictureAs32(picture));
  EXPECT_EQ(value0, 12);
  EXPECT_EQ(value1, -34);
  EXPECT_EQ(extra, kvxtools::ElgRecordChainBytes(picture.records));
  LogCapture log;
  EXPECT_EQ(host_.DecodeFile("MISSING.ELG", {&ElgTestTarget::Create, nullptr, &target, 0, nullptr, nullptr}, {}),
            CImageLoaderManager::kFileFailed);
  EXPECT_TRUE(log.Lines().empty()) << "a missing picture is the game's to tell";
  // A picture there that does not decode is named in the log with the reason: a damaged one,
  // and one that no loader knows.
  Bytes damaged = kvxtools::EncodeElg(picture);
  damaged.resize(damaged.size() / 2);
  game_.WriteFile("damaged.elg", std::string(damaged.begin(), damaged.end()));
  game_.WriteFile("notes.elg", "not a picture");
  for (const char* name : {"DAMAGED.ELG", "NOTES.ELG"}) {
    EXPECT_EQ(host_.DecodeFile(name, {&ElgTestTarget::Create, nullptr, &target, 0, nullptr, nullptr}, {}),
              CImageLoaderManager::kFailed);
  }
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{
                             "picture \"DAMAGED.ELG\" cannot be read: its loader refuses it (it is damaged)",
                             "picture \"NOTES.ELG\" cannot be read: no picture loader knows its contents (it is "
                             "damaged, or of another format)"}));
  const Bytes junk = {'N', 'O', 'P', 'E'};
  EXPECT_EQ(host_.DecodeData(junk.data(), junk.size(), {&ElgTestTarget::Create, nullptr, &target, 0, nullptr, nullptr},
                             0, {}),
            CImageLoaderManager::kFailed);
}

// An ELG decoder that cannot decode into a target, so that the host decodes through a picture.
class PictureOnlyDecoder : public CElgDecoder {
 public:
  std::int32_t Load(const std::uint8_t*, std::size_t, CreateTargetFunc, void*, std::uint32_t, DecodeProgressFunc,
                    void*) override {
    return kNotSupported;
  }
};

TEST_F(ImageLoaderHostTest, DecodingThroughAPictureConvertsAndCaches) {
  host_.UnloadLoaders();
  ASSERT_EQ(host_.RegisterLoader(DecoderPtr<GllFamily>(new PictureOnlyDecoder), "PIC\0", "test", 77, nullptr,
                                 nullptr, nullptr),
            0u);
  host_.SetCacheLimit(4);
  for (const std::uint8_t depth : {std::uint8_t{8}, std::uint8_t{24}, std::uint8_t{32}}) {
    SCOPED_TRACE(static_cast<int>(depth));
    const std::string name = "through" + std::to_string(depth) + ".pic";
    const kvxtools::ElgPicture picture = WritePicture(name, depth, depth);
    ElgTestTarget true_colour;
    true_colour.padding = 8;
    Bytes extra;
    ASSERT_EQ(host_.DecodeFile(name.c_str(), {&ElgTestTarget::Create, nullptr, &true_colour, 0, nullptr, nullptr},
                               {nullptr, nullptr, &extra}),
              0);
    Bytes expected = kvxtools::ElgPictureAs32(picture);
    if (depth == 8) {
      for (std::size_t i = 3; i < expected.size(); i += 4) expected[i] = picture.palette[4 * picture.pixels[i / 4] + 3];
    }
    EXPECT_EQ(true_colour.Rows(), expected);
    EXPECT_TRUE(true_colour.PaddingUntouched());
    EXPECT_EQ(extra, kvxtools::ElgRecordChainBytes(picture.records)) << "a shared picture's extra data is copied";

    ElgTestTarget palettized;
    ASSERT_EQ(host_.DecodeFile(name.c_str(), {&ElgTestTarget::Create, nullptr, &palettized, 1, nullptr, nullptr}, {}),
              0);
    EXPECT_EQ(palettized.Rows(), kvxtools::ElgPictureAs8(picture));
    EXPECT_EQ(palettized.palette_asked, depth == 8);
    if (depth == 8) {
      EXPECT_EQ(palettized.palette, picture.palette);
    }
  }
  EXPECT_EQ(host_.GetCache().GetCount(), 3u) << "pictures decoded from named files are cached";
}

// Hands over its pictures with a colour count of 0, which lists every colour of the bit count.
class UncountedColoursDecoder : public PictureOnlyDecoder {
 public:
  std::int32_t Decode(const std::uint8_t* data, std::size_t size, DibInfoBlock* info, DibBits* bits,
                      DecodeProgressFunc progress, void* progress_argument) override {
    const std::int32_t status = PictureOnlyDecoder::Decode(data, size, info, bits, progress, progress_argument);
    if (info != nullptr && *info != nullptr) (*info)->colours_used = 0;
    return status;
  }
};

TEST_F(ImageLoaderHostTest, AnEightBitPictureListingNoColourCountGetsAllTwoHundredFiftySix) {
  host_.UnloadLoaders();
  ASSERT_EQ(host_.RegisterLoader(DecoderPtr<GllFamily>(new UncountedColoursDecoder), "PIC\0", "test", 77, nullptr,
                                 nullptr, nullptr),
            0u);
  const kvxtools::ElgPicture picture = WritePicture("uncounted.pic", 8, 3);
  ElgTestTarget palettized;
  ASSERT_EQ(host_.DecodeFile("uncounted.pic", {&ElgTestTarget::Create, nullptr, &palettized, 1, nullptr, nullptr}, {}),
            0);
  EXPECT_TRUE(palettized.palette_asked);
  EXPECT_EQ(palettized.palette, picture.palette);
  EXPECT_EQ(palettized.Rows(), kvxtools::ElgPictureAs8(picture));
}

TEST_F(ImageLoaderHostTest, CachedPicturesAreSharedAndPreloaded) {
  const kvxtools::ElgPicture picture = WritePicture("one.elg", 8, 6);
  host_.SetCacheLimit(4);
  RefPtr<CCachedPicture> first = host_.LoadCachedPicture("ONE.ELG");
  ASSERT_TRUE(first);
  RefPtr<CCachedPicture> second = host_.LoadCachedPicture("one.ELG");
  EXPECT_EQ(first.get(), second.get()) << "names that differ in case share an entry";
  EXPECT_EQ(first->GetRefCount(), 2u);
  EXPECT_EQ(first->GetUserValue1(), -34);
  EXPECT_EQ(first->GetExtraData(), kvxtools::ElgRecordChainBytes(picture.records));
  EXPECT_EQ(first->GetInfo().bit_count, 8);
  second.reset();

  EXPECT_EQ(host_.PreloadCachedImage("one.elg"), 0);
  EXPECT_EQ(first->GetRefCount(), 1u) << "a preload of a cached name keeps the count";
  // The caller gives its reference back by name rather than through its pointer.
  CCachedPicture* const held = first.release();
  EXPECT_EQ(host_.ReleaseCachedImage("ONE.ELG"), 0);
  EXPECT_EQ(held->GetRefCount(), 0u);
  EXPECT_EQ(host_.GetCache().GetCount(), 1u);
  EXPECT_EQ(host_.ReleaseCachedImage("ONE.ELG"), 0) << "a release without a hold leaves the cache's reference";
  EXPECT_EQ(host_.GetCache().GetCount(), 1u);
  EXPECT_EQ(host_.FindCachedImage(host_.CacheKeyOf("one.elg")->c_str()).get(), held) << "still cached and alive";

  WritePicture("two.elg", 24, 7);
  EXPECT_EQ(host_.PreloadCachedImage("two.elg"), 0);
  EXPECT_EQ(host_.GetCache().GetCount(), 2u);
  EXPECT_EQ(host_.PreloadCachedImage("three.elg"), CImageLoaderManager::kNoPicture);
  EXPECT_EQ(host_.ReleaseCachedImage("three.elg"), CImageLoaderManager::kNoPicture);
  host_.SetCacheLimit(0);
  EXPECT_EQ(host_.PreloadCachedImage("two.elg"), CImageLoaderManager::kFailed);
  EXPECT_EQ(host_.ReleaseCachedImage("two.elg"), CImageLoaderManager::kFailed);
}

// An encoder that writes the pixels' first row and then reports `result`.
class RowEncoder : public CElgDecoder {
 public:
  explicit RowEncoder(std::int32_t result) : result_(result) {}
  bool CanSave() const override { return true; }
  std::int32_t Save(std::uint32_t, const std::uint8_t* pixels, std::int32_t width, std::int32_t, std::uint32_t,
                    std::int32_t, EncodeWriteFunc write, void* argument, const std::uint8_t*, DecodeProgressFunc,
                    void*) override {
    if (!write(pixels, static_cast<std::size_t>(width) * 4, argument)) return 8;
    return result_;
  }

 private:
  std::int32_t result_;
};

TEST_F(ImageLoaderHostTest, SaveWritesThroughTheEncoderAndDeletesAFailedFile) {
  ASSERT_EQ(host_.RegisterLoader(DecoderPtr<GllFamily>(new RowEncoder(0)), "GOOD\0", "good", 90, nullptr, nullptr,
                                 nullptr),
            0u);
  ASSERT_EQ(host_.RegisterLoader(DecoderPtr<GllFamily>(new RowEncoder(3)), "BAD\0", "bad", 91, nullptr, nullptr,
                                 nullptr),
            0u);
  const Bytes pixels = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(host_.SaveImage(game_.EnginePath("out.good").c_str(), 0, pixels.data(), 2, 1, 32, 8, nullptr, 0, nullptr,
                            nullptr),
            0);
  EXPECT_EQ(game_.ReadFile("out.good"), std::string(pixels.begin(), pixels.end()));
  EXPECT_EQ(host_.SaveImage(game_.EnginePath("out.bad").c_str(), 0, pixels.data(), 2, 1, 32, 8, nullptr, 0, nullptr,
                            nullptr),
            3);
  EXPECT_FALSE(game_.Exists("out.bad")) << "a failed save leaves no half-written file";
  EXPECT_EQ(host_.SaveImage(game_.EnginePath("typed.xyz").c_str(), 0, pixels.data(), 2, 1, 32, 8, nullptr, 90,
                            nullptr, nullptr),
            0)
      << "an encoder chosen by type";
  EXPECT_TRUE(game_.Exists("typed.xyz"));
  // The dot after a half-width kana (ﾄ, C4) is one, as the file system reads the name.
  EXPECT_EQ(host_.SaveImage(game_.EnginePath("\xC3\xBD\xC4.good").c_str(), 0, pixels.data(), 2, 1, 32, 8, nullptr, 0,
                            nullptr, nullptr),
            0);
  EXPECT_TRUE(game_.Exists("ﾃｽﾄ.good"));
}

TEST_F(ImageLoaderHostTest, FindersAndSaveWithoutEncoder) {
  const Bytes file = kvxtools::EncodeElg(kvxtools::RandomElgPicture(24, 2, 2, 1));
  EXPECT_NE(host_.FindLoaderForData(file.data(), file.size(), 0), nullptr);
  EXPECT_NE(host_.FindLoaderByExtension("x\\pic.elg", false), nullptr);
  EXPECT_EQ(host_.FindLoaderByExtension("x\\pic.elg", true), nullptr) << "the ELG decoder does not encode";
  EXPECT_NE(host_.FindLoaderByType(CElgDecoder::kType), nullptr);
  const Bytes pixels(16, 0);
  EXPECT_EQ(host_.SaveImage("out.elg", 0, pixels.data(), 2, 2, 32, 8, nullptr, 0, nullptr, nullptr),
            CImageLoaderManager::kFailed);
  EXPECT_FALSE(game_.Exists("out.elg"));
  host_.UnloadLoadersOfType(CElgDecoder::kType);
  EXPECT_EQ(host_.FindLoaderByType(CElgDecoder::kType), nullptr);
}

}  // namespace

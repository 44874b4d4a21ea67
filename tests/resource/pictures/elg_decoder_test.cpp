#include "resource/pictures/elg_decoder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <optional>
#include <random>
#include <tuple>
#include <vector>

#include "base/numbers/little_endian.h"
#include "elg_encoder.h"
#include "elg_test_target.h"
#include "random_elg_picture.h"
#include "resource/pictures/elg_header.h"
#include "support/peak_memory.h"

using kvxtools::ElgEncodeOptions;
using kvxtools::ElgHeaderForm;
using kvxtools::ElgPicture;

namespace {

using Bytes = std::vector<std::uint8_t>;

// The decoded bitmap as top-down rows without padding.
Bytes TopDownRows(const DibInfo& info, const DibBits& bits, std::uint32_t pitch) {
  Bytes rows;
  const std::size_t row_bytes = static_cast<std::size_t>(info.width) * info.bit_count / 8;
  for (std::int32_t y = info.height - 1; y >= 0; --y) {
    const auto start = bits.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * pitch);
    rows.insert(rows.end(), start, start + static_cast<std::ptrdiff_t>(row_bytes));
  }
  return rows;
}

// The picture's pixels as the bitmap stores them: indices, blue-green-red, or all four bytes.
Bytes StoredPixels(const ElgPicture& picture) { return picture.pixels; }

struct LoadResult {
  std::int32_t status;
  ElgTestTarget target;
};

LoadResult LoadElg(const Bytes& file, std::uint32_t mode, std::int32_t padding) {
  CElgDecoder decoder;
  LoadResult result{0, {}};
  result.target.padding = padding;
  result.status =
      decoder.Load(file.data(), file.size(), &ElgTestTarget::Create, &result.target, mode, nullptr, nullptr);
  return result;
}

class ElgRoundTrip : public ::testing::TestWithParam<std::tuple<int, std::pair<int, int>>> {};

TEST_P(ElgRoundTrip, EveryLoadPathGivesThePicture) {
  const auto depth = static_cast<std::uint8_t>(std::get<0>(GetParam()));
  const auto [width, height] = std::get<1>(GetParam());
  for (std::uint32_t seed = 0; seed < 6; ++seed) {
    const ElgPicture picture =
        kvxtools::RandomElgPicture(depth, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), seed);
    ElgEncodeOptions options;
    if (seed != 0) options.mix_seed = seed;
    const Bytes file = kvxtools::EncodeElg(picture, options);
    SCOPED_TRACE(testing::Message() << "seed " << seed);

    const LoadResult true_colour = LoadElg(file, 0, 8);
    ASSERT_EQ(true_colour.status, CElgDecoder::kDone);
    EXPECT_EQ(true_colour.target.bits_per_pixel, 32u);
    EXPECT_EQ(true_colour.target.alpha, depth == 32 ? 1u : 0u);
    EXPECT_EQ(true_colour.target.Rows(), kvxtools::ElgPictureAs32(picture));
    EXPECT_TRUE(true_colour.target.PaddingUntouched());

    for (const std::int32_t padding : {0, 3}) {
      const LoadResult palettized = LoadElg(file, 1, padding);
      ASSERT_EQ(palettized.status, CElgDecoder::kDone);
      EXPECT_EQ(palettized.target.bits_per_pixel, 8u);
      EXPECT_EQ(palettized.target.Rows(), kvxtools::ElgPictureAs8(picture));
      EXPECT_TRUE(palettized.target.PaddingUntouched());
      EXPECT_EQ(palettized.target.palette_asked, depth == 8);
      if (depth == 8) {
        EXPECT_EQ(palettized.target.palette, picture.palette);
      }
    }

    CElgDecoder decoder;
    DibInfoBlock info;
    DibBits bits;
    ASSERT_EQ(decoder.Decode(file.data(), file.size(), &info, &bits, nullptr, nullptr), CElgDecoder::kDone);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->bit_count, depth);
    EXPECT_EQ(decoder.GetRowPitch() % 4, 0u);
    EXPECT_EQ(bits.size(), static_cast<std::size_t>(decoder.GetRowPitch()) * static_cast<std::size_t>(height));
    EXPECT_EQ(decoder.GetByteCount(), (depth == 8 ? 1064u : 44u) + bits.size());
    EXPECT_EQ(TopDownRows(*info, bits, decoder.GetRowPitch()), StoredPixels(picture));
    if (depth == 8) {
      ASSERT_EQ(info->colour_table.size(), 256u);
      EXPECT_EQ(info->colours_used, 256u);
      for (std::size_t i = 0; i < 256; ++i) {
        EXPECT_EQ(info->colour_table[i], LoadLe32(&picture.palette[4 * i]));
      }
    }
    EXPECT_EQ(decoder.GetInfo(), nullptr) << "the blocks went to the caller";
  }
}

INSTANTIATE_TEST_SUITE_P(DepthsAndSizes, ElgRoundTrip,
                         ::testing::Combine(::testing::Values(8, 24, 32),
                                            ::testing::Values(std::pair{1, 1}, std::pair{1, 40}, std::pair{40, 1},
                                                              std::pair{7, 5}, std::pair{33, 29},
                                                              std::pair{71, 64})));

TEST(ElgEncoder, MixedEncodingsUseEveryOpClassOfBothStreams) {
  std::array<std::size_t, 256> byte_ops{};
  std::array<std::size_t, 256> colour_ops{};
  for (std::uint32_t seed = 1; seed <= 4; ++seed) {
    for (const std::uint8_t depth : {std::uint8_t{8}, std::uint8_t{32}}) {
      const ElgPicture picture = kvxtools::RandomElgPicture(depth, 80, 70, seed);
      ElgEncodeOptions options;
      options.mix_seed = seed;
      options.byte_stream_ops = &byte_ops;
      options.colour_stream_ops = &colour_ops;
      const Bytes file = kvxtools::EncodeElg(picture, options);
      const LoadResult loaded = LoadElg(file, 0, 0);
      ASSERT_EQ(loaded.status, CElgDecoder::kDone);
      EXPECT_EQ(loaded.target.Rows(), kvxtools::ElgPictureAs32(picture));
    }
  }
  const auto used = [](const std::array<std::size_t, 256>& ops, unsigned first, unsigned last) {
    std::size_t total = 0;
    for (unsigned op = first; op <= last; ++op) total += ops[op];
    return total;
  };
  const std::vector<std::pair<unsigned, unsigned>> byte_classes = {{0x00, 0x1F}, {0x20, 0x3F}, {0x40, 0x5F},
                                                                   {0x60, 0x7F}, {0x80, 0x8F}, {0x90, 0x9F},
                                                                   {0xA0, 0xAF}, {0xB0, 0xBF}, {0xC0, 0xDF},
                                                                   {0xE0, 0xFE}};
  for (const auto& [first, last] : byte_classes) EXPECT_GT(used(byte_ops, first, last), 0u) << std::hex << first;
  const std::vector<std::pair<unsigned, unsigned>> colour_classes = {
      {0x00, 0x1F}, {0x20, 0x3F}, {0x40, 0x5F}, {0x60, 0x7F}, {0x80, 0x8F}, {0x90, 0x9F}, {0xA0, 0xAF}, {0xB0, 0xB7},
      {0xB8, 0xBF}, {0xC0, 0xC3}, {0xC4, 0xC7}, {0xC8, 0xCB}, {0xCC, 0xCF}, {0xD0, 0xDF}, {0xE0, 0xEF}, {0xF0, 0xFE}};
  for (const auto& [first, last] : colour_classes) EXPECT_GT(used(colour_ops, first, last), 0u) << std::hex << first;
}

TEST(ElgDecoder, HeaderFormsCarryUserValuesAndRecords) {
  ElgPicture picture = kvxtools::RandomElgPicture(24, 5, 3, 7);
  picture.user_value0 = -5;
  picture.user_value1 = 300;
  picture.form = ElgHeaderForm::kOrigin;
  CElgDecoder decoder;
  Bytes file = kvxtools::EncodeElg(picture);
  ASSERT_EQ(decoder.Decode(file.data(), file.size(), nullptr, nullptr, nullptr, nullptr), CElgDecoder::kDone);
  EXPECT_EQ(decoder.GetUserValue0(), -5);
  EXPECT_EQ(decoder.GetUserValue1(), 300);
  EXPECT_EQ(decoder.GetExtraSize(), 0u);
  EXPECT_NE(decoder.GetInfo(), nullptr) << "without outputs the decoder keeps its blocks";

  picture.form = ElgHeaderForm::kRecords;
  picture.records = {{7, {1, 2, 3}}, {9, {}}};
  file = kvxtools::EncodeElg(picture);
  ASSERT_EQ(decoder.Decode(file.data(), file.size(), nullptr, nullptr, nullptr, nullptr), CElgDecoder::kDone);
  EXPECT_EQ(decoder.GetUserValue0(), -5);
  EXPECT_EQ(decoder.GetUserValue1(), 300);
  EXPECT_EQ(decoder.GetExtraData(), kvxtools::ElgRecordChainBytes(picture.records));
  const Bytes detached = decoder.DetachExtraData();
  EXPECT_EQ(detached.size(), 5u + 3u + 5u);
  EXPECT_EQ(decoder.GetExtraSize(), 0u);

  // Form 2 with an empty chain: the pixels start right after the zero at offset 13.
  picture.records.clear();
  file = kvxtools::EncodeElg(picture);
  EXPECT_EQ(file[13], 0);
  const LoadResult loaded = LoadElg(file, 0, 0);
  ASSERT_EQ(loaded.status, CElgDecoder::kDone);
  EXPECT_EQ(loaded.target.Rows(), kvxtools::ElgPictureAs32(picture));
}

TEST(ElgDecoder, StatusesOfBadCalls) {
  CElgDecoder decoder;
  const Bytes file = kvxtools::EncodeElg(kvxtools::RandomElgPicture(8, 3, 3, 1));
  ElgTestTarget target;
  EXPECT_EQ(decoder.Load(nullptr, 0, &ElgTestTarget::Create, &target, 0, nullptr, nullptr), CElgDecoder::kFailed);
  EXPECT_EQ(decoder.Load(file.data(), file.size(), nullptr, &target, 0, nullptr, nullptr), CElgDecoder::kBadArguments);
  Bytes not_elg = file;
  not_elg[0] = 'X';
  EXPECT_EQ(decoder.Load(not_elg.data(), not_elg.size(), &ElgTestTarget::Create, &target, 0, nullptr, nullptr),
            CElgDecoder::kNoMagic);
  EXPECT_FALSE(decoder.IsSupported(not_elg.data(), not_elg.size(), 0));
  EXPECT_TRUE(decoder.IsSupported(file.data(), 4, 0));
  EXPECT_FALSE(decoder.IsSupported(file.data(), 3, 0));

  Bytes bad_depth = file;
  bad_depth[3] = 16;
  EXPECT_EQ(decoder.Load(bad_depth.data(), bad_depth.size(), &ElgTestTarget::Create, &target, 0, nullptr, nullptr),
            CElgDecoder::kFailed);
  DibInfoBlock info;
  EXPECT_EQ(decoder.Decode(file.data(), file.size(), &info, nullptr, nullptr, nullptr), CElgDecoder::kBadArguments);

  const auto no_target = [](std::int32_t, std::int32_t, std::uint32_t, std::uint32_t, std::int32_t*, std::uint8_t**,
                            void*) -> std::uint8_t* { return nullptr; };
  EXPECT_EQ(decoder.Load(file.data(), file.size(), no_target, nullptr, 0, nullptr, nullptr), CElgDecoder::kNoTarget);
}

TEST(ElgDecoder, ProgressOpensClosesAndCancels) {
  const Bytes file = kvxtools::EncodeElg(kvxtools::RandomElgPicture(32, 4, 6, 2));
  std::vector<std::pair<std::int32_t, std::int32_t>> calls;
  const auto record = [](std::int32_t done, std::int32_t total, void* argument) -> std::int32_t {
    static_cast<std::vector<std::pair<std::int32_t, std::int32_t>>*>(argument)->emplace_back(done, total);
    return 0;
  };
  CElgDecoder decoder;
  ElgTestTarget target;
  ASSERT_EQ(decoder.Load(file.data(), file.size(), &ElgTestTarget::Create, &target, 0, record, &calls), 0);
  EXPECT_EQ(calls, (std::vector<std::pair<std::int32_t, std::int32_t>>{{0, 6}, {6, 6}}));

  const auto cancel = [](std::int32_t, std::int32_t, void*) -> std::int32_t { return 1; };
  EXPECT_EQ(decoder.Decode(file.data(), file.size(), nullptr, nullptr, cancel, nullptr), CElgDecoder::kCancelled);
  EXPECT_EQ(decoder.GetInfo(), nullptr);
}

TEST(ElgDecoder, FailuresStillMakeTheClosingProgressCall) {
  using Calls = std::vector<std::pair<std::int32_t, std::int32_t>>;
  const auto record = [](std::int32_t done, std::int32_t total, void* argument) -> std::int32_t {
    static_cast<Calls*>(argument)->emplace_back(done, total);
    return 0;
  };
  const auto cancel = [](std::int32_t done, std::int32_t total, void* argument) -> std::int32_t {
    static_cast<Calls*>(argument)->emplace_back(done, total);
    return done == 0 ? 1 : 0;
  };
  const Bytes file = kvxtools::EncodeElg(kvxtools::RandomElgPicture(24, 3, 5, 4));
  Bytes bad_depth = file;
  bad_depth[3] = 16;
  const Bytes cut_header(file.begin(), file.begin() + 6);
  const Bytes cut_pixels(file.begin(), file.end() - 3);
  const struct {
    const Bytes& data;
    DecodeProgressFunc progress;
    std::int32_t status;
    Calls calls;
  } cases[] = {
      {bad_depth, record, CElgDecoder::kFailed, {{5, 5}}},
      {cut_header, record, CElgDecoder::kFailed, {{0, 0}}},
      {cut_pixels, record, CElgDecoder::kFailed, {{0, 5}, {5, 5}}},
      {file, cancel, CElgDecoder::kCancelled, {{0, 5}, {5, 5}}},
  };
  for (const auto& c : cases) {
    CElgDecoder decoder;
    ElgTestTarget target;
    Calls loaded;
    EXPECT_EQ(decoder.Load(c.data.data(), c.data.size(), &ElgTestTarget::Create, &target, 0, c.progress, &loaded),
              c.status);
    EXPECT_EQ(loaded, c.calls);
    Calls decoded;
    EXPECT_EQ(decoder.Decode(c.data.data(), c.data.size(), nullptr, nullptr, c.progress, &decoded), c.status);
    EXPECT_EQ(decoded, c.calls);
  }
}

// A picture whose header claims `width` x `height` and whose streams end at once, padded to
// `size` bytes so that the data could describe that many pixels.
Bytes ClaimingElg(std::uint8_t depth, std::uint16_t width, std::uint16_t height, std::size_t size) {
  Bytes file = {'E', 'L', 'G', depth, 0, 0, 0, 0, 0xFF, 0xFF};
  StoreLe16(&file[4], width);
  StoreLe16(&file[6], height);
  file.resize(size, 0);
  return file;
}

TEST(ElgDecoder, PicturesLargerThanImagesTakeAreRefusedBeforeAnythingIsAllocated) {
  // 32767 x 32767 at 32 bits is 4 GiB, which 1.5 MB of runs could describe.
  const Bytes four_gigabytes = ClaimingElg(32, 32767, 32767, 1'500'000);
  CElgDecoder decoder;
  ElgTestTarget target;
  EXPECT_EQ(decoder.Load(four_gigabytes.data(), four_gigabytes.size(), &ElgTestTarget::Create, &target, 0, nullptr,
                         nullptr),
            CElgDecoder::kNoTarget);
  EXPECT_EQ(target.width, 0) << "no target was asked for";
  const std::optional<std::uint64_t> growth = test_support::PeakMemoryGrowth([&] {
    CElgDecoder child_decoder;
    if (child_decoder.Decode(four_gigabytes.data(), four_gigabytes.size(), nullptr, nullptr, nullptr, nullptr) !=
        CElgDecoder::kNoTarget) {
      std::abort();
    }
  });
  ASSERT_TRUE(growth);
  EXPECT_LT(*growth, 64 * test_support::kMebibyte);

  // One pixel past the bound of a picture's pixels (673 x 24929) is refused as well.
  const Bytes past_bound = ClaimingElg(24, 673, 24929, 200'000);
  EXPECT_EQ(decoder.Decode(past_bound.data(), past_bound.size(), nullptr, nullptr, nullptr, nullptr),
            CElgDecoder::kNoTarget);

  // Within the limits the block is taken, but only what the streams write costs memory: these
  // end at once and leave the 48 MiB picture at the bound black.
  const Bytes black = ClaimingElg(24, 4096, 4096, 200'000);
  const std::optional<std::uint64_t> black_growth = test_support::PeakMemoryGrowth([&] {
    CElgDecoder child_decoder;
    DibInfoBlock info;
    DibBits bits;
    if (child_decoder.Decode(black.data(), black.size(), &info, &bits, nullptr, nullptr) != CElgDecoder::kDone ||
        bits.size() != std::size_t{12288} * 4096 || bits[bits.size() / 2] != 0) {
      std::abort();
    }
  });
  ASSERT_TRUE(black_growth);
  EXPECT_LT(*black_growth, 32 * test_support::kMebibyte);
}

TEST(ElgDecoder, RecordChainIsCheckedAgainstTheData) {
  ElgPicture picture = kvxtools::RandomElgPicture(8, 2, 2, 3);
  picture.form = ElgHeaderForm::kRecords;
  picture.records = {{1, {4, 4, 4, 4}}};
  Bytes file = kvxtools::EncodeElg(picture);
  ASSERT_EQ(LoadElg(file, 0, 0).status, CElgDecoder::kDone);

  Bytes short_length = file;
  StoreLe32(&short_length[14], 3);
  EXPECT_EQ(LoadElg(short_length, 0, 0).status, CElgDecoder::kFailed);
  Bytes long_length = file;
  StoreLe32(&long_length[14], 0xFFFFFFF0u);
  EXPECT_EQ(LoadElg(long_length, 0, 0).status, CElgDecoder::kFailed);
  CElgDecoder decoder;
  EXPECT_EQ(decoder.Decode(long_length.data(), long_length.size(), nullptr, nullptr, nullptr, nullptr),
            CElgDecoder::kFailed);
  EXPECT_EQ(decoder.GetExtraSize(), 0u) << "a failed decode keeps no extra data";
}

TEST(ElgDecoder, HeaderClaimingMorePixelsThanTheDataCanHoldIsRefused) {
  Bytes file = {'E', 'L', 'G', 32, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF};
  ElgTestTarget target;
  CElgDecoder decoder;
  EXPECT_EQ(decoder.Load(file.data(), file.size(), &ElgTestTarget::Create, &target, 0, nullptr, nullptr),
            CElgDecoder::kFailed);
  EXPECT_EQ(target.width, 0) << "no target was asked for";
  EXPECT_EQ(decoder.Decode(file.data(), file.size(), nullptr, nullptr, nullptr, nullptr), CElgDecoder::kFailed);
}

TEST(ElgDecoder, GreyAndOpacityEdgeCases) {
  // A 24-bit picture of white and red pixels, palettized: grey 255 and 76; loaded in 32 bits its
  // fourth bytes are 0.
  const Bytes file = {'E', 'L', 'G', 24, 2, 0, 1, 0, 0x01, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF};
  const LoadResult grey = LoadElg(file, 1, 0);
  ASSERT_EQ(grey.status, CElgDecoder::kDone);
  EXPECT_EQ(grey.target.Rows(), (Bytes{255, 76})) << "(77 x 255) / 256, remainder dropped";
  const LoadResult colour = LoadElg(file, 0, 0);
  ASSERT_EQ(colour.status, CElgDecoder::kDone);
  EXPECT_EQ(colour.target.Rows(), (Bytes{0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0}));

  // A 32-bit picture whose alpha is one long run of 255 over all 40 pixels is opaque.
  const Bytes opaque = {'E', 'L', 'G', 32, 8, 0, 5, 0, 0x60, 40 - 34, 1, 2, 3, 0xFF, 0x60, 40 - 35, 0xFF, 0xFF};
  const LoadResult opaque_load = LoadElg(opaque, 0, 0);
  ASSERT_EQ(opaque_load.status, CElgDecoder::kDone);
  for (std::size_t i = 0; i < 40; ++i) {
    EXPECT_EQ(opaque_load.target.pixels[4 * i + 3], 0xFF);
    EXPECT_EQ(opaque_load.target.pixels[4 * i + 2], 3);
  }
}

}  // namespace

namespace {

// Every damaged copy lives in a buffer of exactly its size and every target is exactly as large
// as its rows, so that the sanitizer build sees any read or write outside them.
std::int32_t LoadExact(const Bytes& file, std::uint32_t mode) {
  const Bytes exact(file);
  return LoadElg(exact, mode, 0).status;
}

std::int32_t DecodeExact(const Bytes& file) {
  const Bytes exact(file);
  CElgDecoder decoder;
  DibInfoBlock info;
  DibBits bits;
  const std::int32_t status = decoder.Decode(exact.data(), exact.size(), &info, &bits, nullptr, nullptr);
  if (status == CElgDecoder::kDone) {
    EXPECT_EQ(bits.size(), static_cast<std::size_t>(info->image_size));
  }
  return status;
}

std::vector<Bytes> SampleFiles() {
  std::vector<Bytes> files;
  std::uint32_t seed = 11;
  for (const std::uint8_t depth : {std::uint8_t{8}, std::uint8_t{24}, std::uint8_t{32}}) {
    for (const ElgHeaderForm form : {ElgHeaderForm::kPlain, ElgHeaderForm::kOrigin, ElgHeaderForm::kRecords}) {
      ElgPicture picture = kvxtools::RandomElgPicture(depth, 9, 7, seed);
      picture.form = form;
      if (form == ElgHeaderForm::kRecords) picture.records = {{3, {1, 2, 3, 4, 5}}};
      ElgEncodeOptions options;
      options.mix_seed = seed++;
      files.push_back(kvxtools::EncodeElg(picture, options));
    }
  }
  return files;
}

TEST(ElgDecoder, TruncatedFilesFailWithoutReachingOutsideTheirBuffers) {
  for (const Bytes& file : SampleFiles()) {
    // An 8-bit load of a 32-bit picture reads no alpha, so a cut there goes unnoticed.
    const std::uint8_t depth = file[3] == kElgFormOrigin || file[3] == kElgFormRecords ? file[4] : file[3];
    const bool alpha_unread = depth == 32;
    for (std::size_t size = 0; size < file.size(); ++size) {
      const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
      EXPECT_NE(LoadExact(cut, 0), CElgDecoder::kDone) << size;
      const std::int32_t palettized = LoadExact(cut, 1);
      if (!alpha_unread) {
        EXPECT_NE(palettized, CElgDecoder::kDone) << size;
      }
      EXPECT_NE(DecodeExact(cut), CElgDecoder::kDone) << size;
    }
  }
}

TEST(ElgDecoder, MutatedFilesNeverReachOutsideTheirBuffers) {
  std::mt19937 random(99);
  std::size_t decoded = 0;
  std::size_t refused = 0;
  for (const Bytes& file : SampleFiles()) {
    for (int trial = 0; trial < 200; ++trial) {
      Bytes mutated = file;
      const int changes = 1 + trial % 4;
      for (int i = 0; i < changes; ++i) {
        const std::size_t at = std::uniform_int_distribution<std::size_t>(0, mutated.size() - 1)(random);
        mutated[at] = static_cast<std::uint8_t>(random());
      }
      for (const std::int32_t status : {LoadExact(mutated, 0), LoadExact(mutated, 1), DecodeExact(mutated)}) {
        EXPECT_TRUE(status == CElgDecoder::kDone || status == CElgDecoder::kFailed ||
                    status == CElgDecoder::kNoMagic || status == CElgDecoder::kNoTarget)
            << status;
        ++(status == CElgDecoder::kDone ? decoded : refused);
      }
    }
  }
  EXPECT_GT(refused, 0u);
  EXPECT_GT(decoded, 0u);
}

}  // namespace

// DAG and DAD files written by the tools and read back: entries closed by markers or by the
// closing record, picture keys, the entry look-ups, and the status of each kind of damage.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "anim_file_writer.h"
#include "base/numbers/little_endian.h"
#include "gfx/images/color_key.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/animations/dad_file.h"
#include "scene/animations/dag_file.h"
#include "support/anim_test_pictures.h"
#include "support/data_files_fixture.h"

namespace {

using kvxtools::kEndOfEntry;
using kvxtools::PatternFrame;

class AnimFileTest : public test_support::DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    ASSERT_EQ(RegisterElgDecoder(host_), 0u);
    saved_host_ = g_GllHost;
    g_GllHost = &host_;
  }
  void TearDown() override {
    g_GllHost = saved_host_;
    DataFilesTest::TearDown();
  }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    game_.WriteFile(name, std::string(bytes.begin(), bytes.end()));
    return game_.EnginePath(name);
  }

  CImageLoaderManager host_;
  CImageLoaderManager* saved_host_ = nullptr;
};

// Three entries: two closed by markers, the last by the closing record alone.
kvxtools::DagFileSpec ThreeEntries() {
  kvxtools::DagFileSpec spec;
  spec.value_a = 7;
  spec.value_b = 9;
  spec.entry_count = 3;
  spec.skipped_block = {1, 2, 3};
  spec.frames = {PatternFrame(0, 50, 3, -4), kEndOfEntry, PatternFrame(1, 60), PatternFrame(0, 70), kEndOfEntry,
                 PatternFrame(1, 80)};
  spec.pictures = {{SolidElg(6, 4, 0x102030), -1, -1}, {SolidElg(5, 3, 0x405060), -2, 0}};
  return spec;
}

TEST_F(AnimFileTest, TheWritersFilesLoadBackWithTheirEntriesAndPictures) {
  CDagFile dag;
  ASSERT_EQ(dag.Load(Write("ANIM.DAG", kvxtools::WriteDag(ThreeEntries())).c_str(), false), 0u);
  EXPECT_EQ(dag.GetValueA(), 7);
  EXPECT_EQ(dag.GetValueB(), 9);
  ASSERT_EQ(dag.GetFrames().size(), 7u) << "the closing record is counted";
  EXPECT_EQ(dag.GetFrames()[6].ImageNumber(), -1);
  EXPECT_EQ(dag.GetFrames()[0].OffsetX(), 3);
  EXPECT_EQ(dag.GetFrames()[0].OffsetY(), -4);
  const AnimEntryTable& entries = dag.GetEntries();
  EXPECT_EQ(std::vector<int32_t>({entries.GetEntryStart(0), entries.GetEntryStart(1), entries.GetEntryStart(2)}),
            std::vector<int32_t>({0, 2, 5}));
  ASSERT_EQ(dag.GetPictureCount(), 2u);
  EXPECT_EQ(dag.GetPicture(1)->GetWidth(), 5);
  EXPECT_EQ(dag.GetPicture(0)->GetPixel(2, 2) & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(dag.GetPicture(2), nullptr);
  EXPECT_EQ(dag.GetPicture(-1), nullptr);
}

TEST_F(AnimFileTest, AnEntryWithoutItsEndMarkerIsClosedByTheClosingRecord) {
  kvxtools::DagFileSpec spec;
  spec.frames = {PatternFrame(0, 10), PatternFrame(0, 20)};
  spec.pictures = {{SolidElg(2, 2, 0xFF0000)}};
  CDagFile dag;
  ASSERT_EQ(dag.LoadFromMemory(kvxtools::WriteDag(spec), false), 0u);
  EXPECT_EQ(dag.GetFrames().size(), 3u);
  EXPECT_EQ(dag.GetEntries().GetEntryEnd(0), 2);
}

struct KeyCase {
  const char* name;
  int16_t key_x;
  int16_t key_y;
  uint32_t colour_key;
  // A key point keeps the flag that the 32-bit picture was decoded with.
  uint8_t alpha_flag;
};

class DagKeyTest : public AnimFileTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(DagKeyTest, TheKeyPointDecidesTheColourKeyAndTheAlphaFlag) {
  kvxtools::DagFileSpec spec;
  spec.frames = {PatternFrame(0, 10)};
  spec.pictures = {{SolidElg(4, 4, 0x00FF00, 0x0000FF), GetParam().key_x, GetParam().key_y}};
  CDagFile dag;
  ASSERT_EQ(dag.LoadFromMemory(kvxtools::WriteDag(spec), false), 0u);
  const CImage* picture = dag.GetPicture(0);
  EXPECT_EQ(picture->GetColorKey() & (GetParam().colour_key == kNoColorKey ? 0xFFFFFFFF : 0xFFFFFF),
            GetParam().colour_key);
  EXPECT_EQ(picture->GetAlphaFlag(), GetParam().alpha_flag);
}

INSTANTIATE_TEST_SUITE_P(Keys, DagKeyTest,
                         testing::Values(KeyCase{"none", -1, -1, kNoColorKey, 0}, KeyCase{"alpha", -2, 0, kNoColorKey, 1},
                                         KeyCase{"corner", 0, 0, 0x0000FF, 1}, KeyCase{"inside", 2, 3, 0x00FF00, 1},
                                         KeyCase{"right_of_it", 4, 0, kNoColorKey, 0},
                                         KeyCase{"below_it", 0, 4, kNoColorKey, 0},
                                         KeyCase{"above_it", 1, -1, kNoColorKey, 0}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(AnimFileTest, DadEntriesEndOnlyAtMarkersWithoutAPositiveSecondWord) {
  kvxtools::DadFileSpec spec;
  spec.header = {1, 2, 3, 4, 5, 6, 0, 0, 9, 10, 11, 12};
  spec.entry_count = 3;
  spec.data_block = {10, 11, 12, 13};
  spec.frames = {{1, 0, 0, 2}, {0xFFFFFFFF, 1, 0, 0}, {2, 0, 0, 0}, kEndOfEntry, {3, 0, 0, 3}, kEndOfEntry,
                 {4, 0, 0, 9}};
  spec.references = {{"FACE", 1, 2}, {"", 3, 4}};
  CDadFile dad;
  ASSERT_EQ(dad.Load(Write("ANIM.DAD", kvxtools::WriteDad(spec)).c_str()), 0u);
  EXPECT_EQ(dad.GetHeader()[0], 1);
  EXPECT_EQ(dad.GetHeader()[6], 3);
  EXPECT_EQ(dad.GetEntryStart(1), 4) << "{-1, 1} does not end an entry";
  EXPECT_EQ(dad.GetEntryStart(2), 6);
  EXPECT_EQ(dad.GetEntryStart(3), -1);
  EXPECT_EQ(dad.GetEntryEnd(0), 3);
  EXPECT_EQ(dad.GetEntryEnd(2), 7) << "the last entry ends with the closing record";
  EXPECT_EQ(dad.GetLongestEntry(), 4u);
  int32_t offset = -1;
  EXPECT_EQ(dad.GetEntryAtFrame(6, &offset), 2);
  EXPECT_EQ(offset, 0);
  EXPECT_EQ(dad.GetEntryAtFrame(7, &offset), 2);
  EXPECT_EQ(offset, 1);
  EXPECT_EQ(dad.GetEntryAtFrame(8, &offset), -1);
  EXPECT_EQ(dad.GetFrameData(4).size(), 1u);
  EXPECT_EQ(dad.GetFrameData(4)[0], 13);
  EXPECT_TRUE(dad.GetFrameData(6).empty()) << "an offset past the block points at nothing";
  ASSERT_EQ(dad.GetReferences().size(), 2u);
  EXPECT_EQ(dad.GetReferences()[0].name, "FACE");
  EXPECT_EQ(dad.GetReferences()[1].second, 4);
}

std::vector<uint8_t> WithWord(std::vector<uint8_t> bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
  return bytes;
}

TEST_F(AnimFileTest, EveryDamageOfADagFileHasItsStatusAndLeavesNothingLoaded) {
  kvxtools::DagFileSpec spec = ThreeEntries();
  const std::vector<uint8_t> good = kvxtools::WriteDag(spec);
  // Magic and header 16, skipped length 4 + 3, frame count 4 + 6 x 16, picture count at 123.
  constexpr size_t kFrameCount = 23;
  constexpr size_t kPictureCount = 123;
  constexpr size_t kFirstOffset = kPictureCount + 8;
  spec.entry_count = 4;
  const std::vector<uint8_t> four_entries = kvxtools::WriteDag(spec);
  spec.entry_count = 0;
  const std::vector<uint8_t> no_entries = kvxtools::WriteDag(spec);
  const std::vector<uint8_t> bad_picture = [&] {
    std::vector<uint8_t> bytes = good;
    bytes[LoadLe32(&good[kFirstOffset])] = 'X';
    return bytes;
  }();
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    uint32_t status;
  };
  const std::vector<Case> cases = {
      {"magic", WithWord(good, 0, 0x00474144u + 1), CDagFile::kBadHeader},
      {"no entries", no_entries, CDagFile::kBadHeader},
      {"skipped block past the end", WithWord(good, 16, 0xFFFFFFF0u), CDagFile::kShortRead},
      {"frame count past the end", WithWord(good, kFrameCount, 0x10000000u), CDagFile::kShortRead},
      {"picture count past the end", WithWord(good, kPictureCount, 0x7FFFFFFFu), CDagFile::kShortRead},
      {"picture offset past the end", WithWord(good, kFirstOffset, 0xFFFFFF00u), CDagFile::kBadOffset},
      {"picture size past the end", WithWord(good, kFirstOffset - 4, 0x00FFFFFFu), CDagFile::kShortRead},
      {"picture not an image", bad_picture, CDagFile::kBadPicture},
      {"an end marker missing", four_entries, CDagFile::kNoEndMarker},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CDagFile dag;
    ASSERT_EQ(dag.LoadFromMemory(good, false), 0u);
    EXPECT_EQ(dag.LoadFromMemory(c.bytes, false), c.status);
    EXPECT_TRUE(dag.GetFrames().empty());
    EXPECT_EQ(dag.GetPictureCount(), 0u);
  }
  CDagFile dag;
  EXPECT_EQ(dag.Load(game_.EnginePath("MISSING.DAG").c_str(), false), CDagFile::kOpenFailed);
}

}  // namespace

// Damaged and hostile DPK archives: every one fails to open or its entry fails to read with a
// status; none crashes, leaks or asks for a huge buffer (the sanitizer build runs these too).
#include <gtest/gtest.h>

#include <limits>

#include "base/numbers/little_endian.h"
#include "resource/archives/dpk_index.h"
#include "resource/archives/dpk_status.h"
#include "support/dpk_fixture.h"

namespace {

using kvxtools::DpkLayout;
using kvxtools::DpkWriter;

constexpr std::size_t kLongRecord = 13;

// A target that refuses sizes above a limit and remembers the largest size it was asked for.
class BoundedTarget final : public CReadTarget {
 public:
  unsigned char* Allocate(std::uint32_t size) override {
    largest_request = std::max(largest_request, size);
    if (size > 1u << 20) return nullptr;
    block_ = AllocateDataBlock(size);
    return block_.get();
  }
  void Free() override { block_.reset(); }

  std::uint32_t largest_request = 0;

 private:
  DataBlock block_;
};

class DpkDamageTest : public test_support::DpkTest {
 protected:
  // Three entries sharing the prefix "KVX!": a packed one, a stored one and a stored nibbled one.
  DpkLayout SampleLayout() {
    kvxtools::DpkWriterOptions options = Options();
    options.long_records = options.pack = options.common_prefix = true;
    DpkWriter writer(options);
    writer.Add("packed.sob", packed_data_);
    writer.Add("stored.bin", "KVX!0123456789");
    writer.Add("nibbled.bin", "KVX!abcdefghij", true);
    DpkLayout layout;
    std::string error;
    EXPECT_TRUE(writer.LayOut("DAMAGED.DPK", layout, error)) << error;
    EXPECT_TRUE(layout.entries[0].packed);
    return layout;
  }

  static std::uint8_t* Record(DpkLayout& layout, std::size_t number) {
    return layout.index.data() + layout.table_offset + number * kLongRecord;
  }

  // Makes the header's length field agree with a resized index.
  static void FitLength(DpkLayout& layout) {
    layout.header_word =
        (layout.header_word & ~DpkHeaderWord::kLengthMask) | static_cast<std::uint32_t>(layout.index.size());
  }

  // The sample with its name tree replaced by `tree`; e.g. one entry "a": the root
  // {'a' -> child}, the child {0 -> entry 0}.
  DpkLayout WithTree(const std::vector<std::uint8_t>& tree) {
    DpkLayout layout = SampleLayout();
    std::vector<std::uint8_t> index(layout.index.begin(),
                                    layout.index.begin() + static_cast<std::ptrdiff_t>(layout.tree_offset) - 4);
    index.resize(index.size() + 4);
    StoreLe32(index.data() + index.size() - 4, static_cast<std::uint32_t>(tree.size()));
    index.insert(index.end(), tree.begin(), tree.end());
    index.insert(index.end(), layout.index.begin() + static_cast<std::ptrdiff_t>(layout.table_offset),
                 layout.index.end());
    layout.index = std::move(index);
    FitLength(layout);
    return layout;
  }

  // Writes the layout and returns the decoder's status for it.
  int OpenStatus(const DpkLayout& layout) {
    WriteLayout(layout, "DAMAGED.DPK");
    int error = -1;
    const RefPtr<CArchive> archive = Open("DAMAGED.DPK", &error);
    EXPECT_EQ(archive == nullptr, error != 0);
    return error;
  }

  RefPtr<CArchive> OpenLayout(const DpkLayout& layout) {
    WriteLayout(layout, "DAMAGED.DPK");
    return Open("DAMAGED.DPK");
  }

  int StreamStatus(CArchive& archive, std::uint32_t number) {
    int error = -1;
    const RefPtr<CReadStream> stream = archive.OpenEntryStream(number, &error);
    EXPECT_EQ(stream == nullptr, error != 0);
    return error;
  }

  std::int32_t ReadStatus(CArchive& archive, std::uint32_t number) {
    std::int32_t status = -1;
    ReadEntry(archive, number, &status);
    return status;
  }

  static std::string SomewhatPackable() {
    std::string text = "KVX!";
    for (int i = 0; i < 300; ++i) text += "line " + std::to_string(i * i * 7919 % 100003) + "\n";
    return text;
  }

  const std::string packed_data_ = SomewhatPackable();
};

TEST_F(DpkDamageTest, AnIndexThatEndsEarlyFailsToOpen) {
  const DpkLayout layout = SampleLayout();
  std::vector<std::uint8_t> bytes = kvxtools::SealDpk(layout, "DAMAGED.DPK", test_support::kTestDpkKeys);
  bytes.resize(kDpkHeaderSize + layout.index.size() / 2);  // the file ends inside the index
  WriteBytes("DAMAGED.DPK", bytes);
  int error = -1;
  EXPECT_FALSE(Open("DAMAGED.DPK", &error));
  EXPECT_EQ(error, kDpkReadFailed);

  // The header agrees with an index cut inside the entry table, then inside the name tree,
  // then inside the prefix, then before the entry count ends.
  for (const std::size_t length : {layout.table_offset + kLongRecord, layout.tree_offset + 2, layout.prefix_offset + 2,
                                   std::size_t{4}, std::size_t{2}, std::size_t{0}}) {
    DpkLayout cut = layout;
    cut.index.resize(length);
    FitLength(cut);
    EXPECT_EQ(OpenStatus(cut), kDpkDamaged) << length;
  }
}

TEST_F(DpkDamageTest, CountsAndLengthsBeyondTheIndexFailToOpen) {
  DpkLayout huge_count = SampleLayout();
  StoreLe32(huge_count.index.data(), 1'000'000'000);
  EXPECT_EQ(OpenStatus(huge_count), kDpkDamaged);

  DpkLayout long_prefix = SampleLayout();
  long_prefix.index[long_prefix.prefix_offset] = 255;
  long_prefix.index.resize(long_prefix.prefix_offset + 100);
  FitLength(long_prefix);
  EXPECT_EQ(OpenStatus(long_prefix), kDpkDamaged);

  DpkLayout long_tree = SampleLayout();
  StoreLe32(long_tree.index.data() + long_tree.tree_offset - 4, 0xFFFFFFF0u);
  EXPECT_EQ(OpenStatus(long_tree), kDpkDamaged);
}

TEST_F(DpkDamageTest, HeaderLengthsNoFileHoldsFailToOpen) {
  DpkLayout zero_units = SampleLayout();
  zero_units.header_word = DpkHeaderWord::kUnitsFlag | DpkHeaderWord::kNamesFlag;  // 2048 * 0 - 8
  EXPECT_EQ(OpenStatus(zero_units), kDpkReadFailed);

  DpkLayout wrapping_units = SampleLayout();
  wrapping_units.header_word = DpkHeaderWord::kUnitsFlag | 0x200000;  // 2048 * 2^21 wraps to 0
  EXPECT_EQ(OpenStatus(wrapping_units), kDpkReadFailed);

  DpkLayout too_long = SampleLayout();
  too_long.header_word |= DpkHeaderWord::kLengthMask;
  EXPECT_EQ(OpenStatus(too_long), kDpkReadFailed);
}

TEST_F(DpkDamageTest, AnEmptyNameTreeOpensWithEntriesByNumberOnly) {
  DpkLayout layout = WithTree({});
  // The index got shorter, and the data with it: the entry offsets move back as far.
  const auto shift = static_cast<std::uint32_t>(SampleLayout().index.size() - layout.index.size());
  const std::size_t table = layout.index.size() - 3 * kLongRecord;
  for (std::size_t number = 0; number < 3; ++number) {
    std::uint8_t* offset = layout.index.data() + table + number * kLongRecord + 1;
    StoreLe32(offset, LoadLe32(offset) - shift);
  }
  const RefPtr<CArchive> archive = OpenLayout(layout);
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(archive->GetEntryCount(), 3u);
  EXPECT_EQ(ReadEntry(*archive, 1), "KVX!0123456789");
  EXPECT_FALSE(archive->HasEntry("stored.bin"));
  const char* name = "";
  EXPECT_NE(archive->GetEntryInfo(1, &name), nullptr);
  EXPECT_EQ(name, nullptr);
}

TEST_F(DpkDamageTest, DamagedNameTreesFailToOpen) {
  const auto with_tree = [this](std::vector<std::uint8_t> tree) { return WithTree(std::move(tree)); };
  EXPECT_EQ(OpenStatus(with_tree({1, 'a', 0, 0, 1, 0, 0, 0})), 0);
  EXPECT_EQ(OpenStatus(with_tree({1, 'a', 100, 0, 1, 0, 0, 0})), kDpkDamaged);  // the child lies beyond the tree
  EXPECT_EQ(OpenStatus(with_tree({1, 'a', 4, 0, 1, 0, 0, 0})), kDpkDamaged);    // ... exactly at its end
  EXPECT_EQ(OpenStatus(with_tree({1, 'a', 0, 0, 3, 0, 0, 0})), kDpkDamaged);    // a node's records run past it
  EXPECT_EQ(OpenStatus(with_tree({1, 'a', 0, 0, 1, 0, 9, 0})), kDpkDamaged);    // entry 9 of 3

  // Forty nodes whose two records both lead to the next node: 2^40 names if links could share
  // nodes; the walk stops when it has visited more records than the tree holds.
  std::vector<std::uint8_t> shared;
  for (int depth = 0; depth < 40; ++depth) shared.insert(shared.end(), {2, 'a', 3, 0, 'b', 0, 0});
  shared.insert(shared.end(), {1, 0, 0, 0});
  EXPECT_EQ(OpenStatus(with_tree(shared)), kDpkDamaged);
  test_support::ScopedDpkSettings no_tables({false, test_support::kTestDpkKeys});
  EXPECT_EQ(OpenStatus(with_tree(shared)), kDpkDamaged);

  // A name longer than any engine path.
  std::vector<std::uint8_t> deep;
  for (int depth = 0; depth < 300; ++depth) deep.insert(deep.end(), {1, 'x', 0, 0});
  deep.insert(deep.end(), {1, 0, 0, 0});
  EXPECT_EQ(OpenStatus(with_tree(deep)), kDpkDamaged);
}

TEST_F(DpkDamageTest, APrefixLargerThanTheEntryFailsOnlyThatEntry) {
  DpkLayout layout = SampleLayout();
  StoreLe32(Record(layout, 1) + 5, 2);  // stored size 2 under a 4-byte prefix
  StoreLe32(Record(layout, 0) + 9, 3);  // the packed entry unpacks to 3 bytes
  const RefPtr<CArchive> archive = OpenLayout(layout);
  ASSERT_TRUE(archive);
  EXPECT_EQ(ReadStatus(*archive, 0), kDpkDamaged);
  EXPECT_EQ(ReadStatus(*archive, 1), kDpkDamaged);
  EXPECT_EQ(StreamStatus(*archive, 1), kDpkDamaged);
  EXPECT_EQ(ReadEntryByName(*archive, "nibbled.bin"), "KVX!abcdefghij");
}

TEST_F(DpkDamageTest, OffsetsBeyondTheFileFailThatEntry) {
  DpkLayout layout = SampleLayout();
  const std::uint64_t file_size = kDpkHeaderSize + layout.index.size() + layout.body.size();
  StoreLe32(Record(layout, 1) + 1, static_cast<std::uint32_t>(file_size + 100));
  StoreLe32(Record(layout, 0) + 1, static_cast<std::uint32_t>(file_size - 2));  // starts inside, ends outside
  StoreLe32(Record(layout, 2) + 1, static_cast<std::uint32_t>(file_size - 5));
  const RefPtr<CArchive> archive = OpenLayout(layout);
  ASSERT_TRUE(archive);
  EXPECT_EQ(ReadStatus(*archive, 1), kDpkSeekFailed);
  EXPECT_EQ(StreamStatus(*archive, 1), kDpkSeekFailed);
  EXPECT_EQ(ReadStatus(*archive, 0), kDpkReadFailed);
  EXPECT_EQ(ReadStatus(*archive, 2), kDpkReadFailed);
  EXPECT_EQ(StreamStatus(*archive, 2), kDpkReadFailed);

  // In units the offset is multiplied out in 64 bits, never wrapped back into the file.
  kvxtools::DpkWriterOptions options = Options();
  options.units = true;
  DpkWriter writer(options);
  writer.Add("one", "1");
  DpkLayout units;
  std::string error;
  ASSERT_TRUE(writer.LayOut("DAMAGED.DPK", units, error)) << error;
  StoreLe32(units.index.data() + units.table_offset + 1, 0x00200001u);  // 2^32 + 2048 bytes
  const RefPtr<CArchive> wrapped = OpenLayout(units);
  ASSERT_TRUE(wrapped);
  EXPECT_EQ(ReadStatus(*wrapped, 0), kDpkSeekFailed);
}

TEST_F(DpkDamageTest, PackedEntriesNeverAskForMoreThanTheirDataCanUnpackTo) {
  DpkLayout layout = SampleLayout();
  StoreLe32(Record(layout, 0) + 9, 0xFFFFFFF0u);
  const RefPtr<CArchive> archive = OpenLayout(layout);
  ASSERT_TRUE(archive);
  BoundedTarget target;
  EXPECT_EQ(archive->ReadEntry(0, target, {}), kDpkUnpackFailed);
  EXPECT_EQ(target.largest_request, 0u);

  // Packed data that ends before the entry is full.
  DpkLayout cut = SampleLayout();
  const std::uint32_t packed_size = cut.entries[0].stored_size;
  const std::uint32_t shorter = packed_size / 2;
  ASSERT_GE((shorter + 16) / 17 * 144, packed_data_.size() - 4);  // passes the size bound, so it reaches the decoder
  StoreLe32(Record(cut, 0) + 5, shorter);
  const RefPtr<CArchive> short_packed = OpenLayout(cut);
  ASSERT_TRUE(short_packed);
  EXPECT_EQ(ReadStatus(*short_packed, 0), kDpkUnpackFailed);
}

TEST_F(DpkDamageTest, FilesThatAreNoArchivesAndMissingFiles) {
  game_.WriteFile("SHORT.DPK", "DPK1");
  game_.WriteFile("OTHER.DPK", "PK\x03\x04 and more than eight bytes");
  int error = -1;
  EXPECT_FALSE(Open("SHORT.DPK", &error));
  EXPECT_EQ(error, kDpkReadFailed);
  EXPECT_FALSE(Open("OTHER.DPK", &error));
  EXPECT_EQ(error, kDpkBadMagic);
  EXPECT_FALSE(Open("MISSING.DPK", &error));
  EXPECT_EQ(error, kDpkNotFound);
  plat::FileHandle closed;
  EXPECT_FALSE(decoder_.Open(nullptr, closed, &error));
  EXPECT_EQ(error, kDpkBadArgument);

  // A refused file stays with the caller; an accepted one moves into the archive.
  plat::FileHandle other = plat::FileHandle::Open(game_.EnginePath("OTHER.DPK"), plat::FileOpenMode::kRead);
  EXPECT_FALSE(decoder_.Open(game_.EnginePath("OTHER.DPK").c_str(), other, &error));
  EXPECT_TRUE(other.IsOpen());
  WriteLayout(SampleLayout(), "GOOD.DPK");
  plat::FileHandle good = plat::FileHandle::Open(game_.EnginePath("GOOD.DPK"), plat::FileOpenMode::kRead);
  const RefPtr<CArchive> archive = decoder_.Open(game_.EnginePath("GOOD.DPK").c_str(), good, &error);
  ASSERT_TRUE(archive);
  EXPECT_FALSE(good.IsOpen());
  EXPECT_EQ(ReadEntryByName(*archive, "PACKED.SOB"), packed_data_);
}

TEST_F(DpkDamageTest, TheDataFileLayerRefusesToMountADamagedArchive) {
  ASSERT_EQ(RegisterDpkDecoder(*files_), 0u);
  DpkLayout layout = SampleLayout();
  StoreLe32(layout.index.data(), 1'000'000'000);
  WriteLayout(layout, "SCRIPT.DPK");
  EXPECT_EQ(files_->MountArchive("SCRIPT.DPK", -2, 1, true, nullptr), static_cast<unsigned>(kDpkDamaged));
  EXPECT_EQ(files_->GetMountCount(), 0u);
}

}  // namespace

// The user variables: the three copies, their pointer cells and fix-ups, the class and kind
// selectors, and the serialised form.
#include "script/script_variables.h"

#include <gtest/gtest.h>

#include "sob_builder.h"

namespace {

class ScriptVariablesTest : public ::testing::Test {
 protected:
  // 0: a value (class 1) whose first word points at the text of 1; 1: a text pointer variable
  // (class 2); 2: a third-kind block (class 0); 3: a value of class 2.
  void SetUp() override {
    kvxtools::UserVarBuilder builder;
    builder.AddVariable(0, 1, 8, {0, 0, 0, 0, 7, 0, 0, 0});
    builder.AddVariable(1, 2, 8, {'a', 'b', 'c', 0});
    builder.AddVariable(2, 0, 4, {9});
    builder.AddVariable(0, 2, 4, {3});
    builder.AddFixup(builder.OffsetOf(0), builder.OffsetOf(1));
    file_ = builder.Build();
    ASSERT_EQ(ParseUserVarObject(file_, object_), 0u);
    ASSERT_TRUE(variables_.Install(object_, true, true));
  }

  std::uint32_t Block(std::uint32_t number, VariableCopy copy = VariableCopy::kLive) const {
    return variables_.BlockOf(copy, number).value();
  }
  std::uint32_t LiveWord(std::uint32_t number, std::uint32_t word = 0) const { return memory_.Word(Block(number) + 4 * word); }

  ScriptMemory memory_;
  ScriptVariables variables_{memory_};
  std::vector<std::uint8_t> file_;
  UserVarObject object_;
};

TEST_F(ScriptVariablesTest, PointerCellsPointIntoTheirOwnCopyAndFixupsIntoTheLiveImage) {
  const std::vector<ScriptVariable>& live = variables_.Table();
  ASSERT_EQ(live.size(), 4u);
  const std::uint32_t live_image = variables_.ImageAddress(VariableCopy::kLive);
  EXPECT_EQ(live[0].address, live_image);
  EXPECT_NE(live[1].address, live_image + 8);  // a cell outside the image
  EXPECT_EQ(memory_.Word(live[1].address), live_image + 8);
  for (const VariableCopy copy : {VariableCopy::kInitial, VariableCopy::kBackup}) {
    const std::uint32_t image = variables_.ImageAddress(copy);
    EXPECT_NE(image, live_image);
    EXPECT_EQ(memory_.Word(variables_.Table(copy)[1].address), image + 8);
    EXPECT_EQ(memory_.Word(image), live_image + 8);  // the fix-up
  }
  EXPECT_EQ(LiveWord(0), live_image + 8);
  EXPECT_EQ(variables_.Find(live[1].address), 1);
  EXPECT_EQ(variables_.Find(live_image + 8), -1);
}

TEST_F(ScriptVariablesTest, ClearResetAndBackupFollowTheSelectors) {
  variables_.Clear(2, 0);  // class 1: variable 0
  EXPECT_EQ(LiveWord(0, 1), 0u);
  EXPECT_EQ(LiveWord(3), 3u);
  variables_.Clear(0, 2);  // kind 1: variable 1
  EXPECT_EQ(LiveWord(1), 0u);
  variables_.Clear(0, 9);  // no kind
  EXPECT_EQ(LiveWord(2), 9u);

  EXPECT_EQ(variables_.Reset(9, 0), 0u);
  EXPECT_EQ(LiveWord(0), variables_.ImageAddress(VariableCopy::kLive) + 8);  // a live pointer, not an initial one
  EXPECT_EQ(LiveWord(0, 1), 7u);
  EXPECT_EQ(LiveWord(1), 0x00636261u);

  memory_.SetWord(Block(3), 44);
  EXPECT_EQ(variables_.SaveToBackup(3, 1), 0u);  // class 2, kind 0: variable 3
  memory_.SetWord(Block(3), 55);
  memory_.SetWord(Block(0), 66);
  EXPECT_EQ(variables_.RestoreFromBackup(0, 0), 0u);
  EXPECT_EQ(LiveWord(3), 44u);
  EXPECT_EQ(LiveWord(0), variables_.ImageAddress(VariableCopy::kLive) + 8);

  memory_.SetWord(Block(2), 12);
  EXPECT_EQ(variables_.SaveOneToBackup(Block(2)), 0u);
  EXPECT_EQ(memory_.Word(Block(2, VariableCopy::kBackup)), 12u);
  EXPECT_EQ(variables_.SaveOneToBackup(Block(2) + 2), 2u);
  EXPECT_EQ(variables_.Mark(variables_.Table()[1].address), 0u);
  EXPECT_EQ(variables_.Marked(), std::vector<std::uint32_t>{1});

  ScriptVariables without_copies(memory_);
  ASSERT_TRUE(without_copies.Install(object_, false, false));
  EXPECT_EQ(without_copies.Reset(0, 0), 1u);
  EXPECT_EQ(without_copies.SaveToBackup(0, 0), 1u);
  EXPECT_EQ(without_copies.RestoreFromBackup(0, 0), 1u);
  EXPECT_EQ(without_copies.Mark(without_copies.Table()[0].address), 1u);
  EXPECT_EQ(without_copies.SerialisedSize(2, true), 0u);
  ByteWriter out;
  EXPECT_EQ(without_copies.Write(out, 2, true), 2u);
}

TEST_F(ScriptVariablesTest, TheSerialisedFormRoundTripsAndRefusesDataOfOtherClasses) {
  EXPECT_EQ(variables_.SerialisedSize(2, false), 1u + 9 + 9 + 5);  // kind 2 left out
  ByteWriter all;
  ASSERT_EQ(variables_.Write(all, 2, false), 0u);
  EXPECT_EQ(all.Size(), variables_.SerialisedSize(2, false));
  ByteWriter class2;
  ASSERT_EQ(variables_.Write(class2, 1, false), 0u);
  EXPECT_EQ(class2.Data()[0], 1u);

  variables_.Clear(0, 0);
  ByteReader reader(all.Data());
  ASSERT_EQ(variables_.ReadRecord(reader), 0u);
  EXPECT_EQ(LiveWord(0, 1), 7u);
  EXPECT_EQ(LiveWord(1), 0x00636261u);
  EXPECT_EQ(LiveWord(3), 3u);
  EXPECT_EQ(reader.Left(), 0u);

  // Class-2 data read as class-1 data: the kind byte of the pointer variable is not 0.
  variables_.Clear(0, 0);
  std::vector<std::uint8_t> wrong = class2.Data();
  wrong[0] = 0;
  ByteReader wrong_reader(wrong);
  EXPECT_EQ(variables_.ReadRecord(wrong_reader), 1u);
  // Data that ends early (written before the table grew) restores the variables it holds whole.
  variables_.Clear(0, 0);
  std::vector<std::uint8_t> cut(all.Data().begin(), all.Data().end() - 1);
  ByteReader cut_reader(cut);
  EXPECT_EQ(variables_.ReadRecord(cut_reader), 0u);
  EXPECT_EQ(LiveWord(0, 1), 7u);
  EXPECT_EQ(LiveWord(3), 0u);
  // Read, unlike the record walk, takes data that fits whole or nothing.
  variables_.Clear(0, 0);
  ByteReader all_or_nothing(std::span<const std::uint8_t>(cut).subspan(1));
  EXPECT_EQ(variables_.Read(all_or_nothing, cut[0]), 1u);
  EXPECT_EQ(LiveWord(0, 1), 0u);
}

TEST_F(ScriptVariablesTest, ACellPointedOutsideTheMemoryIsNeverFollowed) {
  memory_.SetWord(variables_.Table()[1].address, 0xFFFFFF00);
  EXPECT_FALSE(variables_.BlockOf(VariableCopy::kLive, 1));
  variables_.Clear(0, 0);
  EXPECT_EQ(variables_.Reset(0, 0), 0u);
  ByteWriter out;
  EXPECT_EQ(variables_.Write(out, 2, false), 3u);
}

}  // namespace

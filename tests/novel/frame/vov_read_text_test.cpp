// The scenario machine's read-text table (VOV_INIT.DAT) and read-text log (TEXT_LOG.DAT).
#include <gtest/gtest.h>

#include <optional>

#include "base/numbers/little_endian.h"
#include "novel/frame/vov_test_files.h"
#include "support/script_folders.h"

namespace {

using kvxtools::TobBuilder;

class VovReadTextTest : public vov_test::VovFilesTest {
 protected:
  void SetUp() override {
    VovFilesTest::SetUp();
    WriteTable({{"MAIN", 20, 4}, {"MAIN", 12, 2}, {"SUB", 9, 0}});
    ASSERT_EQ(vm_->LoadInitData("VOV_INIT.DAT"), 0u);
    game_.MakeFolder("SAVE");
    vm_->SetSaveFolder(game_.EnginePath("SAVE\\").c_str());
    folders_.emplace(game_.EnginePath(), game_.EnginePath("SAVE\\"));
    WriteLabelled("MAIN");
    WriteLabelled("SUB");
    WriteLabelled("NOPE");
  }
  std::optional<test_support::ScopedScriptFolders> folders_;

  void WriteTable(const std::vector<kvxtools::VovInitRecord>& records) {
    WriteScript("VOV_INIT.DAT", kvxtools::BuildVovInit(records));
  }
  std::vector<std::uint8_t> SavedLog() const {
    const std::string file = game_.ReadFile("SAVE/TEXT_LOG.DAT");
    return {file.begin(), file.end()};
  }
  void WriteLog(const std::vector<std::uint8_t>& bytes) {
    game_.WriteFile("SAVE/TEXT_LOG.DAT", sob_test::AsText(bytes));
    plat::UpdateListingOf(game_.HostPath() + "SAVE/TEXT_LOG.DAT");
  }
  // A log of stored (unpacked) records.
  static std::vector<std::uint8_t> StoredLog(const std::vector<ReadTextRecord>& records) {
    ByteWriter data;
    WriteTextLogRecords(records, data);
    ByteWriter file;
    file.Text("TSLG");
    file.Word(static_cast<std::uint32_t>(data.Size()));
    file.Word(0);
    file.Word(static_cast<std::uint32_t>(records.size()));
    file.Bytes(data.Data());
    return file.Take();
  }
  static ReadTextRecord Record(std::string name, std::uint32_t lines, std::uint32_t choices) {
    ReadTextRecord record;
    record.name_length = static_cast<std::uint8_t>(name.size() + 1);
    record.name = std::move(name);
    record.read_lines.Resize(lines);
    record.choices.Resize(choices);
    return record;
  }
  const ReadTextRecord& TableRecord(std::size_t n) const { return vm_->ReadTextRecords()[n]; }
};

TEST_F(VovReadTextTest, TheTableGivesEveryScriptItsRecord) {
  EXPECT_EQ(vm_->LoadTob("NOPE", true), CVovVM::kTobNotInTable);
  ASSERT_EQ(vm_->LoadMainScript("sub"), 0u);  // the name is compared upper-cased
  EXPECT_EQ(vm_->CurrentScript()->ReadTextIndex(), 2);
  EXPECT_FALSE(vm_->IsLineRead(3));
  EXPECT_EQ(vm_->MarkLineRead(3), 0);
  EXPECT_EQ(vm_->MarkLineRead(9), static_cast<std::int32_t>(CBitArray::kOutOfRange));
  EXPECT_TRUE(vm_->IsLineRead(3));
  EXPECT_EQ(vm_->GetReadLineCount("Sub"), 1u);
  EXPECT_EQ(vm_->GetReadLineCount(nullptr), 1u);

  EXPECT_EQ(vm_->GetLineCount(nullptr), 41u);  // every script's lines summed
  EXPECT_EQ(vm_->GetLineCount("main"), 20u);   // the first record of the name
  EXPECT_EQ(vm_->GetLineCount("NONE"), 0u);
  EXPECT_FALSE(vm_->IsAllRead("SUB"));
  for (std::uint32_t line = 0; line < 9; ++line) vm_->MarkLineRead(line);
  EXPECT_TRUE(vm_->IsAllRead("SUB"));
  EXPECT_FALSE(vm_->IsAllRead(nullptr));

  vm_->ResetScripts();
  EXPECT_EQ(vm_->MarkLineRead(0), -1);  // no current record
  EXPECT_FALSE(vm_->IsLineRead(3));
}

TEST_F(VovReadTextTest, ADamagedOrOversizedTableKeepsThePreviousOne) {
  std::vector<std::uint8_t> huge = kvxtools::BuildVovInit({{"A", 0x7FFFFFFF, 0}, {"B", 0x7FFFFFFF, 0}});
  WriteScript("HUGE.DAT", huge);
  EXPECT_EQ(vm_->LoadInitData("HUGE.DAT"), CVovVM::kInitNoMemory);
  std::vector<std::uint8_t> cut = kvxtools::BuildVovInit({{"A", 1, 1}});
  cut.pop_back();
  WriteScript("CUT.DAT", cut);
  EXPECT_EQ(vm_->LoadInitData("CUT.DAT"), CVovVM::kInitDamaged);
  std::vector<std::uint8_t> counted = kvxtools::BuildVovInit({{"A", 1, 1}});
  StoreLe32(counted.data(), 0x10000000);
  WriteScript("COUNT.DAT", counted);
  EXPECT_EQ(vm_->LoadInitData("COUNT.DAT"), CVovVM::kInitDamaged);
  EXPECT_EQ(vm_->LoadInitData("MISSING.DAT"), CVovVM::kInitUnreadable);
  ASSERT_EQ(vm_->ReadTextRecords().size(), 3u);
  EXPECT_EQ(TableRecord(2).name, "SUB");
}

TEST_F(VovReadTextTest, TheLogRoundTripsPackedAndStored) {
  ASSERT_EQ(vm_->LoadMainScript("MAIN"), 0u);
  for (std::uint32_t line = 0; line < 20; line += 2) vm_->MarkLineRead(line);
  EXPECT_EQ(vm_->SaveTextLog(nullptr), 1u);  // no name
  ASSERT_EQ(vm_->SetLogFileName("TEXT_LOG.DAT"), 0u);
  ASSERT_EQ(vm_->SaveTextLog(nullptr), 0u);
  const std::vector<std::uint8_t> packed = SavedLog();
  ASSERT_EQ(std::string(packed.begin(), packed.begin() + 4), "TSLG");
  EXPECT_NE(LoadLe32(packed.data() + 8), 0u);  // packed
  EXPECT_EQ(LoadLe32(packed.data() + 12), 3u);

  CVovVM later(*runtime_);
  later.SetSaveFolder(game_.EnginePath("SAVE\\").c_str());
  ASSERT_EQ(later.LoadInitData("VOV_INIT.DAT"), 0u);
  ASSERT_EQ(later.LoadTextLog("TEXT_LOG.DAT"), 0u);
  EXPECT_EQ(later.GetReadLineCount("MAIN"), 10u);
  EXPECT_EQ(later.ReadTextRecords()[0].read_lines.Bytes()[0], 0x55);

  CVovVM stored(*runtime_);
  stored.SetSaveFolder(game_.EnginePath("SAVE\\").c_str());
  ASSERT_EQ(stored.LoadInitData("VOV_INIT.DAT"), 0u);
  WriteLog(StoredLog(vm_->ReadTextRecords()));
  ASSERT_EQ(stored.LoadTextLog("TEXT_LOG.DAT"), 0u);  // an unpacked-size field of 0: stored data
  EXPECT_EQ(stored.GetReadLineCount(nullptr), 10u);
}

TEST_F(VovReadTextTest, LogEntriesFindTheirRecordsByNameAndSize) {
  std::vector<ReadTextRecord> logged{Record("MAIN", 20, 4), Record("MAIN", 13, 2), Record("OTHER", 1, 1),
                                     Record("SUB", 9, 0)};
  logged[0].read_lines.SetBit(1, true);
  logged[1].read_lines.SetBit(2, true);   // 13 lines now 12: its read bits stay clear
  logged[1].choices.SetBit(1, true);      // 2 choices still 2: taken
  logged[3].read_lines.SetBit(8, true);
  WriteLog(StoredLog(logged));
  ASSERT_EQ(vm_->LoadTextLog("TEXT_LOG.DAT"), 0u);
  EXPECT_TRUE(TableRecord(0).read_lines.TestBit(1));
  EXPECT_EQ(TableRecord(1).read_lines.CountBits(), 0u);
  EXPECT_TRUE(TableRecord(1).choices.TestBit(1));
  EXPECT_TRUE(TableRecord(2).read_lines.TestBit(8));
}

TEST_F(VovReadTextTest, ADamagedLogLeavesEveryBitClear) {
  std::vector<ReadTextRecord> logged{Record("MAIN", 20, 4), Record("MAIN", 12, 2), Record("SUB", 9, 0)};
  for (ReadTextRecord& record : logged) record.read_lines.SetBit(0, true);
  const std::vector<std::uint8_t> good = StoredLog(logged);
  std::vector<std::vector<std::uint8_t>> bad;
  bad.push_back(std::vector<std::uint8_t>(good.begin(), good.end() - 1));  // data cut short
  bad.push_back(good);
  StoreLe32(bad.back().data() + 12, 4);  // one record more than the data holds
  bad.push_back(good);
  bad.back()[16 + 1 + 5 + 4 + 3] = 0xFF;  // the first record's line byte count runs past the data
  bad.push_back(good);
  StoreLe32(bad.back().data() + 8, 1000);  // data that does not unpack
  bad.push_back(good);
  bad.back()[0] = 'X';
  for (const std::vector<std::uint8_t>& bytes : bad) {
    WriteLog(bytes);
    EXPECT_EQ(vm_->LoadTextLog("TEXT_LOG.DAT"), 2u);
    EXPECT_EQ(vm_->GetReadLineCount(nullptr), 0u);
  }
  EXPECT_EQ(vm_->LoadTextLog("NONE.DAT"), 1u);
  EXPECT_EQ(vm_->LoadTextLog("..\\TEXT_LOG.DAT"), 1u);
  EXPECT_EQ(vm_->LoadTextLog(nullptr), 1u);
}

TEST_F(VovReadTextTest, TheMachineWritesItsLogWhenItEnds) {
  {
    CVovVM machine(*runtime_);
    machine.SetSaveFolder(game_.EnginePath("SAVE\\").c_str());
    ASSERT_EQ(machine.LoadInitData("VOV_INIT.DAT"), 0u);
    ASSERT_EQ(machine.SetLogFileName("TEXT_LOG.DAT"), 0u);
    ASSERT_EQ(machine.LoadMainScript("SUB"), 0u);
    machine.MarkLineRead(4);
  }
  ASSERT_EQ(vm_->LoadTextLog("TEXT_LOG.DAT"), 0u);
  EXPECT_TRUE(vm_->ReadTextRecords()[2].read_lines.TestBit(4));
  EXPECT_EQ(CVovVM(*runtime_).SaveTextLog("TEXT_LOG.DAT"), 2u);  // no table
  EXPECT_EQ(CVovVM(*runtime_).LoadTextLog("TEXT_LOG.DAT"), 0u);
}

}  // namespace

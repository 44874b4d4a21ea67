// The variable files, the persistent file and the text-log file of the script host.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>

#include "base/numbers/little_endian.h"
#include "platform/files/file_system_ops.h"
#include "script/script_host.h"
#include "sob_builder.h"
#include "support/script_folders.h"
#include "support/temp_game_folder.h"
#include "support/sob_test_files.h"

namespace {

class ScriptHostFilesTest : public sob_test::ScriptFilesTest {
 protected:
  void SetUp() override {
    ScriptFilesTest::SetUp();
    kvxtools::UserVarBuilder builder;
    value_ = builder.AddVariable(0, 1, 8, {1, 2, 3, 4, 5, 6, 7, 8});  // the value variable
    text_ = builder.AddVariable(1, 1, 8, {'h', 'e', 'y', 0});         // the string variable
    keep_ = builder.AddVariable(0, 2, 4, {40});                       // class 2: the persistent one
    builder.AddVariable(2, 1, 4, {2});                                // kind 2: never serialised
    WriteScriptFile("USER_VAR.SOB", builder.Build());
    WriteScriptFile("SOB_INIT.DAT", kvxtools::BuildSobInit({{"MAIN", 20, 4}, {"MAIN", 12, 2}, {"SUB", 9, 0}}));
    kvxtools::VoiceInfoSource voices{"ogg", {{"A", std::nullopt, false, {"A1"}}, {"B", std::nullopt, false, {}}}};
    WriteScriptFile("VOICEINF.DAT", kvxtools::BuildVoiceInfo(voices));
    host_ = std::make_unique<CScriptHost>();
    ASSERT_EQ(host_->LoadLibraries("SCRIPT\\SOB_INIT.DAT", "SCRIPT\\USER_VAR.SOB", nullptr, true, true), 0u);
    ASSERT_EQ(host_->LoadVoiceInfo("SCRIPT\\VOICEINF.DAT"), 0u);
    game_.MakeFolder("SAVE");
    host_->SetSaveFolder(game_.EnginePath("SAVE\\").c_str());
    folders_.emplace(game_.EnginePath(), game_.EnginePath("SAVE\\"));
  }

  std::uint32_t Address(std::uint32_t number) const { return host_->Variables().Table()[number].address; }
  std::uint32_t Block(std::uint32_t number) const { return host_->Variables().BlockOf(VariableCopy::kLive, number).value(); }
  std::uint32_t Word(std::uint32_t number, std::uint32_t word = 0) const { return host_->Memory().Word(Block(number) + 4 * word); }
  void SetWord(std::uint32_t number, std::uint32_t value) { host_->Memory().SetWord(Block(number), value); }
  std::string Text(std::uint32_t number) const { return host_->Memory().String(Block(number)); }
  std::string SavedFile(std::string_view name) const { return game_.ReadFile("SAVE/" + std::string(name)); }
  void WriteSavedFile(std::string_view name, std::string_view bytes) { game_.WriteFile("SAVE/" + std::string(name), bytes); }

  std::optional<test_support::ScopedScriptFolders> folders_;
  std::unique_ptr<CScriptHost> host_;
  std::uint32_t value_ = 0;
  std::uint32_t text_ = 0;
  std::uint32_t keep_ = 0;
};

TEST_F(ScriptHostFilesTest, AVariableFileRoundTrips) {
  ASSERT_EQ(host_->SaveVariableFile("VAR.DAT", 2, Address(value_), Address(text_), false), 0u);
  const std::string file = SavedFile("VAR.DAT");
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
  EXPECT_EQ(LoadLe32(bytes + 8), 8u);       // D: the value variable's block
  EXPECT_EQ(LoadLe32(bytes + 20), 4u);      // T: "hey" and its zero
  EXPECT_EQ(file.substr(24, 4), std::string("hey", 4));
  EXPECT_EQ(bytes[28], 2);                  // the selector
  EXPECT_EQ(game_.Exists("SAVE/VAR.DAT"), true);

  host_->ClearVariables(0, 0);
  EXPECT_EQ(host_->LoadVariableFile("VAR.DAT"), 0u);
  EXPECT_EQ(Word(value_, 1), 0x08070605u);
  EXPECT_EQ(Text(text_), "hey");
  EXPECT_EQ(Word(keep_), 40u);
  EXPECT_EQ(Word(3), 0u);  // kind 2 is not in the file

  host_->ClearVariables(0, 0);
  EXPECT_EQ(host_->ReadVariableFileInfo("VAR.DAT", Address(value_), Address(text_)), 0u);
  EXPECT_EQ(Word(value_), 0x04030201u);
  EXPECT_EQ(Text(text_), "hey");
  EXPECT_EQ(Word(keep_), 0u);  // only the two leading blocks

  // The stored name serves calls without one; without either the result is 1.
  EXPECT_EQ(host_->LoadVariableFile(nullptr), 1u);
  ASSERT_TRUE(host_->SetVariableFileName("VAR.DAT"));
  EXPECT_EQ(host_->LoadVariableFile(nullptr), 0u);
  EXPECT_EQ(host_->LoadVariableFile("NONE.DAT"), 1u);
}

TEST_F(ScriptHostFilesTest, FileNamesThatScriptsChooseStayInsideTheSaveFolder) {
  game_.MakeFolder("SAVE/SUB");
  EXPECT_EQ(host_->SaveVariableFile("SUB\\VAR.DAT", 2, 0, 0, false), 0u);
  EXPECT_TRUE(game_.Exists("SAVE/SUB/VAR.DAT"));
  game_.WriteFile("OUT.DAT", SavedFile("SUB/VAR.DAT"));
  for (const char* name : {"..\\OUT.DAT", "SUB\\..\\..\\OUT.DAT", "\\OUT.DAT", "Z:\\OUT.DAT", "C:OUT.DAT"}) {
    EXPECT_EQ(host_->SaveVariableFile(name, 2, 0, 0, false), 1u) << name;
    EXPECT_EQ(host_->LoadVariableFile(name), 1u) << name;
    EXPECT_EQ(host_->SavePersistentFile(name), 1u) << name;
    EXPECT_EQ(host_->SaveTextLog(name), 1u) << name;
    EXPECT_EQ(host_->LoadTextLog(name), 1u) << name;
  }
  EXPECT_EQ(game_.ReadFile("OUT.DAT"), SavedFile("SUB/VAR.DAT"));
}

// A name that stays inside the save folder as text but passes a folder link out of it: the
// variable file, the persistent file and the text log (31, 35 and the names of 34 and 495) are
// neither written there nor read from there.
TEST_F(ScriptHostFilesTest, TheFilesScriptsNameAreNotReachedThroughAFolderLink) {
  const test_support::TempGameFolder outside;
  std::filesystem::create_symlink(outside.HostPath(), game_.HostPath() + "SAVE/LINK");
  ASSERT_TRUE(host_->SetVariableFileName("LINK\\KITOUT.DAT"));
  ASSERT_TRUE(host_->SetTextLogName("LINK\\KITLOG.DAT"));
  EXPECT_EQ(host_->SaveVariableFile(nullptr, 2, 0, 0, false), 1u);
  EXPECT_NE(host_->SavePersistentState(), 0u);
  EXPECT_EQ(host_->SaveTextLog(nullptr), 1u);
  EXPECT_TRUE(std::filesystem::is_empty(outside.HostPath()));

  ASSERT_EQ(host_->SaveVariableFile("VAR.DAT", 2, 0, 0, false), 0u);
  ASSERT_EQ(host_->SaveTextLog("LOG.DAT"), 0u);
  outside.WriteFile("KITOUT.DAT", SavedFile("VAR.DAT"));
  outside.WriteFile("KITLOG.DAT", SavedFile("LOG.DAT"));
  EXPECT_EQ(host_->LoadVariableFile(nullptr), 1u);
  EXPECT_EQ(host_->LoadPersistentFile(nullptr), 1u);
  EXPECT_EQ(host_->LoadTextLog(nullptr), 1u);
}

TEST_F(ScriptHostFilesTest, SavingChecksItsVariables) {
  EXPECT_EQ(host_->SaveVariableFile(nullptr, 2, 0, 0, false), 1u);
  EXPECT_EQ(host_->SaveVariableFile("VAR.DAT", 2, Address(text_), 0, false), 4u);
  EXPECT_EQ(host_->SaveVariableFile("VAR.DAT", 2, 0, Address(value_), false), 4u);
  EXPECT_EQ(host_->SaveVariableFile("VAR.DAT", 2, Block(value_) + 1, 0, false), 4u);
  host_->ClearVariables(0, 0);
  kvxtools::UserVarBuilder only_kind2;
  only_kind2.AddVariable(2, 1, 4);
  WriteScriptFile("KIND2.SOB", only_kind2.Build());
  CScriptHost other;
  ASSERT_EQ(other.LoadLibraries(nullptr, "SCRIPT\\KIND2.SOB", nullptr, false, false), 0u);
  other.SetSaveFolder(game_.EnginePath("SAVE\\").c_str());
  EXPECT_EQ(other.SaveVariableFile("VAR.DAT", 2, 0, 0, false), 2u);
  EXPECT_EQ(other.SaveVariableFile("VAR.DAT", 2, 0, 0, true), 2u);
  EXPECT_FALSE(game_.Exists("SAVE/VAR.DAT"));
}

TEST_F(ScriptHostFilesTest, ADamagedVariableFileChangesNoVariable) {
  ASSERT_EQ(host_->SaveVariableFile("VAR.DAT", 2, Address(value_), Address(text_), false), 0u);
  const std::string good = SavedFile("VAR.DAT");
  host_->ClearVariables(0, 0);

  std::string bad_sum = good;
  bad_sum[29] = static_cast<char>(bad_sum[29] + 1);
  WriteSavedFile("BAD.DAT", bad_sum);
  EXPECT_EQ(host_->LoadVariableFile("BAD.DAT"), 2u);
  for (std::size_t size = 0; size < good.size(); ++size) {
    WriteSavedFile("BAD.DAT", good.substr(0, size));
    EXPECT_EQ(host_->LoadVariableFile("BAD.DAT"), 2u) << size;
  }
  EXPECT_EQ(Word(value_), 0u);
  EXPECT_EQ(Text(text_), "");
  EXPECT_EQ(Word(keep_), 0u);

  // Data for another variable table: the pointer variable's kind byte does not match, so the
  // walk stops there with the value variable before it restored.
  std::string other_kinds = good;
  other_kinds[30 + 9] = 0;
  other_kinds[29] = static_cast<char>(other_kinds[29] - 1);
  WriteSavedFile("BAD.DAT", other_kinds);
  EXPECT_EQ(host_->LoadVariableFile("BAD.DAT"), 2u);
  EXPECT_EQ(Word(value_), 0x04030201u);
  EXPECT_EQ(Text(text_), "");
  EXPECT_EQ(Word(keep_), 0u);
}

TEST_F(ScriptHostFilesTest, ReadVariableFileInfoRefusesBlocksLargerThanTheirVariables) {
  ASSERT_EQ(host_->SaveVariableFile("VAR.DAT", 2, Address(value_), Address(text_), false), 0u);
  std::string file = SavedFile("VAR.DAT");
  host_->ClearVariables(0, 0);
  // A stored text longer than the string variable's 8 bytes.
  std::string long_text = file.substr(0, 20);
  std::uint8_t length[4];
  StoreLe32(length, 9);
  long_text.append(reinterpret_cast<const char*>(length), 4).append("ninebytes");
  WriteSavedFile("LONG.DAT", long_text);
  EXPECT_EQ(host_->ReadVariableFileInfo("LONG.DAT", Address(value_), Address(text_)), 3u);
  EXPECT_EQ(Word(value_), 0u);  // nothing written, the value block neither
  EXPECT_EQ(host_->ReadVariableFileInfo("LONG.DAT", Address(value_), 0), 0u);
  EXPECT_EQ(Word(value_), 0x04030201u);

  EXPECT_EQ(host_->ReadVariableFileInfo("VAR.DAT", Address(keep_), 0), 3u);  // 8 bytes into 4
  EXPECT_EQ(host_->ReadVariableFileInfo("VAR.DAT", Address(text_), 0), 3u);  // not kind 0
  EXPECT_EQ(host_->ReadVariableFileInfo("VAR.DAT", 0, Address(value_)), 3u);  // not kind 1
  ASSERT_EQ(host_->SaveVariableFile("EMPTY.DAT", 2, 0, Address(text_), false), 0u);
  EXPECT_EQ(host_->ReadVariableFileInfo("EMPTY.DAT", Address(value_), 0), 2u);  // D = 0
  EXPECT_EQ(host_->ReadVariableFileInfo("EMPTY.DAT", 0, Address(text_)), 0u);
  EXPECT_EQ(host_->ReadVariableFileInfo("MISSING.DAT", 0, 0), 1u);
}

TEST_F(ScriptHostFilesTest, ThePersistentFileKeepsVoiceSettingsAndClassTwoVariables) {
  host_->Voices().characters[1].volume = 100;
  host_->Voices().characters[1].enabled = 0;
  host_->Voices().characters[0].second_name_flag = 1;
  ASSERT_EQ(host_->SavePersistentFile("KEEP.DAT"), 0u);
  EXPECT_EQ(host_->SavePersistentFile(nullptr), 1u);

  SetWord(keep_, 0);
  SetWord(value_, 0);
  host_->Voices().characters[1] = VoiceCharacter{};
  host_->Voices().characters[0].second_name_flag = 0;
  ASSERT_EQ(host_->LoadPersistentFile("KEEP.DAT"), 0u);
  EXPECT_EQ(host_->Voices().characters[1].volume, 100u);
  EXPECT_EQ(host_->Voices().characters[1].enabled, 0);
  EXPECT_EQ(host_->Voices().characters[0].second_name_flag, 1);
  EXPECT_EQ(Word(keep_), 40u);
  EXPECT_EQ(Word(value_), 0u);  // class 1 is not kept

  // With another number of characters only the variables come back.
  host_->Voices().characters.emplace_back();
  host_->Voices().characters[1].volume = 5;
  SetWord(keep_, 0);
  ASSERT_EQ(host_->LoadPersistentFile("KEEP.DAT"), 0u);
  EXPECT_EQ(host_->Voices().characters[1].volume, 5u);
  EXPECT_EQ(Word(keep_), 40u);

  // The host writes it when it ends, under the variable-file name.
  ASSERT_TRUE(host_->SetVariableFileName("END.DAT"));
  host_.reset();
  EXPECT_TRUE(game_.Exists("SAVE/END.DAT"));
}

// A patch adds a persistent variable C after A and B: the file written before it restores A and
// B, C keeps its initial value, and the file written back at exit holds all three.
TEST_F(ScriptHostFilesTest, APersistentFileFromBeforeAPatchRestoresTheVariablesItHolds) {
  const auto load_host = [&](std::initializer_list<std::uint32_t> initial_values) {
    kvxtools::UserVarBuilder builder;
    for (const std::uint32_t value : initial_values) builder.AddVariable(0, 2, 4, {static_cast<std::uint8_t>(value)});
    WriteScriptFile("USER_VAR.SOB", builder.Build());
    auto host = std::make_unique<CScriptHost>();
    EXPECT_EQ(host->LoadLibraries(nullptr, "SCRIPT\\USER_VAR.SOB", nullptr, false, false), 0u);
    host->SetSaveFolder(game_.EnginePath("SAVE\\").c_str());
    return host;
  };
  const auto word = [](const CScriptHost& host, std::uint32_t number) {
    return host.Memory().Word(host.Variables().BlockOf(VariableCopy::kLive, number).value());
  };

  std::unique_ptr<CScriptHost> before = load_host({11, 12});
  ASSERT_EQ(before->SavePersistentFile("KEEP.DAT"), 0u);
  std::unique_ptr<CScriptHost> patched = load_host({1, 2, 33});
  EXPECT_EQ(patched->LoadPersistentFile("KEEP.DAT"), 0u);
  EXPECT_EQ(word(*patched, 0), 11u);
  EXPECT_EQ(word(*patched, 1), 12u);
  EXPECT_EQ(word(*patched, 2), 33u);
  ASSERT_TRUE(patched->SetVariableFileName("KEEP.DAT"));
  patched.reset();

  std::unique_ptr<CScriptHost> next_run = load_host({0, 0, 0});
  EXPECT_EQ(next_run->LoadPersistentFile("KEEP.DAT"), 0u);
  EXPECT_EQ(word(*next_run, 0), 11u);
  EXPECT_EQ(word(*next_run, 1), 12u);
  EXPECT_EQ(word(*next_run, 2), 33u);

  // Reordered kinds: the walk stops at the first variable whose kind differs, keeping A.
  kvxtools::UserVarBuilder reordered;
  reordered.AddVariable(0, 2, 4, {7});
  reordered.AddVariable(1, 2, 4, {8});
  reordered.AddVariable(0, 2, 4, {9});
  WriteScriptFile("USER_VAR.SOB", reordered.Build());
  CScriptHost other;
  ASSERT_EQ(other.LoadLibraries(nullptr, "SCRIPT\\USER_VAR.SOB", nullptr, false, false), 0u);
  other.SetSaveFolder(game_.EnginePath("SAVE\\").c_str());
  EXPECT_EQ(other.LoadPersistentFile("KEEP.DAT"), 0u);
  EXPECT_EQ(word(other, 0), 11u);
  EXPECT_EQ(word(other, 2), 9u);
}

TEST_F(ScriptHostFilesTest, ADamagedPersistentFileChangesNothing) {
  ASSERT_EQ(host_->SavePersistentFile("KEEP.DAT"), 0u);
  const std::string good = SavedFile("KEEP.DAT");
  SetWord(keep_, 1);
  host_->Voices().characters[0].volume = 9;
  for (std::size_t size = 0; size < good.size(); ++size) {
    WriteSavedFile("BAD.DAT", good.substr(0, size));
    EXPECT_EQ(host_->LoadPersistentFile("BAD.DAT"), 2u) << size;
  }
  std::string huge = good;
  StoreLe32(reinterpret_cast<std::uint8_t*>(huge.data()) + 4, 0x7FFFFFFF);  // unpacked size
  WriteSavedFile("BAD.DAT", huge);
  EXPECT_EQ(host_->LoadPersistentFile("BAD.DAT"), 2u);
  EXPECT_EQ(Word(keep_), 1u);
  EXPECT_EQ(host_->Voices().characters[0].volume, 9u);
  EXPECT_EQ(host_->LoadPersistentFile("MISSING.DAT"), 1u);
}

TEST_F(ScriptHostFilesTest, TheTextLogRoundTripsByNameInOrder) {
  std::vector<ReadTextRecord>& records = host_->ReadTextRecords();
  records[0].read_lines.SetBit(3, true);
  records[1].read_lines.SetBit(11, true);
  records[1].choices.SetBit(1, true);
  records[2].read_lines.SetBit(8, true);
  EXPECT_EQ(host_->SaveTextLog(nullptr), 1u);
  ASSERT_TRUE(host_->SetTextLogName("TEXT_LOG.DAT"));
  ASSERT_EQ(host_->SaveTextLog(nullptr), 0u);
  EXPECT_EQ(SavedFile("TEXT_LOG.DAT").substr(0, 4), "TLOG");

  WriteScriptFile("SOB_INIT.DAT", kvxtools::BuildSobInit({{"SUB", 10, 0}, {"MAIN", 20, 4}, {"MAIN", 12, 2}, {"NEW", 1, 1}}));
  CScriptHost later;
  ASSERT_EQ(later.LoadLibraries("SCRIPT\\SOB_INIT.DAT", nullptr, nullptr, false, false), 0u);
  later.SetSaveFolder(game_.EnginePath("SAVE\\").c_str());
  ASSERT_EQ(later.LoadTextLog("TEXT_LOG.DAT"), 0u);
  const std::vector<ReadTextRecord>& loaded = later.ReadTextRecords();
  EXPECT_TRUE(loaded[1].read_lines.TestBit(3));  // the first stored MAIN into the first MAIN
  EXPECT_TRUE(loaded[2].read_lines.TestBit(11));
  EXPECT_TRUE(loaded[2].choices.TestBit(1));
  EXPECT_FALSE(loaded[0].read_lines.TestBit(8));  // SUB's bit count changed: bits kept, still matched
  EXPECT_TRUE(loaded[0].matched);
  EXPECT_FALSE(loaded[3].matched);
}

TEST_F(ScriptHostFilesTest, ADamagedTextLogChangesNothing) {
  host_->ReadTextRecords()[0].read_lines.SetBit(1, true);
  ASSERT_EQ(host_->SaveTextLog("TEXT_LOG.DAT"), 0u);
  const std::string good = SavedFile("TEXT_LOG.DAT");
  host_->ReadTextRecords()[0].read_lines.SetBit(1, false);
  for (std::size_t size = 0; size < good.size(); ++size) {
    WriteSavedFile("BAD.DAT", good.substr(0, size));
    EXPECT_EQ(host_->LoadTextLog("BAD.DAT"), 2u) << size;
  }
  std::string wrong_magic = good;
  wrong_magic[0] = 'X';
  WriteSavedFile("BAD.DAT", wrong_magic);
  EXPECT_EQ(host_->LoadTextLog("BAD.DAT"), 2u);
  EXPECT_FALSE(host_->ReadTextRecords()[0].read_lines.TestBit(1));
  EXPECT_EQ(host_->LoadTextLog("MISSING.DAT"), 1u);
  EXPECT_EQ(host_->LoadTextLog("TEXT_LOG.DAT"), 0u);
  EXPECT_TRUE(host_->ReadTextRecords()[0].read_lines.TestBit(1));

  CScriptHost without_table;
  EXPECT_EQ(without_table.LoadTextLog("TEXT_LOG.DAT"), 0u);
  EXPECT_EQ(without_table.SaveTextLog("TEXT_LOG.DAT"), 2u);
}

TEST_F(ScriptHostFilesTest, SavePersistentStateWritesBothFilesAndReplacesOldOnes) {
  EXPECT_EQ(host_->SavePersistentState(), 2u);
  ASSERT_TRUE(host_->SetVariableFileName("KEEP.DAT"));
  ASSERT_TRUE(host_->SetTextLogName("TEXT_LOG.DAT"));
  WriteSavedFile("KEEP.DAT", "old contents");
  EXPECT_EQ(host_->SavePersistentState(), 0u);
  EXPECT_NE(SavedFile("KEEP.DAT"), "old contents");
  EXPECT_TRUE(game_.Exists("SAVE/TEXT_LOG.DAT"));
  // Nothing but the two files: the temporary files were renamed over them.
  const std::vector<plat::FindData> files = plat::FindFiles(game_.EnginePath("SAVE\\*.*"));
  std::size_t regular = 0;
  for (const plat::FindData& found : files) {
    regular += std::strcmp(found.file_name, ".") != 0 && std::strcmp(found.file_name, "..") != 0 ? 1 : 0;
  }
  EXPECT_EQ(regular, 2u);
}

}  // namespace

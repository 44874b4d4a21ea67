// Linking SOB objects: the five relocation lists, the checks that refuse damaged objects, the
// read-text table and the libraries.
#include <gtest/gtest.h>

#include "script/script_vm.h"
#include "sob_builder.h"
#include "support/sob_test_files.h"

namespace {

using kvxtools::SobObjectBuilder;
using kvxtools::SobObjectKind;
using kvxtools::SobOperand;
using Op = ESobOpcode;

std::uint32_t Native(const NativeArgs&) { return 0; }

std::vector<std::uint8_t> UserVarObject() {
  kvxtools::UserVarBuilder variables;
  variables.AddVariable(0, 1, 8, {1, 2, 3, 4});
  variables.AddVariable(1, 2, 16);
  return variables.Build();
}

std::vector<std::uint8_t> LibraryObject() {
  SobObjectBuilder library;
  library.Emit(Op::Return);
  library.Emit(Op::Return);
  library.Emit(Op::ReturnValue, {7});
  return library.Build(SobObjectKind::kLibrary);
}

// The bytes after the magic.
std::span<const std::uint8_t> Body(const std::vector<std::uint8_t>& file) {
  return std::span<const std::uint8_t>(file).subspan(kSobMagicSize);
}

class SobLinkTest : public sob_test::ScriptFilesTest {
 protected:
  void SetUp() override {
    ScriptFilesTest::SetUp();
    for (int n = 0; n < 3; ++n) ASSERT_EQ(vm_.RegisterNative(Native), 0u);
  }

  std::uint32_t LoadStandardLibraries() {
    WriteScriptFile("USER_VAR.SOB", UserVarObject());
    WriteScriptFile("FUNC_LIB.SOB", LibraryObject());
    WriteScriptFile("SOB_INIT.DAT", kvxtools::BuildSobInit({{"FIRST", 16, 8}, {"MAIN", 40, 4}, {"MAIN", 8, 8}}));
    return vm_.LoadLibraries("SCRIPT\\SOB_INIT.DAT", "SCRIPT\\USER_VAR.SOB", "SCRIPT\\FUNC_LIB.SOB", true, true);
  }

  CScriptVm vm_;
};

TEST_F(SobLinkTest, TheFiveRelocationListsPatchWhatTheyShould) {
  ASSERT_EQ(LoadStandardLibraries(), 0u);
  SobObjectBuilder object;
  const SobObjectBuilder::Label target = object.NewLabel();
  object.EmitWord(SobOperand::UserVariable(1));
  object.EmitWord(SobOperand::Native(2));
  object.EmitWord(SobOperand::HostVariable(0));
  object.EmitWord(SobOperand::Library(8));
  object.EmitWord(SobOperand(target, 4));
  object.EmitWord(0xABCD);
  object.Bind(target);
  object.EmitWord(0);
  object.EmitWord(0);

  const std::vector<std::uint8_t> file = object.Build(SobObjectKind::kScript);
  ASSERT_EQ(vm_.LinkModule(Body(file), 1, false), 0u);
  ASSERT_EQ(vm_.Modules().size(), 2u);
  const std::uint32_t code = vm_.GetCodeBase();
  EXPECT_EQ(code, vm_.Modules().back().code);
  ScriptMemory& memory = vm_.Memory();
  EXPECT_EQ(memory.Word(code), vm_.Variables().Table()[1].address);
  EXPECT_EQ(memory.Word(code + 4), ScriptNativeTable::Token(2));
  EXPECT_EQ(memory.Word(code + 8), vm_.HostVariableAddress(0));
  EXPECT_EQ(memory.Word(code + 12), vm_.LibraryCodeBase() + 8);
  EXPECT_EQ(memory.Word(code + 16), code + 28);
  EXPECT_EQ(memory.Word(code + 20), 0xABCDu);  // no relocation: as stored
  EXPECT_EQ(vm_.CurrentReadTextRecord(), &vm_.ReadTextRecords()[1]);

  // The library is linked once and sits first; only script modules are unloaded.
  EXPECT_TRUE(vm_.Modules().front().library);
  EXPECT_EQ(vm_.Modules().front().code, vm_.LibraryCodeBase());
  EXPECT_EQ(vm_.UnloadScript(), 0u);
  EXPECT_EQ(vm_.UnloadScript(), 1u);
  ASSERT_EQ(vm_.Modules().size(), 1u);
  EXPECT_EQ(memory.Word(vm_.LibraryCodeBase() + 8), static_cast<std::uint32_t>(Op::ReturnValue));
  EXPECT_EQ(vm_.GetCodeBase(), 0u);
  EXPECT_EQ(vm_.CurrentReadTextRecord(), &vm_.ReadTextRecords()[0]);  // the library's record
}

TEST_F(SobLinkTest, DamagedOrWrongObjectsAreRefusedAndLeaveTheModulesAsTheyWere) {
  ASSERT_EQ(LoadStandardLibraries(), 0u);
  const auto refused = [this](const SobOperand& operand, std::uint32_t closing_word = 0) {
    SobObjectBuilder object;
    object.Emit(Op::Return);
    object.EmitWord(operand);
    const std::vector<std::uint8_t> file = object.Build(SobObjectKind::kScript, closing_word);
    const std::size_t modules = vm_.Modules().size();
    const std::uint32_t result = vm_.LinkModule(Body(file), -1, false);
    EXPECT_EQ(vm_.Modules().size(), result == 1 ? modules : modules + 1);
    return result == 1;
  };
  EXPECT_TRUE(refused(0, 1));  // an object built for a debug mode
  EXPECT_TRUE(refused(SobOperand::UserVariable(2)));
  EXPECT_TRUE(refused(SobOperand::Native(3)));
  EXPECT_TRUE(refused(SobOperand::HostVariable(1)));
  // Code addresses may point one past the end of their image (a label after the last
  // instruction), never further.
  EXPECT_TRUE(refused(SobOperand::Library(17)));
  EXPECT_FALSE(refused(SobOperand::Library(16)));
  EXPECT_FALSE(refused(SobOperand::Library(12)));
  EXPECT_TRUE(refused(SobOperand::OwnCode(9)));
  EXPECT_FALSE(refused(SobOperand::OwnCode(8)));
  EXPECT_FALSE(refused(SobOperand::OwnCode(4)));

  SobObjectBuilder sound;
  sound.EmitWord(SobOperand::OwnCode(0));
  std::vector<std::uint8_t> file = sound.Build(SobObjectKind::kScript);
  // A relocation at the last word of the code is fine, one byte further is not.
  StoreLe32(file.data() + 4 + 4 + 4 * 4 + 4, 1);
  const std::size_t modules = vm_.Modules().size();
  EXPECT_EQ(vm_.LinkModule(Body(file), -1, false), 1u);
  // Every truncation is refused.
  StoreLe32(file.data() + 4 + 4 + 4 * 4 + 4, 0);
  for (std::size_t size = 0; size < file.size() - kSobMagicSize; ++size) {
    EXPECT_EQ(vm_.LinkModule(Body(file).first(size), -1, false), 1u) << size;
  }
  EXPECT_EQ(vm_.Modules().size(), modules);
  EXPECT_EQ(vm_.LinkModule(Body(file), -1, false), 0u);
}

TEST_F(SobLinkTest, ANegativeOrZeroCountMeansAnEmptyList) {
  // Lists: user variable count 0, native count -1, then three lists; the closing word.
  ByteWriter relocations;
  relocations.Word(0);
  relocations.Word(0xFFFFFFFF);
  relocations.Word(1);
  relocations.Word(0);
  relocations.Word(0);  // host variable 0 at offset 0
  relocations.Word(0);
  relocations.Word(0);
  relocations.Word(0);
  ByteWriter object;
  object.Word(static_cast<std::uint32_t>(relocations.Size()));
  object.Bytes(relocations.Data());
  object.Word(4);
  object.Word(4);
  object.Word(0);
  ASSERT_EQ(vm_.LinkModule(object.Data(), -1, false), 0u);
  EXPECT_EQ(vm_.Memory().Word(vm_.GetCodeBase()), vm_.HostVariableAddress(0));
}

TEST_F(SobLinkTest, ScriptsAreFoundInTheReadTextTableByTheirUpperCaseTitle) {
  ASSERT_EQ(LoadStandardLibraries(), 0u);
  WriteScript("main", ".kind script\nReturn\n");
  WriteScript("OTHER", ".kind script\nReturn\n");
  ASSERT_EQ(vm_.LoadScript("SCRIPT\\main.sob", nullptr), 0u);
  EXPECT_EQ(vm_.Modules().back().record, 1);  // the first record of the name
  ASSERT_EQ(vm_.LoadScript("SCRIPT\\MAIN.SOB", nullptr), 0u);
  EXPECT_EQ(vm_.Modules().back().record, 1);
  EXPECT_EQ(vm_.LoadScript("SCRIPT\\OTHER.SOB", nullptr), CScriptVm::kScriptRefused);
  EXPECT_EQ(vm_.LoadScript("SCRIPT\\MISSING.SOB", nullptr), CScriptVm::kScriptUnreadable);
  WriteScriptFile("LIB.SOB", LibraryObject());
  EXPECT_EQ(vm_.LoadScript("SCRIPT\\LIB.SOB", nullptr), CScriptVm::kScriptRefused);  // "SOB2"
  EXPECT_EQ(vm_.Modules().size(), 3u);

  // LoadScript prepares the context: ip at the code, the end marker pushed.
  EXPECT_EQ(vm_.Context().Ip(), vm_.GetCodeBase());
  EXPECT_EQ(vm_.Memory().Word(vm_.Context().Sp() - 4), 0u);
  EXPECT_EQ(vm_.Context().Interpret(), kScriptEnded);

  EXPECT_EQ(LoadStandardLibraries(), CScriptVm::kLibrariesLoadedAlready);
  EXPECT_EQ(vm_.Modules().size(), 3u);
}

TEST_F(SobLinkTest, WithoutATableAnyNameLoadsWithoutARecord) {
  WriteScript("ANY", ".kind script\nReturn\n");
  ASSERT_EQ(vm_.LoadLibraries("SCRIPT\\SOB_INIT.DAT", "SCRIPT\\USER_VAR.SOB", "SCRIPT\\FUNC_LIB.SOB", true, true), 0u);
  EXPECT_FALSE(vm_.HasReadTextTable());
  EXPECT_EQ(vm_.LibraryCodeBase(), 0u);
  ASSERT_EQ(vm_.LoadScript("SCRIPT\\ANY.SOB", nullptr), 0u);
  EXPECT_EQ(vm_.Modules().back().record, -1);
  EXPECT_EQ(vm_.CurrentReadTextRecord(), nullptr);
  EXPECT_FALSE(vm_.IsLineRead(0, false));
}

TEST_F(SobLinkTest, LoadLibrariesReportsEachBadFile) {
  const auto load = [](std::vector<std::uint8_t> init, std::vector<std::uint8_t> user_var,
                       std::vector<std::uint8_t> library, std::string_view folder, test_support::TempGameFolder& game) {
    game.WriteFile(std::string(folder) + "/I.DAT", sob_test::AsText(init));
    game.WriteFile(std::string(folder) + "/U.SOB", sob_test::AsText(user_var));
    game.WriteFile(std::string(folder) + "/L.SOB", sob_test::AsText(library));
    CScriptVm vm;
    const std::string base = std::string(folder) + "\\";
    return vm.LoadLibraries((base + "I.DAT").c_str(), (base + "U.SOB").c_str(), (base + "L.SOB").c_str(), true, false);
  };
  const std::vector<std::uint8_t> init = kvxtools::BuildSobInit({{"MAIN", 1, 1}});
  std::vector<std::uint8_t> user_var = UserVarObject();
  std::vector<std::uint8_t> library = LibraryObject();
  EXPECT_EQ(load(init, user_var, library, "A", game_), 0u);

  std::vector<std::uint8_t> cut_init(init.begin(), init.end() - 1);
  EXPECT_EQ(load(cut_init, user_var, library, "B", game_), CScriptVm::kReadTextTableDamaged);
  std::vector<std::uint8_t> wrong = user_var;
  wrong[3] = '0';
  EXPECT_EQ(load(init, wrong, library, "C", game_), CScriptVm::kUserVarBadMagic);
  EXPECT_EQ(load(init, kvxtools::UserVarBuilder().Build(5), library, "D", game_), CScriptVm::kUserVarDamaged);
  kvxtools::UserVarBuilder outside;
  outside.AddVariable(0, 0, 4);
  outside.AddRawVariable({0, 0, 2, 4});  // runs past the image
  EXPECT_EQ(load(init, outside.Build(), library, "E", game_), CScriptVm::kUserVarDamaged);
  wrong = library;
  wrong[3] = '0';
  EXPECT_EQ(load(init, user_var, wrong, "F", game_), CScriptVm::kLibraryBadMagic);
  SobObjectBuilder library_with_library_relocation;
  library_with_library_relocation.EmitWord(SobOperand::Library(0));
  EXPECT_EQ(load(init, user_var, library_with_library_relocation.Build(SobObjectKind::kLibrary), "G", game_),
            CScriptVm::kLibraryLinkFailed);
}

TEST_F(SobLinkTest, ReadTextBitsFollowTheCurrentRecordAndTheCommonOne) {
  ASSERT_EQ(LoadStandardLibraries(), 0u);
  WriteScript("FIRST", ".kind script\nReturn\n");
  ASSERT_EQ(vm_.LoadScript("SCRIPT\\FIRST.SOB", nullptr), 0u);
  vm_.SetLineRead(3, false);
  vm_.SetChoiceMade(1, true);
  EXPECT_TRUE(vm_.IsLineRead(3, false));
  EXPECT_TRUE(vm_.ReadTextRecords()[0].read_lines.TestBit(3));
  EXPECT_TRUE(vm_.ReadTextRecords()[2].choices.TestBit(1));
  EXPECT_TRUE(vm_.IsChoiceMade(1, true));
  EXPECT_FALSE(vm_.IsChoiceMade(1, false));
}

}  // namespace

// The scenario machine: loading scenario objects, labels, transfers, resident scripts and the
// save record.
#include <gtest/gtest.h>

#include "base/numbers/little_endian.h"
#include "novel/frame/vov_test_files.h"

namespace {

using kvxtools::TobBuilder;
using kvxtools::TobOperand;

class VovVmTest : public vov_test::VovFilesTest {};

TEST_F(VovVmTest, OnlyTheTwoMagicsLoadAndOnlyTob1HasALineTable) {
  TobBuilder builder;
  builder.Line();
  builder.Text("x");
  WriteTob("T0", builder, "TOB0");
  WriteTob("T1", builder, "TOB1");
  WriteTob("T2", builder, "TOB2");

  EXPECT_EQ(vm_->LoadTob("T2", true), CVovVM::kTobBadMagic);
  EXPECT_EQ(vm_->LoadMainScript("T2"), 3u);  // LoadTob's failure plus 1
  EXPECT_EQ(vm_->LoadMainScript("NONE"), 2u);
  EXPECT_EQ(vm_->TransientCount(), 0u);

  ASSERT_EQ(vm_->LoadMainScript("T0"), 0u);
  EXPECT_FALSE(vm_->CurrentScript()->HasLineTable());
  EXPECT_EQ(vm_->GetLineOffset(0), 0);  // the table behind the count is read for either magic
  EXPECT_EQ(vm_->LoadMainScript("T1"), CVovVM::kMainScriptLoaded);
  vm_->ResetScripts();
  ASSERT_EQ(vm_->LoadMainScript("T1"), 0u);
  EXPECT_TRUE(vm_->CurrentScript()->HasLineTable());
  EXPECT_EQ(vm_->GetLineOffset(0), 0);
  EXPECT_EQ(vm_->GetLineOffset(1), -1);
  EXPECT_EQ(vm_->Position(), BodyAddress());
}

TEST_F(VovVmTest, TheLineTableIsReadAsTheLastWordsBeforeTheBody) {
  TobBuilder builder;
  builder.Text("ab");
  builder.Line();
  builder.Text("c");
  std::vector<std::uint8_t> bytes = builder.Build();
  // Without labels the second block starts at 12: L2, the count, then the table at 20. A word
  // put between the count and the table moves the table on; the body follows it.
  ASSERT_EQ(LoadLe32(bytes.data() + 16), 1u);
  bytes.insert(bytes.begin() + 20, {0xAA, 0xAA, 0xAA, 0xAA});
  StoreLe32(bytes.data() + 12, LoadLe32(bytes.data() + 12) + 4);
  WriteTobBytes("PADDED", bytes);
  ASSERT_EQ(vm_->LoadMainScript("PADDED"), 0u);
  EXPECT_EQ(vm_->GetLineOffset(0), 2);
  EXPECT_EQ(vm_->BodyByte(0), 'a');
}

TEST_F(VovVmTest, LabelsAreFoundExactlyAndANullLabelIsTheBodyStart) {
  WriteTob("EMPTY", TobBuilder());
  ASSERT_EQ(vm_->LoadMainScript("EMPTY"), 0u);
  EXPECT_EQ(CVovVM::FindLabel(*vm_->CurrentScript(), "A"), -1);
  EXPECT_EQ(CVovVM::FindLabel(*vm_->CurrentScript(), nullptr), 0);

  WriteLabelled("LAB");
  vm_->ResetScripts();
  ASSERT_EQ(vm_->LoadMainScript("LAB"), 0u);
  EXPECT_EQ(CVovVM::FindLabel(*vm_->CurrentScript(), "A"), 4);
  EXPECT_EQ(CVovVM::FindLabel(*vm_->CurrentScript(), "B"), 8);
  EXPECT_EQ(CVovVM::FindLabel(*vm_->CurrentScript(), "b"), -1);
}

TEST_F(VovVmTest, MalformedFilesFailToLoadWithTheirOwnCode) {
  WriteLabelled("GOOD");
  const std::vector<std::uint8_t> good = TobBuilder().Build();
  ASSERT_EQ(vm_->LoadTob("GOOD", true), 0u);

  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<Case> cases;
  {
    TobBuilder builder;
    builder.Label("LONGNAME");
    builder.Text("t");
    std::vector<std::uint8_t> bytes = builder.Build();
    bytes[12] = 40;  // the record's length byte runs past the first block
    cases.push_back({"label record past the first block", bytes});
  }
  {
    TobBuilder builder;
    builder.LabelAt("FAR", 100);
    cases.push_back({"label past the body", builder.Build()});
  }
  {
    TobBuilder builder;
    builder.LineAt(100);
    cases.push_back({"line past the body", builder.Build()});
  }
  {
    std::vector<std::uint8_t> bytes = good;
    StoreLe32(bytes.data() + 4, 0xFFFFFFF0u);
    cases.push_back({"L1 past the file", bytes});
  }
  {
    std::vector<std::uint8_t> bytes = good;
    StoreLe32(bytes.data() + 12, 0x7FFFFFFFu);
    cases.push_back({"L2 past the file", bytes});
  }
  {
    std::vector<std::uint8_t> bytes = good;
    StoreLe32(bytes.data() + 16, 3);
    cases.push_back({"line count past the second block", bytes});
  }
  cases.push_back({"cut inside the header", std::vector<std::uint8_t>(good.begin(), good.begin() + 10)});
  for (const Case& bad : cases) {
    SCOPED_TRACE(bad.what);
    WriteTobBytes("BAD", bad.bytes);
    EXPECT_EQ(vm_->LoadTob("BAD", false), CVovVM::kTobMalformed);
  }
  EXPECT_EQ(vm_->ResidentCount(), 0u);
  vm_->ResetScripts();
  EXPECT_EQ(vm_->LoadMainScript("BAD"), 5u);
}

TEST_F(VovVmTest, ScenarioNamesStayInsideTheScriptFolder) {
  WriteLabelled("SUB/X");
  WriteLabelled("X");
  EXPECT_EQ(vm_->LoadTob("..\\X", false), CVovVM::kTobUnreadable);
  EXPECT_EQ(vm_->LoadTob("\\X", false), CVovVM::kTobUnreadable);
  EXPECT_EQ(vm_->LoadTob("C:X", false), CVovVM::kTobUnreadable);
  EXPECT_EQ(vm_->LoadTob("", false), CVovVM::kTobUnreadable);
  EXPECT_EQ(vm_->LoadTob("SUB\\X", false), 0u);
  EXPECT_EQ(vm_->LoadTob("x", false), 0u);
  ASSERT_EQ(vm_->LoadMainScript("X"), 0u);
  EXPECT_EQ(vm_->CallTo("..\\X", nullptr, 0), 0u);
}

TEST_F(VovVmTest, CallAndReturnInsideAScript) {
  WriteLabelled("MAIN");
  ASSERT_EQ(vm_->LoadMainScript("MAIN"), 0u);
  EXPECT_EQ(vm_->ReturnFrom(nullptr, nullptr, 0), 0u);  // an empty stack

  ASSERT_TRUE(vm_->SetPosition(BodyAddress() + 2));
  EXPECT_EQ(vm_->CallTo(nullptr, "B", 0), BodyAddress() + 8);
  ASSERT_EQ(vm_->CallFrames().size(), 1u);
  EXPECT_EQ(vm_->CallFrames()[0].script, kVovKeepScript);
  EXPECT_EQ(vm_->CallFrames()[0].return_offset, 2u);
  EXPECT_EQ(vm_->ReturnFrom(nullptr, nullptr, 0), BodyAddress() + 2);  // to the return point

  ASSERT_NE(vm_->CallTo(nullptr, nullptr, 9), 0u);
  EXPECT_EQ(vm_->ReturnFrom(nullptr, nullptr, CVovVM::kBodyStart), BodyAddress());  // a body offset of 0
  ASSERT_NE(vm_->CallTo(nullptr, nullptr, 9), 0u);
  EXPECT_EQ(vm_->ReturnFrom(nullptr, "A", 0), BodyAddress() + 4);
  EXPECT_EQ(vm_->CallTo(nullptr, "NOWHERE", 0), 0u);
  EXPECT_EQ(vm_->CallTo(nullptr, nullptr, 1000), 0u);  // beyond the body
}

TEST_F(VovVmTest, The129thNestedCallIsRefused) {
  WriteLabelled("MAIN");
  ASSERT_EQ(vm_->LoadMainScript("MAIN"), 0u);
  for (std::size_t n = 0; n < CVovVM::kCallStackFrames; ++n) ASSERT_NE(vm_->CallTo(nullptr, "A", 0), 0u) << n;
  EXPECT_EQ(vm_->CallTo(nullptr, "A", 0), 0u);
  EXPECT_EQ(vm_->CallFrames().size(), CVovVM::kCallStackFrames);
  for (std::size_t n = 0; n < CVovVM::kCallStackFrames; ++n) ASSERT_NE(vm_->ReturnFrom(nullptr, nullptr, 0), 0u);
  EXPECT_EQ(vm_->ReturnFrom(nullptr, nullptr, 0), 0u);
}

TEST_F(VovVmTest, CallJumpAndReturnBetweenScripts) {
  WriteLabelled("MAIN");
  WriteLabelled("OTHER");
  WriteLabelled("RES");
  ASSERT_EQ(vm_->LoadMainScript("MAIN"), 0u);
  ASSERT_EQ(vm_->PreloadScript("RES"), 0u);

  ASSERT_NE(vm_->CallTo("res", "B", 0), 0u);  // a resident script is found without case
  EXPECT_EQ(vm_->CurrentIndex(), 0);
  EXPECT_EQ(vm_->CallFrames()[0].script, kVovTransientIndex);
  ASSERT_NE(vm_->CallTo("OTHER", nullptr, 0), 0u);  // loaded as a transient script
  EXPECT_EQ(vm_->TransientCount(), 2u);
  EXPECT_EQ(vm_->CurrentIndex(), kVovTransientIndex);

  ASSERT_NE(vm_->ReturnFrom(nullptr, nullptr, 0), 0u);  // back into RES; OTHER is dropped
  EXPECT_EQ(vm_->TransientCount(), 1u);
  EXPECT_EQ(vm_->CurrentScript()->Name(), "RES");
  EXPECT_EQ(vm_->PositionOffset(), 8u);

  ASSERT_NE(vm_->JumpTo("OTHER", "A", 0), 0u);  // a resident current script is not dropped
  EXPECT_EQ(vm_->TransientCount(), 2u);
  ASSERT_NE(vm_->JumpTo("MAIN", nullptr, 0), 0u);  // the transient OTHER is
  EXPECT_EQ(vm_->TransientCount(), 2u);
  EXPECT_EQ(vm_->Transient(1).Name(), "MAIN");
  EXPECT_EQ(vm_->JumpTo("MISSING", nullptr, 0), 0u);
}

TEST_F(VovVmTest, UnloadingResidentScripts) {
  for (const char* name : {"MAIN", "R0", "R1", "R2"}) WriteLabelled(name);
  ASSERT_EQ(vm_->LoadMainScript("MAIN"), 0u);
  EXPECT_EQ(vm_->UnloadScript(nullptr), CVovVM::kNoResidentScript);
  for (const char* name : {"R0", "R1", "R2"}) ASSERT_EQ(vm_->PreloadScript(name), 0u);

  ASSERT_NE(vm_->CallTo("R2", nullptr, 0), 0u);
  ASSERT_NE(vm_->CallTo("R0", nullptr, 0), 0u);  // a frame returns to R2
  ASSERT_NE(vm_->CallTo("R1", nullptr, 0), 0u);  // a frame returns to R0
  EXPECT_EQ(vm_->UnloadScript("R1"), CVovVM::kResidentInUse);  // current
  EXPECT_EQ(vm_->UnloadScript("r2"), CVovVM::kResidentInUse);  // in a frame
  EXPECT_EQ(vm_->UnloadScript("R9"), CVovVM::kNoResidentOfName);
  EXPECT_EQ(vm_->ResidentCount(), 3u);

  ASSERT_NE(vm_->JumpTo("R2", nullptr, 0), 0u);
  ASSERT_NE(vm_->ReturnFrom(nullptr, nullptr, 0), 0u);  // back to R0, with a frame for R2 left
  ASSERT_NE(vm_->CallTo("R0", nullptr, 0), 0u);
  ASSERT_EQ(vm_->CallFrames().size(), 3u);
  EXPECT_EQ(vm_->CallFrames()[1].script, 2);
  ASSERT_NE(vm_->JumpTo("R2", nullptr, 0), 0u);
  EXPECT_EQ(vm_->UnloadScript("R1"), 0u);
  EXPECT_EQ(vm_->CallFrames()[0].script, kVovTransientIndex);
  EXPECT_EQ(vm_->CallFrames()[1].script, 1);  // was 2
  EXPECT_EQ(vm_->CallFrames()[2].script, 0);
  EXPECT_EQ(vm_->CurrentIndex(), 1);  // R2 moved down with its frames
  EXPECT_EQ(vm_->CurrentScript()->Name(), "R2");
  EXPECT_EQ(vm_->Resident(1).Name(), "R2");
}

class VovSaveTest : public VovVmTest {
 protected:
  // One transient "START" and residents "SUB1", "SUB2"; two frames; current SUB2 at offset 6.
  void Start(CVovVM& vm) {
    ASSERT_EQ(vm.LoadMainScript("START"), 0u);
    ASSERT_EQ(vm.PreloadScript("SUB1"), 0u);
    ASSERT_EQ(vm.PreloadScript("SUB2"), 0u);
    ASSERT_NE(vm.CallTo("SUB1", "A", 0), 0u);
    ASSERT_NE(vm.CallTo("SUB2", nullptr, 6), 0u);
  }
  void SetUp() override {
    VovVmTest::SetUp();
    for (const char* name : {"START", "SUB1", "SUB2", "OTHER"}) WriteLabelled(name);
  }
  static std::vector<std::uint8_t> Record(const CVovVM& vm) {
    ByteWriter out;
    EXPECT_EQ(vm.Save(out), 0u);
    return out.Take();
  }
};

TEST_F(VovSaveTest, TheRecordHasTheDocumentedSizeAndRestoresIntoAFreshMachine) {
  EXPECT_EQ(vm_->SaveSize(), 20u);
  ByteWriter nothing;
  EXPECT_EQ(vm_->Save(nothing), 1u);  // no current script
  Start(*vm_);
  const std::vector<std::uint8_t> record = Record(*vm_);
  EXPECT_EQ(record.size(), 58u);  // 20 + (6 + 2) + (5 + 2) + (5 + 2) + 2 * 8
  EXPECT_EQ(vm_->SaveSize(), 58u);

  CVovVM fresh(*runtime_);
  ByteReader in(record);
  ASSERT_EQ(fresh.Load(in), 0u);
  EXPECT_EQ(in.Left(), 0u);
  ASSERT_EQ(fresh.TransientCount(), 1u);
  EXPECT_EQ(fresh.Transient(0).Name(), "START");
  ASSERT_EQ(fresh.ResidentCount(), 2u);
  EXPECT_EQ(fresh.Resident(1).Name(), "SUB2");
  ASSERT_EQ(fresh.CallFrames().size(), 2u);
  EXPECT_EQ(fresh.CallFrames()[0].script, kVovTransientIndex);
  EXPECT_EQ(fresh.CallFrames()[1].script, 0);
  EXPECT_EQ(fresh.CallFrames()[1].return_offset, 4u);
  EXPECT_EQ(fresh.CurrentIndex(), 1);
  EXPECT_EQ(fresh.PositionOffset(), 6u);
  EXPECT_EQ(Record(fresh), record);
}

TEST_F(VovSaveTest, AFailedLoadLeavesTheRunningMachineAsItWas) {
  Start(*vm_);
  std::vector<std::uint8_t> record = Record(*vm_);
  CVovVM other(*runtime_);
  ASSERT_EQ(other.LoadMainScript("OTHER"), 0u);
  ASSERT_EQ(other.PreloadScript("SUB1"), 0u);
  ASSERT_NE(other.CallTo(nullptr, "B", 0), 0u);
  const std::vector<std::uint8_t> before = Record(other);
  const VovScript* current = other.CurrentScript();

  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::uint32_t status;
  };
  std::vector<Case> cases;
  {
    std::vector<std::uint8_t> bytes = record;
    bytes[4 + 2 + 6 + 4 + 2 + 3] = '9';  // "SUB1" becomes "SUB9", which does not exist
    cases.push_back({"a missing script", bytes, CVovVM::kSavedScriptUnloadable});
  }
  {
    std::vector<std::uint8_t> bytes = record;
    StoreLe32(bytes.data() + bytes.size() - 8, 2);
    cases.push_back({"no resident 2", bytes, CVovVM::kSavedIndexUnknown});
  }
  {
    std::vector<std::uint8_t> bytes = record;
    StoreLe32(bytes.data() + bytes.size() - 4, 14);  // the body of SUB2 holds 12 bytes and its zero
    cases.push_back({"a position beyond the body", bytes, CVovVM::kSavedRecordDamaged});
  }
  cases.push_back({"cut short", std::vector<std::uint8_t>(record.begin(), record.end() - 1), CVovVM::kSavedRecordDamaged});
  {
    std::vector<std::uint8_t> bytes = record;
    StoreLe32(bytes.data() + 4 + 8 + 4 + 7 + 7, 129);
    cases.push_back({"more frames than the stack", bytes, CVovVM::kSavedRecordDamaged});
  }
  for (const Case& bad : cases) {
    SCOPED_TRACE(bad.what);
    ByteReader in(bad.bytes);
    EXPECT_EQ(other.Load(in), bad.status);
    EXPECT_EQ(Record(other), before);
    EXPECT_EQ(other.CurrentScript(), current);
  }
  StoreLe32(record.data() + record.size() - 4, 13);  // the body's end is a position
  ByteReader in(record);
  EXPECT_EQ(other.Load(in), 0u);
  EXPECT_EQ(other.PositionOffset(), 13u);
}

}  // namespace

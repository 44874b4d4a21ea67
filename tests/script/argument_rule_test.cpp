// The argument rule of every built-in function, driven by scripts: a bad address among the
// arguments ends the run as a bad script and the host runs on; a handle word named by its address
// tells apart a zero, a word that does not resolve and a live object; a text handed back by
// address stays readable until its owner dies.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "script/native_args.h"
#include "script/script_host.h"
#include "script/script_text_export.h"
#include "support/log_capture.h"
#include "support/sob_test_files.h"

namespace {

struct Probe : ScriptVisible<Probe> {};
struct Other : ScriptVisible<Other> {};

std::vector<std::unique_ptr<Probe>> g_probes;

// A freeing function as the built-in families write them: args[0] the address of the word that
// holds the handle; the status of the handle word.
std::uint32_t NativeFreeProbe(const NativeArgs& args) {
  const HandleRefResult<Probe> probe = args.HandleRef<Probe>(0);
  if (probe.object != nullptr) {
    std::erase_if(g_probes, [&](const std::unique_ptr<Probe>& held) { return held.get() == probe.object; });
  }
  return probe.status;
}

// An object whose name scripts read by address.
struct Named : ScriptVisible<Named> {
  explicit Named(ScriptMemory& memory, std::string first) : name(memory), text(std::move(first)) {}
  ScriptTextExport name;
  std::string text;
};

// args[0] handle: the address of the object's name, 0 without an object.
std::uint32_t NativeNameOf(const NativeArgs& args) {
  Named* named = args.Handle<Named>(0);
  return named != nullptr ? named->name.Export(named->text) : 0;
}

constexpr std::uint32_t kFreeProbe = 3;
constexpr std::uint32_t kNameOf = 4;

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

class ArgumentRuleTest : public sob_test::ScriptFilesTest {
 protected:
  void SetUp() override {
    ScriptFilesTest::SetUp();
    ASSERT_EQ(host_.RegisterNative(NativeFreeProbe), 0u);
    ASSERT_EQ(host_.RegisterNative(NativeNameOf), 0u);
    out_ = host_.Memory().Allocate(4, true);
  }
  void TearDown() override {
    g_probes.clear();
    ScriptFilesTest::TearDown();
  }

  // Runs a MAIN that calls the native once with the one argument word and stores its result in
  // the test's out word: the run's result.
  std::uint32_t CallOnce(std::uint32_t native, std::uint32_t argument) {
    return CallWithArgumentArray(native, "args", "args: .word " + Hex(argument) + "\n");
  }
  std::uint32_t CallWithArgumentArray(std::uint32_t native, const std::string& array, const std::string& data = "") {
    WriteScript("MAIN", ".kind script\n"
                        "  CallNative native(" + std::to_string(native) + "), " + array + ", " + Hex(out_) + "\n"
                        "  Return\n" + data);
    EXPECT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
    const std::uint32_t result = host_.RunLoop();
    host_.ResetScripts(0);
    return result;
  }
  std::uint32_t Out() const { return host_.Memory().Word(out_); }
  // A script word holding `handle`.
  std::uint32_t Cell(std::uint32_t handle) {
    const std::uint32_t cell = host_.Memory().Allocate(4);
    host_.Memory().SetWord(cell, handle);
    return cell;
  }
  std::uint32_t NewProbe() {
    g_probes.push_back(std::make_unique<Probe>());
    return g_probes.back()->ScriptHandle(host_.Handles());
  }

  LogCapture log_;
  CScriptHost host_;
  std::uint32_t out_ = 0;
};

TEST_F(ArgumentRuleTest, AHandleWordTellsZeroUnresolvedAndLiveApart) {
  const std::uint32_t stale = NewProbe();
  g_probes.clear();
  Other other;
  const std::uint32_t live = NewProbe();
  struct Case {
    const char* name;
    std::uint32_t cell;  // the argument: the address of the handle word
    std::uint32_t status;
    std::uint32_t word_after;
  };
  const std::uint32_t zero_cell = Cell(0);
  const std::uint32_t stale_cell = Cell(stale);
  const std::uint32_t other_cell = Cell(other.ScriptHandle(host_.Handles()));
  const std::uint32_t live_cell = Cell(live);
  for (const Case& c : {Case{"address 0", 0, kHandleRefZero, 0},
                        Case{"word 0", zero_cell, kHandleRefZero, 0},
                        Case{"stale handle", stale_cell, kHandleRefNotFound, stale},
                        Case{"handle of another kind", other_cell, kHandleRefNotFound, other.ScriptHandle(host_.Handles())},
                        Case{"live handle", live_cell, kHandleRefResolved, 0},
                        Case{"the same word again", live_cell, kHandleRefZero, 0}}) {
    SCOPED_TRACE(c.name);
    host_.Memory().SetWord(out_, 0xDEAD);
    EXPECT_EQ(CallOnce(kFreeProbe, c.cell), CScriptHost::kRunFinished);
    EXPECT_EQ(Out(), c.status);
    if (c.cell != 0) {
      EXPECT_EQ(host_.Memory().Word(c.cell), c.word_after);
    }
  }
  EXPECT_TRUE(g_probes.empty());  // the live one was freed, once
}

TEST_F(ArgumentRuleTest, ABadAddressAmongTheArgumentsEndsTheRunAsABadScriptAndTheHostGoesOn) {
  const std::uint32_t live = NewProbe();
  // The handle word's address, then the argument array itself, outside script memory.
  EXPECT_EQ(CallOnce(kFreeProbe, 0xFFFFFFF0), CScriptHost::kRunBadScript);
  EXPECT_NE(log_.Last().find("bad address 0xFFFFFFF0"), std::string::npos) << log_.Last();
  EXPECT_EQ(CallWithArgumentArray(kFreeProbe, "0xFFFFFFF0"), CScriptHost::kRunBadScript);
  EXPECT_NE(log_.Last().find("bad address 0xFFFFFFF0"), std::string::npos) << log_.Last();
  EXPECT_EQ(CallWithArgumentArray(kFreeProbe, "0x00008000"), CScriptHost::kRunBadScript);
  // The next run goes on as before.
  EXPECT_EQ(CallOnce(kFreeProbe, Cell(live)), CScriptHost::kRunFinished);
  EXPECT_EQ(Out(), static_cast<std::uint32_t>(kHandleRefResolved));
}

TEST_F(ArgumentRuleTest, ATextReturnedByAddressStaysReadableUntilItsOwnerDies) {
  auto owner = std::make_unique<Named>(host_.Memory(), "\x83\x65\x83\x58\x83\x67");  // Shift-JIS
  const std::uint32_t handle = owner->ScriptHandle(host_.Handles());
  ASSERT_EQ(CallOnce(kNameOf, handle), CScriptHost::kRunFinished);
  const std::uint32_t address = Out();
  ASSERT_NE(address, 0u);
  // Other runs and other blocks leave it alone; asking again gives the same place.
  for (int i = 0; i < 3; ++i) host_.Memory().Allocate(64, true);
  EXPECT_EQ(CallOnce(kNameOf, handle), CScriptHost::kRunFinished);
  EXPECT_EQ(Out(), address);
  EXPECT_STREQ(host_.Memory().String(address), "\x83\x65\x83\x58\x83\x67");
  // A shorter text takes its place; a text longer than the area moves it.
  owner->text = "b";
  EXPECT_EQ(CallOnce(kNameOf, handle), CScriptHost::kRunFinished);
  EXPECT_EQ(Out(), address);
  EXPECT_STREQ(host_.Memory().String(address), "b");
  owner->text.assign(ScriptTextExport::kFirstCapacity, 'x');
  EXPECT_EQ(CallOnce(kNameOf, handle), CScriptHost::kRunFinished);
  const std::uint32_t moved = Out();
  EXPECT_EQ(host_.Memory().String(moved), owner->text);
  EXPECT_GE(host_.Memory().BlockSize(moved).value_or(0), ScriptTextExport::kFirstCapacity + 1);
  // The owner's death frees the text, and its handle finds nothing.
  owner.reset();
  EXPECT_FALSE(host_.Memory().BlockSize(moved).has_value());
  EXPECT_EQ(CallOnce(kNameOf, handle), CScriptHost::kRunFinished);
  EXPECT_EQ(Out(), 0u);
}

TEST(ScriptTextExportTest, AnOwnerThatOutlivesTheScriptMemoryLeavesItAlone) {
  auto memory = std::make_unique<ScriptMemory>();
  ScriptTextExport area(*memory);
  EXPECT_EQ(area.Address(), 0u);
  ASSERT_NE(area.Export(""), 0u);
  EXPECT_EQ(memory->Byte(area.Address()), 0);
  memory.reset();
  EXPECT_EQ(area.Export("late"), 0u);
}

}  // namespace

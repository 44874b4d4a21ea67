// The script host: the run loop with Call, Jump and End between script objects, reset, the
// transfer built-ins and the voice table.
#include "script/script_host.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/system/app_hooks.h"
#include "script/script_transfer.h"
#include "sob_builder.h"
#include "support/log_capture.h"
#include "support/sob_test_files.h"

namespace {

// What native 3 saw: its argument and the call depth at that moment.
std::vector<std::pair<std::uint32_t, std::uint32_t>> g_marks;

std::uint32_t NativeMark(const NativeArgs& args) {
  g_marks.emplace_back(args.U32(0), g_ScriptCallDepth);
  return 0;
}

// A script that marks `before`, asks for `transfer` of `target` with native `native`, then
// executes `after_request`, marks `after` and returns.
std::string TransferScript(std::uint32_t before, int native, std::string_view target, std::string_view after_request,
                           std::uint32_t after) {
  return ".kind script\n"
         "  CallNative native(3), before, result\n"
         "  CallNative native(" + std::to_string(native) + "), name, result\n"
         "  " + std::string(after_request) + "\n"
         "  CallNative native(3), after, result\n"
         "  Return\n"
         "before: .word " + std::to_string(before) + "\n"
         "after: .word " + std::to_string(after) + "\n"
         "name: .word text\n"
         "text: .string \"" + std::string(target) + "\"\n"
         "result: .word 0\n";
}

std::string MarkScript(std::uint32_t mark) {
  return ".kind script\n"
         "  CallNative native(3), mark, mark\n"
         "  Return\n"
         "mark: .word " + std::to_string(mark) + "\n";
}

class ScriptHostTest : public sob_test::ScriptFilesTest {
 protected:
  void SetUp() override {
    ScriptFilesTest::SetUp();
    g_marks.clear();
    ASSERT_EQ(host_.RegisterNative(NativeMark), 0u);
  }

  using Marks = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

  LogCapture log_;
  CScriptHost host_;
};

TEST_F(ScriptHostTest, RegistersTheTransferBuiltInsAndHostVariables) {
  EXPECT_EQ(host_.Natives().Count(), 4u);
  EXPECT_EQ(host_.HostVariableCount(), 3u);
  EXPECT_EQ(host_.ScriptBootFlg(), 0u);
  host_.SetRetAppProc(5);
  EXPECT_EQ(host_.Memory().Word(host_.HostVariableAddress(2)), 5u);
  host_.SetRetVovExp(9);
  EXPECT_EQ(host_.Memory().Word(host_.HostVariableAddress(0)), 9u);
}

TEST_F(ScriptHostTest, CallsNestedThreeDeepReturnToEachCallerInTurn) {
  WriteScript("MAIN", TransferScript(1, 0, "SUBA", "Yield", 2));
  WriteScript("SUBA", TransferScript(10, 0, "SUBB", "Yield", 11));
  WriteScript("SUBB", TransferScript(20, 0, "SUBC", "Yield", 21));
  WriteScript("SUBC", MarkScript(30));
  ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
  const std::uint32_t stack_base = host_.Context().StackBase();

  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunFinished);
  EXPECT_EQ(g_marks, (Marks{{1, 0}, {10, 1}, {20, 2}, {30, 3}, {21, 2}, {11, 1}, {2, 0}}));
  EXPECT_EQ(g_ScriptCallDepth, 0u);
  EXPECT_EQ(g_ScriptTransfer, kScriptTransferNone);
  EXPECT_EQ(host_.Modules().size(), 1u);  // MAIN, which ended
  EXPECT_EQ(host_.Context().Sp(), stack_base);
}

TEST_F(ScriptHostTest, AJumpReplacesTheScript) {
  WriteScript("MAIN", TransferScript(1, 1, "NEXT", "Return", 2));
  WriteScript("NEXT", MarkScript(5));
  ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunFinished);
  EXPECT_EQ(g_marks, (Marks{{1, 0}, {5, 0}}));
  ASSERT_EQ(host_.Modules().size(), 1u);
  EXPECT_EQ(host_.GetCodeBase(), host_.Modules().back().code);
}

TEST_F(ScriptHostTest, TheEndRequestEndsTheLoopAndStaysSet) {
  WriteScript("MAIN", TransferScript(1, 2, "", "Yield", 2));
  ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunFinished);
  EXPECT_EQ(g_ScriptTransfer, kScriptTransferEnd);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunFinished);  // the request still holds
  EXPECT_EQ(g_marks, (Marks{{1, 0}, {2, 0}}));
}

TEST_F(ScriptHostTest, ATransferInTheWrongStateIsABadScript) {
  WriteScript("CALLRET", TransferScript(1, 0, "OTHER", "Return", 2));
  WriteScript("JUMPYLD", TransferScript(1, 1, "OTHER", "Yield", 2));
  WriteScript("OTHER", MarkScript(5));
  ASSERT_EQ(host_.LoadScript("CALLRET", nullptr), 0u);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunBadScript);
  EXPECT_EQ(g_ScriptTransfer, kScriptTransferCall);
  host_.ResetScripts(0);
  ASSERT_EQ(host_.LoadScript("JUMPYLD", nullptr), 0u);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunBadScript);
  EXPECT_EQ(g_ScriptTransfer, kScriptTransferJump);

  // A script fault is reported the same way.
  g_ScriptTransfer = kScriptTransferNone;
  host_.ResetScripts(0);
  WriteScript("FAULT", ".kind script\n  Jump 0\n");
  ASSERT_EQ(host_.LoadScript("FAULT", nullptr), 0u);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunBadScript);
}

TEST_F(ScriptHostTest, ACalleeThatTakesItsCallersResumePointIsABadScript) {
  WriteScript("MAIN", TransferScript(1, 0, "THIEF", "Yield", 2));
  WriteScript("THIEF", ".kind script\n  SubSp 12\n  PushImm 0\n  Return\n"
                       "  CallNative native(3), mark, mark\n  Return\nmark: .word 99\n");
  ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunBadScript);
  EXPECT_EQ(g_marks, (Marks{{1, 0}}));  // nothing behind the callee's end ran
}

TEST_F(ScriptHostTest, AFaultOrAResetDropsAPendingCallOrJump) {
  for (const int native : {0, 1}) {
    WriteScript("MAIN", TransferScript(1, native, "OTHER", "Jump 0", 2));
    ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
    EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunBadScript);
    EXPECT_EQ(g_ScriptTransfer, kScriptTransferNone) << native;
    host_.ResetScripts(0);
  }
  for (const std::uint32_t kind : {kScriptTransferCall, kScriptTransferJump}) {
    RequestScriptTransfer(kind, "OTHER");
    host_.ResetScripts(0);
    EXPECT_EQ(g_ScriptTransfer, kScriptTransferNone) << kind;
  }
  RequestScriptTransfer(kScriptTransferEnd, nullptr);
  host_.ResetScripts(0);
  EXPECT_EQ(g_ScriptTransfer, kScriptTransferEnd);  // ending the game still holds
}

std::uint32_t NativeThrowingError(const NativeArgs& /*args*/) { throw std::runtime_error("the disk is on fire"); }
std::uint32_t NativeThrowingNumber(const NativeArgs& /*args*/) { throw 42; }

TEST_F(ScriptHostTest, ABuiltInThatThrowsEndsTheRunAsABadScriptNamingIt) {
  ASSERT_EQ(host_.RegisterNative(NativeThrowingError), 0u);   // number 4
  ASSERT_EQ(host_.RegisterNative(NativeThrowingNumber), 0u);  // number 5
  for (const int native : {4, 5}) {
    WriteScript("MAIN", ".kind script\n  CallNative native(" + std::to_string(native) +
                            "), r, r\n  CallNative native(3), r, r\n  Return\nr: .word 0\n");
    ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
    EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunBadScript);
    EXPECT_NE(log_.Last().find("built-in function " + std::to_string(native) + " failed"), std::string::npos)
        << log_.Last();
    host_.ResetScripts(0);
  }
  EXPECT_NE(log_.Lines().front().find("the disk is on fire"), std::string::npos) << log_.Lines().front();
  EXPECT_TRUE(g_marks.empty());
}

class ScopedStopCheck {
 public:
  explicit ScopedStopCheck(bool (*check)()) : saved_(g_ScriptStopCheckHook) { g_ScriptStopCheckHook = check; }
  ~ScopedStopCheck() { g_ScriptStopCheckHook = saved_; }
  ScopedStopCheck(const ScopedStopCheck&) = delete;
  ScopedStopCheck& operator=(const ScopedStopCheck&) = delete;

 private:
  bool (*saved_)();
};

int g_stop_checks = 0;

TEST_F(ScriptHostTest, AScriptThatNeverYieldsEndsWhenTheStopCheckAsks) {
  g_stop_checks = 0;
  const ScopedStopCheck stop_at_third([] { return ++g_stop_checks == 3; });
  const kvxtools::SobAssembly endless =
      sob_test::Assemble(".kind script\nloop:\n  IncMem count\n  Jump loop\ncount: .word 0\n");
  WriteScriptFile("MAIN.SOB", endless.bytes);
  ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunFinished);
  EXPECT_EQ(g_stop_checks, 3);
  EXPECT_EQ(host_.Memory().Word(host_.GetCodeBase() + endless.labels.at("count")), 3 * kTransfersPerStopCheck);

  // Calls and returns count too; a script that yields first is never asked.
  g_stop_checks = 0;
  host_.ResetScripts(0);
  WriteScript("MAIN", ".kind script\nloop:\n  Call step\n  Jump loop\nstep:\n  Return\n");
  ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunFinished);
  EXPECT_EQ(g_stop_checks, 3);
  host_.ResetScripts(0);
  WriteScript("MAIN", MarkScript(1));
  ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunFinished);
  EXPECT_EQ(g_stop_checks, 3);
}

TEST_F(ScriptHostTest, ACallWhoseObjectIsMissingLeavesTheCallersStackAsBefore) {
  WriteScript("MAIN", TransferScript(1, 0, "NOPE", "Yield", 2));
  ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
  const std::uint32_t sp = host_.Context().Sp();
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunCallLoadFailed);
  EXPECT_EQ(host_.Context().Sp(), sp);
  EXPECT_EQ(g_ScriptTransfer, kScriptTransferNone);
  EXPECT_EQ(g_ScriptCallDepth, 0u);
  EXPECT_EQ(host_.Modules().size(), 1u);
  // The caller goes on behind its Yield.
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunFinished);
  EXPECT_EQ(g_marks, (Marks{{1, 0}, {2, 0}}));
}

TEST_F(ScriptHostTest, AJumpToAMissingObjectFailsWithTheJumperUnloaded) {
  WriteScript("MAIN", TransferScript(1, 1, "NOPE", "Return", 2));
  ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunJumpLoadFailed);
  EXPECT_EQ(g_ScriptTransfer, kScriptTransferJump);
  EXPECT_TRUE(host_.Modules().empty());
}

TEST_F(ScriptHostTest, ASuspendedScriptContinuesOnTheNextRun) {
  WriteScript("MAIN", ".kind script\n  CallNative native(3), one, r\n  Yield\n  CallNative native(3), two, r\n  Return\n"
                      "one: .word 1\ntwo: .word 2\nr: .word 0\n");
  ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunSuspended);
  EXPECT_EQ(g_marks, (Marks{{1, 0}}));
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunFinished);
  EXPECT_EQ(g_marks, (Marks{{1, 0}, {2, 0}}));
}

TEST_F(ScriptHostTest, NamesLongerThanTheirBuffersAreRefused) {
  const std::string long_name(300, 'A');
  WriteScript("MAIN", TransferScript(1, 0, long_name, "Yield", 2));
  ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunCallLoadFailed);
  EXPECT_STREQ(g_ScriptTransferName, "");

  // "SCRIPT\" + name + ".SOB" must fit in 63 bytes.
  const std::string longest(63 - 11, 'B');
  WriteScript(longest, MarkScript(7));
  EXPECT_EQ(host_.LoadScript(longest.c_str(), nullptr), 0u);
  EXPECT_EQ(host_.LoadScript((longest + "B").c_str(), nullptr), CScriptVm::kScriptUnreadable);
  // A null name loads the name of the transfer request.
  ASSERT_TRUE(RequestScriptTransfer(kScriptTransferJump, longest.c_str()));
  EXPECT_EQ(host_.LoadScript(nullptr, nullptr), 0u);
}

TEST_F(ScriptHostTest, ScriptNamesMayNameSubFoldersButNeverLeaveTheScriptFolder) {
  WriteScriptFile("SUB/E01.SOB", sob_test::Assemble(MarkScript(1)).bytes);
  EXPECT_EQ(host_.LoadScript("SUB\\E01", nullptr), 0u);
  game_.WriteFile("OUT.SOB", sob_test::AsText(sob_test::Assemble(MarkScript(2)).bytes));
  WriteScriptFile("OUT.SOB", sob_test::Assemble(MarkScript(3)).bytes);
  for (const char* name : {"..\\OUT", "SUB\\..\\..\\OUT", "SUB/../../OUT", "\\OUT", "/OUT", "C:OUT",
                           "Z:\\OUT", "SUB\\\x81/..\\..\\..\\OUT", ""}) {
    EXPECT_EQ(host_.LoadScript(name, nullptr), CScriptVm::kScriptUnreadable) << name;
  }
  EXPECT_EQ(host_.Modules().size(), 1u);

  // A Jump or Call to such a name fails as a load does.
  host_.ResetScripts(0);
  WriteScript("MAIN", TransferScript(1, 1, "..\\OUT", "Return", 2));
  ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunJumpLoadFailed);
  host_.ResetScripts(0);
  WriteScript("MAIN", TransferScript(1, 0, "..\\OUT", "Yield", 2));
  ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunCallLoadFailed);
  EXPECT_EQ(g_marks, (Marks{{1, 0}, {1, 0}}));
}

TEST_F(ScriptHostTest, ResetScriptsKeepsOnlyTheLibrary) {
  WriteScriptFile("FUNC_LIB.SOB", sob_test::Assemble(".kind library\n  Return\n").bytes);
  ASSERT_EQ(host_.LoadLibraries(nullptr, nullptr, "SCRIPT\\FUNC_LIB.SOB", false, false), 0u);
  WriteScript("MAIN", MarkScript(1));
  ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
  ASSERT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
  g_ScriptCallDepth = 2;
  host_.ResetScripts(7);
  EXPECT_EQ(host_.ScriptBootFlg(), 7u);
  EXPECT_EQ(g_ScriptCallDepth, 0u);
  EXPECT_EQ(host_.Context().Sp(), host_.Context().StackBase());
  ASSERT_EQ(host_.Modules().size(), 1u);
  EXPECT_TRUE(host_.Modules().front().library);
  EXPECT_EQ(host_.GetCodeBase(), 0u);
}

TEST_F(ScriptHostTest, TheVoiceTableIsReadWithItsSecondNames) {
  kvxtools::VoiceInfoSource source;
  source.extension = "ogg";
  source.characters.push_back({"HERO", std::nullopt, false, {"H001", "H002"}});
  source.characters.push_back({"AIDE", std::nullopt, true, {}});
  source.characters.push_back({"RIVAL", "KAGE", false, {"R001"}});
  WriteScriptFile("VOICEINF.DAT", kvxtools::BuildVoiceInfo(source));
  EXPECT_EQ(host_.LoadVoiceInfo("SCRIPT\\VOICEINF.DAT"), 0u);
  const VoiceTable& voices = host_.Voices();
  EXPECT_EQ(voices.extension, "ogg");
  ASSERT_EQ(voices.characters.size(), 3u);
  EXPECT_EQ(voices.characters[0].second_name_flag, 0);
  EXPECT_EQ(voices.characters[1].second_name_flag, 1);  // m = 1: the flag, but no name
  EXPECT_FALSE(voices.characters[1].second_name);
  EXPECT_EQ(voices.characters[2].second_name, "KAGE");
  EXPECT_EQ(voices.characters[2].volume, 256u);
  ASSERT_EQ(voices.names.size(), 3u);
  EXPECT_EQ(voices.names[1].name, "H002");
  EXPECT_EQ(voices.names[1].character, 0u);
  EXPECT_EQ(voices.names[2].character, 2u);
}

TEST_F(ScriptHostTest, ADamagedVoiceTableIsNotUsed) {
  kvxtools::VoiceInfoSource source{"ogg", {{"HERO", std::nullopt, false, {"H001", "H002"}}}};
  std::vector<std::uint8_t> file = kvxtools::BuildVoiceInfo(source);
  WriteScriptFile("VOICEINF.DAT", file);
  ASSERT_EQ(host_.LoadVoiceInfo("SCRIPT\\VOICEINF.DAT"), 0u);
  ASSERT_EQ(host_.Voices().names.size(), 2u);

  for (std::size_t size = 0; size < file.size(); ++size) {
    EXPECT_FALSE(ParseVoiceTable(std::span<const std::uint8_t>(file).first(size))) << size;
  }
  std::vector<std::uint8_t> too_few_names = file;
  too_few_names[5] = 1;  // the total A says one voice name, the character has two
  EXPECT_FALSE(ParseVoiceTable(too_few_names));
  source.extension = "longext1";
  EXPECT_FALSE(ParseVoiceTable(kvxtools::BuildVoiceInfo(source)));
  source.extension = "longext";
  EXPECT_TRUE(ParseVoiceTable(kvxtools::BuildVoiceInfo(source)));

  WriteScriptFile("VOICEINF.DAT", too_few_names);
  EXPECT_EQ(host_.LoadVoiceInfo("SCRIPT\\VOICEINF.DAT"), 0u);
  EXPECT_TRUE(host_.Voices().characters.empty());
  EXPECT_TRUE(host_.Voices().extension.empty());
  EXPECT_EQ(host_.LoadVoiceInfo("SCRIPT\\MISSING.DAT"), 0u);
}

}  // namespace

// A whole game start: SCRIPT.DPK packed from assembled sources, mounted through the data-file
// layer, and the scripts run to their end: MAIN calls a library routine, Calls SUB, Jumps to LAST,
// and LAST ends the game.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "script/script_host.h"
#include "script/script_transfer.h"
#include "support/dpk_fixture.h"
#include "support/sob_test_files.h"

namespace {

constexpr std::string_view kInit = R"(.kind init
.record MAIN 16 2
.record SUB 8 0
.record LAST 8 0
)";

constexpr std::string_view kUserVar = R"(.kind uservar
.var counter 0 1 4 5
)";

constexpr std::string_view kVoices = R"(.kind voice
.extension ogg
.character HERO -
.voice H0001
)";

// twice: returns args[0] * 2, with one local word.
constexpr std::string_view kLibrary = R"(.kind library
  Return                  ; not an entry: the routine's offset is not 0
twice:
  AddSp 4
  LoadStackIndirect 12, mul+4   ; args[0], through the argument array's address at slot 12
mul:
  Mul 0, 2, product
  StoreStack product, 4   ; local 0
  LoadStack 4, ret+4
  SubSp 4
ret:
  ReturnValue 0
.instructions_end
product: .word 0
)";

constexpr std::string_view kMain = R"(.kind script
  PushImm args
  Call lib(twice)
  SubSp 4
  StoreResult doubled
  CallNative native(3), doubled, r
  CallNative native(0), sub_name, r     ; Call SUB
  Yield
  CallNative native(3), back, r
  CallNative native(1), last_name, r    ; Jump to LAST
  Return
.instructions_end
args: .word 21
doubled: .word 0
back: .word 2
r: .word 0
sub_name: .word sub_text
sub_text: .string "SUB"
last_name: .word last_text
last_text: .string "LAST"
)";

constexpr std::string_view kSub = R"(.kind script
  IncMem var(0)
  CallNative native(3), var(0), r
  Return
.instructions_end
r: .word 0
)";

constexpr std::string_view kLast = R"(.kind script
  CallNative native(3), done, r
  CallNative native(2), 0, r            ; the end of the game
  Return
.instructions_end
done: .word 99
r: .word 0
)";

// Rewrites the library's Mul into an Add (opcode 13) before it calls the routine, then ends the game.
constexpr std::string_view kRewritingMain = R"(.kind script
  StoreImm 13, lib(mul)
  PushImm args
  Call lib(twice)
  SubSp 4
  StoreResult doubled
  CallNative native(3), doubled, r
  CallNative native(2), 0, r
  Return
.instructions_end
args: .word 21
doubled: .word 0
r: .word 0
)";

std::vector<std::pair<std::uint32_t, std::uint32_t>> g_marks;

std::uint32_t NativeMark(const NativeArgs& args) {
  g_marks.emplace_back(args.U32(0), g_ScriptCallDepth);
  return 0;
}

// Interpreted, and translated: the library as well as the scripts, which call into it.
class ScriptDpkRunTest : public test_support::DpkTest, public ::testing::WithParamInterface<bool> {
 protected:
  // Packs the scripts with `main` as MAIN into SCRIPT.DPK, mounts it, and loads the libraries and
  // MAIN into the host, translated in the translated mode.
  void Start(CScriptHost& host, std::string_view main) {
    const kvxtools::SobAssembly library = sob_test::Assemble(kLibrary);
    kvxtools::DpkWriter writer(Options());
    writer.Add("SCRIPT\\SOB_INIT.DAT", sob_test::AsText(sob_test::Assemble(kInit).bytes));
    writer.Add("SCRIPT\\USER_VAR.SOB", sob_test::AsText(sob_test::Assemble(kUserVar).bytes));
    writer.Add("SCRIPT\\FUNC_LIB.SOB", sob_test::AsText(library.bytes));
    writer.Add("SCRIPT\\VOICEINF.DAT", sob_test::AsText(sob_test::Assemble(kVoices).bytes));
    writer.Add("SCRIPT\\MAIN.SOB", sob_test::AsText(sob_test::Assemble(main, &library.labels).bytes));
    writer.Add("SCRIPT\\SUB.SOB", sob_test::AsText(sob_test::Assemble(kSub).bytes));
    writer.Add("SCRIPT\\LAST.SOB", sob_test::AsText(sob_test::Assemble(kLast).bytes));
    Write(writer, "SCRIPT.DPK");
    ASSERT_EQ(RegisterDpkDecoder(*files_), 0u);
    ASSERT_EQ(files_->MountArchive("SCRIPT.DPK", -2, 0, true, nullptr), 0u);
    ASSERT_FALSE(game_.Exists("SCRIPT"));

    g_marks.clear();
    ASSERT_EQ(host.EnableTranslation(GetParam()), 0u);
    ASSERT_EQ(host.RegisterNative(NativeMark), 0u);
    ASSERT_EQ(host.LoadLibraries("SCRIPT\\SOB_INIT.DAT", "SCRIPT\\USER_VAR.SOB", "SCRIPT\\FUNC_LIB.SOB", true, true), 0u);
    ASSERT_EQ(host.LoadVoiceInfo("SCRIPT\\VOICEINF.DAT"), 0u);
    ASSERT_NE(host.LibraryCodeBase(), 0u);
    ASSERT_EQ(host.LoadScript("MAIN", nullptr), 0u);
    const bool translated = host.Translations().Find(host.LibraryCodeBase()) != nullptr &&
                            host.Translations().Find(host.GetCodeBase()) != nullptr;
    EXPECT_EQ(translated, GetParam());
  }
  static std::uint32_t RunToTheEnd(CScriptHost& host) {
    std::uint32_t result = CScriptHost::kRunSuspended;
    for (int run = 0; run < 10 && result == CScriptHost::kRunSuspended; ++run) result = host.RunLoop();
    return result;
  }
};

INSTANTIATE_TEST_SUITE_P(BothModes, ScriptDpkRunTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& mode) { return mode.param ? "Translated" : "Interpreted"; });

TEST_P(ScriptDpkRunTest, AssembledScriptsInAnArchiveRunToTheirEnd) {
  CScriptHost host;
  ASSERT_NO_FATAL_FAILURE(Start(host, kMain));
  EXPECT_EQ(host.Voices().names.size(), 1u);
  EXPECT_EQ(RunToTheEnd(host), CScriptHost::kRunFinished);
  EXPECT_EQ(g_ScriptTransfer, kScriptTransferEnd);
  using Marks = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
  EXPECT_EQ(g_marks, (Marks{{42, 0}, {6, 1}, {2, 0}, {99, 0}}));
  ASSERT_EQ(host.Modules().size(), 2u);  // the library and LAST
  EXPECT_EQ(host.CurrentReadTextRecord(), &host.ReadTextRecords()[2]);
  EXPECT_EQ(host.Memory().Word(host.Variables().Table()[0].address), 6u);
  EXPECT_EQ(host.ResetVariables(0, 0), 0u);
  EXPECT_EQ(host.Memory().Word(host.Variables().Table()[0].address), 5u);
}

TEST_P(ScriptDpkRunTest, AScriptThatRewritesAnInstructionOfTheLibraryRunsTheRewrittenRoutine) {
  CScriptHost host;
  ASSERT_NO_FATAL_FAILURE(Start(host, kRewritingMain));
  EXPECT_EQ(RunToTheEnd(host), CScriptHost::kRunFinished);
  // 21 + 2 instead of 21 * 2.
  using Marks = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
  EXPECT_EQ(g_marks, (Marks{{23, 0}}));
}

}  // namespace

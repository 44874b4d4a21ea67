// The novel frame's interpreter loop: text, core commands, opcode handlers and their results,
// the repeat counter of skippable waits, commands carried in the text, and embedded code with
// its Call and Jump service.
#include "novel/frame/vov_frame.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "base/system/app_hooks.h"
#include "novel/scenario/vov_command_record.h"
#include "platform/encoding/text_encoding.h"
#include "platform/window/system_message_box.h"
#include "script/script_transfer.h"
#include "support/fake_app_services.h"
#include "support/log_capture.h"
#include "support/sob_test_files.h"
#include "tob_builder.h"

namespace {

using kvxtools::AssembleTobCode;
using kvxtools::TobBuilder;
using kvxtools::TobOperand;

constexpr std::uint32_t kTestOpcode = 40;
constexpr std::uint32_t kOtherOpcode = 41;

std::vector<std::uint32_t> g_marks;

std::uint32_t NativeMark(const NativeArgs& args) {
  g_marks.push_back(args.U32(0));
  return 0;
}

int PassingFrame() { return 1; }

int g_stop_checks = 0;
int g_stop_at_check = 0;

// Says the application is ending at check number g_stop_at_check.
bool CountedStopCheck() { return ++g_stop_checks == g_stop_at_check; }

// A code block that asks for transfer `native` of `target` and then executes `after`.
kvxtools::TobCode TransferBlock(int native, std::string_view target, std::string_view after) {
  return AssembleTobCode("  CallNative native(" + std::to_string(native) + "), args, result\n  " + std::string(after) +
                         "\n  Return\nargs: .word name\nname: .string \"" + std::string(target) +
                         "\"\nresult: .word 0\n");
}

// A script object that marks `mark` and then runs `tail` (a transfer request, or nothing).
std::string MarkingScript(std::uint32_t mark, std::string_view tail = "") {
  return ".kind script\n  CallNative native(3), mark, result\n" + std::string(tail) +
         "  Return\nmark: .word " + std::to_string(mark) + "\nresult: .word 0\nargs: .word name\nname: .string \"X\"\n";
}

class VovFrameTest : public sob_test::ScriptFilesTest {
 protected:
  void SetUp() override {
    ScriptFilesTest::SetUp();
    g_marks.clear();
    g_ScriptTransfer = kScriptTransferNone;
    ASSERT_EQ(host_.RegisterNative(NativeMark), 0u);
    saved_hook_ = g_FrameProcedureHook;
    g_FrameProcedureHook = PassingFrame;
    g_stop_checks = 0;
    g_stop_at_check = 1;
    g_ScriptStopCheckHook = CountedStopCheck;
    frame_ = std::make_unique<CVovFrame>(host_);
  }
  void TearDown() override {
    frame_.reset();
    g_ScriptStopCheckHook = nullptr;
    g_FrameProcedureHook = saved_hook_;
    g_ScriptTransfer = kScriptTransferNone;
  }

  std::int32_t Run(const TobBuilder& builder, const std::string& name = "MAIN") {
    game_.WriteFile("SCRIPT/" + name + ".TOB", sob_test::AsText(builder.Build()));
    frame_->ResetScripts();
    frame_->TextBuffer().Clear();
    EXPECT_EQ(frame_->LoadMainScript(name.c_str()), 0u);
    return frame_->RunScript();
  }
  std::string Text() { return std::string(frame_->TextBuffer().Text()); }
  // Registers a test handler that records what it saw and returns `result`.
  void Handle(std::uint32_t opcode, std::int32_t result) {
    frame_->SetHandler(opcode, [this, result](CVovFrame& frame, std::span<const VovOperand> operands) {
      seen_.push_back({frame.InHandler(), frame.CommandResult(), static_cast<std::uint32_t>(operands.size())});
      return result;
    });
  }

  struct Seen {
    bool in_handler;
    std::int32_t command_result;
    std::uint32_t operands;
  };

  LogCapture log_;
  test_support::FakeAppServices app_;
  CScriptHost host_;
  std::unique_ptr<CVovFrame> frame_;
  std::vector<Seen> seen_;
  int (*saved_hook_)() = nullptr;
};

TEST_F(VovFrameTest, TextCommandsAndInsertedNumbers) {
  EXPECT_EQ(Run(TobBuilder()), 0);  // an empty body
  EXPECT_EQ(Text(), "");

  TobBuilder builder;
  builder.Text("a[xb");
  builder.Command(kVovPrintNumber, {TobOperand::Value(static_cast<std::uint32_t>(-12))});
  builder.Text("c");
  builder.Command(kVovPrintString, {TobOperand::String("st")});
  builder.Text("\x82\xa0");
  EXPECT_EQ(Run(builder), 0);
  EXPECT_EQ(Text(), "axb-12cst\x82\xa0");
  EXPECT_EQ(frame_->TextBuffer().Terminator(), 0);
}

TEST_F(VovFrameTest, HandlerResultsDecideWhetherTheRunGoesOn) {
  struct Case {
    std::int32_t result;
    std::int32_t run;
    const char* text;
  };
  for (const Case& c : {Case{0, 0, "ab"}, Case{4, 4, "a"}, Case{-1, -1, "a"}, Case{-7, -4, "a"}}) {
    Handle(kTestOpcode, c.result);
    host_.SetRetVovExp(77);
    TobBuilder builder;
    builder.Text("a");
    builder.Command(kTestOpcode, {TobOperand::Value(1), TobOperand::Absent()});
    builder.Text("b");
    EXPECT_EQ(Run(builder), c.run) << c.result;
    EXPECT_EQ(Text(), c.text) << c.result;
    EXPECT_EQ(host_.RetVovExp(), 77u) << "only CallOpcode stores the handler's result";
    EXPECT_EQ(seen_.back().command_result, static_cast<std::int32_t>(kTestOpcode));  // the running opcode
    EXPECT_EQ(seen_.back().operands, 2u);
    EXPECT_EQ(frame_->Operands().Mark(), 0u);  // the area is free again also after a stop
  }
}

TEST_F(VovFrameTest, AReturnWithoutACallEndsTheRunWithZero) {
  TobBuilder builder;
  builder.Text("a");
  builder.Command(kVovReturn);
  builder.Text("b");
  EXPECT_EQ(Run(builder), 0);
  EXPECT_EQ(Text(), "a");
  EXPECT_EQ(frame_->CommandResult(), CVovFrame::kReturnedToNothing);
}

TEST_F(VovFrameTest, ACallReturnsBehindItselfInTheSameScriptAndFromAnother) {
  // A call that came back onto itself would call again until the stop check ended the run.
  frame_->SetCommandsUntilStopCheck(1000);
  TobBuilder other;
  other.Text("x");
  other.Label("SUB");
  other.Text("s");
  other.Command(kVovReturn);
  game_.WriteFile("SCRIPT/OTHER.TOB", sob_test::AsText(other.Build()));
  TobBuilder builder;
  builder.Text("a");
  builder.Command(kVovCall, {TobOperand::String("HERE")});
  builder.Text("b");
  builder.Command(kVovCall, {TobOperand::String("SUB"), TobOperand::String("OTHER")});
  builder.Text("c");
  builder.Command(kVovReturn);
  builder.Label("HERE");
  builder.Text("h");
  builder.Command(kVovReturn);
  EXPECT_EQ(Run(builder), 0);
  EXPECT_EQ(Text(), "ahbsc");
  EXPECT_EQ(g_stop_checks, 0);
}

TEST_F(VovFrameTest, ALoopWithoutWaitsEndsWhenTheStopCheckSaysTheApplicationEnds) {
  g_stop_at_check = 3;
  TobBuilder builder;
  builder.Text("a");
  builder.Command(kVovGoto1, {TobOperand::Value(1)});
  EXPECT_EQ(Run(builder), -1);
  EXPECT_EQ(g_stop_checks, 3);
  EXPECT_TRUE(frame_->ApplicationEnding());
  EXPECT_EQ(frame_->Operands().Mark(), 0u);
}

TEST_F(VovFrameTest, AnOpcodePastTheTableStopsTheRun) {
  TobBuilder builder;
  builder.Text("a");
  builder.Command(200, {TobOperand::Value(1)});
  builder.Text("b");
  EXPECT_EQ(Run(builder), -1);
  EXPECT_EQ(Text(), "a");
  EXPECT_NE(log_.Last().find("opcode 200"), std::string::npos) << log_.Last();
  EXPECT_EQ(frame_->CallOpcode(129, {}), -1);
}

TEST_F(VovFrameTest, CommandsThatCannotBeReadStopTheRun) {
  struct Case {
    const char* name;
    std::function<void(TobBuilder&)> build;
  };
  const Case cases[] = {
      {"more operands than the area holds",
       [](TobBuilder& b) { b.Command(kTestOpcode, {TobOperand::Value(1), TobOperand::Value(2), TobOperand::Value(3)}); }},
      {"a code block naming a variable past the table", [](TobBuilder& b) { b.CodeBlock(AssembleTobCode("Copy var(99), host(0)\nReturn")); }},
      {"a rest length past the body", [](TobBuilder& b) { b.Raw(std::vector<std::uint8_t>{'[', ' ', 40, 0, 0, 0, 1, 0xFF, 0xFF, 0, 0}); }},
  };
  frame_->SetOperandAreaSize(4);  // two operands
  Handle(kTestOpcode, 0);
  for (const Case& c : cases) {
    TobBuilder builder;
    builder.Text("a");
    c.build(builder);
    builder.Text("b");
    log_.Clear();
    EXPECT_EQ(Run(builder), -1) << c.name;
    EXPECT_EQ(Text(), "a") << c.name;
    EXPECT_FALSE(log_.Lines().empty()) << c.name;
    EXPECT_EQ(frame_->Operands().Mark(), 0u) << c.name;
  }
  EXPECT_TRUE(seen_.empty());
}

TEST_F(VovFrameTest, TheTextBufferKeepsItsLastByteForTheZero) {
  TobBuilder builder;
  builder.Text(std::string(5000, 'x'));
  EXPECT_EQ(Run(builder), 0);
  EXPECT_EQ(frame_->TextBuffer().Size(), 4095u);
  EXPECT_EQ(frame_->TextBuffer().Terminator(), 0);
  // A carried command that no longer fits is dropped whole.
  EXPECT_EQ(frame_->CarryInText({}), 0);
  EXPECT_EQ(frame_->TextBuffer().Size(), 4095u);

  // A double-byte character that would pass the end is not split.
  TobBuilder wide;
  wide.Text(std::string(4094, 'y') + "\x82\xa0");
  EXPECT_EQ(Run(wide), 0);
  EXPECT_EQ(frame_->TextBuffer().Size(), 4094u);
}

TEST_F(VovFrameTest, TheBuiltHandlers) {
  TobBuilder builder;
  builder.Command(15, {TobOperand::Value(3)});
  builder.Command(19, {TobOperand::Value(5)});
  builder.Command(19, {TobOperand::Value(4)});
  builder.Command(18, {TobOperand::String(std::string(50, 't'))});
  builder.Command(25, {TobOperand::String("\x88\xa4" + std::string(15, 's')), TobOperand::String(std::string(20, 'v'))});
  builder.Text("go");
  EXPECT_EQ(Run(builder), 0);
  EXPECT_EQ(Text(), "go");
  EXPECT_EQ(frame_->Title(), std::string(40, 't'));
  for (std::size_t mark = 0; mark < 4; ++mark) EXPECT_FALSE(frame_->ChoiceDisabled(mark));
  EXPECT_TRUE(frame_->ChoiceDisabled(4));
  EXPECT_EQ(frame_->SpeakerName(), "\x88\xa4" + std::string(14, 's'));  // 16 bytes, the character whole
  EXPECT_EQ(frame_->VoiceName(), std::string(15, 'v'));
  // An opcode whose part this frame has not installed says so and lets the scenario go on.
  TobBuilder later;
  later.Command(35, {TobOperand::String("BG")});
  later.Text("z");
  EXPECT_EQ(Run(later), 0);
  EXPECT_EQ(Text(), "z");
}

TEST_F(VovFrameTest, OnlyCallOpcodeSetsTheInHandlerFlag) {
  Handle(14, 0);
  TobBuilder builder;
  builder.Command(14);
  EXPECT_EQ(Run(builder), 0);
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_FALSE(seen_[0].in_handler);
  EXPECT_EQ(host_.RetVovExp(), 0u);

  Handle(14, 9);
  const VovOperand operand{0, 3, {}};
  EXPECT_EQ(frame_->CallOpcode(14, std::span(&operand, 1)), 9);
  ASSERT_EQ(seen_.size(), 2u);
  EXPECT_TRUE(seen_[1].in_handler);
  EXPECT_EQ(seen_[1].operands, 1u);
  EXPECT_FALSE(frame_->InHandler());
  EXPECT_EQ(frame_->CommandResult(), 9);
  EXPECT_EQ(host_.RetVovExp(), 9u);
}

TEST_F(VovFrameTest, ACommandCarriedInTheTextRoundTrips) {
  const std::string face = "user";
  const VovOperand operands[] = {{0, 22, {}}, {kVovStringFlag, 0x12345, face}, {kVovStringFlag, 0, {}}};
  const std::vector<std::uint8_t> record = EncodeVovCommand(28, operands);
  ASSERT_GE(record.size(), 2u);
  EXPECT_EQ(record[0], 0);
  EXPECT_EQ(record[1], '[');
  std::optional<VovCarriedCommand> command = DecodeVovCommand(std::span(record).subspan(2));
  ASSERT_TRUE(command);
  EXPECT_EQ(command->opcode, 28u);
  EXPECT_EQ(command->size, record.size() - 2);
  ASSERT_EQ(command->operands.size(), 3u);
  EXPECT_EQ(command->operands[0].flags, 0u);
  EXPECT_EQ(command->operands[0].value, 22u);
  EXPECT_EQ(command->operands[1].flags, kVovStringFlag);
  EXPECT_EQ(command->operands[1].text, "user");
  EXPECT_NE(command->operands[1].text.data(), face.data());  // a copy held by the record
  EXPECT_EQ(command->operands[2].text.data(), nullptr);
  const VovCarriedCommand moved = std::move(*command);
  EXPECT_EQ(moved.operands[1].text, "user");

  // Cut records and lengths that pass the bytes are refused.
  for (std::size_t cut = 2; cut < record.size(); ++cut) {
    EXPECT_FALSE(DecodeVovCommand(std::span(record).subspan(2, cut - 2))) << cut;
  }
  std::vector<std::uint8_t> long_string = record;
  long_string[2 + 12 + 5 + 1] = 0xFF;  // the string's length
  EXPECT_FALSE(DecodeVovCommand(std::span(long_string).subspan(2)));
}

TEST_F(VovFrameTest, HandlersCarryThemselvesIntoTheText) {
  frame_->SetHandler(kTestOpcode, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    return frame.InHandler() ? 0 : frame.CarryInText(operands);
  });
  TobBuilder builder;
  builder.Text("a");
  builder.Command(kTestOpcode, {TobOperand::Value(7), TobOperand::String("f")});
  builder.Text("b");
  EXPECT_EQ(Run(builder), 0);
  const std::span<const std::uint8_t> text = frame_->TextBuffer().Bytes();
  ASSERT_GT(text.size(), 4u);
  EXPECT_EQ(text[0], 'a');
  EXPECT_EQ(text.back(), 'b');
  const std::optional<VovCarriedCommand> command = DecodeVovCommand(text.subspan(3, text.size() - 4));
  ASSERT_TRUE(command);
  EXPECT_EQ(command->opcode, kTestOpcode);
  ASSERT_EQ(command->operands.size(), 2u);
  EXPECT_EQ(command->operands[0].value, 7u);
  EXPECT_EQ(command->operands[1].text, "f");
}

// A wait at kTestOpcode: operand 1 skippable; its wait answers from a script of results.
class RepeatCounterTest : public VovFrameTest {
 protected:
  void SetUp() override {
    VovFrameTest::SetUp();
    frame_->SetHandler(kTestOpcode, [this](CVovFrame& frame, std::span<const VovOperand> operands) {
      counters_.push_back(frame.RepeatCounter());
      return frame.SkippableWait(
          VovOperandAt(operands, 0).value != 0, [this] { ++finished_; },
          [this] {
            ++waited_;
            const std::int32_t answer = answers_.front();
            answers_.pop_front();
            return answer;
          });
    });
    Handle(kOtherOpcode, 0);
  }

  std::deque<std::int32_t> answers_;
  std::vector<std::uint32_t> counters_;
  int finished_ = 0;
  int waited_ = 0;
};

TEST_F(RepeatCounterTest, OneClickCutsAnUnbrokenRunOfWaitsShort) {
  answers_ = {1};
  TobBuilder builder;
  for (int n = 0; n < 3; ++n) builder.Command(kTestOpcode, {TobOperand::Value(1)});
  builder.Text("end");
  EXPECT_EQ(Run(builder), 0);
  EXPECT_EQ(Text(), "end");
  EXPECT_EQ(waited_, 1);
  EXPECT_EQ(finished_, 2);
  EXPECT_EQ(counters_, (std::vector<std::uint32_t>{0, 1, 2}));
  EXPECT_EQ(frame_->RepeatCounter(), 3u);
}

TEST_F(RepeatCounterTest, OnlyAHandlerThatLeavesTheCounterBreaksTheRun) {
  struct Case {
    const char* between;
    int waited;
  };
  for (const Case& c : {Case{"handler", 2}, Case{"core", 1}, Case{"text", 1}}) {
    answers_ = {1, 0};
    waited_ = finished_ = 0;
    frame_->SetRepeatCounter(0);
    TobBuilder builder;
    builder.Command(kTestOpcode, {TobOperand::Value(1)});
    if (c.between == std::string("handler")) builder.Command(kOtherOpcode);
    if (c.between == std::string("core")) builder.Command(kVovNothing);
    if (c.between == std::string("text")) builder.Text("t");
    builder.Command(kTestOpcode, {TobOperand::Value(1)});
    EXPECT_EQ(Run(builder), 0) << c.between;
    EXPECT_EQ(waited_, c.waited) << c.between;
    EXPECT_EQ(finished_, 2 - c.waited) << c.between;
  }
}

TEST_F(RepeatCounterTest, AFailedWaitStopsTheRunAndAnUnskippableWaitAlwaysWaits) {
  answers_ = {1, 1, -1};
  TobBuilder builder;
  builder.Command(kTestOpcode, {TobOperand::Value(1)});
  builder.Command(kTestOpcode, {TobOperand::Value(0)});
  builder.Command(kTestOpcode, {TobOperand::Value(1)});
  builder.Text("never");
  EXPECT_EQ(Run(builder), -1);
  EXPECT_EQ(waited_, 3);
  EXPECT_EQ(Text(), "");
}

class EmbeddedCodeTest : public VovFrameTest {
 protected:
  std::int32_t RunBlock(const kvxtools::TobCode& code) {
    TobBuilder builder;
    builder.Text("a");
    builder.CodeBlock(code);
    builder.Text("b");
    boxes_.clear();
    plat::ScopedMessageBoxAnswers answers{[this](const plat::MessageBoxRequest& request) {
      boxes_.push_back(plat::SjisToUtf8(request.text));
      EXPECT_EQ(request.style & plat::kMessageBoxIconMask, plat::MB_ICONSTOP);
      return plat::IDOK;
    }};
    return Run(builder);
  }

  std::vector<std::string> boxes_;
};

TEST_F(EmbeddedCodeTest, ABlockCallsAScriptOnTheFramesContextAndGoesOn) {
  WriteScript("SUB", MarkingScript(5));
  const std::uint32_t code_base = host_.GetCodeBase();
  EXPECT_EQ(RunBlock(TransferBlock(0, "SUB", "Yield")), 0);
  EXPECT_EQ(g_marks, std::vector<std::uint32_t>{5});
  EXPECT_EQ(Text(), "ab");
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(g_ScriptTransfer, kScriptTransferNone);
  EXPECT_EQ(host_.GetCodeBase(), code_base);  // the called object is unloaded again
}

TEST_F(EmbeddedCodeTest, TheFramesContextRunsTranslatedWhenTheHostsDoes) {
  EXPECT_FALSE(frame_->Context().UsesTranslation());
  if (host_.EnableTranslation(true) != 0) GTEST_SKIP() << "this machine runs no translated code";
  frame_ = std::make_unique<CVovFrame>(host_);
  EXPECT_TRUE(frame_->Context().UsesTranslation());
  WriteScript("SUB", MarkingScript(8));
  EXPECT_EQ(RunBlock(TransferBlock(0, "SUB", "Yield")), 0);
  EXPECT_EQ(g_marks, std::vector<std::uint32_t>{8});
  EXPECT_EQ(Text(), "ab");
}

TEST_F(EmbeddedCodeTest, AFinishedBlockGoesOnWhateverItAskedFor) {
  EXPECT_EQ(RunBlock(TransferBlock(1, "SUB", "")), 0);
  EXPECT_EQ(Text(), "ab");
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(EmbeddedCodeTest, FailedServicesShowTheirMessageAndEndTheRun) {
  WriteScript("JUMPER", MarkingScript(6, "  CallNative native(1), args, result\n"));
  const std::uint32_t code_base = host_.GetCodeBase();
  struct Case {
    const char* name;
    kvxtools::TobCode code;
    const char* box;
  };
  const Case cases[] = {
      {"a Jump in the block", TransferBlock(1, "SUB", "Yield"), "システムスクリプト中でJump命令は使用できません"},
      {"a Jump in a called script", TransferBlock(0, "JUMPER", "Yield"), "システムスクリプト中でJump命令は使用できません"},
      {"a Call of a missing object", TransferBlock(0, "NONE", "Yield"), "Call命令でスクリプトのロードに失敗"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunBlock(c.code), -1) << c.name;
    EXPECT_EQ(boxes_, std::vector<std::string>{c.box}) << c.name;
    EXPECT_EQ(Text(), "a") << c.name;
    // The refused request is dropped, so that no other script serves it later.
    EXPECT_EQ(g_ScriptTransfer, kScriptTransferNone) << c.name;
    EXPECT_EQ(host_.GetCodeBase(), code_base) << c.name;
  }
}

TEST_F(EmbeddedCodeTest, AnEndRequestEndsTheRunAndStays) {
  WriteScript("ENDER", MarkingScript(7, "  CallNative native(2), args, result\n"));
  const std::uint32_t code_base = host_.GetCodeBase();
  for (const kvxtools::TobCode& code : {TransferBlock(2, "", "Yield"), TransferBlock(0, "ENDER", "Yield")}) {
    g_ScriptTransfer = kScriptTransferNone;
    EXPECT_EQ(RunBlock(code), -1);
    EXPECT_EQ(g_ScriptTransfer, kScriptTransferEnd);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(host_.GetCodeBase(), code_base);
  }
}

TEST_F(EmbeddedCodeTest, AFaultInTheBlockEndsTheRunAndTheEngineGoesOn) {
  EXPECT_EQ(RunBlock(AssembleTobCode("  Copy 16, host(0)\n  Return\n")), -1);
  EXPECT_EQ(Text(), "a");
  EXPECT_EQ(RunBlock(AssembleTobCode("  StoreImm 77, host(0)\n  Return\n")), 0);
  EXPECT_EQ(host_.RetVovExp(), 77u);
  EXPECT_EQ(Text(), "ab");
}

TEST_F(EmbeddedCodeTest, AYieldingBlockRunsFramePassesUntilTheApplicationEnds) {
  EXPECT_EQ(RunBlock(AssembleTobCode("  Yield\n  StoreImm 5, host(0)\n  Return\n")), 0);
  EXPECT_EQ(host_.RetVovExp(), 5u);
  g_FrameProcedureHook = [] { return 0; };
  EXPECT_EQ(RunBlock(AssembleTobCode("  Yield\n  Return\n")), -1);
}

TEST_F(EmbeddedCodeTest, ASystemScriptMayJump) {
  WriteScript("FIRST", MarkingScript(1, "  CallNative native(1), next, result\n") + "next: .word second\nsecond: .string \"SECOND\"\n");
  WriteScript("SECOND", MarkingScript(2));
  const std::uint32_t code_base = host_.GetCodeBase();
  EXPECT_EQ(frame_->RunSystemScript("FIRST"), 0);
  EXPECT_EQ(g_marks, (std::vector<std::uint32_t>{1, 2}));
  EXPECT_EQ(host_.GetCodeBase(), code_base);
  EXPECT_EQ(frame_->RunSystemScript("MISSING"), CVovFrame::kSystemScriptUnloadable);
}

}  // namespace

#include "script/script_vm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/system/app_hooks.h"
#include "platform/system/machine_code_map.h"
#include "script_code_builder.h"
#include "support/log_capture.h"
#include "support/process_mappings.h"

namespace {

using kvxtools::ScriptCodeBuilder;
using Op = ESobOpcode;

constexpr std::uint32_t Word(std::int32_t value) { return static_cast<std::uint32_t>(value); }

// Every case runs interpreted and translated, and must give the same results in both modes.
class ScriptVmTest : public ::testing::TestWithParam<bool> {
 protected:
  ScriptVmTest() : code_(Memory().Allocate(0x1000, true)), data_(Memory().Allocate(0x100, true)) {
    if (Translated()) vm_.EnableTranslation(true);
  }

  static bool Translated() { return GetParam(); }
  // Writes the code and, in the translated mode, translates it; a refusal is logged (and the code
  // then runs interpreted), so the log starts afresh.
  void Install(const ScriptCodeBuilder& code) {
    code.WriteTo(Memory());
    if (Translated()) Translate(code.Base(), static_cast<std::uint32_t>(4 * code.Finish().size()));
  }
  void Translate(std::uint32_t code, std::uint32_t length) {
    translation_refused_ = vm_.Translations().Translate(code, length) != CScriptTranslator::kTranslated;
    log_.Clear();
  }

  ScriptMemory& Memory() { return vm_.Memory(); }
  CScriptContext& Context() { return vm_.Context(); }
  std::uint32_t Data(std::uint32_t n) const { return data_ + 4 * n; }
  std::uint32_t D(std::uint32_t n) { return Memory().Word(Data(n)); }
  ScriptCodeBuilder Code() const { return ScriptCodeBuilder(code_); }
  std::uint32_t RunCode(const ScriptCodeBuilder& code) {
    Install(code);
    return vm_.Run(code_);
  }
  // A loop whose every pass flips an opcode word between IncMem and DecMem, the word Data(0)
  // counting, for as many passes as Data(1) says; built-in 0 is called on every pass when asked.
  // The loop starts the builder's code, Code() unless another is given.
  ScriptCodeBuilder FlippingLoop(bool call_builtin) const { return FlippingLoop(call_builtin, Code()); }
  ScriptCodeBuilder FlippingLoop(bool call_builtin, ScriptCodeBuilder code) const {
    const auto loop = code.NewLabel(), flip = code.NewLabel(), step = code.NewLabel();
    code.Bind(loop);
    code.Emit(Op::Copy, {step, ScriptCodeBuilder::OperandOf(flip, 1)});
    code.Bind(flip);
    code.Emit(Op::Xor, {0, static_cast<std::uint32_t>(Op::IncMem) ^ static_cast<std::uint32_t>(Op::DecMem), step});
    code.Bind(step);
    flipped_ = code.Emit(Op::IncMem, {Data(0)});
    if (call_builtin) code.Emit(Op::CallNative, {ScriptNativeTable::Token(0), Data(2), Data(3)});
    code.EmitCountDown(loop, Data(1));
    code.Emit(Op::Return);
    return code;
  }
  static std::string IpText(std::uint32_t ip) {
    char text[32];
    std::snprintf(text, sizeof text, "at ip 0x%08X", ip);
    return text;
  }

  LogCapture log_;
  CScriptVm vm_;
  std::uint32_t code_;
  std::uint32_t data_;
  bool translation_refused_ = false;
  // The instruction that the last FlippingLoop flips.
  mutable std::uint32_t flipped_ = 0;
};

INSTANTIATE_TEST_SUITE_P(BothModes, ScriptVmTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& mode) { return mode.param ? "Translated" : "Interpreted"; });

struct BinaryCase {
  Op opcode;
  std::uint32_t a;
  std::uint32_t b;
  std::uint32_t expected;
};

TEST_P(ScriptVmTest, ArithmeticComparisonAndBitOperationsWorkOnTheirOperandWords) {
  const BinaryCase cases[] = {
      {Op::Add, 0xFFFFFFFF, 2, 1},
      {Op::Sub, 3, 5, Word(-2)},
      {Op::Mul, 0x10001, 0x10001, 0x20001},
      {Op::Div, Word(-7), 2, Word(-3)},
      {Op::Div, 7, Word(-2), Word(-3)},
      {Op::Rem, Word(-7), 2, Word(-1)},
      {Op::Rem, 7, Word(-2), 1},
      {Op::Mod, Word(-7), 2, 1},
      {Op::Mod, 7, Word(-2), 1},
      {Op::Mod, Word(-7), Word(-2), Word(-3)},
      {Op::And, 0xF0F0, 0xFF00, 0xF000},
      {Op::Or, 0xF0F0, 0xFF00, 0xFFF0},
      {Op::Xor, 0xF0F0, 0xFF00, 0x0FF0},
      {Op::Shr, Word(-8), 1, Word(-4)},
      {Op::Shr, 0x80, 33, 0x40},
      {Op::Shl, 1, 33, 2},
      {Op::Shl, 3, 32, 3},
      {Op::Lt, Word(-1), 1, 1},
      {Op::Lt, 1, 1, 0},
      {Op::Le, 1, 1, 1},
      {Op::Le, 2, Word(-2), 0},
      {Op::Gt, 1, Word(-1), 1},
      {Op::Gt, 1, 1, 0},
      {Op::Ge, 1, 1, 1},
      {Op::Ge, Word(-5), 0, 0},
      {Op::Eq, 9, 9, 1},
      {Op::Eq, 9, 8, 0},
      {Op::Ne, 9, 8, 1},
      {Op::Ne, 9, 9, 0},
  };
  for (const BinaryCase& c : cases) {
    Memory().SetWord(Data(0), 0xDEADBEEF);
    ScriptCodeBuilder code = Code();
    code.Emit(c.opcode, {c.a, c.b, Data(0)});
    code.Emit(Op::Return);
    ASSERT_EQ(RunCode(code), kScriptEnded) << static_cast<int>(c.opcode);
    EXPECT_EQ(D(0), c.expected) << "opcode " << static_cast<int>(c.opcode) << " a " << c.a << " b " << c.b;
  }
}

TEST_P(ScriptVmTest, UnaryOperationsAndMemoryStepsChangeTheirDestinations) {
  Memory().SetWord(Data(3), 10);
  Memory().SetWord(Data(4), 0);
  ScriptCodeBuilder code = Code();
  code.Emit(Op::Not, {0x0F0F0F0F, Data(0)});
  code.Emit(Op::LogicalNot, {0, Data(1)});
  code.Emit(Op::LogicalNot, {5, Data(2)});
  code.Emit(Op::IncMem, {Data(3)});
  code.Emit(Op::IncMem, {Data(3)});
  code.Emit(Op::DecMem, {Data(4)});
  code.Emit(Op::Return);
  ASSERT_EQ(RunCode(code), kScriptEnded);
  EXPECT_EQ(D(0), 0xF0F0F0F0u);
  EXPECT_EQ(D(1), 1u);
  EXPECT_EQ(D(2), 0u);
  EXPECT_EQ(D(3), 12u);
  EXPECT_EQ(D(4), 0xFFFFFFFFu);
}

TEST_P(ScriptVmTest, DataMovesReachMemoryDirectlyAndThroughPointers) {
  Memory().SetWord(Data(10), 1234);
  Memory().SetWord(Data(11), Data(10));  // a pointer to Data(10)
  Memory().SetWord(Data(12), Data(3));   // a pointer to Data(3)
  ScriptCodeBuilder code = Code();
  code.Emit(Op::StoreImm, {77, Data(0)});
  code.Emit(Op::Copy, {Data(10), Data(1)});
  code.Emit(Op::LoadIndirect, {Data(11), Data(2)});
  code.Emit(Op::StoreIndirect, {55, Data(12)});
  code.Emit(Op::Return);
  ASSERT_EQ(RunCode(code), kScriptEnded);
  EXPECT_EQ(D(0), 77u);
  EXPECT_EQ(D(1), 1234u);
  EXPECT_EQ(D(2), 1234u);
  EXPECT_EQ(D(3), 55u);
}

TEST_P(ScriptVmTest, StackGrowsUpwardsAndSlotsCountBackFromTheStackPointer) {
  Memory().SetWord(Data(9), 9);
  Memory().SetWord(Data(10), 4321);
  ScriptCodeBuilder code = Code();
  code.Emit(Op::StackAddress, {0, Data(0)});  // sp after the end marker
  code.Emit(Op::PushImm, {5});
  code.Emit(Op::PushMem, {Data(9)});
  code.Emit(Op::StackAddress, {0, Data(1)});
  code.Emit(Op::LoadStack, {8, Data(2)});  // 5
  code.Emit(Op::IncStack, {4});            // 9 -> 10
  code.Emit(Op::IncStack, {4});
  code.Emit(Op::DecStack, {8});  // 5 -> 4
  code.Emit(Op::PopMem, {Data(3)});
  code.Emit(Op::PopMem, {Data(4)});
  code.Emit(Op::AddSp, {12});  // three words of locals
  code.Emit(Op::StoreStackImm, {600, 4});
  code.Emit(Op::StoreStack, {Data(10), 8});
  code.Emit(Op::CopyStack, {8, 12});
  code.Emit(Op::LoadStack, {4, Data(5)});
  code.Emit(Op::LoadStack, {12, Data(6)});
  code.Emit(Op::StoreStackImm, {Data(10), 4});  // a pointer on the stack
  code.Emit(Op::LoadStackIndirect, {4, Data(7)});
  code.Emit(Op::SubSp, {12});
  code.Emit(Op::StackAddress, {4, Data(8)});
  code.Emit(Op::Return);
  ASSERT_EQ(RunCode(code), kScriptEnded);
  EXPECT_EQ(D(0), Context().StackBase() + 4);
  EXPECT_EQ(D(1), D(0) + 8);
  EXPECT_EQ(D(2), 5u);
  EXPECT_EQ(D(3), 11u);
  EXPECT_EQ(D(4), 4u);
  EXPECT_EQ(D(5), 600u);
  EXPECT_EQ(D(6), 4321u);
  EXPECT_EQ(D(7), 4321u);
  EXPECT_EQ(D(8), Context().StackBase());
  EXPECT_EQ(Context().Sp(), Context().StackBase());
}

TEST_P(ScriptVmTest, JumpsAndSwitchTransferToAbsoluteCodeAddresses) {
  for (std::uint32_t index : {0u, 2u}) {
    ScriptCodeBuilder code = Code();
    const auto first = code.NewLabel(), second = code.NewLabel(), third = code.NewLabel(), skipped = code.NewLabel();
    code.Emit(Op::Jump, {skipped});
    code.Emit(Op::StoreImm, {99, Data(0)});
    code.Bind(skipped);
    code.Emit(Op::JumpIfZero, {1, skipped});  // not taken
    code.EmitSwitch(index, {first, second, third});
    code.Bind(first);
    code.Emit(Op::StoreImm, {1, Data(1)});
    code.Emit(Op::Return);
    code.Bind(second);
    code.Emit(Op::StoreImm, {2, Data(1)});
    code.Emit(Op::Return);
    code.Bind(third);
    code.Emit(Op::JumpIfZero, {0, second});  // taken
    code.Emit(Op::Return);
    ASSERT_EQ(RunCode(code), kScriptEnded);
    EXPECT_EQ(D(0), 0u);
    EXPECT_EQ(D(1), index == 0 ? 1u : 2u);
  }
}

TEST_P(ScriptVmTest, CallPushesTheWordAfterItsOperandAndReturnContinuesThere) {
  ScriptCodeBuilder code = Code();
  const auto routine = code.NewLabel();
  const std::uint32_t call = code.Emit(Op::Call, {routine});
  code.Emit(Op::StoreResult, {Data(1)});
  code.Emit(Op::ReturnValue, {99});  // pops the end marker: the result register keeps 42
  code.Bind(routine);
  code.Emit(Op::LoadStack, {4, Data(0)});
  code.Emit(Op::ReturnValue, {42});
  ASSERT_EQ(RunCode(code), kScriptEnded);
  EXPECT_EQ(D(0), call + 8);
  EXPECT_EQ(D(1), 42u);
  EXPECT_EQ(Context().ResultRegister(), 42u);

  ScriptCodeBuilder plain = Code();
  const auto plain_routine = plain.NewLabel();
  plain.Emit(Op::Call, {plain_routine});
  plain.Emit(Op::StoreImm, {7, Data(2)});
  plain.Emit(Op::Return);
  plain.Bind(plain_routine);
  plain.Emit(Op::StoreImm, {6, Data(3)});
  plain.Emit(Op::Return);
  ASSERT_EQ(RunCode(plain), kScriptEnded);
  EXPECT_EQ(D(2), 7u);
  EXPECT_EQ(D(3), 6u);
}

TEST_P(ScriptVmTest, YieldSuspendsAndTheNextInterpretContinuesBehindIt) {
  ScriptCodeBuilder code = Code();
  code.Emit(Op::StoreImm, {1, Data(0)});
  const std::uint32_t yield = code.Emit(Op::Yield);
  code.Emit(Op::StoreImm, {2, Data(0)});
  code.Emit(Op::Yield);
  code.Emit(Op::Return);
  ASSERT_EQ(RunCode(code), kScriptYielded);
  EXPECT_EQ(D(0), 1u);
  EXPECT_EQ(Context().Ip(), yield + 4);
  EXPECT_EQ(Context().Interpret(), kScriptYielded);
  EXPECT_EQ(D(0), 2u);
  EXPECT_EQ(Context().Interpret(), kScriptEnded);
}

TEST_P(ScriptVmTest, InstructionsReadOperandsThatEarlierInstructionsWroteIntoTheCode) {
  // Sums 1..10 with a loop whose arithmetic and test take their inputs from rewritten operands.
  Memory().SetWord(Data(1), 10);
  ScriptCodeBuilder code = Code();
  const auto loop = code.NewLabel(), add = code.NewLabel();
  code.Bind(loop);
  code.Emit(Op::Copy, {Data(0), ScriptCodeBuilder::OperandOf(add, 1)});
  code.Emit(Op::Copy, {Data(1), ScriptCodeBuilder::OperandOf(add, 2)});
  code.Bind(add);
  code.Emit(Op::Add, {0, 0, Data(0)});
  code.EmitCountDown(loop, Data(1));
  // Results and stack values stored into operands too, and a value through a pointer.
  const auto store = code.NewLabel(), push = code.NewLabel();
  code.Emit(Op::PushImm, {Data(2)});
  code.Emit(Op::LoadStack, {4, ScriptCodeBuilder::OperandOf(store, 2)});
  code.Emit(Op::StackAddress, {0, ScriptCodeBuilder::OperandOf(push, 1)});
  code.Emit(Op::StoreIndirect, {31, Data(7)});
  code.Bind(store);
  code.Emit(Op::StoreImm, {0, 0});
  code.Bind(push);
  code.Emit(Op::PushImm, {0});
  code.Emit(Op::PopMem, {Data(3)});
  code.Emit(Op::PopMem, {Data(4)});
  code.Emit(Op::Return);
  Install(code);
  Memory().SetWord(Data(7), code.AddressOf(store) + 4);
  // None of it touches an opcode word: the translated code stays as it was.
  const CScriptTranslator* translator = vm_.Translations().Find(code_);
  const std::uint64_t generation = vm_.Translations().Generation();
  ASSERT_EQ(vm_.Run(code_), kScriptEnded);
  EXPECT_EQ(D(0), 55u);
  EXPECT_EQ(D(2), 31u);
  EXPECT_EQ(D(3), Context().StackBase() + 8);
  EXPECT_EQ(D(4), Data(2));
  EXPECT_EQ(translator != nullptr, Translated());
  EXPECT_EQ(vm_.Translations().Find(code_), translator);
  EXPECT_EQ(vm_.Translations().Generation(), generation);
}

TEST_P(ScriptVmTest, WordsAreReadAtAnyByteOffset) {
  const std::uint32_t odd = code_ + 1;
  ScriptCodeBuilder code(odd);
  code.Emit(Op::Add, {40, 2, Data(0) + 1});
  code.Emit(Op::Return);
  Install(code);
  ASSERT_EQ(vm_.Run(odd), kScriptEnded);
  EXPECT_EQ(Memory().Word(Data(0) + 1), 42u);
}

std::uint32_t g_seen_arguments = 0;
std::uint32_t g_seen_first = 0;

std::uint32_t RecordArguments(const NativeArgs& args) {
  g_seen_arguments = args.Address();
  g_seen_first = args.U32(0);
  return args.U32(0) * 2;
}

std::uint32_t RewriteResultOperand(const NativeArgs& args) {
  args.Memory().SetWord(args.U32(0), args.U32(1));
  return 5;
}

std::uint32_t ReadString(const NativeArgs& args) { return static_cast<std::uint32_t>(std::string(args.Str(0)).size()); }

TEST_P(ScriptVmTest, CallNativeMapsTokensToRegisteredFunctionsByNumber) {
  ASSERT_EQ(vm_.RegisterNative(&RecordArguments), 0u);
  ASSERT_EQ(vm_.RegisterNative(&RewriteResultOperand), 0u);
  EXPECT_EQ(vm_.RegisterNative(nullptr), 1u);
  EXPECT_EQ(vm_.Natives().Count(), 2u);
  EXPECT_LT(ScriptNativeTable::Token(0), ScriptMemory::kLowestAddress);
  EXPECT_EQ(vm_.Natives().Find(ScriptNativeTable::Token(1)), &RewriteResultOperand);
  EXPECT_EQ(vm_.Natives().Find(ScriptNativeTable::Token(2)), nullptr);
  EXPECT_EQ(vm_.Natives().Find(0), nullptr);

  Memory().SetWord(Data(8), 21);
  ScriptCodeBuilder code = Code();
  code.Emit(Op::CallNative, {ScriptNativeTable::Token(0), Data(8), Data(0)});
  // The second function rewrites its own result operand before it returns: the result goes there.
  const std::uint32_t second = code.Emit(Op::CallNative, {ScriptNativeTable::Token(1), Data(12), Data(1)});
  code.Emit(Op::Return);
  Install(code);
  Memory().SetWord(Data(12), second + 12);
  Memory().SetWord(Data(13), Data(3));
  ASSERT_EQ(vm_.Run(code_), kScriptEnded);
  EXPECT_EQ(g_seen_arguments, Data(8));
  EXPECT_EQ(g_seen_first, 21u);
  EXPECT_EQ(D(0), 42u);
  EXPECT_EQ(D(1), 0u);
  EXPECT_EQ(D(3), 5u);
}

// Runs a routine on the calling script's own context, as a resume point is parked, and makes
// memory beyond the usable end usable: the interrupted script must see both afterwards.
CScriptVm* g_reentered_vm = nullptr;
std::uint32_t RunNestedRoutineAndGrowMemory(const NativeArgs& args) {
  CScriptContext& context = g_reentered_vm->Context();
  const std::uint32_t grown = args.Memory().Allocate(0x100000);
  if (context.PushIp() != 0 || context.PushEndMarker() != 0 || context.SetIp(args.U32(0)) != 0) return 0;
  const std::uint32_t nested = context.Interpret();
  if (context.PopIp() != 0) return 0;
  // The last word of the new block.
  return nested == kScriptEnded && grown != 0 ? grown + 0x100000 - 4 : 0;
}

TEST_P(ScriptVmTest, ABuiltInMayReenterTheMachineAndGrowTheUsableMemory) {
  g_reentered_vm = &vm_;
  ASSERT_EQ(vm_.RegisterNative(&RunNestedRoutineAndGrowMemory), 0u);
  const std::uint64_t old_end = Memory().UsableEnd();
  ScriptCodeBuilder code = Code();
  const auto routine = code.NewLabel();
  code.Emit(Op::PushImm, {11});
  code.Emit(Op::CallNative, {ScriptNativeTable::Token(0), Data(4), Data(0)});
  // The word lies beyond the usable end that the run started with.
  code.Emit(Op::StoreIndirect, {7, Data(0)});
  code.Emit(Op::PopMem, {Data(1)});
  code.Emit(Op::Return);
  code.Bind(routine);
  code.Emit(Op::PushImm, {22});
  code.Emit(Op::PopMem, {Data(2)});
  code.Emit(Op::Return);
  Install(code);
  Memory().SetWord(Data(4), code.AddressOf(routine));

  ASSERT_EQ(vm_.Run(code_), kScriptEnded);
  ASSERT_GE(D(0), old_end);
  EXPECT_EQ(Memory().Word(D(0)), 7u);
  EXPECT_EQ(D(1), 11u);
  EXPECT_EQ(D(2), 22u);
  EXPECT_EQ(Context().Sp(), Context().StackBase());
}

// The built-in of a loop that calls it on every pass: it gives the address the pass stores to,
// a word of its data at first; on the third pass it grows the usable memory and gives the last
// word of the new block from then on; on the fifth it gives the context a new, smaller stack
// (with an end marker for the run's last return).
struct LoopBuiltinState {
  CScriptVm* vm = nullptr;
  std::uint32_t passes = 0;
  std::uint32_t target = 0;
};
LoopBuiltinState g_loop_builtin;
std::uint32_t GrowOrMoveTheStackOnSomePasses(const NativeArgs& args) {
  LoopBuiltinState& state = g_loop_builtin;
  ++state.passes;
  if (state.passes == 3) state.target = args.Memory().Allocate(0x100000) + 0x100000 - 4;
  if (state.passes == 5 && (state.vm->SetStackSize(512) != 0 || state.vm->Context().PushEndMarker() != 0)) return 0;
  return state.target;
}

// A translated loop that calls a built-in on every pass goes on with what the built-in changed:
// it stores into memory that was not usable when the run began, and pushes onto the new stack.
TEST_P(ScriptVmTest, ALoopThatCallsABuiltInOnEveryPassFollowsWhatTheBuiltInChanged) {
  g_loop_builtin = {&vm_, 0, Data(6)};
  ASSERT_EQ(vm_.RegisterNative(&GrowOrMoveTheStackOnSomePasses), 0u);
  const std::uint64_t old_end = Memory().UsableEnd();
  Memory().SetWord(Data(1), 8);
  ScriptCodeBuilder code = Code();
  const auto loop = code.NewLabel();
  code.Bind(loop);
  code.Emit(Op::PushMem, {Data(1)});
  code.Emit(Op::PopMem, {Data(5)});
  code.Emit(Op::CallNative, {ScriptNativeTable::Token(0), Data(2), Data(0)});
  code.Emit(Op::StoreIndirect, {7, Data(0)});
  code.EmitCountDown(loop, Data(1));
  code.Emit(Op::Return);
  Install(code);
  ASSERT_FALSE(translation_refused_);

  ASSERT_EQ(vm_.Run(code_), kScriptEnded);
  EXPECT_EQ(g_loop_builtin.passes, 8u);
  ASSERT_GE(g_loop_builtin.target, old_end);
  // The first two passes stored into the data, the others into the new memory.
  EXPECT_EQ(D(6), 7u);
  EXPECT_EQ(Memory().Word(g_loop_builtin.target), 7u);
  EXPECT_EQ(D(5), 1u);
  EXPECT_EQ(Context().StackEnd() - Context().StackBase(), 512u * 4);
  EXPECT_EQ(Context().Sp(), Context().StackBase());
}

// In the translated mode the stores are made by the interpreter beside translated code elsewhere,
// whose stores look up their page first, and then by translated code.
TEST_P(ScriptVmTest, TheLastWordBeforeTheUsableEndIsTheLastOneUsable) {
  const std::uint32_t elsewhere = Memory().Allocate(0x2000, true);
  if (Translated()) Translate(elsewhere + 0x1000, 4);
  const auto end = static_cast<std::uint32_t>(Memory().UsableEnd());
  ScriptCodeBuilder code = Code();
  code.Emit(Op::Copy, {end - 4, Data(0)});
  code.Emit(Op::IncMem, {end - 4});
  code.Emit(Op::Copy, {end - 3, Data(1)});
  code.Emit(Op::Return);
  ScriptCodeBuilder store = Code();
  store.Emit(Op::StoreImm, {5, end - 3});
  store.Emit(Op::Return);
  const auto run = [this](const ScriptCodeBuilder& program, bool translate) {
    Context().ResetStack();
    if (translate) {
      Install(program);
    } else {
      program.WriteTo(Memory());
    }
    return vm_.Run(code_);
  };
  char text[32];
  std::snprintf(text, sizeof text, "bad address 0x%08X", end - 3);
  for (const bool translate : {false, true}) {
    SCOPED_TRACE(translate ? "translated where translating" : "interpreted");
    Memory().SetWord(end - 4, 9);
    EXPECT_EQ(run(code, translate), kScriptFaulted);
    EXPECT_EQ(D(0), 9u);
    EXPECT_EQ(Memory().Word(end - 4), 10u);
    EXPECT_NE(log_.Last().find(text), std::string::npos) << log_.Last();
    EXPECT_EQ(run(store, translate), kScriptFaulted);
    EXPECT_NE(log_.Last().find(text), std::string::npos) << log_.Last();
  }
}

// An instruction whose last operand word lies beyond the usable end faults on that word, after the
// faults that its earlier words decide.
TEST_P(ScriptVmTest, AnInstructionCutByTheUsableEndFaultsOnItsMissingOperand) {
  const auto end = static_cast<std::uint32_t>(Memory().UsableEnd());
  const std::uint32_t words[] = {static_cast<std::uint32_t>(Op::Div), 1, 0};
  Memory().Write(end - 12, words, sizeof words);
  if (Translated()) Translate(end - 12, sizeof words);
  EXPECT_EQ(vm_.Run(end - 12), kScriptFaulted);
  EXPECT_NE(log_.Last().find("division by zero"), std::string::npos) << log_.Last();
  Memory().SetWord(end - 4, 2);
  Context().ResetStack();
  EXPECT_EQ(vm_.Run(end - 12), kScriptFaulted);
  char text[32];
  std::snprintf(text, sizeof text, "bad address 0x%08X", end);
  EXPECT_NE(log_.Last().find(text), std::string::npos) << log_.Last();
  EXPECT_EQ(Context().Ip(), end - 12);
}

TEST_P(ScriptVmTest, TheRuntimeStartsWithAStackOf16384Words) {
  EXPECT_EQ(vm_.StackSize(), 16384u);
  EXPECT_EQ(Context().StackEnd() - Context().StackBase(), 16384u * 4);
  EXPECT_GE(Context().StackBase(), ScriptMemory::kLowestAddress);
  EXPECT_EQ(Context().Sp(), Context().StackBase());
  EXPECT_EQ(vm_.SetStackSize(8192), 0u);
  EXPECT_EQ(vm_.StackSize(), 8192u);
  EXPECT_EQ(Context().StackEnd() - Context().StackBase(), 8192u * 4);
}

TEST_P(ScriptVmTest, PushIpAndPopIpParkAResumePoint) {
  Context().SetIp(0x12345);
  EXPECT_EQ(Context().PushIp(), 0u);
  Context().SetIp(0x777);
  EXPECT_EQ(Context().PopIp(), 0u);
  EXPECT_EQ(Context().Ip(), 0x12345u);
  EXPECT_EQ(Context().PopIp(), 1u);  // nothing left
  EXPECT_NE(log_.Last().find("stack underflow"), std::string::npos);
  EXPECT_EQ(vm_.PushEndMarker(), 0u);
  EXPECT_EQ(Context().Sp(), Context().StackBase() + 4);
  EXPECT_EQ(Memory().Word(Context().StackBase()), 0u);
}

// Each faulty program stops with 2 and a log line naming the fault and the instruction; the machine
// stays usable.
struct FaultCase {
  const char* name;
  const char* log_text;
  void (*build)(ScriptCodeBuilder& code, std::uint32_t data);
  // Where the faulting instruction lies behind the start of the faulty code; -1 where it varies.
  int ip_offset = 0;
};

const FaultCase kFaults[] = {
    {"opcode above 46", "unknown opcode 47", [](ScriptCodeBuilder& code, std::uint32_t) { code.EmitWord(47); }},
    {"opcode all ones", "unknown opcode 4294967295", [](ScriptCodeBuilder& code, std::uint32_t) { code.EmitWord(0xFFFFFFFF); }},
    {"switch beyond table", "switch index 3 beyond its table",
     [](ScriptCodeBuilder& code, std::uint32_t) { code.EmitSwitch(3, {0x20000, 0x20000, 0x20000}); }},
    {"switch negative index", "beyond its table", [](ScriptCodeBuilder& code, std::uint32_t) { code.EmitSwitch(Word(-1), {0x20000}); }},
    {"push overflow", "stack overflow",
     [](ScriptCodeBuilder& code, std::uint32_t) {
       const auto loop = code.NewLabel();
       code.Bind(loop);
       code.Emit(Op::PushImm, {1});
       code.Emit(Op::Jump, {loop});
     },
     -1},
    {"recursion overflow", "stack overflow",
     [](ScriptCodeBuilder& code, std::uint32_t) {
       const auto self = code.NewLabel();
       code.Bind(self);
       code.Emit(Op::Call, {self});
     },
     -1},
    {"AddSp beyond the stack", "stack overflow", [](ScriptCodeBuilder& code, std::uint32_t) { code.Emit(Op::AddSp, {0x100000}); }},
    {"pop below the stack", "stack underflow",
     [](ScriptCodeBuilder& code, std::uint32_t data) {
       code.Emit(Op::PopMem, {data});
       code.Emit(Op::PopMem, {data});
     },
     8},
    {"SubSp below the stack", "stack underflow", [](ScriptCodeBuilder& code, std::uint32_t) { code.Emit(Op::SubSp, {8}); }},
    {"slot below the stack", "stack underflow", [](ScriptCodeBuilder& code, std::uint32_t data) { code.Emit(Op::LoadStack, {8, data}); }},
    {"slot above the stack pointer beyond the stack", "stack overflow",
     [](ScriptCodeBuilder& code, std::uint32_t) { code.Emit(Op::IncStack, {Word(-0x100000)}); }},
    {"Div by zero", "division by zero", [](ScriptCodeBuilder& code, std::uint32_t data) { code.Emit(Op::Div, {1, 0, data}); }},
    {"Rem by zero", "division by zero", [](ScriptCodeBuilder& code, std::uint32_t data) { code.Emit(Op::Rem, {1, 0, data}); }},
    {"Mod by zero", "division by zero", [](ScriptCodeBuilder& code, std::uint32_t data) { code.Emit(Op::Mod, {1, 0, data}); }},
    {"Div overflow", "division overflow", [](ScriptCodeBuilder& code, std::uint32_t data) { code.Emit(Op::Div, {0x80000000, Word(-1), data}); }},
    {"Rem overflow", "division overflow", [](ScriptCodeBuilder& code, std::uint32_t data) { code.Emit(Op::Rem, {0x80000000, Word(-1), data}); }},
    {"Mod overflow", "division overflow", [](ScriptCodeBuilder& code, std::uint32_t data) { code.Emit(Op::Mod, {0x80000000, Word(-1), data}); }},
    {"read below 0x10000", "bad address 0x0000FFFF", [](ScriptCodeBuilder& code, std::uint32_t data) { code.Emit(Op::Copy, {0xFFFF, data}); }},
    {"write at the top", "bad address 0xFFFFFFFE", [](ScriptCodeBuilder& code, std::uint32_t) { code.Emit(Op::StoreImm, {1, 0xFFFFFFFE}); }},
    {"pointer to nowhere", "bad address 0x00000000",
     [](ScriptCodeBuilder& code, std::uint32_t data) { code.Emit(Op::LoadIndirect, {data + 0x80, data}); }},
    {"native token unknown", "unknown built-in function 0x00001007",
     [](ScriptCodeBuilder& code, std::uint32_t data) { code.Emit(Op::CallNative, {ScriptNativeTable::Token(7), data, data}); }},
    {"native called by address", "unknown built-in function",
     [](ScriptCodeBuilder& code, std::uint32_t data) { code.Emit(Op::CallNative, {data, data, data}); }},
};

TEST_P(ScriptVmTest, EveryFaultStopsTheRunWithTwoAndNamesTheInstruction) {
  for (const FaultCase& fault : kFaults) {
    SCOPED_TRACE(fault.name);
    Context().ResetStack();
    log_.Clear();
    ScriptCodeBuilder code = Code();
    code.Emit(Op::StoreImm, {1, Data(0)});
    const std::uint32_t faulty = code.Here();
    fault.build(code, Data(0));
    EXPECT_EQ(RunCode(code), kScriptFaulted);
    ASSERT_EQ(log_.Lines().size(), 1u);
    EXPECT_NE(log_.Last().find(fault.log_text), std::string::npos) << log_.Last();
    if (fault.ip_offset >= 0) {
      const std::uint32_t ip = faulty + static_cast<std::uint32_t>(fault.ip_offset);
      EXPECT_NE(log_.Last().find(IpText(ip)), std::string::npos) << log_.Last();
      EXPECT_EQ(Context().Ip(), ip);
    }
  }
  // Still usable.
  Context().ResetStack();
  ScriptCodeBuilder code = Code();
  code.Emit(Op::StoreImm, {5, Data(1)});
  code.Emit(Op::Return);
  EXPECT_EQ(RunCode(code), kScriptEnded);
  EXPECT_EQ(D(1), 5u);
}

TEST_P(ScriptVmTest, AFetchFromABadAddressFaults) {
  ScriptCodeBuilder code = Code();
  code.Emit(Op::Jump, {0});
  EXPECT_EQ(RunCode(code), kScriptFaulted);
  EXPECT_NE(log_.Last().find("bad address 0x00000000"), std::string::npos);
  EXPECT_NE(log_.Last().find(IpText(0)), std::string::npos);
  EXPECT_EQ(vm_.Run(0x10), kScriptFaulted);
}

TEST_P(ScriptVmTest, TheStackHoldsExactlyItsWords) {
  // Counts pushes until the 16384-word stack (one word holds the end marker) is full.
  ScriptCodeBuilder code = Code();
  const auto loop = code.NewLabel();
  code.Bind(loop);
  code.Emit(Op::PushImm, {1});
  code.Emit(Op::IncMem, {Data(0)});
  code.Emit(Op::Jump, {loop});
  EXPECT_EQ(RunCode(code), kScriptFaulted);
  EXPECT_EQ(D(0), 16383u);
  EXPECT_EQ(Context().Sp(), Context().StackEnd());
}

// AddSp may take sp to the stack's end, and not a word beyond: with the step it was translated
// with, and with a step written into its operand word before it runs.
TEST_P(ScriptVmTest, AddSpTakesSpToTheStackEndAndNoFurther) {
  for (const bool rewritten : {false, true}) {
    SCOPED_TRACE(rewritten ? "step rewritten" : "step as translated");
    Context().ResetStack();
    const std::uint32_t room = Context().StackEnd() - Context().Sp() - 4;  // the run pushes its end marker
    ScriptCodeBuilder code = Code();
    const auto fill = code.NewLabel(), beyond = code.NewLabel();
    if (rewritten) code.Emit(Op::StoreImm, {room, ScriptCodeBuilder::OperandOf(fill, 1)});
    code.Bind(fill);
    code.Emit(Op::AddSp, {rewritten ? 8u : room});
    code.Bind(beyond);
    code.Emit(Op::AddSp, {4});
    code.Emit(Op::Return);
    EXPECT_EQ(RunCode(code), kScriptFaulted);
    EXPECT_EQ(Context().Ip(), code.AddressOf(beyond));
    EXPECT_EQ(Context().Sp(), Context().StackEnd());
  }
}

TEST_P(ScriptVmTest, AContextWithoutStackFaultsInsteadOfRunning) {
  EXPECT_EQ(vm_.SetStackSize(0x7FFFFFFF), 1u);
  EXPECT_EQ(Context().StackBase(), 0u);
  ScriptCodeBuilder code = Code();
  code.Emit(Op::Return);
  EXPECT_EQ(RunCode(code), kScriptFaulted);
  EXPECT_NE(log_.Last().find("stack overflow"), std::string::npos);
  EXPECT_EQ(vm_.PushEndMarker(), 1u);
}

TEST_P(ScriptVmTest, AFaultInsideABuiltInFunctionStopsTheRun) {
  ASSERT_EQ(vm_.RegisterNative(&ReadString), 0u);
  // The string runs to the end of usable memory without a terminating zero.
  const std::uint32_t tail = static_cast<std::uint32_t>(Memory().UsableEnd()) - 8;
  const char letters[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
  Memory().Write(tail, letters, 8);
  Memory().SetWord(Data(5), tail);
  ScriptCodeBuilder code = Code();
  const std::uint32_t call = code.Emit(Op::CallNative, {ScriptNativeTable::Token(0), Data(5), Data(0)});
  code.Emit(Op::Return);
  EXPECT_EQ(RunCode(code), kScriptFaulted);
  EXPECT_NE(log_.Last().find("bad address"), std::string::npos);
  EXPECT_NE(log_.Last().find(IpText(call)), std::string::npos);

  Memory().SetByte(tail + 7, 0);
  Context().ResetStack();
  EXPECT_EQ(RunCode(code), kScriptEnded);
  EXPECT_EQ(D(0), 7u);
}

TEST_P(ScriptVmTest, BoundedInterpretationStopsAndResumes) {
  ScriptCodeBuilder code = Code();
  const auto loop = code.NewLabel();
  code.Bind(loop);
  code.Emit(Op::IncMem, {Data(0)});
  code.Emit(Op::Jump, {loop});
  Install(code);
  Context().SetIp(code_);
  EXPECT_EQ(Context().InterpretSteps(10), kScriptOutOfSteps);
  EXPECT_EQ(D(0), 5u);
  EXPECT_EQ(Context().InterpretSteps(4), kScriptOutOfSteps);
  EXPECT_EQ(D(0), 7u);
  EXPECT_EQ(Context().InterpretSteps(0), kScriptOutOfSteps);
  EXPECT_EQ(Context().Ip(), code_);
}

TEST_P(ScriptVmTest, AStoreIntoAnOpcodeWordChangesWhatRunsNext) {
  ScriptCodeBuilder code = Code();
  const auto inc = code.NewLabel(), jump = code.NewLabel(), elsewhere = code.NewLabel();
  code.Emit(Op::StoreImm, {static_cast<std::uint32_t>(Op::DecMem), inc});
  code.Bind(inc);
  code.Emit(Op::IncMem, {Data(0)});
  // A two-word jump becomes a one-word return, which ends the run behind its opcode word.
  code.Emit(Op::StoreImm, {static_cast<std::uint32_t>(Op::Return), jump});
  code.Bind(jump);
  code.Emit(Op::Jump, {elsewhere});
  code.Bind(elsewhere);
  code.Emit(Op::StoreImm, {5, Data(1)});
  code.Emit(Op::Return);
  ASSERT_EQ(RunCode(code), kScriptEnded);
  EXPECT_FALSE(translation_refused_);
  EXPECT_EQ(D(0), 0xFFFFFFFFu);
  EXPECT_EQ(D(1), 0u);
  EXPECT_EQ(Context().Ip(), code.AddressOf(jump) + 4);
}

TEST_P(ScriptVmTest, AJumpIntoTheMiddleOfAnInstructionRunsTheWordsFoundThere) {
  ScriptCodeBuilder code = Code();
  const auto middle = code.NewLabel(), back = code.NewLabel();
  code.Emit(Op::Jump, {ScriptCodeBuilder::OperandOf(middle, 1)});
  code.Bind(middle);
  // From its first operand on, this reads IncMem Data(0), then the jump back.
  code.Emit(Op::StoreImm, {static_cast<std::uint32_t>(Op::IncMem), Data(0)});
  code.Emit(Op::Jump, {back});
  code.Emit(Op::Return);
  code.Bind(back);
  code.Emit(Op::StoreImm, {7, Data(1)});
  code.Emit(Op::Return);
  ASSERT_EQ(RunCode(code), kScriptEnded);
  EXPECT_EQ(D(0), 1u);
  EXPECT_EQ(D(1), 7u);
}

TEST_P(ScriptVmTest, ASwitchTableOfOneTargetIsClosedAndTheNextInstructionFollowsIt) {
  ScriptCodeBuilder code = Code();
  const auto after = code.NewLabel();
  code.EmitSwitch(0, {after});
  code.Bind(after);
  code.Emit(Op::StoreImm, {3, Data(0)});
  code.Emit(Op::Return);
  ASSERT_EQ(RunCode(code), kScriptEnded);
  EXPECT_EQ(D(0), 3u);
  EXPECT_EQ(Memory().Word(code.AddressOf(after) - 4), kSwitchTableEnd);
  if (Translated()) {
    const CScriptTranslator* translator = vm_.Translations().Find(code_);
    ASSERT_NE(translator, nullptr);
    EXPECT_NE(translator->EntryFor(code.AddressOf(after), false), nullptr);
    EXPECT_EQ(translator->EntryFor(code.AddressOf(after) - 4, false), nullptr);
    EXPECT_EQ(test_support::WritableExecutableMappings(), 0);
  }
}

TEST_P(ScriptVmTest, CodeHoldingAnUnknownOpcodeIsNotTranslatedAndFaultsThereAsInterpreted) {
  ScriptCodeBuilder code = Code();
  code.Emit(Op::StoreImm, {1, Data(0)});
  const std::uint32_t unknown = code.Here();
  code.EmitWord(48);
  EXPECT_EQ(RunCode(code), kScriptFaulted);
  EXPECT_EQ(translation_refused_, Translated());
  EXPECT_EQ(vm_.Translations().Find(code_), nullptr);
  EXPECT_EQ(D(0), 1u);
  EXPECT_NE(log_.Last().find("unknown opcode 48 " + IpText(unknown)), std::string::npos) << log_.Last();
}

std::uint32_t Throw(const NativeArgs&) { throw std::runtime_error("out of paper"); }

TEST_P(ScriptVmTest, ABuiltInThatThrowsIsNamedInTheLogAndTheMachineGoesOn) {
  ASSERT_EQ(vm_.RegisterNative(&Throw), 0u);
  ScriptCodeBuilder code = Code();
  code.Emit(Op::PushImm, {4});
  const std::uint32_t call = code.Emit(Op::CallNative, {ScriptNativeTable::Token(0), Data(0), Data(1)});
  code.Emit(Op::Return);
  EXPECT_EQ(RunCode(code), kScriptFaulted);
  EXPECT_NE(log_.Last().find("built-in function 0 failed: out of paper " + IpText(call)), std::string::npos) << log_.Last();
  EXPECT_EQ(Context().Sp(), Context().StackBase() + 8);
  Context().ResetStack();
  ScriptCodeBuilder next = Code();
  next.Emit(Op::Return);
  EXPECT_EQ(RunCode(next), kScriptEnded);
}

// A built-in that moves ip: the run reads the result operand and goes on relative to the new ip.
CScriptVm* g_moving_vm = nullptr;
std::uint32_t g_moved_ip = 0;
std::uint32_t MoveIp(const NativeArgs&) {
  g_moving_vm->Context().SetIp(g_moved_ip);
  return 77;
}

TEST_P(ScriptVmTest, ABuiltInThatMovesIpContinuesTheRunWhereIpNowStands) {
  g_moving_vm = &vm_;
  ASSERT_EQ(vm_.RegisterNative(&MoveIp), 0u);
  ScriptCodeBuilder code = Code();
  const auto landing = code.NewLabel();
  code.Emit(Op::CallNative, {ScriptNativeTable::Token(0), Data(0), Data(1)});
  code.Emit(Op::Return);
  // Read as the tail of a built-in call: the result goes to its fourth word, the run goes on behind.
  code.Bind(landing);
  code.Emit(Op::StoreImm, {1, Data(2)});
  code.EmitWord(Data(5));
  code.Emit(Op::StoreImm, {9, Data(6)});
  code.Emit(Op::Return);
  code.WriteTo(Memory());
  // The call and the return are translated; the words it lands on are not instructions.
  if (Translated()) Translate(code_, code.AddressOf(landing) - code_);
  EXPECT_FALSE(translation_refused_);
  g_moved_ip = code.AddressOf(landing);
  ASSERT_EQ(vm_.Run(code_), kScriptEnded);
  EXPECT_EQ(D(1), 0u);
  EXPECT_EQ(D(2), 0u);
  EXPECT_EQ(D(5), 77u);
  EXPECT_EQ(D(6), 9u);
}

bool StopAtOnce() { return true; }

TEST_P(ScriptVmTest, TheStopCheckEndsARunOnTheTargetOfTheTransferThatReachedIt) {
  ScriptCodeBuilder code = Code();
  const auto loop = code.NewLabel();
  code.Bind(loop);
  code.Emit(Op::IncMem, {Data(0)});
  code.Emit(Op::Jump, {loop});
  Install(code);
  Context().SetIp(code_);
  Context().SetTransfersUntilStopCheck(3);
  bool (*const previous)() = g_ScriptStopCheckHook;
  g_ScriptStopCheckHook = &StopAtOnce;
  const std::uint32_t result = Context().Interpret();
  g_ScriptStopCheckHook = previous;
  EXPECT_EQ(result, kScriptStopped);
  EXPECT_EQ(D(0), 3u);
  EXPECT_EQ(Context().Ip(), code_);
  EXPECT_EQ(Context().TransfersUntilStopCheck(), kTransfersPerStopCheck);
}

// Translates a part of the code that called it afresh: the calling run still stands in the old code.
CScriptVm* g_translating_vm = nullptr;
std::uint32_t TranslateCaller(const NativeArgs& args) {
  g_translating_vm->Translations().Translate(args.U32(0), args.U32(1));
  return 1;
}

TEST_P(ScriptVmTest, CodeTranslatedAfreshWhileItRunsGoesOnToItsEnd) {
  g_translating_vm = &vm_;
  ASSERT_EQ(vm_.RegisterNative(&TranslateCaller), 0u);
  ScriptCodeBuilder code = Code();
  code.Emit(Op::CallNative, {ScriptNativeTable::Token(0), Data(0), Data(2)});
  code.Emit(Op::CallNative, {ScriptNativeTable::Token(0), Data(0), Data(3)});
  code.Emit(Op::StoreImm, {6, Data(4)});
  code.Emit(Op::Return);
  Install(code);
  // All but the first call.
  Memory().SetWord(Data(0), code_ + 16);
  Memory().SetWord(Data(1), static_cast<std::uint32_t>(4 * code.Finish().size()) - 16);
  ASSERT_EQ(vm_.Run(code_), kScriptEnded);
  EXPECT_EQ(D(2), 1u);
  EXPECT_EQ(D(3), 1u);
  EXPECT_EQ(D(4), 6u);
}

// Stores into code at its edges: each changes the opcode of the instruction that runs next.
// Drops the translation of the code at its argument.
std::uint32_t DropTranslation(const NativeArgs& args) {
  g_translating_vm->Translations().Drop(args.U32(0));
  return 1;
}

// A routine of a range of its own, which the caller's code reaches without leaving machine code,
// drops its own translation: its code stays alive until the run has left it.
TEST_P(ScriptVmTest, ARoutineOfAnotherRangeThatDropsItsTranslationGoesOnToItsEnd) {
  g_translating_vm = &vm_;
  ASSERT_EQ(vm_.RegisterNative(&DropTranslation), 0u);
  ScriptCodeBuilder routine(Memory().Allocate(0x100, true));
  routine.Emit(Op::CallNative, {ScriptNativeTable::Token(0), Data(0), Data(2)});
  routine.Emit(Op::IncMem, {Data(3)});
  routine.Emit(Op::Return);
  routine.WriteTo(Memory());
  Memory().SetWord(Data(0), routine.Base());
  ScriptCodeBuilder code = Code();
  code.Emit(Op::Call, {routine.Base()});
  code.Emit(Op::Call, {routine.Base()});
  code.Emit(Op::Return);
  Install(code);
  if (Translated()) Translate(routine.Base(), static_cast<std::uint32_t>(4 * routine.Finish().size()));
  ASSERT_EQ(vm_.Run(code_), kScriptEnded);
  EXPECT_EQ(D(2), 1u);
  EXPECT_EQ(D(3), 2u);
  EXPECT_EQ(vm_.Translations().Find(routine.Base()), nullptr);
}

TEST_P(ScriptVmTest, AStoreIntoTheLastOpcodeWordOfTranslatedCodeRunsTheNewInstruction) {
  ScriptCodeBuilder code = Code();
  const auto last = code.NewLabel();
  code.Emit(Op::StoreImm, {static_cast<std::uint32_t>(Op::Yield), last});
  code.Bind(last);
  code.Emit(Op::Return);
  ASSERT_EQ(RunCode(code), kScriptYielded);
  EXPECT_FALSE(translation_refused_);
  EXPECT_EQ(Context().Ip(), code.AddressOf(last) + 4);
}

TEST_P(ScriptVmTest, AStoreThroughAPointerIntoAnOpcodeWordRunsTheNewInstruction) {
  ScriptCodeBuilder code = Code();
  const auto inc = code.NewLabel();
  code.Emit(Op::StoreIndirect, {static_cast<std::uint32_t>(Op::DecMem), Data(5)});
  code.Bind(inc);
  code.Emit(Op::IncMem, {Data(0)});
  code.Emit(Op::Return);
  code.WriteTo(Memory());
  Memory().SetWord(Data(5), code.AddressOf(inc));
  ASSERT_EQ(RunCode(code), kScriptEnded);
  EXPECT_EQ(D(0), 0xFFFFFFFFu);
}

std::uint32_t RewriteThroughRange(const NativeArgs& args) {
  const std::uint32_t value = args.U32(1);
  std::memcpy(args.Memory().Range(args.U32(0), 4).data(), &value, sizeof value);
  return 0;
}

TEST_P(ScriptVmTest, ABuiltInThatRewritesTheNextInstructionOfItsCallerChangesWhatRuns) {
  ASSERT_EQ(vm_.RegisterNative(&RewriteResultOperand), 0u);
  ASSERT_EQ(vm_.RegisterNative(&RewriteThroughRange), 0u);
  for (std::uint32_t function = 0; function < 2; ++function) {
    Memory().SetWord(Data(0), 0);
    ScriptCodeBuilder code = Code();
    const auto inc = code.NewLabel();
    code.Emit(Op::CallNative, {ScriptNativeTable::Token(function), Data(2), Data(4)});
    code.Bind(inc);
    code.Emit(Op::IncMem, {Data(0)});
    code.Emit(Op::Return);
    code.WriteTo(Memory());
    Memory().SetWord(Data(2), code.AddressOf(inc));
    Memory().SetWord(Data(3), static_cast<std::uint32_t>(Op::DecMem));
    Context().ResetStack();
    ASSERT_EQ(RunCode(code), kScriptEnded) << function;
    EXPECT_EQ(D(0), 0xFFFFFFFFu) << function;
  }
}

TEST_P(ScriptVmTest, AStoreFromAJumpIntoTheMiddleOfAnInstructionChangesTranslatedCode) {
  ScriptCodeBuilder code = Code();
  const auto carrier = code.NewLabel(), target = code.NewLabel();
  code.Emit(Op::Jump, {ScriptCodeBuilder::OperandOf(carrier, 1)});
  code.Bind(carrier);
  // From its first operand on, this reads StoreImm DecMem into the opcode word at target.
  code.Emit(Op::Add, {static_cast<std::uint32_t>(Op::StoreImm), static_cast<std::uint32_t>(Op::DecMem), target});
  code.Emit(Op::Jump, {target});
  code.Bind(target);
  code.Emit(Op::IncMem, {Data(0)});
  code.Emit(Op::Return);
  ASSERT_EQ(RunCode(code), kScriptEnded);
  EXPECT_EQ(D(0), 0xFFFFFFFFu);
}

// A routine in a block of its own, translated apart from its caller, as the library's code is.
// The caller stores into the routine's opcode word directly or through a pointer, the routine
// translated before or after the caller.
TEST_P(ScriptVmTest, AStoreIntoTheCodeOfAnotherTranslationChangesWhatRunsThere) {
  const std::uint32_t library = Memory().Allocate(0x100, true);
  ScriptCodeBuilder routine(library);
  routine.Emit(Op::IncMem, {Data(0)});
  routine.Emit(Op::Return);
  const auto length = [](const ScriptCodeBuilder& code) { return static_cast<std::uint32_t>(4 * code.Finish().size()); };
  for (const bool routine_first : {true, false}) {
    for (const bool through_pointer : {false, true}) {
      vm_.Translations().Drop(library);
      vm_.Translations().Drop(code_);
      Memory().SetWord(Data(0), 0);
      Memory().SetWord(Data(5), library);
      routine.WriteTo(Memory());
      ScriptCodeBuilder code = Code();
      const auto decrement = static_cast<std::uint32_t>(Op::DecMem);
      code.Emit(through_pointer ? Op::StoreIndirect : Op::StoreImm, {decrement, through_pointer ? Data(5) : library});
      code.Emit(Op::Call, {library});
      code.Emit(Op::Return);
      code.WriteTo(Memory());
      if (Translated() && routine_first) Translate(library, length(routine));
      if (Translated()) Translate(code_, length(code));
      if (Translated() && !routine_first) Translate(library, length(routine));
      Context().ResetStack();
      ASSERT_EQ(vm_.Run(code_), kScriptEnded);
      EXPECT_EQ(D(0), 0xFFFFFFFFu) << routine_first << through_pointer;
      EXPECT_EQ(vm_.Translations().Find(library) != nullptr, Translated());
    }
  }
}

// A word stored through a pointer two bytes before code that starts on a 64 KiB boundary: its
// upper half is the code's opcode word. Nothing else lies in the 64 KiB below.
TEST_P(ScriptVmTest, AWordThatEndsInTheFirstOpcodeWordOfTranslatedCodeChangesIt) {
  const std::uint32_t block = Memory().Allocate(0x30000, true);
  const std::uint32_t start = ((block + 0xFFFF) & ~0xFFFFu) + 0x10000;
  const auto length = [](const ScriptCodeBuilder& code) { return static_cast<std::uint32_t>(4 * code.Finish().size()); };
  ScriptCodeBuilder routine(start);
  routine.Emit(Op::IncMem, {Data(0)});
  routine.Emit(Op::Return);
  routine.WriteTo(Memory());
  ScriptCodeBuilder code(start + 0x100);
  code.Emit(Op::StoreIndirect, {static_cast<std::uint32_t>(Op::DecMem) << 16, Data(5)});
  code.Emit(Op::Call, {start});
  code.Emit(Op::Return);
  code.WriteTo(Memory());
  if (Translated()) {
    Translate(start, length(routine));
    Translate(code.Base(), length(code));
  }
  Memory().SetWord(Data(5), start - 2);
  ASSERT_EQ(vm_.Run(code.Base()), kScriptEnded);
  EXPECT_EQ(D(0), 0xFFFFFFFFu);
}

unsigned long long g_most_executable_bytes = 0;
std::uint32_t NoteExecutableBytes(const NativeArgs&) {
  g_most_executable_bytes = std::max(g_most_executable_bytes, test_support::ExecutableBytes());
  return 0;
}

// The code is made again as the opcode word changes, and the code made before is freed once the
// run has left it.
TEST_P(ScriptVmTest, CodeThatRewritesAnOpcodeWordOnEveryPassKeepsNoOldCode) {
  ASSERT_EQ(vm_.RegisterNative(&NoteExecutableBytes), 0u);
  Memory().SetWord(Data(1), 300);
  Install(FlippingLoop(true));
  const unsigned long long before = test_support::ExecutableBytes();
  g_most_executable_bytes = before;
  ASSERT_EQ(vm_.Run(code_), kScriptEnded);
  // Decremented on the odd passes, incremented on the even ones.
  EXPECT_EQ(D(0), 0u);
  EXPECT_LT(g_most_executable_bytes - before, 256u * 1024);
}

// A store whose word starts in the last byte of one block's code reaches the opcode word of the
// block behind it, translated later: the word's high bytes make its IncMem a DecMem.
TEST_P(ScriptVmTest, AStoreReachingPastItsBlockIntoCodeTranslatedLaterChangesThatCode) {
  ScriptCodeBuilder first = Code();
  const std::uint32_t second_start = first.Base() + 20;
  first.Emit(Op::StoreImm, {static_cast<std::uint32_t>(Op::DecMem) << 8, second_start - 1});
  first.Emit(Op::Jump, {second_start});
  ASSERT_EQ(first.Here(), second_start);
  ScriptCodeBuilder second(second_start);
  second.Emit(Op::IncMem, {Data(0)});
  second.Emit(Op::Return);
  Install(first);
  Install(second);
  ASSERT_FALSE(translation_refused_);
  ASSERT_EQ(vm_.Run(code_), kScriptEnded);
  EXPECT_EQ(D(0), 0xFFFFFFFFu);
}

// Made afresh on every pass, such a loop would spend a whole translation per pass: after a few
// remakes the instruction that keeps changing rests, interpreted, and only it: the loop around it
// stays translated.
TEST_P(ScriptVmTest, OnlyTheInstructionThatKeepsChangingRestsInterpreted) {
  Memory().SetWord(Data(1), 1001);
  Install(FlippingLoop(false));
  const std::uint64_t generation = vm_.Translations().Generation();
  ASSERT_EQ(vm_.Run(code_), kScriptEnded);
  EXPECT_EQ(D(0), 0xFFFFFFFFu);
  if (!Translated()) return;
  const ScriptTranslations& translations = vm_.Translations();
  EXPECT_EQ(translations.Find(flipped_), nullptr);
  EXPECT_TRUE(translations.Rests(flipped_));
  // The loop's head, and the count-down behind the flipped instruction.
  EXPECT_NE(translations.Find(code_), nullptr);
  EXPECT_NE(translations.Find(flipped_ + 8), nullptr);
  EXPECT_FALSE(translations.Rests(flipped_ + 8));
  EXPECT_LT(translations.Generation() - generation, 20u);
}

// Whether the flipped instruction rests, seen between the two loops below.
bool g_flipped_rested = false;
CScriptVm* g_resting_vm = nullptr;
std::uint32_t NoteWhetherItRests(const NativeArgs& args) {
  g_flipped_rested = g_resting_vm->Translations().Rests(args.U32(0));
  return 0;
}

// A resting instruction is translated again once runs have entered it often enough with its
// opcode word unchanged: a routine whose opcode word the first loop flips on every pass, and the
// second loop only calls.
TEST_P(ScriptVmTest, ARestingInstructionIsTranslatedAgainOnceItStaysUnchanged) {
  g_resting_vm = &vm_;
  g_flipped_rested = false;
  ASSERT_EQ(vm_.RegisterNative(&NoteWhetherItRests), 0u);
  ScriptCodeBuilder code = Code();
  const auto flipping = code.NewLabel(), flip = code.NewLabel(), calling = code.NewLabel(), routine = code.NewLabel();
  const std::uint32_t flip_words = static_cast<std::uint32_t>(Op::IncMem) ^ static_cast<std::uint32_t>(Op::DecMem);
  code.Emit(Op::StoreImm, {20, Data(1)});
  code.Bind(flipping);
  code.Emit(Op::Copy, {routine, ScriptCodeBuilder::OperandOf(flip, 1)});
  code.Bind(flip);
  code.Emit(Op::Xor, {0, flip_words, routine});
  code.Emit(Op::Call, {routine});
  code.EmitCountDown(flipping, Data(1));
  code.Emit(Op::CallNative, {ScriptNativeTable::Token(0), Data(2), Data(3)});
  code.Emit(Op::StoreImm, {2 * ScriptTranslations::kQuietEntries, Data(1)});
  code.Bind(calling);
  code.Emit(Op::Call, {routine});
  code.EmitCountDown(calling, Data(1));
  code.Emit(Op::Return);
  code.Bind(routine);
  code.Emit(Op::IncMem, {Data(0)});
  code.Emit(Op::Return);
  Install(code);
  Memory().SetWord(Data(2), code.AddressOf(routine));

  ASSERT_EQ(vm_.Run(code_), kScriptEnded);
  // An even number of flips leaves IncMem, which the first loop's calls took back as often as
  // they added.
  EXPECT_EQ(D(0), 2 * ScriptTranslations::kQuietEntries);
  if (!Translated()) return;
  EXPECT_TRUE(g_flipped_rested);
  EXPECT_FALSE(vm_.Translations().Rests(code.AddressOf(routine)));
  EXPECT_NE(vm_.Translations().Find(code.AddressOf(routine)), nullptr);
}

// Each new translation counts against the stop check: where a block's range holds more code than
// the translation work between two stop checks, its first remake asks the stop check, long before
// the transfers would.
bool g_stop_check_asked = false;
bool NoteStopCheckAndStop() {
  g_stop_check_asked = true;
  return true;
}

TEST_P(ScriptVmTest, MakingCodeAgainCountsAgainstTheStopCheck) {
  const std::uint32_t length = ScriptTranslations::kRangeBytes;
  static_assert(ScriptTranslations::kRangeBytes >= ScriptTranslations::kBytesPerStopCheck);
  ScriptCodeBuilder code = FlippingLoop(false, ScriptCodeBuilder(Memory().Allocate(length, true)));
  code.Emit(Op::Return);
  while (code.Here() - code.Base() < length) code.Emit(Op::IncMem, {Data(4)});
  code.WriteTo(Memory());
  if (Translated()) Translate(code.Base(), length);
  ASSERT_FALSE(translation_refused_);
  Memory().SetWord(Data(1), 1001);
  g_stop_check_asked = false;
  const auto stop_check = g_ScriptStopCheckHook;
  g_ScriptStopCheckHook = &NoteStopCheckAndStop;
  const std::uint32_t result = vm_.Run(code.Base());
  g_ScriptStopCheckHook = stop_check;
  if (!Translated()) {
    EXPECT_EQ(result, kScriptEnded);
    EXPECT_FALSE(g_stop_check_asked);
    return;
  }
  EXPECT_EQ(result, kScriptStopped);
  EXPECT_TRUE(g_stop_check_asked);
  // Stopped within the first pass, at the remake that its flip asked for.
  EXPECT_EQ(D(1), 1001u);
  EXPECT_GT(Context().TransfersUntilStopCheck(), kTransfersPerStopCheck - 4);
}

// A routine that writes another return address into its return slot, and one that pushes the
// address it returns to: both land where the script's return address says, not behind the call.
TEST_P(ScriptVmTest, AReturnLandsWhereTheScriptReturnAddressSaysAfterACall) {
  for (const bool overwrite : {true, false}) {
    SCOPED_TRACE(overwrite ? "return slot overwritten" : "return to a pushed address");
    Memory().SetWord(Data(0), 0);
    Memory().SetWord(Data(1), 0);
    ScriptCodeBuilder code = Code();
    const auto landing = code.NewLabel(), routine = code.NewLabel();
    code.Emit(Op::Call, {routine});
    code.Emit(Op::IncMem, {Data(0)});
    code.Emit(Op::Return);
    code.Bind(landing);
    code.Emit(Op::StoreImm, {2, Data(1)});
    code.Emit(Op::Return);
    code.Bind(routine);
    if (overwrite) {
      code.Emit(Op::StoreStackImm, {landing, 4});
    } else {
      code.Emit(Op::PushImm, {landing});
    }
    code.Emit(Op::Return);
    Context().ResetStack();
    ASSERT_EQ(RunCode(code), kScriptEnded);
    EXPECT_FALSE(translation_refused_);
    EXPECT_EQ(D(1), 2u);
    // A pushed address leaves the call's own return address on the stack, used by the landing.
    EXPECT_EQ(D(0), overwrite ? 0u : 1u);
  }
}

// A loop whose increment's address operand is rewritten: once before the loop, or on every pass
// by a store whose address is known or by one through a pointer, the first pass writing what the
// operand held. Every pass increments the word that the operand names at that pass.
TEST_P(ScriptVmTest, ALoopFollowsTheAddressOperandsThatAreRewrittenBeforeOrInsideIt) {
  enum class Rewrite { kBeforeTheLoop, kKnownStore, kStoreThroughPointer };
  for (const Rewrite rewrite : {Rewrite::kBeforeTheLoop, Rewrite::kKnownStore, Rewrite::kStoreThroughPointer}) {
    SCOPED_TRACE(static_cast<int>(rewrite));
    for (std::uint32_t n = 0; n < 16; ++n) Memory().SetWord(Data(n), 0);
    Memory().SetWord(Data(1), 3);           // passes
    Memory().SetWord(Data(2), Data(10));    // the address the next pass increments
    ScriptCodeBuilder code = Code();
    const auto loop = code.NewLabel(), through = code.NewLabel(), step = code.NewLabel(), advance = code.NewLabel();
    if (rewrite == Rewrite::kBeforeTheLoop) code.Emit(Op::StoreImm, {Data(14), ScriptCodeBuilder::OperandOf(step, 1)});
    code.Bind(loop);
    if (rewrite == Rewrite::kKnownStore) code.Emit(Op::Copy, {Data(2), ScriptCodeBuilder::OperandOf(step, 1)});
    if (rewrite == Rewrite::kStoreThroughPointer) {
      code.Emit(Op::Copy, {Data(2), ScriptCodeBuilder::OperandOf(through, 1)});
      code.Bind(through);
      code.Emit(Op::StoreIndirect, {0, Data(3)});
    }
    code.Bind(step);
    code.Emit(Op::IncMem, {Data(10)});
    code.Emit(Op::Copy, {Data(2), ScriptCodeBuilder::OperandOf(advance, 1)});
    code.Bind(advance);
    code.Emit(Op::Add, {0, 4, Data(2)});
    code.EmitCountDown(loop, Data(1));
    code.Emit(Op::Return);
    Memory().SetWord(Data(3), code.AddressOf(step) + 4);
    ASSERT_EQ(RunCode(code), kScriptEnded);
    EXPECT_FALSE(translation_refused_);
    if (rewrite == Rewrite::kBeforeTheLoop) {
      EXPECT_EQ(D(14), 3u);
      EXPECT_EQ(D(10), 0u);
    } else {
      EXPECT_EQ(std::vector<std::uint32_t>({D(10), D(11), D(12), D(13)}), std::vector<std::uint32_t>({1, 1, 1, 0}));
    }
  }
}

// A loop that rewrites the target of its own jump back: the second pass leaves by it.
TEST_P(ScriptVmTest, ALoopLeavesByTheJumpTargetItWroteIntoItsBackEdge) {
  Memory().SetWord(Data(0), 0);
  Memory().SetWord(Data(1), 5);  // passes at the most
  ScriptCodeBuilder code = Code();
  const auto loop = code.NewLabel(), test = code.NewLabel(), back = code.NewLabel(), done = code.NewLabel();
  code.Bind(loop);
  code.Emit(Op::IncMem, {Data(0)});
  code.Emit(Op::Copy, {Data(5), ScriptCodeBuilder::OperandOf(back, 1)});
  code.Emit(Op::Copy, {Data(6), Data(5)});
  code.Emit(Op::DecMem, {Data(1)});
  code.Emit(Op::Copy, {Data(1), ScriptCodeBuilder::OperandOf(test, 1)});
  code.Bind(test);
  code.Emit(Op::JumpIfZero, {1, done});
  code.Bind(back);
  code.Emit(Op::Jump, {loop});
  code.Bind(done);
  code.Emit(Op::Return);
  Memory().SetWord(Data(5), code.AddressOf(loop));
  Memory().SetWord(Data(6), code.AddressOf(done));
  ASSERT_EQ(RunCode(code), kScriptEnded);
  EXPECT_FALSE(translation_refused_);
  EXPECT_EQ(D(0), 2u);
}

// Translated code that covers the stack: a push writes an instruction there, which then runs.
TEST_P(ScriptVmTest, APushIntoTranslatedCodeRunsAsTheInstructionItWrote) {
  const std::uint32_t base = Context().StackBase();
  if (Translated()) Translate(base, 64);
  ScriptCodeBuilder code = Code();
  code.Emit(Op::PushImm, {static_cast<std::uint32_t>(Op::Return)});
  code.Emit(Op::SubSp, {4});
  code.Emit(Op::Jump, {base + 4});
  ASSERT_EQ(RunCode(code), kScriptEnded);
  EXPECT_EQ(Context().Ip(), base + 8);
}

// An interpreted run that began with nothing translated tells no stores: code translated while it
// runs is compared with script memory before it runs translated.
TEST(ScriptVmWatch, CodeTranslatedDuringARunThatTellsNoStoresIsComparedBeforeItRuns) {
  CScriptVm vm;
  g_translating_vm = &vm;
  ASSERT_EQ(vm.RegisterNative(&TranslateCaller), 0u);
  ScriptMemory& memory = vm.Memory();
  const std::uint32_t data = memory.Allocate(16, true);
  ScriptCodeBuilder code(memory.Allocate(0x100, true));
  const auto inc = code.NewLabel();
  code.Emit(Op::CallNative, {ScriptNativeTable::Token(0), data + 8, data + 4});
  code.Emit(Op::StoreImm, {static_cast<std::uint32_t>(Op::DecMem), inc});
  code.Bind(inc);
  code.Emit(Op::IncMem, {data});
  code.Emit(Op::Return);
  code.WriteTo(memory);
  memory.SetWord(data + 8, code.Base());
  memory.SetWord(data + 12, static_cast<std::uint32_t>(4 * code.Finish().size()));
  ASSERT_EQ(vm.Run(code.Base()), kScriptEnded);
  ASSERT_NE(vm.Translations().Find(code.Base()), nullptr);
  EXPECT_EQ(memory.Word(data), 0xFFFFFFFFu);
  ASSERT_EQ(vm.EnableTranslation(true), 0u);
  vm.Context().ResetStack();
  ASSERT_EQ(vm.Run(code.AddressOf(inc)), kScriptEnded);
  EXPECT_EQ(memory.Word(data), 0xFFFFFFFEu);
}

// The host ranges [start, end) of the machine code map's lines with this name.
std::vector<std::pair<std::uintptr_t, std::uintptr_t>> MappedRangesNaming(const std::string& name) {
  std::vector<std::pair<std::uintptr_t, std::uintptr_t>> ranges;
  std::ifstream map(plat::MachineCodeMapPath());
  std::string line;
  while (std::getline(map, line)) {
    std::istringstream fields(line);
    std::uintptr_t start = 0, size = 0;
    std::string rest;
    fields >> std::hex >> start >> size;
    std::getline(fields >> std::ws, rest);
    if (rest == name) ranges.emplace_back(start, start + size);
  }
  return ranges;
}

// A profiler finds translated code by the map's lines, which are written only when asked for.
TEST(ScriptVmProfiling, TranslatedCodeIsNamedInTheMachineCodeMapOnlyWhenTheEnvironmentAsks) {
  // No map is left behind, whatever the test finds.
  struct MapRemover {
    MapRemover() { std::remove(plat::MachineCodeMapPath().c_str()); }
    ~MapRemover() {
      unsetenv("KESTRUNE_PERF_MAP");
      std::remove(plat::MachineCodeMapPath().c_str());
    }
  } remover;
  for (const bool asked : {false, true}) {
    SCOPED_TRACE(asked ? "asked" : "not asked");
    if (asked) setenv("KESTRUNE_PERF_MAP", "1", 1);
    CScriptVm vm;
    ScriptCodeBuilder code(vm.Memory().Allocate(0x100, true));
    const auto last = code.NewLabel();
    code.Emit(Op::IncMem, {code.Base() + 0x80});
    code.Bind(last);
    code.Emit(Op::Return);
    code.WriteTo(vm.Memory());
    const auto length = static_cast<std::uint32_t>(4 * code.Finish().size());
    ASSERT_EQ(vm.Translations().Translate(code.Base(), length), CScriptTranslator::kTranslated);
    unsetenv("KESTRUNE_PERF_MAP");
    const CScriptTranslator& translator = *vm.Translations().Find(code.Base());
    char name[64];
    std::snprintf(name, sizeof name, "script code %08x-%08x plain", code.Base(), code.Base() + length);
    const auto ranges = MappedRangesNaming(name);
    if (!asked) {
      EXPECT_TRUE(ranges.empty());
      continue;
    }
    ASSERT_EQ(ranges.size(), 1u);
    for (const std::uint32_t address : {code.Base(), code.AddressOf(last)}) {
      const auto entry = reinterpret_cast<std::uintptr_t>(translator.EntryFor(address, false));
      EXPECT_GE(entry, ranges[0].first);
      EXPECT_LT(entry, ranges[0].second);
    }
  }
}

}  // namespace

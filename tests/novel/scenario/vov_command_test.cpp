// Reading scenario commands: conditions, operands of every form, malformed commands, and the
// linking and running of embedded code.
#include <gtest/gtest.h>

#include "base/numbers/little_endian.h"
#include "builtins/return_zero_builtin.h"
#include "novel/frame/vov_test_files.h"

namespace {

using kvxtools::AssembleTobCode;
using kvxtools::TobBuilder;
using kvxtools::TobCondition;
using kvxtools::TobOperand;

int g_return_zero_calls = 0;

std::uint32_t NeverCalled(const NativeArgs& /*args*/) {
  ADD_FAILURE() << "a built-in other than 37 was called";
  return 0;
}

std::uint32_t CountedReturnZero(const NativeArgs& args) {
  ++g_return_zero_calls;
  return NativeReturnZero(args);
}

class VovCommandTest : public vov_test::VovFilesTest {
 protected:
  static constexpr std::uint32_t kReturnZeroNumber = 37;

  void SetUp() override {
    VovFilesTest::SetUp();
    for (std::uint32_t n = 0; n < kReturnZeroNumber; ++n) ASSERT_EQ(runtime_->RegisterNative(NeverCalled), 0u);
    ASSERT_EQ(runtime_->RegisterNative(CountedReturnZero), 0u);
    context_ = std::make_unique<CScriptContext>(runtime_->Memory(), runtime_->Natives(), runtime_->Handles());
    ASSERT_EQ(context_->SetStackSize(8192), 0u);
    expressions_ = std::make_unique<ContextExpressionRunner>(*runtime_, *context_);
    g_return_zero_calls = 0;
  }

  // Loads the builder's scenario as the main script.
  void Load(const TobBuilder& builder) {
    vm_->ResetScripts();
    WriteTob("CMD", builder);
    ASSERT_EQ(vm_->LoadMainScript("CMD"), 0u);
  }
  VovDecoder Decoder() { return *vm_->Decoder(*expressions_); }
  std::optional<VovCommandHead> Head(std::uint32_t at = 0) { return ReadVovCommandHead(Decoder(), at); }
  // The operands of the command at the body's start, nothing when it does not decode.
  std::optional<std::vector<VovOperand>> Operands() {
    const std::optional<VovCommandHead> head = Head();
    if (!head) return std::nullopt;
    VovOperandArea& area = vm_->Operands();
    const std::size_t mark = area.Mark();
    if (!DecodeVovOperands(Decoder(), *head, area)) {
      EXPECT_EQ(area.Mark(), mark);
      return std::nullopt;
    }
    const std::span<const VovOperand> decoded = area.From(mark);
    return std::vector<VovOperand>(decoded.begin(), decoded.end());
  }
  std::uint32_t BlockOf(std::uint32_t variable) const {
    return runtime_->Variables().BlockOf(VariableCopy::kLive, variable).value();
  }

  std::unique_ptr<CScriptContext> context_;
  std::unique_ptr<ContextExpressionRunner> expressions_;
};

TEST_F(VovCommandTest, ConditionsDecideWhetherACommandIsCarriedOut) {
  struct Case {
    std::uint32_t kind;
    TobCondition condition;
    bool carried_out;
  };
  const Case cases[] = {
      {kVovGotoIfZero, TobCondition::Always(), false},  {kVovGoto1, TobCondition::Always(), true},
      {kVovGoto2, TobCondition::Always(), true},        {kVovGoto3, TobCondition::Always(), true},
      {kVovGotoIfZero, TobCondition::Value(0), true},   {kVovGoto1, TobCondition::Value(0), false},
      {40, TobCondition::Value(5), true},               {40, TobCondition::Variable(3, 1), true},
      {kVovGotoIfZero, TobCondition::Variable(3, 1), false},
  };
  for (const Case& test : cases) {
    TobBuilder builder;
    builder.Command(test.kind, {TobOperand::Value(1)}, test.condition);
    builder.Text("after");
    Load(builder);
    const std::optional<VovCommandHead> head = Head();
    ASSERT_TRUE(head) << test.kind;
    EXPECT_EQ(head->kind, test.kind);
    EXPECT_EQ(head->carried_out, test.carried_out) << test.kind << " condition kind " << int(test.condition.kind);
    EXPECT_EQ(vm_->BodyByte(head->end), 'a');
  }
}

TEST_F(VovCommandTest, AVariableElementOfAPointerVariableIsReadInTheBlockItsCellPointsAt) {
  // Variable 2's cell is turned to variable 3's block.
  runtime_->Memory().SetWord(runtime_->Variables().Table()[2].address, BlockOf(3));
  TobBuilder builder;
  builder.Command(40, {TobOperand::Variable(2, 1), TobOperand::Variable(1, 1)}, TobCondition::Variable(2, 0));
  Load(builder);
  EXPECT_EQ(Head()->condition, 41u);
  const std::optional<std::vector<VovOperand>> operands = Operands();
  ASSERT_TRUE(operands);
  EXPECT_EQ((*operands)[0].value, 42u);
  EXPECT_EQ((*operands)[1].value, 22u);
}

TEST_F(VovCommandTest, OperandsOfEveryForm) {
  TobBuilder builder;
  builder.Label("L");
  builder.Command(40, {TobOperand::Absent(), TobOperand::Immediate(7), TobOperand::Value(5), TobOperand::String(""),
                       TobOperand::String("abc", 0x80), TobOperand::LabelOffset("L"), TobOperand::Value(9, 2 | 1)});
  Load(builder);
  const std::optional<std::vector<VovOperand>> operands = Operands();
  ASSERT_TRUE(operands);
  ASSERT_EQ(operands->size(), 7u);
  const std::vector<VovOperand>& got = *operands;
  EXPECT_EQ(got[0].flags, 0u);
  EXPECT_EQ(got[0].value, 0u);
  EXPECT_EQ(got[1].flags, 0u);  // flags 2: the value follows, and the operand reads as flags 0
  EXPECT_EQ(got[1].value, 7u);
  EXPECT_EQ(got[2].flags, 1u);
  EXPECT_EQ(got[2].value, 5u);
  EXPECT_EQ(got[3].flags, 1u | kVovStringFlag);  // an empty string: a null value
  EXPECT_EQ(got[3].value, 0u);
  EXPECT_TRUE(got[3].text.empty());
  EXPECT_EQ(got[4].flags, 0x80u | kVovStringFlag);
  EXPECT_EQ(got[4].text, "abc");
  EXPECT_EQ(std::string(runtime_->Memory().String(got[4].value)), "abc");  // inside the image
  EXPECT_GT(got[4].value, BodyAddress());
  EXPECT_EQ(got[5].flags, kVovBodyOffsetFlags);
  EXPECT_EQ(got[5].value, 0u);
  EXPECT_EQ(got[6].flags, 3u);  // typed flags with bit 1 keep their flags
}

TEST_F(VovCommandTest, MalformedCommandsFailWithoutReadingPastThem) {
  struct Case {
    const char* what;
    std::vector<TobOperand> operands;
    TobCondition condition;
    void (*damage)(std::vector<std::uint8_t>& body);  // the bytes of the command, the body's zero after them
    bool head_fails;
  };
  const Case cases[] = {
      {"rest length past the body", {TobOperand::Value(1)}, TobCondition::Always(),
       [](std::vector<std::uint8_t>& body) { StoreLe32(body.data() + 7, 100); }, true},
      {"rest length short of its own fields", {}, TobCondition::Always(),
       [](std::vector<std::uint8_t>& body) { StoreLe32(body.data() + 7, 4); }, true},
      {"an operand past the command", {TobOperand::Value(1)}, TobCondition::Always(),
       [](std::vector<std::uint8_t>& body) { StoreLe32(body.data() + 7, 8); }, false},
      {"an unknown operand kind", {TobOperand::Value(1)}, TobCondition::Always(),
       [](std::vector<std::uint8_t>& body) { body[13] = 7; }, false},
      {"a string without its zero byte", {TobOperand::String("ab")}, TobCondition::Always(),
       [](std::vector<std::uint8_t>& body) { body[body.size() - 1] = 'c'; }, false},
      {"a string longer than the command", {TobOperand::String("ab")}, TobCondition::Always(),
       [](std::vector<std::uint8_t>& body) { body[14] = 9; }, false},
      {"an unknown condition kind", {}, TobCondition::Always(), [](std::vector<std::uint8_t>& body) { body[6] = 4; },
       true},
      {"a variable past the table", {TobOperand::Variable(4, 0)}, TobCondition::Always(), nullptr, false},
      {"an element past the block", {TobOperand::Variable(0, 1)}, TobCondition::Always(), nullptr, false},
      {"a condition variable past the table", {}, TobCondition::Variable(99, 0), nullptr, true},
      {"an expression naming a variable past the table", {}, TobCondition::Expression(AssembleTobCode("Copy var(9), host(0)\nReturn")),
       nullptr, true},
      {"an expression pair past its code", {}, TobCondition::Expression(AssembleTobCode("Copy var(1), host(0)\nReturn")),
       [](std::vector<std::uint8_t>& body) { StoreLe32(body.data() + 29, 100); }, true},
      {"an expression naming a built-in past the table", {TobOperand::Expression(AssembleTobCode("CallNative native(38), 0, 0\nReturn"))},
       TobCondition::Always(), nullptr, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    TobBuilder builder;
    builder.Command(40, test.operands, test.condition);
    std::vector<std::uint8_t> file = builder.Build();
    constexpr std::size_t kHeader = 20;  // no labels, no lines
    std::vector<std::uint8_t> body(file.begin() + kHeader, file.end() - 1);  // without its zero
    if (test.damage != nullptr) test.damage(body);
    file.resize(kHeader);
    file.insert(file.end(), body.begin(), body.end());
    vm_->ResetScripts();
    WriteTobBytes("CMD", file);
    ASSERT_EQ(vm_->LoadMainScript("CMD"), 0u);
    EXPECT_EQ(Head().has_value(), !test.head_fails);
    if (!test.head_fails) {
      EXPECT_FALSE(Operands());
    }
  }
}

TEST_F(VovCommandTest, TheOperandAreaRefusesMoreThanItHolds) {
  vm_->SetOperandAreaSize(4);  // two operands
  TobBuilder builder;
  builder.Command(40, {TobOperand::Value(1), TobOperand::Value(2), TobOperand::Value(3)});
  Load(builder);
  EXPECT_FALSE(Operands());
  vm_->SetOperandAreaSize(6);
  EXPECT_TRUE(Operands());
  EXPECT_EQ(vm_->Operands().SizeInWords(), 6u);
}

TEST_F(VovCommandTest, AnExpressionIsLinkedOnceAndRunOnASecondContext) {
  TobBuilder builder;
  builder.Command(40, {}, TobCondition::Expression(AssembleTobCode(R"(
      CallNative native(37), args, result
      Copy var(3), host(0)
      Return
    args: .word 0
    result: .word 7
  )")));
  Load(builder);
  const std::optional<VovCommandHead> head = Head();
  ASSERT_TRUE(head);
  EXPECT_EQ(head->condition, 41u);
  EXPECT_EQ(runtime_->RetVovExp(), 41u);
  EXPECT_EQ(g_return_zero_calls, 1);

  // The expression: u16 code length at body offset 7, the code, the linked flag, the link block.
  const std::span<std::uint8_t> body = vm_->CurrentScript()->Body();
  const std::uint32_t code_size = LoadLe16(body.data() + 7);
  const std::uint32_t flag = 9 + code_size;
  EXPECT_EQ(body[flag], 1);
  const std::uint32_t code = BodyAddress() + 9;
  EXPECT_EQ(runtime_->Memory().Word(code + 4), ScriptNativeTable::Token(37));
  EXPECT_EQ(runtime_->Memory().Word(code + 12), code + 36);  // the result slot: own code
  EXPECT_EQ(runtime_->Memory().Word(code + 36), 0u);         // NativeReturnZero's result
  EXPECT_EQ(runtime_->Memory().Word(code + 20), runtime_->Variables().Table()[3].address);
  EXPECT_EQ(runtime_->Memory().Word(code + 24), runtime_->HostVariableAddress(0));

  // A pair that names no variable would refuse a second link: the second run links nothing.
  StoreLe32(body.data() + flag + 8, 999);  // section 1's first index, behind the flag, size and count
  runtime_->SetRetVovExp(0);
  runtime_->Memory().SetWord(BlockOf(3), 43);
  ASSERT_TRUE(Head());
  EXPECT_EQ(Head()->condition, 43u);
  EXPECT_EQ(g_return_zero_calls, 3);
}

TEST_F(VovCommandTest, ACodeBlockIsLinkedWithWordCounts) {
  TobBuilder builder;
  builder.CodeBlock(AssembleTobCode("Copy var(1), host(0)\nJump end\nend: Return"));
  builder.Text("z");
  Load(builder);
  const std::optional<VovCode> code = ReadVovCodeBlock(Decoder(), 0);
  ASSERT_TRUE(code);
  EXPECT_EQ(vm_->BodyByte(code->end), 'z');
  EXPECT_EQ(context_->Run(BodyAddress() + code->code), kScriptEnded);
  EXPECT_EQ(runtime_->RetVovExp(), 21u);
  EXPECT_FALSE(ReadVovCodeBlock(Decoder(), 1));  // not at a "[s"
}

}  // namespace

#include "tob_assembler.h"

#include <cctype>
#include <optional>

#include "asm_text.h"
#include "platform/encoding/text_encoding.h"
#include "tob_builder.h"

namespace kvxtools {
namespace {

// "var(N)[E]" -> {N, E}.
std::optional<std::pair<std::uint32_t, std::uint32_t>> VariableElement(std::string_view text) {
  const std::size_t open = text.find('[');
  if (open == std::string_view::npos || text.back() != ']') return std::nullopt;
  const std::optional<std::string_view> number = Wrapped(Trim(text.substr(0, open)), "var");
  if (!number) return std::nullopt;
  return std::pair{Number(*number), Number(Trim(text.substr(open + 1, text.size() - open - 2)))};
}

class ScenarioSource {
 public:
  explicit ScenarioSource(const std::map<std::string, std::uint32_t>* library_labels)
      : library_labels_(library_labels) {}

  void Line(std::string_view line) {
    if (block_) {
      if (line == ".end") return EndBlock();
      block_->source.append(line).push_back('\n');
      return;
    }
    const std::size_t blank = std::min(line.find_first_of(" \t"), line.size());
    const std::string_view directive = line.substr(0, blank);
    const std::string_view rest = Trim(line.substr(blank));
    if (directive == ".label" && !rest.empty()) {
      builder_.Label(plat::Utf8ToSjis(rest));
    } else if (directive == ".line" && rest.empty()) {
      builder_.Line();
    } else if (directive == ".text") {
      builder_.Text(plat::Utf8ToSjis(ParseString(rest)));
    } else if (directive == ".cmd") {
      Command(rest);
    } else if (directive == ".expr" && !rest.empty()) {
      block_ = Block{std::string(rest), {}};
    } else if (directive == ".code" && rest.empty()) {
      block_ = Block{std::nullopt, {}};
    } else {
      throw AsmError("expected .label, .line, .text, .cmd, .expr or .code");
    }
  }

  std::vector<std::uint8_t> Finish() {
    if (block_) throw AsmError("a block without .end");
    try {
      return builder_.Build();
    } catch (const std::invalid_argument& failure) {
      throw AsmError(failure.what());
    }
  }

 private:
  struct Block {
    std::optional<std::string> expression_name;  // none: a code block
    std::string source;
  };

  void EndBlock() {
    TobCode code = Assemble(block_->source);
    if (block_->expression_name) {
      if (!expressions_.emplace(*block_->expression_name, std::move(code)).second) {
        throw AsmError("repeated expression: " + *block_->expression_name);
      }
    } else {
      builder_.CodeBlock(code);
    }
    block_.reset();
  }

  TobCode Assemble(const std::string& source) const {
    try {
      return AssembleTobCode(source, library_labels_);
    } catch (const std::invalid_argument& failure) {
      throw AsmError(failure.what());
    }
  }

  const TobCode& Expression(std::string_view text) const {
    const std::optional<std::string_view> name = Wrapped(text, "expr");
    const auto found = name ? expressions_.find(std::string(*name)) : expressions_.end();
    if (found == expressions_.end()) throw AsmError("no expression " + std::string(text));
    return found->second;
  }

  TobCondition Condition(std::string_view text) const {
    if (const auto element = VariableElement(text)) return TobCondition::Variable(element->first, element->second);
    if (Wrapped(text, "expr")) return TobCondition::Expression(Expression(text));
    return TobCondition::Value(Number(text));
  }

  TobOperand Operand(std::string_view text) const {
    if (text.empty()) throw AsmError("empty operand");
    if (text == "-") return TobOperand::Absent();
    if (text.front() == '=') return TobOperand::Immediate(Number(Trim(text.substr(1))));
    if (text.front() == '"') return TobOperand::String(plat::Utf8ToSjis(ParseString(text)));
    if (text.front() == '@') {
      const std::string_view target = Trim(text.substr(1));
      if (const std::optional<std::uint32_t> offset = ParseNumber(target)) return TobOperand::BodyOffset(*offset);
      return TobOperand::LabelOffset(plat::Utf8ToSjis(target));
    }
    if (const auto element = VariableElement(text)) return TobOperand::Variable(element->first, element->second);
    if (Wrapped(text, "expr")) return TobOperand::Expression(Expression(text));
    return TobOperand::Value(Number(text));
  }

  void Command(std::string_view rest) {
    const std::size_t blank = std::min(rest.find_first_of(" \t"), rest.size());
    const std::uint32_t kind = Number(rest.substr(0, blank));
    rest = Trim(rest.substr(blank));
    TobCondition condition = TobCondition::Always();
    if (rest.starts_with("if ") || rest == "if") {
      rest = Trim(rest.substr(2));
      const std::size_t end = std::min(rest.find_first_of(" \t"), rest.size());
      condition = Condition(rest.substr(0, end));
      rest = Trim(rest.substr(end));
    }
    std::vector<TobOperand> operands;
    for (std::string_view text : SplitCommas(rest)) operands.push_back(Operand(text));
    if (operands.size() > 0xFF) throw AsmError("more than 255 operands");
    builder_.Command(kind, operands, condition);
  }

  const std::map<std::string, std::uint32_t>* library_labels_;
  TobBuilder builder_;
  std::map<std::string, TobCode> expressions_;
  std::optional<Block> block_;
};

VovInitRecord InitRecord(std::string_view line) {
  const std::vector<std::string_view> words = SplitBlanks(line);
  if (words.size() != 4 || words[0] != ".record") throw AsmError("expected .record NAME lines choices");
  return {plat::Utf8ToSjis(words[1]), Number(words[2]), Number(words[3])};
}

}  // namespace

bool AssembleTob(std::string_view source, const std::map<std::string, std::uint32_t>* library_labels,
                 TobAssembly& assembly, std::string& error) {
  std::optional<std::string> kind;
  std::optional<ScenarioSource> scenario;
  std::vector<VovInitRecord> init_records;
  const auto line = [&](std::string_view text) {
    if (!kind) {
      const std::vector<std::string_view> words = SplitBlanks(text);
      if (words.size() != 2 || words[0] != ".kind") throw AsmError("the source must begin with .kind");
      if (words[1] != "scenario" && words[1] != "init") throw AsmError("unknown kind: " + std::string(words[1]));
      kind = std::string(words[1]);
      if (*kind == "scenario") scenario.emplace(library_labels);
    } else if (scenario) {
      scenario->Line(text);
    } else {
      init_records.push_back(InitRecord(text));
    }
  };
  const auto finish = [&] {
    if (!kind) throw AsmError("the source must begin with .kind");
    assembly.kind = *kind;
    assembly.bytes = scenario ? scenario->Finish() : BuildVovInit(init_records);
  };
  return AssembleLines(source, line, finish, error);
}

}  // namespace kvxtools

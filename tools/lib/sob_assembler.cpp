#include "sob_assembler.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>

#include "base/numbers/little_endian.h"
#include "asm_text.h"
#include "sob_builder.h"

namespace kvxtools {
namespace {

constexpr std::array<std::string_view, kSobOpcodeCount> kOpcodeNames = {
    "Yield",    "Return",     "ReturnValue", "StoreResult", "Call",          "CallNative",        "Jump",
    "Switch",   "PushImm",    "PushMem",     "PopMem",      "AddSp",         "SubSp",             "Add",
    "Sub",      "Mul",        "Div",         "Rem",         "Mod",           "And",               "Or",
    "Xor",      "Not",        "LogicalNot",  "Shr",         "Shl",           "IncMem",            "DecMem",
    "IncStack", "DecStack",   "JumpIfZero",  "StoreImm",    "Copy",          "StoreIndirect",     "StoreStackImm",
    "LoadStack", "StoreStack", "CopyStack",  "LoadStackIndirect", "LoadIndirect", "StackAddress", "Lt",
    "Le",       "Gt",         "Ge",          "Eq",          "Ne",
};

// The assembler of one kind of file: fed line by line, finished once.
class SourceAssembler {
 public:
  virtual ~SourceAssembler() = default;
  virtual void Line(std::string_view line) = 0;
  virtual SobAssembly Finish() = 0;
};

class CodeAssembler final : public SourceAssembler {
 public:
  CodeAssembler(SobObjectKind kind, const std::map<std::string, std::uint32_t>* library_labels)
      : kind_(kind), library_labels_(library_labels) {}

  void Line(std::string_view line) override {
    if (const std::size_t colon = line.find(':'); colon != std::string_view::npos && line.find('"') > colon) {
      DefineLabel(Trim(line.substr(0, colon)));
      line = Trim(line.substr(colon + 1));
      if (line.empty()) return;
    }
    const std::size_t blank = std::min(line.find_first_of(" \t"), line.size());
    const std::string_view mnemonic = line.substr(0, blank);
    const std::string_view rest = Trim(line.substr(blank));
    if (mnemonic == ".string") {
      builder_.EmitString(ParseString(rest));
    } else if (mnemonic == ".word") {
      for (std::string_view word : SplitCommas(rest)) builder_.EmitWord(Operand(word));
    } else if (mnemonic == ".instructions_end") {
      builder_.EndInstructions();
    } else {
      Instruction(mnemonic, SplitCommas(rest));
    }
  }

  SobAssembly Finish() override {
    for (const auto& [name, label] : labels_) {
      if (!defined_.contains(name)) throw AsmError("label never defined: " + name);
    }
    SobAssembly assembly;
    assembly.kind = kind_ == SobObjectKind::kScript ? "script" : "library";
    assembly.bytes = builder_.Build(kind_);
    for (const auto& [name, label] : labels_) assembly.labels[name] = builder_.OffsetOf(label);
    return assembly;
  }

 private:
  void DefineLabel(std::string_view name) {
    if (name.empty() || !defined_.insert(std::string(name)).second) throw AsmError("bad or repeated label: " + std::string(name));
    builder_.Bind(LabelOf(name));
  }

  SobObjectBuilder::Label LabelOf(std::string_view name) {
    const auto found = labels_.find(std::string(name));
    if (found != labels_.end()) return found->second;
    return labels_.emplace(std::string(name), builder_.NewLabel()).first->second;
  }

  void Instruction(std::string_view mnemonic, const std::vector<std::string_view>& operand_texts) {
    const auto named = std::find_if(kOpcodeNames.begin(), kOpcodeNames.end(),
                                    [mnemonic](std::string_view name) { return EqualIgnoringCase(name, mnemonic); });
    if (named == kOpcodeNames.end()) throw AsmError("unknown instruction: " + std::string(mnemonic));
    const auto opcode = static_cast<ESobOpcode>(named - kOpcodeNames.begin());
    std::vector<SobOperand> operands;
    for (std::string_view text : operand_texts) operands.push_back(Operand(text));
    if (opcode == ESobOpcode::Switch) {
      if (operands.empty()) throw AsmError("Switch needs an index");
      builder_.EmitSwitch(operands.front(), std::vector<SobOperand>(operands.begin() + 1, operands.end()));
      return;
    }
    if (operands.size() != kSobOperandCount[static_cast<std::size_t>(opcode)]) {
      throw AsmError(std::string(mnemonic) + " takes " + std::to_string(kSobOperandCount[static_cast<std::size_t>(opcode)]) +
                     " operands");
    }
    builder_.Emit(opcode, operands);
  }

  SobOperand Operand(std::string_view text) {
    if (text.empty()) throw AsmError("empty operand");
    if (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-') return Number(text);
    if (const auto argument = Wrapped(text, "var")) return SobOperand::UserVariable(Number(*argument));
    if (const auto argument = Wrapped(text, "native")) return SobOperand::Native(Number(*argument));
    if (const auto argument = Wrapped(text, "host")) return SobOperand::HostVariable(Number(*argument));
    if (const auto argument = Wrapped(text, "lib")) return SobOperand::Library(LibraryOffset(*argument));
    const auto [name, offset] = NameAndOffset(text);
    return SobOperand(LabelOf(name), offset);
  }

  std::uint32_t LibraryOffset(std::string_view text) {
    if (const std::optional<std::uint32_t> number = ParseNumber(text)) return *number;
    const auto [name, offset] = NameAndOffset(text);
    if (library_labels_ == nullptr) throw AsmError("lib(" + std::string(name) + ") without a library");
    const auto found = library_labels_->find(std::string(name));
    if (found == library_labels_->end()) throw AsmError("the library has no label " + std::string(name));
    return found->second + offset;
  }

  SobObjectKind kind_;
  const std::map<std::string, std::uint32_t>* library_labels_;
  SobObjectBuilder builder_;
  std::map<std::string, SobObjectBuilder::Label> labels_;
  std::set<std::string> defined_;
};

class UserVarAssembler final : public SourceAssembler {
 public:
  void Line(std::string_view line) override {
    const std::vector<std::string_view> words = SplitBlanks(line);
    if (words[0] == ".var" && words.size() >= 5) {
      std::vector<std::uint8_t> initial;
      for (std::size_t i = 5; i < words.size(); ++i) {
        std::uint8_t bytes[4];
        StoreLe32(bytes, Number(words[i]));
        initial.insert(initial.end(), bytes, bytes + 4);
      }
      const std::uint32_t size = Number(words[4]);
      if (initial.size() > size) throw AsmError("more initial words than the variable holds");
      const std::uint32_t number = builder_.AddVariable(static_cast<std::uint8_t>(Number(words[2])),
                                                        static_cast<std::uint8_t>(Number(words[3])), size, initial);
      if (!names_.emplace(std::string(words[1]), number).second) throw AsmError("repeated variable: " + std::string(words[1]));
    } else if (words[0] == ".fixup" && words.size() == 3) {
      const std::uint32_t at = ImageOffset(words[1]);
      builder_.AddFixup(at, ImageOffset(words[2]));
    } else {
      throw AsmError("expected .var NAME kind class size [words] or .fixup AT TARGET");
    }
  }

  SobAssembly Finish() override { return {"uservar", builder_.Build(), {}}; }

 private:
  std::uint32_t ImageOffset(std::string_view text) const {
    const auto [name, offset] = NameAndOffset(text);
    const auto found = names_.find(std::string(name));
    if (found == names_.end()) throw AsmError("no variable " + std::string(name));
    return builder_.OffsetOf(found->second) + offset;
  }

  UserVarBuilder builder_;
  std::map<std::string, std::uint32_t> names_;
};

class InitAssembler final : public SourceAssembler {
 public:
  void Line(std::string_view line) override {
    const std::vector<std::string_view> words = SplitBlanks(line);
    if (words[0] != ".record" || words.size() != 4) throw AsmError("expected .record NAME line-bits choice-bits");
    const std::uint32_t lines = Number(words[2]);
    const std::uint32_t choices = Number(words[3]);
    if (lines > 0xFFFF || choices > 0xFFFF) throw AsmError("bit counts are 16-bit");
    records_.push_back({std::string(words[1]), static_cast<std::uint16_t>(lines), static_cast<std::uint16_t>(choices)});
  }
  SobAssembly Finish() override { return {"init", BuildSobInit(records_), {}}; }

 private:
  std::vector<SobInitRecord> records_;
};

class VoiceAssembler final : public SourceAssembler {
 public:
  void Line(std::string_view line) override {
    const std::vector<std::string_view> words = SplitBlanks(line);
    if (words[0] == ".extension" && words.size() == 2) {
      source_.extension = words[1];
    } else if (words[0] == ".character" && (words.size() == 2 || words.size() == 3)) {
      VoiceInfoCharacter character{std::string(words[1]), std::nullopt, false, {}};
      if (words.size() == 3 && words[2] == "?") {
        character.skipped_second_name = true;
      } else if (words.size() == 3 && words[2] != "-") {
        character.second_name = std::string(words[2]);
      }
      source_.characters.push_back(std::move(character));
    } else if (words[0] == ".voice" && words.size() == 2) {
      if (source_.characters.empty()) throw AsmError(".voice before any .character");
      source_.characters.back().voices.emplace_back(words[1]);
    } else {
      throw AsmError("expected .extension, .character or .voice");
    }
  }
  SobAssembly Finish() override { return {"voice", BuildVoiceInfo(source_), {}}; }

 private:
  VoiceInfoSource source_;
};

std::unique_ptr<SourceAssembler> AssemblerOfKind(std::string_view line,
                                                 const std::map<std::string, std::uint32_t>* library_labels) {
  const std::vector<std::string_view> words = SplitBlanks(line);
  if (words.size() != 2 || words[0] != ".kind") throw AsmError("the source must begin with .kind");
  if (words[1] == "script") return std::make_unique<CodeAssembler>(SobObjectKind::kScript, library_labels);
  if (words[1] == "library") return std::make_unique<CodeAssembler>(SobObjectKind::kLibrary, library_labels);
  if (words[1] == "uservar") return std::make_unique<UserVarAssembler>();
  if (words[1] == "init") return std::make_unique<InitAssembler>();
  if (words[1] == "voice") return std::make_unique<VoiceAssembler>();
  throw AsmError("unknown kind: " + std::string(words[1]));
}

}  // namespace

bool AssembleSob(std::string_view source, const std::map<std::string, std::uint32_t>* library_labels,
                 SobAssembly& assembly, std::string& error) {
  std::unique_ptr<SourceAssembler> assembler;
  const auto line = [&](std::string_view text) {
    if (assembler) {
      assembler->Line(text);
    } else {
      assembler = AssemblerOfKind(text, library_labels);
    }
  };
  const auto finish = [&] {
    if (!assembler) throw AsmError("the source must begin with .kind");
    assembly = assembler->Finish();
  };
  return AssembleLines(source, line, finish, error);
}

}  // namespace kvxtools

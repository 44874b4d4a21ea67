#include "tob_builder.h"

#include <algorithm>
#include <stdexcept>

#include "base/numbers/byte_cursor.h"
#include "base/numbers/little_endian.h"
#include "script/sob_object.h"
#include "sob_assembler.h"

namespace kvxtools {
namespace {

std::uint16_t Narrow16(std::size_t value, const char* what) {
  if (value > 0xFFFF) throw std::invalid_argument(std::string(what) + " does not fit 16 bits");
  return static_cast<std::uint16_t>(value);
}

std::uint8_t Narrow8(std::size_t value, const char* what) {
  if (value > 0xFF) throw std::invalid_argument(std::string(what) + " does not fit 8 bits");
  return static_cast<std::uint8_t>(value);
}

}  // namespace

TobCode AssembleTobCode(std::string_view source, const std::map<std::string, std::uint32_t>* library_labels) {
  SobAssembly assembly;
  std::string error;
  if (!AssembleSob(".kind script\n" + std::string(source), library_labels, assembly, error)) {
    throw std::invalid_argument("embedded code: " + error);
  }
  const std::optional<SobObject> object =
      ParseSobObject(std::span<const std::uint8_t>(assembly.bytes).subspan(kSobMagicSize));
  if (!object) throw std::invalid_argument("embedded code: the assembled object does not parse");
  TobCode code;
  code.code.assign(object->code.begin(), object->code.end());
  for (std::size_t section = 0; section < kSobRelocationListCount; ++section) {
    for (const SobRelocationEntry& entry : object->relocations[section]) {
      code.sections[section].emplace_back(entry.offset, entry.value);
    }
  }
  return code;
}

void TobBuilder::Word16(std::uint16_t value) {
  Byte(static_cast<std::uint8_t>(value));
  Byte(static_cast<std::uint8_t>(value >> 8));
}

void TobBuilder::Word(std::uint32_t value) {
  for (int i = 0; i < 4; ++i) Byte(static_cast<std::uint8_t>(value >> (8 * i)));
}

void TobBuilder::PatchWord(std::uint32_t at, std::uint32_t value) { StoreLe32(body_.data() + at, value); }

void TobBuilder::Label(const std::string& name) {
  for (const auto& [existing, offset] : labels_) {
    if (existing == name) throw std::invalid_argument("repeated label: " + name);
  }
  labels_.emplace_back(name, Here());
}

std::uint32_t TobBuilder::Line() {
  const auto line = static_cast<std::uint32_t>(lines_.size());
  lines_.push_back(Here());
  Command(kLineMarkerOpcode, {TobOperand::Value(line)});
  return line;
}

void TobBuilder::Text(std::string_view text) { body_.insert(body_.end(), text.begin(), text.end()); }

void TobBuilder::Expression(const TobCode& code) {
  Word16(Narrow16(code.code.size(), "an expression's code"));
  Raw(code.code);
  Byte(0);
  std::size_t link_size = 2;
  for (const auto& section : code.sections) link_size += 1 + 8 * section.size();
  Word16(Narrow16(link_size, "an expression's link block"));
  for (const auto& section : code.sections) {
    Byte(Narrow8(section.size(), "an expression's link section"));
    for (const auto& [offset, value] : section) {
      Word(offset);
      Word(value);
    }
  }
}

void TobBuilder::CodeBlock(const TobCode& code) {
  Text("[s");
  Word(static_cast<std::uint32_t>(code.code.size()));
  Raw(code.code);
  Byte(0);
  std::size_t link_size = 4;
  for (const auto& section : code.sections) link_size += 4 + 8 * section.size();
  Word(static_cast<std::uint32_t>(link_size));
  for (const auto& section : code.sections) {
    Word(static_cast<std::uint32_t>(section.size()));
    for (const auto& [offset, value] : section) {
      Word(offset);
      Word(value);
    }
  }
}

void TobBuilder::Operand(const TobOperand& operand) {
  Byte(operand.flags);
  if (operand.flags == 0) return;
  if (operand.flags == 2) {
    Word(operand.value);
    return;
  }
  Byte(operand.kind);
  switch (operand.kind) {
    case 1: {
      const std::string& text = operand.text.value_or("");
      Word16(text.empty() ? 0 : Narrow16(text.size() + 1, "a string"));
      if (!text.empty()) {
        Text(text);
        Byte(0);
      }
      break;
    }
    case 2:
      Word(operand.value);
      Word(operand.element);
      break;
    case 3:
      Expression(operand.code);
      break;
    default:
      if (operand.label) label_operands_.emplace_back(Here(), *operand.label);
      Word(operand.value);
      break;
  }
}

std::uint32_t TobBuilder::Command(std::uint32_t kind, const std::vector<TobOperand>& operands,
                                  const TobCondition& condition) {
  const std::uint32_t start = Here();
  Text("[ ");
  Word(kind);
  Byte(condition.kind);
  if (condition.kind == 0) Word(condition.value);
  if (condition.kind == 2) {
    Word(condition.value);
    Word(condition.element);
  }
  if (condition.kind == 3) Expression(condition.code);
  const std::uint32_t rest = Here();
  Word(0);
  Byte(Narrow8(operands.size(), "an operand count"));
  for (const TobOperand& operand : operands) Operand(operand);
  PatchWord(rest, Here() - rest);
  return start;
}

std::vector<std::uint8_t> TobBuilder::Build(std::string_view magic) const {
  std::vector<std::uint8_t> body = body_;
  for (const auto& operand : label_operands_) {
    const auto found = std::find_if(labels_.begin(), labels_.end(),
                                    [&operand](const auto& label) { return label.first == operand.second; });
    if (found == labels_.end()) throw std::invalid_argument("no label " + operand.second);
    StoreLe32(body.data() + operand.first, found->second);
  }
  body.push_back(0);

  ByteWriter labels;
  for (const auto& [name, offset] : labels_) {
    labels.Byte(Narrow8(name.size() + 5, "a label record"));
    labels.Text(name);
    labels.Byte(0);
    labels.Word(offset);
  }
  ByteWriter file;
  file.Text(magic);
  file.Word(static_cast<std::uint32_t>(8 + labels.Size()));
  file.Word(static_cast<std::uint32_t>(labels_.size()));
  file.Bytes(labels.Data());
  file.Word(static_cast<std::uint32_t>(8 + 4 * lines_.size()));
  file.Word(static_cast<std::uint32_t>(lines_.size()));
  for (const std::uint32_t line : lines_) file.Word(line);
  file.Bytes(body);
  return file.Take();
}

std::vector<std::uint8_t> BuildVovInit(const std::vector<VovInitRecord>& records) {
  ByteWriter file;
  file.Word(static_cast<std::uint32_t>(records.size()));
  for (const VovInitRecord& record : records) {
    file.Byte(Narrow8(record.name.size() + 1, "a script name"));
    file.Text(record.name);
    file.Byte(0);
    file.Word(record.lines);
    file.Word(record.choices);
  }
  return file.Take();
}

}  // namespace kvxtools

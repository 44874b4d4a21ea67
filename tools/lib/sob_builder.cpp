#include "sob_builder.h"

#include <stdexcept>

#include "base/numbers/byte_cursor.h"

namespace kvxtools {

std::uint32_t SobObjectBuilder::Emit(ESobOpcode opcode, std::initializer_list<SobOperand> operands) {
  return Emit(opcode, std::vector<SobOperand>(operands));
}

std::uint32_t SobObjectBuilder::Emit(ESobOpcode opcode, const std::vector<SobOperand>& operands) {
  const auto code = static_cast<std::uint32_t>(opcode);
  if (code >= kSobOpcodeCount || operands.size() != kSobOperandCount[code]) {
    throw std::invalid_argument("operand count does not fit the opcode");
  }
  const std::uint32_t offset = Here();
  code_.EmitWord(code);
  for (const SobOperand& operand : operands) EmitWord(operand);
  return offset;
}

std::uint32_t SobObjectBuilder::EmitSwitch(const SobOperand& index, const std::vector<SobOperand>& targets) {
  const std::uint32_t offset = Emit(ESobOpcode::Switch, {index});
  for (const SobOperand& target : targets) EmitWord(target);
  code_.EmitWord(kSwitchTableEnd);
  return offset;
}

void SobObjectBuilder::EmitWord(const SobOperand& word) {
  if (word.relocation) relocations_.push_back({*word.relocation, Here(), word});
  if (word.label) {
    code_.EmitWord(ScriptCodeBuilder::Operand(*word.label, word.value));
  } else {
    code_.EmitWord(word.value);
  }
}

SobObjectBuilder::Label SobObjectBuilder::EmitString(std::string_view text) {
  const Label start = NewLabel();
  Bind(start);
  std::string bytes(text);
  bytes.push_back('\0');
  bytes.resize((bytes.size() + 3) / 4 * 4, '\0');
  for (std::size_t at = 0; at < bytes.size(); at += 4) {
    code_.EmitWord(LoadLe32(reinterpret_cast<const std::uint8_t*>(bytes.data() + at)));
  }
  return start;
}

std::vector<std::uint8_t> SobObjectBuilder::Build(SobObjectKind kind, std::uint32_t closing_word) const {
  std::array<std::vector<SobRelocationEntry>, kSobRelocationListCount> lists;
  for (const PendingRelocation& relocation : relocations_) {
    const std::uint32_t label_offset = relocation.operand.label ? OffsetOf(*relocation.operand.label) : 0;
    lists[static_cast<std::size_t>(relocation.list)].push_back({relocation.at, label_offset + relocation.operand.value});
  }
  ByteWriter relocations;
  for (const std::vector<SobRelocationEntry>& list : lists) {
    relocations.Word(static_cast<std::uint32_t>(list.size()));
    for (const SobRelocationEntry& entry : list) {
      relocations.Word(entry.offset);
      relocations.Word(entry.value);
    }
  }
  relocations.Word(closing_word);

  const std::vector<std::uint32_t> words = code_.Finish();
  ByteWriter file;
  file.Text(kind == SobObjectKind::kScript ? kSobScriptMagic : kSobLibraryMagic);
  file.Word(static_cast<std::uint32_t>(relocations.Size()));
  file.Bytes(relocations.Data());
  file.Word(instruction_length_.value_or(Here()));
  file.Word(static_cast<std::uint32_t>(words.size() * 4));
  for (const std::uint32_t word : words) file.Word(word);
  return file.Take();
}

std::uint32_t UserVarBuilder::AddVariable(std::uint8_t kind, std::uint8_t variable_class, std::uint32_t size,
                                          std::vector<std::uint8_t> initial) {
  if (initial.size() > size) throw std::invalid_argument("initial bytes larger than the variable");
  image_.resize((image_.size() + 3) / 4 * 4, 0);
  const auto offset = static_cast<std::uint32_t>(image_.size());
  initial.resize(size, 0);
  image_.insert(image_.end(), initial.begin(), initial.end());
  variables_.push_back({kind, variable_class, offset, size});
  return static_cast<std::uint32_t>(variables_.size() - 1);
}

std::vector<std::uint8_t> UserVarBuilder::Build(std::uint32_t closing_word) const {
  ByteWriter file;
  file.Text(kSobUserVarMagic);
  file.Word(static_cast<std::uint32_t>(image_.size()));
  file.Bytes(image_);
  file.Word(static_cast<std::uint32_t>(variables_.size()));
  for (const UserVariableRecord& variable : variables_) {
    file.Byte(variable.kind);
    file.Byte(variable.variable_class);
    file.Word(variable.offset);
    file.Word(variable.size);
  }
  file.Word(static_cast<std::uint32_t>(fixups_.size()));
  for (const UserVariableFixup& fixup : fixups_) {
    file.Word(fixup.at);
    file.Word(fixup.target);
  }
  file.Word(closing_word);
  return file.Take();
}

namespace {

// A length byte (the terminating zero counted) and the text with its zero.
void WriteNameField(ByteWriter& file, std::string_view name) {
  if (name.size() > 254) throw std::invalid_argument("name longer than 254 bytes");
  file.Byte(static_cast<std::uint8_t>(name.size() + 1));
  file.Text(name);
  file.Byte(0);
}

}  // namespace

std::vector<std::uint8_t> BuildSobInit(const std::vector<SobInitRecord>& records) {
  ByteWriter file;
  file.Word16(static_cast<std::uint16_t>(records.size()));
  for (const SobInitRecord& record : records) {
    WriteNameField(file, record.name);
    file.Word16(record.line_bits);
    file.Word16(record.choice_bits);
  }
  return file.Take();
}

std::vector<std::uint8_t> BuildVoiceInfo(const VoiceInfoSource& source) {
  ByteWriter file;
  WriteNameField(file, source.extension);
  std::uint32_t voice_count = 0;
  for (const VoiceInfoCharacter& character : source.characters) voice_count += static_cast<std::uint32_t>(character.voices.size());
  file.Word(voice_count);
  file.Word(static_cast<std::uint32_t>(source.characters.size()));
  for (const VoiceInfoCharacter& character : source.characters) {
    WriteNameField(file, character.name);
    if (character.second_name) {
      WriteNameField(file, *character.second_name);
    } else if (character.skipped_second_name) {
      file.Byte(1);
      file.Byte(0);
    } else {
      file.Byte(0);
    }
    file.Word(static_cast<std::uint32_t>(character.voices.size()));
    for (const std::string& voice : character.voices) WriteNameField(file, voice);
  }
  return file.Take();
}

}  // namespace kvxtools

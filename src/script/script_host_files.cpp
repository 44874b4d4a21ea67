// The variable files and the persistent file of CScriptHost. Every file is read whole, and its
// sizes, byte sum and packing are checked before anything is written to a variable; the stored
// variables are then restored as far as they fit the live table. Files are written beside the
// old one and renamed over it.
#include <cstring>

#include "base/files/file_services.h"
#include "base/files/packed_block.h"
#include "script/script_host.h"

namespace {

constexpr std::uint32_t kPersistentSelector = 1;  // the class-2 variables

std::span<const std::uint8_t> AsBytes(std::span<const std::byte> bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

// A variable given by address, with its number; nothing when it is not a live variable of `kind`.
std::optional<std::uint32_t> VariableOfKind(const ScriptVariables& variables, std::uint32_t address, std::uint8_t kind) {
  const std::int32_t number = variables.Find(address);
  if (number < 0 || variables.Table()[static_cast<std::uint32_t>(number)].kind != kind) return std::nullopt;
  return static_cast<std::uint32_t>(number);
}

struct LiveBlock {
  std::uint32_t address = 0;
  std::uint32_t size = 0;
};

// The live block of the variable at `address`; nothing when it is not a variable of `kind`.
std::optional<LiveBlock> LiveBlockOf(const ScriptVariables& variables, std::uint32_t address, std::uint8_t kind) {
  const std::optional<std::uint32_t> number = VariableOfKind(variables, address, kind);
  if (!number) return std::nullopt;
  const std::optional<std::uint32_t> block = variables.BlockOf(VariableCopy::kLive, *number);
  if (!block) return std::nullopt;
  return LiveBlock{*block, variables.Table()[*number].size};
}

// The stored size, unpacked size and stored bytes that lead a packed file or its data part.
std::optional<std::vector<std::uint8_t>> ReadPackedBlock(ByteReader& reader) {
  const std::optional<std::uint32_t> stored_size = reader.Word();
  const std::optional<std::uint32_t> unpacked_size = reader.Word();
  if (!unpacked_size) return std::nullopt;
  const std::optional<std::span<const std::uint8_t>> stored = reader.Bytes(*stored_size);
  if (!stored) return std::nullopt;
  return UnpackBlock(*stored, *unpacked_size);
}

}  // namespace

bool CScriptHost::SetVariableFileName(const char* name) {
  if (name == nullptr) return false;
  variable_file_name_ = name;
  return true;
}

std::optional<std::string> CScriptHost::VariableFilePath(const char* name, ScriptFileUse use) const {
  if (name == nullptr && !variable_file_name_) return std::nullopt;
  return ScriptFilePath(name != nullptr ? name : variable_file_name_->c_str(), use);
}

std::uint32_t CScriptHost::SaveVariableFile(const char* name, std::uint32_t selector, std::uint32_t value_variable,
                                            std::uint32_t string_variable, bool from_backup) {
  const std::optional<std::string> path = VariableFilePath(name, ScriptFileUse::kWrite);
  if (!path) return 1;
  const ScriptVariables& variables = Variables();
  const VariableCopy copy = from_backup ? VariableCopy::kBackup : VariableCopy::kLive;
  std::span<const std::uint8_t> value_block;
  std::string text;
  if (value_variable != 0) {
    const std::optional<std::uint32_t> number = VariableOfKind(variables, value_variable, 0);
    if (!number) return 4;
    const std::optional<std::uint32_t> block = variables.BlockOf(copy, *number);
    if (!block) return from_backup ? 2 : 3;
    value_block = AsBytes(Memory().Range(*block, variables.Table()[*number].size));
  }
  if (string_variable != 0) {
    const std::optional<std::uint32_t> number = VariableOfKind(variables, string_variable, 1);
    if (!number) return 4;
    const std::optional<std::uint32_t> block = variables.BlockOf(copy, *number);
    if (!block) return from_backup ? 2 : 3;
    text = std::string(TextOfField(AsBytes(Memory().Range(*block, variables.Table()[*number].size))));
  }
  if (variables.SerialisedSize(selector, from_backup) <= 1) return 2;

  ByteWriter data;
  if (variables.Write(data, selector, from_backup, false) != 0) return 3;
  const PackedBlock block = PackBlock(data.Data());
  ByteWriter file;
  file.Word(static_cast<std::uint32_t>(block.stored.size()));
  file.Word(block.unpacked_size);
  file.Word(static_cast<std::uint32_t>(value_block.size()));
  file.Bytes(value_block);
  file.Word(static_cast<std::uint32_t>(text.size() + 1));
  file.Text(text);
  file.Byte(0);
  file.Byte(static_cast<std::uint8_t>(selector));
  file.Byte(ByteSum(block.stored));
  file.Bytes(block.stored);
  return SaveFileReplacing(path->c_str(), file.Data()) == 0 ? 0 : 1;
}

std::uint32_t CScriptHost::ReadVariableFileInfo(const char* name, std::uint32_t value_variable,
                                                std::uint32_t string_variable) {
  constexpr std::uint32_t kMissing = 2;
  constexpr std::uint32_t kDoesNotFit = 3;
  std::optional<LiveBlock> value_block;
  std::optional<LiveBlock> string_block;
  if (value_variable != 0 && !(value_block = LiveBlockOf(Variables(), value_variable, 0))) return kDoesNotFit;
  if (string_variable != 0 && !(string_block = LiveBlockOf(Variables(), string_variable, 1))) return kDoesNotFit;
  const std::optional<std::string> path = VariableFilePath(name, ScriptFileUse::kRead);
  const std::optional<std::vector<std::uint8_t>> file = path ? LoadDataFile(path->c_str()) : std::nullopt;
  if (!file) return 1;

  ByteReader reader(*file);
  const std::optional<std::uint32_t> value_size = reader.Skip(8) ? reader.Word() : std::nullopt;
  if (!value_size) return kMissing;
  if (value_block && *value_size == 0) return kMissing;
  if (value_block && *value_size > value_block->size) return kDoesNotFit;
  const std::optional<std::span<const std::uint8_t>> value = reader.Bytes(*value_size);
  if (!value) return kMissing;
  std::optional<std::span<const std::uint8_t>> text;
  if (string_block) {
    const std::optional<std::uint32_t> text_size = reader.Word();
    if (!text_size || *text_size == 0) return kMissing;
    if (*text_size > string_block->size) return kDoesNotFit;
    if (!(text = reader.Bytes(*text_size))) return kMissing;
  }
  if (value_block) Memory().Write(value_block->address, value->data(), *value_size);
  if (text) Memory().Write(string_block->address, text->data(), static_cast<std::uint32_t>(text->size()));
  return 0;
}

std::uint32_t CScriptHost::LoadVariableFile(const char* name) {
  constexpr std::uint32_t kDamaged = 2;
  const std::optional<std::string> path = VariableFilePath(name, ScriptFileUse::kRead);
  const std::optional<std::vector<std::uint8_t>> file = path ? LoadDataFile(path->c_str()) : std::nullopt;
  if (!file) return 1;

  ByteReader reader(*file);
  const std::optional<std::uint32_t> stored_size = reader.Word();
  const std::optional<std::uint32_t> unpacked_size = reader.Word();
  const std::optional<std::uint32_t> value_size = unpacked_size ? reader.Word() : std::nullopt;
  const std::optional<std::uint32_t> text_size = value_size && reader.Skip(*value_size) ? reader.Word() : std::nullopt;
  if (!text_size || !reader.Skip(*text_size)) return kDamaged;
  const std::optional<std::uint8_t> selector = reader.Byte();
  const std::optional<std::uint8_t> sum = reader.Byte();
  const std::optional<std::span<const std::uint8_t>> stored = sum ? reader.Bytes(*stored_size) : std::nullopt;
  if (!stored || ByteSum(*stored) != *sum) return kDamaged;
  const std::optional<std::vector<std::uint8_t>> data = UnpackBlock(*stored, *unpacked_size);
  if (!data) return kDamaged;
  ByteReader variables(*data);
  return Variables().ReadFitting(variables, *selector) == 0 ? 0 : kDamaged;
}

std::uint32_t CScriptHost::SavePersistentFile(const char* name) {
  const std::optional<std::string> path = VariableFilePath(name, ScriptFileUse::kWrite);
  if (!path) return 1;
  ByteWriter data;
  data.Word(static_cast<std::uint32_t>(voices_.characters.size()));
  for (const VoiceCharacter& character : voices_.characters) {
    data.Word(character.volume);
    data.Byte(character.enabled);
    data.Byte(character.second_name_flag);
  }
  if (WriteVariables(data, kPersistentSelector, false) != 0) return 2;
  const PackedBlock block = PackBlock(data.Data());
  ByteWriter file;
  file.Word(static_cast<std::uint32_t>(block.stored.size()));
  file.Word(block.unpacked_size);
  file.Bytes(block.stored);
  return SaveFileReplacing(path->c_str(), file.Data()) == 0 ? 0 : 3;
}

std::uint32_t CScriptHost::LoadPersistentFile(const char* name) {
  constexpr std::uint32_t kDamaged = 2;
  constexpr std::uint32_t kCharacterRecordSize = 6;
  const std::optional<std::string> path = VariableFilePath(name, ScriptFileUse::kRead);
  const std::optional<std::vector<std::uint8_t>> file = path ? LoadDataFile(path->c_str()) : std::nullopt;
  if (!file) return 1;
  ByteReader reader(*file);
  const std::optional<std::vector<std::uint8_t>> data = ReadPackedBlock(reader);
  if (!data) return kDamaged;

  ByteReader content(*data);
  const std::optional<std::uint32_t> count = content.Word();
  if (!count || !content.Has(std::uint64_t{*count} * kCharacterRecordSize)) return kDamaged;
  if (*count == voices_.characters.size()) {
    for (VoiceCharacter& character : voices_.characters) {
      character.volume = *content.Word();
      character.enabled = *content.Byte();
      character.second_name_flag = *content.Byte();
    }
  } else {
    content.Skip(std::uint64_t{*count} * kCharacterRecordSize);
  }
  // Variables that no longer fit the stored data (a patched game) keep their values.
  ReadVariables(content);
  return 0;
}

std::uint32_t CScriptHost::SavePersistentState() {
  if (!variable_file_name_ && !HasTextLogName()) return 2;
  if (variable_file_name_) {
    if (const std::uint32_t result = SavePersistentFile(nullptr); result != 0) return result;
  }
  return HasTextLogName() ? SaveTextLog(nullptr) : 0;
}

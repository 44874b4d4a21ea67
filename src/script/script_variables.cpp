#include "script/script_variables.h"

#include <cstring>
#include <utility>

namespace {

bool ClassMatches(std::uint32_t selector, std::uint8_t variable_class) {
  if (selector >= 1 && selector <= 3) return variable_class == selector - 1;
  return true;
}

bool KindMatches(std::uint32_t selector, std::uint8_t kind) {
  if (selector == 0) return true;
  if (selector <= 3) return kind == selector - 1;
  return false;
}

// Whether a variable belongs to the serialised form of `selector`.
bool IsSerialised(std::uint32_t selector, const ScriptVariable& variable) {
  if (variable.kind > 1) return false;
  if (selector == 0) return variable.variable_class == 1;
  if (selector == 1) return variable.variable_class == 2;
  return true;
}

}  // namespace

ScriptVariables::~ScriptVariables() {
  Free(live_);
  Free(initial_);
  Free(backup_);
}

bool ScriptVariables::Install(const UserVarObject& object, bool initial, bool backup) {
  Free(live_);
  Free(initial_);
  Free(backup_);
  marked_.clear();
  bool built = Build(live_, object, 0);
  if (built && initial) built = Build(initial_, object, live_.image);
  if (built && backup) built = Build(backup_, object, live_.image);
  if (built) return true;
  Free(live_);
  Free(initial_);
  Free(backup_);
  return false;
}

bool ScriptVariables::Build(VariableImage& copy, const UserVarObject& object, std::uint32_t live_image) {
  const auto image_size = static_cast<std::uint32_t>(object.image.size());
  copy.image = memory_.Allocate(image_size, true);
  if (copy.image == 0) return false;
  memory_.Write(copy.image, object.image.data(), image_size);

  std::uint32_t pointer_count = 0;
  for (const UserVariableRecord& record : object.variables) pointer_count += record.kind == 1 ? 1 : 0;
  if (pointer_count != 0) {
    copy.cells = memory_.Allocate(pointer_count * 4);
    if (copy.cells == 0) return false;
  }

  copy.table.clear();
  copy.table.reserve(object.variables.size());
  std::uint32_t cell = copy.cells;
  for (const UserVariableRecord& record : object.variables) {
    ScriptVariable variable{copy.image + record.offset, record.kind, record.variable_class, record.size};
    if (record.kind == 1) {
      memory_.SetWord(cell, variable.address);
      variable.address = cell;
      cell += 4;
    }
    copy.table.push_back(variable);
  }

  const std::uint32_t pointer_base = live_image != 0 ? live_image : copy.image;
  for (const UserVariableFixup& fixup : object.fixups) memory_.SetWord(copy.image + fixup.at, pointer_base + fixup.target);
  return true;
}

void ScriptVariables::Free(VariableImage& copy) {
  memory_.Free(copy.image);
  memory_.Free(copy.cells);
  copy = VariableImage{};
}

const ScriptVariables::VariableImage& ScriptVariables::Image(VariableCopy copy) const {
  switch (copy) {
    case VariableCopy::kInitial:
      return initial_;
    case VariableCopy::kBackup:
      return backup_;
    case VariableCopy::kLive:
      break;
  }
  return live_;
}

std::optional<std::uint32_t> ScriptVariables::BlockOf(VariableCopy copy, std::uint32_t number) const {
  const VariableImage& images = Image(copy);
  if (images.image == 0 || number >= images.table.size()) return std::nullopt;
  const ScriptVariable& variable = images.table[number];
  const std::uint32_t block = variable.kind == 1 ? memory_.Word(variable.address) : variable.address;
  if (!memory_.Contains(block, variable.size)) return std::nullopt;
  return block;
}

bool ScriptVariables::CopyBlock(VariableCopy from, VariableCopy to, std::uint32_t number) {
  const std::optional<std::uint32_t> source = BlockOf(from, number);
  const std::optional<std::uint32_t> destination = BlockOf(to, number);
  if (!source || !destination) return false;
  const std::uint32_t size = live_.table[number].size;
  if (size != 0) std::memmove(memory_.Range(*destination, size).data(), memory_.Range(*source, size).data(), size);
  return true;
}

void ScriptVariables::CopyBlocks(VariableCopy from, VariableCopy to, std::uint32_t class_selector,
                                 std::uint32_t kind_selector) {
  for (std::uint32_t number = 0; number < Count(); ++number) {
    const ScriptVariable& variable = live_.table[number];
    if (ClassMatches(class_selector, variable.variable_class) && KindMatches(kind_selector, variable.kind)) {
      CopyBlock(from, to, number);
    }
  }
}

void ScriptVariables::Clear(std::uint32_t class_selector, std::uint32_t kind_selector) {
  for (std::uint32_t number = 0; number < Count(); ++number) {
    const ScriptVariable& variable = live_.table[number];
    if (!ClassMatches(class_selector, variable.variable_class) || !KindMatches(kind_selector, variable.kind)) continue;
    const std::optional<std::uint32_t> block = BlockOf(VariableCopy::kLive, number);
    if (block && variable.size != 0) std::memset(memory_.Range(*block, variable.size).data(), 0, variable.size);
  }
}

std::uint32_t ScriptVariables::Reset(std::uint32_t class_selector, std::uint32_t kind_selector) {
  if (!Has(VariableCopy::kInitial)) return 1;
  CopyBlocks(VariableCopy::kInitial, VariableCopy::kLive, class_selector, kind_selector);
  return 0;
}

std::uint32_t ScriptVariables::SaveToBackup(std::uint32_t class_selector, std::uint32_t kind_selector) {
  if (!Has(VariableCopy::kBackup)) return 1;
  CopyBlocks(VariableCopy::kLive, VariableCopy::kBackup, class_selector, kind_selector);
  return 0;
}

std::uint32_t ScriptVariables::RestoreFromBackup(std::uint32_t class_selector, std::uint32_t kind_selector) {
  if (!Has(VariableCopy::kBackup)) return 1;
  CopyBlocks(VariableCopy::kBackup, VariableCopy::kLive, class_selector, kind_selector);
  return 0;
}

std::uint32_t ScriptVariables::SaveOneToBackup(std::uint32_t address) {
  if (!Has(VariableCopy::kBackup)) return 1;
  const std::int32_t number = Find(address);
  if (number < 0) return 2;
  CopyBlock(VariableCopy::kLive, VariableCopy::kBackup, static_cast<std::uint32_t>(number));
  return 0;
}

std::uint32_t ScriptVariables::Mark(std::uint32_t address) {
  if (!Has(VariableCopy::kBackup)) return 1;
  const std::int32_t number = Find(address);
  if (number < 0) return 2;
  marked_.push_back(static_cast<std::uint32_t>(number));
  return 0;
}

std::int32_t ScriptVariables::Find(std::uint32_t address) const {
  for (std::size_t number = 0; number < live_.table.size(); ++number) {
    if (live_.table[number].address == address) return static_cast<std::int32_t>(number);
  }
  return -1;
}

std::uint32_t ScriptVariables::SerialisedSize(std::uint32_t selector, bool from_backup) const {
  if (from_backup && !Has(VariableCopy::kBackup)) return 0;
  std::uint64_t size = 1;
  for (const ScriptVariable& variable : live_.table) {
    if (IsSerialised(selector, variable)) size += std::uint64_t{variable.size} + 1;
  }
  return size > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(size);
}

std::uint32_t ScriptVariables::Write(ByteWriter& out, std::uint32_t selector, bool from_backup, bool with_selector) const {
  if (from_backup && !Has(VariableCopy::kBackup)) return 2;
  const VariableCopy copy = from_backup ? VariableCopy::kBackup : VariableCopy::kLive;
  if (with_selector) out.Byte(static_cast<std::uint8_t>(selector));
  for (std::uint32_t number = 0; number < Count(); ++number) {
    const ScriptVariable& variable = live_.table[number];
    if (!IsSerialised(selector, variable)) continue;
    const std::optional<std::uint32_t> block = BlockOf(copy, number);
    if (!block) return 3;
    out.Byte(variable.kind);
    const std::span<const std::byte> bytes = std::as_const(memory_).Range(*block, variable.size);
    out.Bytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  }
  return 0;
}

std::uint32_t ScriptVariables::Read(ByteReader& in, std::uint32_t selector) {
  struct Pending {
    std::uint32_t block;
    std::span<const std::uint8_t> bytes;
  };
  std::vector<Pending> pending;
  for (std::uint32_t number = 0; number < Count(); ++number) {
    const ScriptVariable& variable = live_.table[number];
    if (!IsSerialised(selector, variable)) continue;
    const std::optional<std::uint8_t> kind = in.Byte();
    if (!kind || *kind != variable.kind) return 1;
    const std::optional<std::span<const std::uint8_t>> bytes = in.Bytes(variable.size);
    const std::optional<std::uint32_t> block = BlockOf(VariableCopy::kLive, number);
    if (!bytes || !block) return 1;
    pending.push_back({*block, *bytes});
  }
  for (const Pending& write : pending) {
    memory_.Write(write.block, write.bytes.data(), static_cast<std::uint32_t>(write.bytes.size()));
  }
  return 0;
}

std::uint32_t ScriptVariables::ReadFitting(ByteReader& in, std::uint32_t selector) {
  for (std::uint32_t number = 0; number < Count(); ++number) {
    const ScriptVariable& variable = live_.table[number];
    if (!IsSerialised(selector, variable)) continue;
    const std::optional<std::uint8_t> kind = in.Byte();
    if (!kind) return 0;
    if (*kind != variable.kind) return 1;
    const std::optional<std::span<const std::uint8_t>> bytes = in.Bytes(variable.size);
    if (!bytes) return 0;
    if (const std::optional<std::uint32_t> block = BlockOf(VariableCopy::kLive, number)) {
      memory_.Write(*block, bytes->data(), variable.size);
    }
  }
  return 0;
}

std::uint32_t ScriptVariables::ReadRecord(ByteReader& in) {
  const std::optional<std::uint8_t> selector = in.Byte();
  if (!selector) return 1;
  return ReadFitting(in, *selector);
}

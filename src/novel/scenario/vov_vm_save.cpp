// The save record of the scenario machine, little-endian and packed:
//   u32 transient count T; T names {u16 length L with the zero byte, the name, its zero byte};
//   u32 resident count R; R names as above; u32 frame count F; F frames {i32 script index,
//   u32 return offset}; i32 current index; u32 position as an offset into the current body.
#include <algorithm>

#include "novel/scenario/vov_vm.h"

namespace {

constexpr std::uint32_t kFixedSize = 20;

struct SavedRecord {
  std::vector<std::string> transient;
  std::vector<std::string> resident;
  std::vector<VovCallFrame> frames;
  std::int32_t current_index = 0;
  std::uint32_t position = 0;
};

void WriteNames(ByteWriter& out, const std::vector<std::unique_ptr<VovScript>>& scripts) {
  out.Word(static_cast<std::uint32_t>(scripts.size()));
  for (const std::unique_ptr<VovScript>& script : scripts) {
    out.Word16(static_cast<std::uint16_t>(script->Name().size() + 1));
    out.Text(script->Name());
    out.Byte(0);
  }
}

std::uint32_t NamesSize(const std::vector<std::unique_ptr<VovScript>>& scripts) {
  std::uint32_t size = 0;
  for (const std::unique_ptr<VovScript>& script : scripts) size += static_cast<std::uint32_t>(script->Name().size()) + 3;
  return size;
}

bool ReadNames(ByteReader& in, std::vector<std::string>& names) {
  const std::optional<std::uint32_t> count = in.Word();
  // Every name takes at least its length field.
  if (!count || !in.Has(std::uint64_t{*count} * 2)) return false;
  for (std::uint32_t n = 0; n < *count; ++n) {
    const std::optional<std::uint16_t> length = in.Word16();
    const std::optional<std::span<const std::uint8_t>> name = length ? in.Bytes(*length) : std::nullopt;
    if (!name) return false;
    names.emplace_back(TextOfField(*name));
  }
  return true;
}

std::optional<SavedRecord> ReadRecord(ByteReader& in, std::size_t most_frames) {
  SavedRecord record;
  if (!ReadNames(in, record.transient) || !ReadNames(in, record.resident)) return std::nullopt;
  const std::optional<std::uint32_t> frame_count = in.Word();
  if (!frame_count || *frame_count > most_frames) return std::nullopt;
  for (std::uint32_t n = 0; n < *frame_count; ++n) {
    const std::optional<std::uint32_t> script = in.Word();
    const std::optional<std::uint32_t> offset = script ? in.Word() : std::nullopt;
    if (!offset) return std::nullopt;
    record.frames.push_back({static_cast<std::int32_t>(*script), *offset});
  }
  const std::optional<std::uint32_t> current_index = in.Word();
  const std::optional<std::uint32_t> position = current_index ? in.Word() : std::nullopt;
  if (!position) return std::nullopt;
  record.current_index = static_cast<std::int32_t>(*current_index);
  record.position = *position;
  return record;
}

}  // namespace

std::uint32_t CVovVM::SaveSize() const {
  return kFixedSize + NamesSize(transient_) + NamesSize(resident_) + static_cast<std::uint32_t>(frame_count_) * 8;
}

std::uint32_t CVovVM::Save(ByteWriter& out) const {
  if (current_ == nullptr) return 1;
  WriteNames(out, transient_);
  WriteNames(out, resident_);
  out.Word(static_cast<std::uint32_t>(frame_count_));
  for (const VovCallFrame& frame : CallFrames()) {
    out.Word(static_cast<std::uint32_t>(frame.script));
    out.Word(frame.return_offset);
  }
  out.Word(static_cast<std::uint32_t>(current_index_));
  out.Word(position_);
  return 0;
}

std::uint32_t CVovVM::Load(ByteReader& in) {
  RestoredMachine restored;
  if (const std::uint32_t status = RestoreSaved(in, restored); status != 0) return status;
  TakeOver(std::move(restored));
  return 0;
}

std::uint32_t CVovVM::RestoreSaved(ByteReader& in, RestoredMachine& restored) const {
  const std::optional<SavedRecord> record = ReadRecord(in, kCallStackFrames);
  if (!record) return kSavedRecordDamaged;

  RestoredMachine fresh;
  for (const auto& [names, scripts] :
       {std::pair{&record->transient, &fresh.transient}, std::pair{&record->resident, &fresh.resident}}) {
    for (const std::string& name : *names) {
      LoadedScript loaded = ReadTob(name.c_str());
      if (loaded.status != 0) return kSavedScriptUnloadable;
      scripts->push_back(std::move(loaded.script));
    }
  }
  if (record->current_index == kVovTransientIndex) {
    fresh.current = fresh.transient.empty() ? nullptr : fresh.transient.back().get();
  } else if (record->current_index >= 0 && static_cast<std::size_t>(record->current_index) < fresh.resident.size()) {
    fresh.current = fresh.resident[static_cast<std::size_t>(record->current_index)].get();
  }
  if (fresh.current == nullptr) return kSavedIndexUnknown;
  if (!fresh.current->IsPosition(record->position)) return kSavedRecordDamaged;
  fresh.frames = record->frames;
  fresh.current_index = record->current_index;
  fresh.position = record->position;
  restored = std::move(fresh);
  return 0;
}

void CVovVM::TakeOver(RestoredMachine&& restored) {
  transient_ = std::move(restored.transient);
  resident_ = std::move(restored.resident);
  std::copy(restored.frames.begin(), restored.frames.end(), frames_.begin());
  frame_count_ = restored.frames.size();
  MakeCurrent(restored.current, restored.current_index);
  position_ = restored.position;
  operands_.Empty();
}

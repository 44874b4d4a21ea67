#include "novel/page/vov_slot_records.h"

#include <bit>

#include "base/text/sjis_fit.h"
#include "base/time/timer_manager.h"
#include "effects/framework/effect.h"
#include "gfx/images/image.h"
#include "platform/encoding/sjis_text.h"
#include "scene/sprites/sprite.h"

BgSlotRecord::BgSlotRecord() = default;
BgSlotRecord::~BgSlotRecord() = default;
SpriteRecord::SpriteRecord() = default;
SpriteRecord::SpriteRecord(SpriteRecord&&) noexcept = default;
SpriteRecord& SpriteRecord::operator=(SpriteRecord&&) noexcept = default;
SpriteRecord::~SpriteRecord() = default;

std::size_t SlotNameLeafStart(std::string_view name) {
  const std::size_t separator = plat::FindLastCharacterOf(name, "\\/:", plat::SjisReading::kCodePage);
  return separator == plat::kNoCharacter ? 0 : separator + 1;
}

void ReleaseSlotEffect(CEffect*& field) {
  CEffect* effect = field;
  if (effect == nullptr) return;
  effect->SetOwnerReference<CEffect>(nullptr);
  field = nullptr;
  if (g_PausableTimerManager != nullptr) g_PausableTimerManager->Remove(effect);
}

std::uint32_t PersistWord(const BgSlotRecord& record, std::size_t word) {
  std::uint32_t value = 0;
  if (word * 4 + 4 > record.persist_params.size()) return 0;
  for (std::size_t i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(record.persist_params[word * 4 + i]) << (8 * i);
  return value;
}

void SetPersistWord(BgSlotRecord& record, std::size_t word, std::uint32_t value) {
  if (word * 4 + 4 > record.persist_params.size()) return;
  for (std::size_t i = 0; i < 4; ++i) record.persist_params[word * 4 + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::string PersistName(const BgSlotRecord& record) {
  const auto* first = reinterpret_cast<const char*>(record.persist_params.data() + kPersistNameWord * 4);
  const std::size_t room = kBgPersistParamsSize - kPersistNameWord * 4;
  std::size_t length = 0;
  while (length < room && first[length] != 0) ++length;
  return std::string(first, length);
}

void SetPersistName(BgSlotRecord& record, std::string_view name) {
  const std::size_t room = kBgPersistParamsSize - kPersistNameWord * 4;
  const std::string fitted = FitSjis(name, room - 1);
  auto* first = record.persist_params.data() + kPersistNameWord * 4;
  std::fill(first, first + room, std::uint8_t{0});
  std::copy(fitted.begin(), fitted.end(), first);
}

PersistSwitches PersistSwitchWords(std::int32_t kind) {
  if (kind == kPersistNoise || (kind >= kPersistPaper && kind <= kPersistRain)) return {1, true};
  if (kind == kPersistQuake) return {4, true};
  return {};
}

namespace {

// A name field of `size` bytes: the text cut to size - 1 bytes (whole characters), zero-padded.
void WriteName(ByteWriter& out, const std::string& name, std::size_t size) {
  const std::string fitted = FitSjis(name, size - 1);
  out.Text(fitted);
  for (std::size_t i = fitted.size(); i < size; ++i) out.Byte(0);
}

std::string ReadName(ByteReader& in, std::size_t size) {
  return FitSjis(TextOfField(*in.Bytes(size)), size - 1);
}

// A byte stored in a word of its own.
void WriteByteWord(ByteWriter& out, std::uint8_t value) { out.Word(value); }
std::uint8_t ReadByteWord(ByteReader& in) { return static_cast<std::uint8_t>(*in.Word()); }

std::int32_t ReadI32(ByteReader& in) { return static_cast<std::int32_t>(*in.Word()); }

}  // namespace

void WriteBgRecordPrefix(const BgSlotRecord& record, ByteWriter& out) {
  WriteName(out, record.name, kSlotNameSize);
  WriteName(out, record.anime_name, kSlotNameSize);
  out.Word(record.tone);
  out.Word(record.color);
  out.Byte(record.frozen);
  out.Byte(record.filter);
  out.Word16(0);
  out.Byte(record.mirror_x);
  out.Byte(record.mirror_y);
  out.Byte(record.letterbox);
  out.Byte(record.softened);
  out.Word(static_cast<std::uint32_t>(record.offset_x));
  out.Word(static_cast<std::uint32_t>(record.offset_y));
  for (const std::int32_t edge : record.area) out.Word(static_cast<std::uint32_t>(edge));
  out.Word(std::bit_cast<std::uint32_t>(record.zoom));
  out.Word(static_cast<std::uint32_t>(record.angle));
  out.Word(record.anime_state);
  out.Word(record.anime_arg1);
  out.Word(record.anime_arg2);
  out.Word(static_cast<std::uint32_t>(record.persist_kind));
  out.Bytes(record.persist_params);
}

bool ReadBgRecordPrefix(ByteReader& in, BgSlotRecord& record) {
  if (!in.Has(kBgRecordPrefixSize)) return false;
  record.name = ReadName(in, kSlotNameSize);
  record.anime_name = ReadName(in, kSlotNameSize);
  record.tone = *in.Word();
  record.color = *in.Word();
  record.frozen = *in.Byte();
  record.filter = *in.Byte();
  in.Skip(2);
  record.mirror_x = *in.Byte();
  record.mirror_y = *in.Byte();
  record.letterbox = *in.Byte();
  record.softened = *in.Byte();
  record.offset_x = ReadI32(in);
  record.offset_y = ReadI32(in);
  for (std::int32_t& edge : record.area) edge = ReadI32(in);
  record.zoom = std::bit_cast<float>(*in.Word());
  record.angle = ReadI32(in);
  record.anime_state = *in.Word();
  record.anime_arg1 = *in.Word();
  record.anime_arg2 = *in.Word();
  record.persist_kind = ReadI32(in);
  const auto params = *in.Bytes(kBgPersistParamsSize);
  std::copy(params.begin(), params.end(), record.persist_params.begin());
  return true;
}

void WriteSpriteRecordPrefix(const SpriteRecord& record, ByteWriter& out) {
  WriteName(out, record.name, kSlotNameSize);
  for (const std::int32_t value : {record.character, record.x, record.y, record.ref_x, record.ref_y}) {
    out.Word(static_cast<std::uint32_t>(value));
  }
  out.Word(record.priority);
  WriteByteWord(out, record.filter);
  // The mirror toggles and the softening share one word.
  out.Byte(record.mirror_x);
  out.Byte(record.mirror_y);
  out.Byte(record.softened);
  out.Byte(0);
  WriteByteWord(out, record.alpha);
  out.Word(std::bit_cast<std::uint32_t>(record.zoom));
  for (const std::int32_t value :
       {record.angle, record.anchor_x, record.anchor_y, record.persist_kind, record.persist_param}) {
    out.Word(static_cast<std::uint32_t>(value));
  }
  WriteName(out, record.persist_name, kPersistNameSize);
}

bool ReadSpriteRecordPrefix(ByteReader& in, SpriteRecord& record) {
  if (!in.Has(kSpriteRecordPrefixSize)) return false;
  record.name = ReadName(in, kSlotNameSize);
  record.character = ReadI32(in);
  record.x = ReadI32(in);
  record.y = ReadI32(in);
  record.ref_x = ReadI32(in);
  record.ref_y = ReadI32(in);
  record.priority = *in.Word();
  record.filter = ReadByteWord(in);
  record.mirror_x = *in.Byte();
  record.mirror_y = *in.Byte();
  record.softened = *in.Byte();
  in.Skip(1);
  record.alpha = ReadByteWord(in);
  record.zoom = std::bit_cast<float>(*in.Word());
  record.angle = ReadI32(in);
  record.anchor_x = ReadI32(in);
  record.anchor_y = ReadI32(in);
  record.persist_kind = ReadI32(in);
  record.persist_param = ReadI32(in);
  record.persist_name = ReadName(in, kPersistNameSize);
  return true;
}

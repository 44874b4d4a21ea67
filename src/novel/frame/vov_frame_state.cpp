#include "novel/frame/vov_frame_state.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string_view>

#include "base/text/sjis_fit.h"
#include "novel/page/vov_page.h"

namespace {

// What a one-byte length holds: the longest text behind u8 (length + 1) with its zero, and the
// looping names' (the stored length counts the zero, and the byte holds it plus one).
constexpr std::size_t kMaxCountedText = 254;
constexpr std::size_t kMaxLoopingName = 253;

std::string StoredText(const std::string& text, std::size_t max) {
  return FitSjis(std::string_view(text).substr(0, text.find('\0')), max);
}

// u8 0 for an empty text, else u8 (length + 1), the text and its zero.
std::uint32_t OptionalTextSize(const std::string& text) {
  const std::size_t length = StoredText(text, kMaxCountedText).size();
  return length == 0 ? 1 : static_cast<std::uint32_t>(length + 2);
}

void WriteTextWithZero(ByteWriter& out, const std::string& text) {
  out.Text(text);
  out.Byte(0);
}

void WriteOptionalText(ByteWriter& out, const std::string& text) {
  const std::string stored = StoredText(text, kMaxCountedText);
  out.Byte(static_cast<std::uint8_t>(stored.empty() ? 0 : stored.size() + 1));
  if (!stored.empty()) WriteTextWithZero(out, stored);
}

// `size` bytes ending in a zero; the text is what stands before the first zero.
std::optional<std::string> ReadTextWithZero(ByteReader& in, std::size_t size) {
  if (size == 0) return std::nullopt;
  const auto bytes = in.Bytes(size);
  if (!bytes || bytes->back() != 0) return std::nullopt;
  return std::string(TextOfField(*bytes));
}

std::optional<std::string> ReadOptionalText(ByteReader& in) {
  const auto size = in.Byte();
  if (!size) return std::nullopt;
  if (*size == 0) return std::string();
  return ReadTextWithZero(in, *size);
}

std::size_t SavedChoiceCount(const VovDeferredBlock& block) {
  return std::min(block.choices.size(), kMaxSavedChoices);
}

std::uint32_t LoopingSize(const VovLoopingSound& loop) {
  if (!loop.looping) return 1;
  return static_cast<std::uint32_t>(StoredText(loop.name, kMaxLoopingName).size() + 3);
}

std::uint32_t DeferredSize(const VovDeferredBlock& block) {
  std::uint32_t size = 1;
  if (SavedChoiceCount(block) != 0) {
    size += 4;
    for (std::size_t i = 0; i < SavedChoiceCount(block); ++i) {
      size += static_cast<std::uint32_t>(StoredText(block.choices[i].text, kMaxCountedText).size() + 7);
    }
  }
  size += 4;
  if (!block.message.empty()) {
    size += static_cast<std::uint32_t>(block.message.size()) + OptionalTextSize(block.speaker) +
            OptionalTextSize(block.voice);
  }
  return size;
}

void WriteLooping(ByteWriter& out, const VovLoopingSound& loop) {
  if (!loop.looping) {
    out.Byte(0);
    return;
  }
  const std::string name = StoredText(loop.name, kMaxLoopingName);
  out.Byte(static_cast<std::uint8_t>(name.size() + 2));
  WriteTextWithZero(out, name);
  out.Byte(loop.mode);
}

void WriteDeferred(ByteWriter& out, const VovDeferredBlock& block) {
  out.Word(DeferredSize(block));
  const std::size_t count = SavedChoiceCount(block);
  out.Byte(static_cast<std::uint8_t>(count));
  if (count != 0) {
    out.Word(block.list_value);
    for (std::size_t i = 0; i < count; ++i) {
      const VovChoiceItem& item = block.choices[i];
      const std::string text = StoredText(item.text, kMaxCountedText);
      out.Word(item.value);
      out.Byte(item.flag);
      out.Byte(static_cast<std::uint8_t>(text.size() + 1));
      WriteTextWithZero(out, text);
    }
  }
  out.Word(static_cast<std::uint32_t>(block.message.size()));
  if (block.message.empty()) return;
  out.Text(block.message);
  WriteOptionalText(out, block.speaker);
  WriteOptionalText(out, block.voice);
}

std::optional<VovLoopingSound> ReadLooping(ByteReader& in) {
  const auto size = in.Byte();
  if (!size) return std::nullopt;
  VovLoopingSound loop;
  if (*size == 0) return loop;
  auto name = ReadTextWithZero(in, *size - 1u);
  const auto mode = in.Byte();
  if (!name || !mode) return std::nullopt;
  loop.looping = true;
  loop.name = std::move(*name);
  loop.mode = *mode;
  return loop;
}

bool ReadChoices(ByteReader& in, VovDeferredBlock& block) {
  const auto count = in.Byte();
  if (!count) return false;
  if (*count == 0) return true;
  const auto list_value = in.Word();
  if (!list_value) return false;
  block.list_value = *list_value;
  for (std::uint8_t i = 0; i < *count; ++i) {
    VovChoiceItem item;
    const auto value = in.Word();
    const auto flag = in.Byte();
    const auto size = in.Byte();
    if (!value || !flag || !size) return false;
    auto text = ReadTextWithZero(in, *size);
    if (!text) return false;
    item.value = *value;
    item.flag = *flag;
    item.text = std::move(*text);
    block.choices.push_back(std::move(item));
  }
  return true;
}

bool ReadMessage(ByteReader& in, VovDeferredBlock& block) {
  const auto size = in.Word();
  if (!size) return false;
  if (*size == 0) return true;
  const auto record = in.Bytes(*size);
  if (!record) return false;
  auto speaker = ReadOptionalText(in);
  if (!speaker) return false;
  auto voice = ReadOptionalText(in);
  if (!voice) return false;
  block.message.assign(reinterpret_cast<const char*>(record->data()), record->size());
  block.speaker = std::move(*speaker);
  block.voice = std::move(*voice);
  return true;
}

std::optional<VovDeferredBlock> ReadDeferred(ByteReader& in) {
  const auto size = in.Word();
  if (!size) return std::nullopt;
  const auto bytes = in.Bytes(*size);
  if (!bytes) return std::nullopt;
  ByteReader block_in(*bytes);
  VovDeferredBlock block;
  if (!ReadChoices(block_in, block) || !ReadMessage(block_in, block) || block_in.Left() != 0) return std::nullopt;
  return block;
}

// The sprite records in their saved order: groups 1, 0 and 2, each group's front records before
// its back ones.
template <typename Visit>
void ForEachSavedSprite(CVovPage& page, Visit visit) {
  std::size_t at = 0;
  for (const std::int32_t group : {1, 0, 2}) {
    for (const bool back : {false, true}) {
      for (std::uint32_t index = 0; index < CVovPage::GroupSlots(group); ++index) {
        visit(*page.Sprite(index, back, group), at++);
      }
    }
  }
}

// What `write` writes, which is exactly the field's size, kept in the field.
template <std::size_t N, typename Write>
void KeepWritten(std::array<std::uint8_t, N>& field, const Write& write) {
  ByteWriter out;
  out.Reserve(N);
  write(out);
  std::copy_n(out.Data().begin(), std::min(N, out.Size()), field.begin());
}

template <std::size_t N>
void WriteWords(ByteWriter& out, const std::array<std::int32_t, N>& words) {
  for (const std::int32_t word : words) out.Word(static_cast<std::uint32_t>(word));
}

template <std::size_t N>
void ReadWords(ByteReader& in, std::array<std::int32_t, N>& words) {
  for (std::int32_t& word : words) word = static_cast<std::int32_t>(*in.Word());
}

template <std::size_t N>
void ReadBytes(ByteReader& in, std::array<std::uint8_t, N>& field) {
  const auto bytes = *in.Bytes(N);
  std::copy(bytes.begin(), bytes.end(), field.begin());
}

}  // namespace

void WriteFrameHead(const VovFrameHead& head, ByteWriter& out) {
  WriteWords(out, head.words);
  for (const auto& record : head.bg) out.Bytes(record);
  for (const auto& record : head.sprites) out.Bytes(record);
  WriteWords(out, head.window);
}

bool ReadFrameHead(ByteReader& in, VovFrameHead& head) {
  if (!in.Has(kFrameHeadSize)) return false;
  ReadWords(in, head.words);
  for (auto& record : head.bg) ReadBytes(in, record);
  for (auto& record : head.sprites) ReadBytes(in, record);
  ReadWords(in, head.window);
  return true;
}

void CaptureSlotRecords(CVovPage& page, VovFrameHead& head) {
  for (std::uint32_t slot = 0; slot < kFrameBgRecords; ++slot) {
    KeepWritten(head.bg[slot], [&](ByteWriter& out) { WriteBgRecordPrefix(page.Bg(slot), out); });
  }
  ForEachSavedSprite(page, [&](const SpriteRecord& record, std::size_t at) {
    KeepWritten(head.sprites[at], [&](ByteWriter& out) { WriteSpriteRecordPrefix(record, out); });
  });
}

void ApplySlotRecords(const VovFrameHead& head, CVovPage& page) {
  for (std::uint32_t slot = 0; slot < kFrameBgRecords; ++slot) {
    ByteReader in(head.bg[slot]);
    ReadBgRecordPrefix(in, page.Bg(slot));
  }
  ForEachSavedSprite(page, [&](SpriteRecord& record, std::size_t at) {
    ByteReader in(head.sprites[at]);
    ReadSpriteRecordPrefix(in, record);
  });
}

std::uint32_t FrameTailSize(const VovFrameTail& tail) {
  std::uint32_t size = 0;
  for (const VovLoopingSound& loop : tail.loops) size += LoopingSize(loop);
  return size + OptionalTextSize(tail.name) + 4 + DeferredSize(tail.deferred);
}

void WriteFrameTail(const VovFrameTail& tail, ByteWriter& out) {
  for (const VovLoopingSound& loop : tail.loops) WriteLooping(out, loop);
  WriteOptionalText(out, tail.name);
  WriteDeferred(out, tail.deferred);
}

bool ReadFrameTail(ByteReader& in, VovFrameTail& tail) {
  ByteReader at = in;
  VovFrameTail read;
  for (VovLoopingSound& loop : read.loops) {
    auto loaded = ReadLooping(at);
    if (!loaded) return false;
    loop = std::move(*loaded);
  }
  auto name = ReadOptionalText(at);
  if (!name) return false;
  read.name = std::move(*name);
  auto deferred = ReadDeferred(at);
  if (!deferred) return false;
  read.deferred = std::move(*deferred);
  tail = std::move(read);
  in = at;
  return true;
}

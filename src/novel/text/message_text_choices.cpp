// The choices that follow a message: packed records from the scripts' choice record or from a
// history entry, and strings of the message's own (added one by one or expanded references).
#include <algorithm>
#include <cstring>

#include "base/text/sjis_fit.h"
#include "novel/text/message_text.h"
#include "script/script_memory.h"

namespace {

// A packed record: u8 length (the whole record), u8 reference flag, the zero-terminated text.
constexpr std::uint32_t kPackedHeader = 2;
constexpr std::uint32_t kShortestPacked = kPackedHeader + 1;
// A choice record: u8 choice kind, u16 first choice bit, u8 count, u8 reference flag, records.
constexpr std::uint32_t kChoiceRecordHeader = 5;

}  // namespace

std::uint8_t CMessageText::PackedByte(std::uint32_t offset) const {
  if (!packed_) return 0;
  if (packed_->owned) return offset < packed_->owned->size() ? (*packed_->owned)[offset] : 0;
  return memory_->Byte(packed_->address + offset);
}

std::optional<std::uint32_t> CMessageText::PackedRecord(std::int32_t i) const {
  if (!packed_) return std::nullopt;
  std::uint32_t offset = 0;
  for (std::int32_t k = 0;; ++k) {
    const std::uint32_t length = PackedByte(offset);
    if (length < kShortestPacked) return std::nullopt;
    if (k == i) return offset;
    offset += length;
  }
}

std::optional<std::string> CMessageText::GetChoice(std::int32_t i) const {
  if (i < 0 || i >= choice_count_) return std::nullopt;
  if (static_cast<std::size_t>(i) < choices_.size() && choices_[static_cast<std::size_t>(i)]) {
    return choices_[static_cast<std::size_t>(i)];
  }
  const std::optional<std::uint32_t> record = PackedRecord(i);
  if (!record) return std::nullopt;
  std::string text;
  const std::uint32_t end = *record + PackedByte(*record);
  for (std::uint32_t at = *record + kPackedHeader; at < end && PackedByte(at) != 0; ++at) {
    text += static_cast<char>(PackedByte(at));
  }
  return text;
}

std::int32_t CMessageText::CopyChoice(std::int32_t i, char* dst, std::uint32_t size) const {
  if (i < 0 || i >= choice_count_) return 1;
  const std::optional<std::string> choice = GetChoice(i);
  if (!choice) return 2;
  if (choice->size() + 1 > size) return 3;
  std::memcpy(dst, choice->c_str(), choice->size() + 1);
  return 0;
}

void CMessageText::ClearChoices() {
  for (auto& choice : choices_) choice.reset();
  choice_count_ = 0;
  choices_committed_ = 0;
  choice_kind = kNoChoiceRecord;
  packed_.reset();
}

void CMessageText::SetChoiceCapacity(std::int32_t n) {
  ClearChoices();
  choices_.assign(n > 0 ? static_cast<std::size_t>(n) : 0, std::nullopt);
}

bool CMessageText::RefusesNewChoices() const {
  const HistoryEntry* newest = history_on != 0 ? NewestEntry() : nullptr;
  return newest != nullptr && !newest->packed.empty();
}

std::int32_t CMessageText::SetChoices(std::uint32_t record) {
  if (choices_accepted == 0) return -1;
  if (RefusesNewChoices()) return -2;
  ClearChoices();
  choice_kind = memory_->Byte(record);
  first_choice_bit = static_cast<std::uint16_t>(memory_->Byte(record + 1) | memory_->Byte(record + 2) << 8);
  given_choice_count = memory_->Byte(record + 3);
  const bool references = memory_->Byte(record + 4) != 0;
  packed_ = PackedRef{record + kChoiceRecordHeader, std::nullopt};
  const std::int32_t count = std::min<std::int32_t>(given_choice_count, static_cast<std::int32_t>(choices_.size()));
  if (references) {
    for (std::int32_t i = 0; i < count; ++i) {
      const std::optional<std::uint32_t> offset = PackedRecord(i);
      if (!offset) break;
      const std::uint32_t at = packed_->address + *offset;
      if (memory_->Byte(at + 1) == 0) continue;
      std::uint32_t end = at + kPackedHeader;
      while (memory_->Byte(end) != 0) end += UnitLengthInLine(end);
      choices_[static_cast<std::size_t>(i)] = ExpandReferences(at + kPackedHeader, end);
    }
  }
  choice_count_ = count;
  return 0;
}

std::int32_t CMessageText::AddChoice(const char* text) {
  if (choices_accepted == 0) return -1;
  if (RefusesNewChoices()) return -2;
  if (choices_committed_ != 0) ClearChoices();
  if (text == nullptr) return 1;
  if (choice_count_ >= static_cast<std::int32_t>(choices_.size())) return 2;
  if (std::strlen(text) + 1 > kLongestChoice) return 3;
  choices_[static_cast<std::size_t>(choice_count_++)] = std::string(text);
  return 0;
}

void CMessageText::SetSelectedChoice(std::uint8_t i) {
  HistoryEntry* newest = history_on != 0 ? NewestEntry() : nullptr;
  if (newest != nullptr && !newest->packed.empty()) {
    newest->selected = i;
  } else {
    selected_choice_ = i;
  }
}

std::int32_t CMessageText::StoreChoicesInHistory() {
  if (choices_committed_ != 0 || choice_count_ == 0) return 0;
  HistoryEntry* newest = history_on != 0 ? NewestEntry() : nullptr;
  if (newest == nullptr) return -1;
  if (!newest->packed.empty()) return 0;
  std::vector<std::uint8_t> packed;
  for (std::int32_t i = 0; i < choice_count_; ++i) {
    const auto& copied = static_cast<std::size_t>(i) < choices_.size() ? choices_[static_cast<std::size_t>(i)]
                                                                         : std::optional<std::string>();
    if (copied) {
      // An expanded reference may be longer than a record's one-byte length can carry: it is cut
      // at a whole character.
      const std::string text = FitSjis(*copied, kLongestChoice - 1);
      packed.push_back(static_cast<std::uint8_t>(text.size() + kShortestPacked));
      packed.push_back(0);
      packed.insert(packed.end(), text.begin(), text.end());
      packed.push_back(0);
      continue;
    }
    const std::optional<std::uint32_t> record = PackedRecord(i);
    if (!record) return 3;
    const std::uint32_t length = PackedByte(*record);
    for (std::uint32_t at = *record; at < *record + length; ++at) packed.push_back(PackedByte(at));
  }
  if (packed.empty()) return 2;
  newest->packed = std::move(packed);
  newest->choice_count = static_cast<std::uint32_t>(choice_count_);
  newest->selected = selected_choice_;
  newest->choice_kind = choice_kind;
  newest->first_bit = first_choice_bit;
  return 0;
}

// The message's history ring: adding messages, browsing back to them, and its saved form.
#include <algorithm>

#include "novel/text/message_text.h"

bool CMessageText::SetHistorySize(std::int32_t n) {
  ring_.clear();
  if (n > 0) ring_.resize(static_cast<std::size_t>(n));
  write_index_ = 0;
  entry_count_ = 0;
  history_cursor_ = 0;
  return true;
}

void CMessageText::ClearHistory() {
  for (auto& entry : ring_) entry.reset();
  write_index_ = 0;
  entry_count_ = 0;
  history_cursor_ = 0;
}

void CMessageText::Reset() {
  name_.reset();
  text_.reset();
  cursor_ = 0;
  tag_string_.reset();
  ClearHistory();
  ClearChoices();
  current_entry_ = 0;
  NewText();
}

std::int32_t CMessageText::AddToHistory() {
  if (history_on == 0 || ring_.empty()) return -1;
  auto entry = NewEntry();
  current_entry_ = entry->id;
  if (name_) entry->name = RefString(*name_);
  entry->text = TextString();
  entry->read_kind = read_kind_;
  entry->line = line_;
  // The message goes on from the entry's copies: its record may change once it is stored.
  name_ = name_ ? std::optional(TextRef{0, entry->name}) : std::nullopt;
  text_ = TextRef{0, entry->text};
  ring_[static_cast<std::size_t>(write_index_)] = std::move(entry);
  const std::int32_t size = history_size();
  write_index_ = (write_index_ + 1) % size;
  entry_count_ = std::min(entry_count_ + 1, size);
  history_cursor_ = entry_count_ - 1;
  return 0;
}

CMessageText::HistoryEntry* CMessageText::EntryAt(std::int32_t i) const {
  const std::int32_t size = history_size();
  if (size == 0) return nullptr;
  return ring_[static_cast<std::size_t>(((write_index_ - entry_count_ + i) % size + size) % size)].get();
}

CMessageText::HistoryEntry* CMessageText::NewestEntry() const {
  return entry_count_ == 0 ? nullptr : EntryAt(entry_count_ - 1);
}

std::int32_t CMessageText::LoadHistoryEntry(std::int32_t i) {
  StoreChoicesInHistory();
  choices_committed_ = 1;
  for (auto& choice : choices_) choice.reset();
  if (ring_.empty() || i < 0 || i >= entry_count_) return 1;
  const HistoryEntry* entry = EntryAt(i);
  if (entry == nullptr) return 1;
  name_ = entry->name ? std::optional(TextRef{0, entry->name}) : std::nullopt;
  text_ = TextRef{0, entry->text};
  cursor_ = 0;
  packed_ = entry->packed.empty() ? std::nullopt : std::optional(PackedRef{0, entry->packed});
  choice_count_ = static_cast<std::int32_t>(std::min<std::uint32_t>(entry->choice_count, 255));
  given_choice_count = static_cast<std::uint8_t>(choice_count_);
  selected_choice_ = entry->selected;
  read_kind_ = entry->read_kind;
  line_ = entry->line;
  choice_kind = entry->choice_kind;
  first_choice_bit = entry->first_bit;
  read_flag_ = IsLineRead(read_kind_, line_) ? 1 : 0;
  history_cursor_ = i;
  current_entry_ = entry->id;
  NewText();
  ResetPen();
  return 0;
}

std::int32_t CMessageText::HistoryOldest() { return entry_count_ == 0 ? -1 : LoadHistoryEntry(0); }

std::int32_t CMessageText::HistoryNewest() { return entry_count_ == 0 ? -1 : LoadHistoryEntry(entry_count_ - 1); }

std::int32_t CMessageText::HistoryPrevious() {
  if (entry_count_ == 0 || history_cursor_ <= 0) return -1;
  return LoadHistoryEntry(history_cursor_ - 1);
}

std::int32_t CMessageText::HistoryNext() {
  if (entry_count_ == 0 || history_cursor_ >= entry_count_ - 1) return -1;
  return LoadHistoryEntry(history_cursor_ + 1);
}

std::int32_t CMessageText::HistoryAt(std::int32_t i) {
  if (entry_count_ == 0) return -1;
  return LoadHistoryEntry(std::clamp(i, 0, entry_count_ - 1));
}

std::int32_t CMessageText::HistoryMove(std::int32_t delta) {
  if (entry_count_ == 0) return -1;
  const std::int64_t target = std::int64_t{history_cursor_} + delta;
  return LoadHistoryEntry(static_cast<std::int32_t>(std::clamp<std::int64_t>(target, 0, entry_count_ - 1)));
}

std::uint32_t CMessageText::SaveSize() const {
  std::uint32_t size = 4;
  for (std::int32_t i = 0; i < entry_count_; ++i) {
    const HistoryEntry* entry = EntryAt(i);
    if (entry == nullptr) continue;
    size += 15 + (entry->name ? static_cast<std::uint32_t>(entry->name->size()) + 1 : 0) +
            static_cast<std::uint32_t>(entry->text.size()) + 1;
    if (!entry->packed.empty()) size += static_cast<std::uint32_t>(entry->packed.size()) + 8;
  }
  return size;
}

void CMessageText::Save(ByteWriter& out) const {
  std::vector<const HistoryEntry*> entries;
  for (std::int32_t i = 0; i < entry_count_; ++i) {
    if (const HistoryEntry* entry = EntryAt(i)) entries.push_back(entry);
  }
  out.Word(static_cast<std::uint32_t>(entries.size()));
  const auto write_text = [&out](const std::string& text) {
    out.Word(static_cast<std::uint32_t>(text.size()) + 1);
    out.Text(text);
    out.Byte(0);
  };
  for (const HistoryEntry* entry : entries) {
    if (entry->name) {
      write_text(*entry->name);
    } else {
      out.Word(0);
    }
    write_text(entry->text);
    out.Byte(entry->read_kind);
    out.Word16(entry->line);
    out.Word(static_cast<std::uint32_t>(entry->packed.size()));
    if (entry->packed.empty()) continue;
    out.Bytes(entry->packed);
    out.Word(entry->choice_count);
    out.Byte(entry->selected);
    out.Byte(entry->choice_kind);
    out.Word16(entry->first_bit);
  }
}

namespace {

// A saved text of `size` bytes with its terminator; nothing for a size of 0.
std::optional<std::optional<std::string>> ReadSavedText(ByteReader& in) {
  const std::optional<std::uint32_t> size = in.Word();
  if (!size) return std::nullopt;
  if (*size == 0) return std::optional<std::string>();
  const auto bytes = in.Bytes(*size);
  if (!bytes) return std::nullopt;
  return std::optional<std::string>(std::string(bytes->begin(), bytes->end() - 1));
}

}  // namespace

std::uint32_t CMessageText::Load(ByteReader& in, bool restore) {
  const std::optional<std::uint32_t> count = in.Word();
  if (!count) return 1;
  ClearHistory();
  const bool keep = restore && !ring_.empty();
  const std::uint32_t ring_size = static_cast<std::uint32_t>(ring_.size());
  const std::uint32_t passed_over = *count > ring_size ? *count - ring_size : 0;
  for (std::uint32_t k = 0; k < *count; ++k) {
    auto entry = NewEntry();
    const auto name = ReadSavedText(in);
    const auto text = ReadSavedText(in);
    const auto read_kind = in.Byte();
    const auto line = in.Word16();
    const auto packed_size = in.Word();
    if (!name || !text || !read_kind || !line || !packed_size) {
      ClearHistory();
      return 1;
    }
    entry->name = *name;
    entry->text = text->value_or("");
    entry->read_kind = *read_kind;
    entry->line = *line;
    if (*packed_size != 0) {
      const auto packed = in.Bytes(*packed_size);
      const auto choice_count = in.Word();
      const auto selected = in.Byte();
      const auto choice_kind_byte = in.Byte();
      const auto first_bit = in.Word16();
      if (!packed || !choice_count || !selected || !choice_kind_byte || !first_bit) {
        ClearHistory();
        return 1;
      }
      entry->packed.assign(packed->begin(), packed->end());
      entry->choice_count = *choice_count;
      entry->selected = *selected;
      entry->choice_kind = *choice_kind_byte;
      entry->first_bit = *first_bit;
    }
    if (keep && k >= passed_over) ring_[k - passed_over] = std::move(entry);
  }
  if (!keep) return 0;
  entry_count_ = static_cast<std::int32_t>(std::min(*count, ring_size));
  write_index_ = entry_count_ == history_size() ? 0 : entry_count_;
  history_cursor_ = std::max(entry_count_ - 1, 0);
  return 0;
}

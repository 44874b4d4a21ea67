#include "novel/text/text_log.h"

#include <algorithm>
#include <utility>

#include "base/text/sjis_fit.h"

namespace {

constexpr std::uint8_t kMessageKind = 0;
constexpr std::uint8_t kChoiceKind = 1;
constexpr std::uint8_t kItemSetKind = 2;

std::optional<std::string> NameOrNone(const char* name) {
  if (name == nullptr || *name == '\0') return std::nullopt;
  return FitSjis(name, CTextLog::kNameLimit);
}

// u8 length + 1 (0 none), the text and its zero.
std::uint32_t NameSize(const std::optional<std::string>& name) {
  return name ? static_cast<std::uint32_t>(name->size() + 2) : 1u;
}

void WriteName(ByteWriter& out, const std::optional<std::string>& name) {
  if (!name) {
    out.Byte(0);
    return;
  }
  out.Byte(static_cast<std::uint8_t>(name->size() + 1));
  out.Text(*name);
  out.Byte(0);
}

// Nothing when the data ends early; an inner nullopt for a name that is absent.
std::optional<std::optional<std::string>> ReadName(ByteReader& in) {
  const std::optional<std::uint8_t> length = in.Byte();
  if (!length) return std::nullopt;
  if (*length == 0) return std::optional<std::string>();
  const std::optional<std::span<const std::uint8_t>> bytes = in.Bytes(*length);
  if (!bytes) return std::nullopt;
  // A text without its zero byte may fill all 255 bytes: cut so that it saves again.
  const std::string_view text = TextOfField(*bytes);
  if (text.empty()) return std::optional<std::string>();
  return std::optional<std::string>(FitSjis(text, CTextLog::kNameLimit));
}

template <std::size_t N>
bool ReadWords(ByteReader& in, std::array<std::uint32_t, N>& words) {
  for (std::uint32_t& word : words) {
    const std::optional<std::uint32_t> value = in.Word();
    if (!value) return false;
    word = *value;
  }
  return true;
}

template <std::size_t N>
void WriteWords(ByteWriter& out, const std::array<std::uint32_t, N>& words) {
  for (const std::uint32_t word : words) out.Word(word);
}

std::uint32_t EntrySize(const CTextLog::Entry& entry) {
  if (const auto* message = std::get_if<CTextLog::Message>(&entry.payload)) {
    const auto record = static_cast<std::uint32_t>(message->record.size());
    return 10 + NameSize(message->speaker) + NameSize(message->voice) + record;
  }
  if (const auto* choice = std::get_if<CTextLog::Choice>(&entry.payload)) {
    std::uint32_t size = 9;
    for (const CTextLog::ChoiceItem& item : choice->items) size += static_cast<std::uint32_t>(item.text.size()) + 3;
    return size;
  }
  const auto& set = std::get<CTextLog::ItemSet>(entry.payload);
  std::uint32_t size = 46 + NameSize(set.text);
  for (const CTextLog::ItemSetItem& item : set.items) size += NameSize(item.text) + 36;
  return size;
}

void WriteEntry(ByteWriter& out, const CTextLog::Entry& entry) {
  out.Byte(entry.Kind());
  if (const auto* message = std::get_if<CTextLog::Message>(&entry.payload)) {
    WriteName(out, message->speaker);
    WriteName(out, message->voice);
    out.Word(static_cast<std::uint32_t>(message->record.size()));
    out.Bytes(message->record);
    out.Word(message->value);
    out.Byte(message->choice_mark);
    return;
  }
  if (const auto* choice = std::get_if<CTextLog::Choice>(&entry.payload)) {
    out.Word(static_cast<std::uint32_t>(choice->items.size()));
    out.Word(static_cast<std::uint32_t>(choice->selected));
    for (const CTextLog::ChoiceItem& item : choice->items) {
      out.Byte(static_cast<std::uint8_t>(item.text.size() + 2));
      out.Byte(item.lead);
      out.Text(item.text);
      out.Byte(0);
    }
    return;
  }
  const auto& set = std::get<CTextLog::ItemSet>(entry.payload);
  WriteName(out, set.text);
  WriteWords(out, set.values);
  out.Byte(static_cast<std::uint8_t>(set.items.size()));
  for (const CTextLog::ItemSetItem& item : set.items) {
    WriteName(out, item.text);
    WriteWords(out, item.values);
  }
}

}  // namespace

std::uint32_t CTextLog::SetCapacity(std::int32_t slots) {
  if (slots == Capacity()) return 0;
  open_index_ = -1;
  open_choice_ = nullptr;
  if (slots < 1) {
    Free();
    return 0;
  }
  std::vector<std::unique_ptr<Entry>> ring(static_cast<std::size_t>(slots));
  const std::int32_t kept = std::min(count_, slots);
  for (std::int32_t n = 0; n < kept; ++n) {
    const std::int32_t from = (head_ + count_ - kept + n) % Capacity();
    ring[static_cast<std::size_t>(n)] = std::move(slots_[static_cast<std::size_t>(from)]);
  }
  slots_ = std::move(ring);
  count_ = kept;
  head_ = 0;
  return 0;
}

CTextLog::Entry& CTextLog::NewEntry(Payload payload) {
  std::unique_ptr<Entry>* slot = nullptr;
  if (count_ < Capacity()) {
    slot = &slots_[static_cast<std::size_t>(count_++)];
  } else {
    slot = &slots_[static_cast<std::size_t>(head_)];
    head_ = (head_ + 1) % Capacity();
  }
  // The choice being filled may be the entry reused: it closes with it.
  if (*slot != nullptr && open_choice_ == std::get_if<Choice>(&(*slot)->payload)) {
    open_choice_ = nullptr;
    open_index_ = -1;
  }
  *slot = std::make_unique<Entry>(Entry{std::move(payload), next_serial_++});
  return **slot;
}

std::uint32_t CTextLog::AppendMessage(const std::uint8_t* record, std::uint32_t length, std::uint32_t value,
                                      const char* speaker, const char* voice, std::uint8_t choice_mark) {
  if (record == nullptr) return kNoRecord;
  if (Capacity() < 1) return kNoRing;
  Message message{NameOrNone(speaker), NameOrNone(voice), std::vector<std::uint8_t>(record, record + length), value,
                  choice_mark};
  NewEntry(std::move(message));
  return 0;
}

std::uint32_t CTextLog::BeginChoice(std::int32_t count) {
  if (count < 1) return kNoCount;
  if (Capacity() < 1) return kNoRing;
  if (open_choice_ != nullptr) return kChoiceOpen;
  Entry& entry = NewEntry(Choice{std::vector<ChoiceItem>(static_cast<std::size_t>(count)), -1});
  open_choice_ = &std::get<Choice>(entry.payload);
  open_index_ = 0;
  return 0;
}

bool CTextLog::SetChoiceItem(std::int32_t index, bool disabled, std::string_view text) {
  if (open_choice_ == nullptr || index < 0) return false;
  if (static_cast<std::size_t>(index) >= open_choice_->items.size()) return false;
  open_choice_->items[static_cast<std::size_t>(index)] = {static_cast<std::uint8_t>(disabled ? 1 : 0),
                                                           FitSjis(text, kItemLimit)};
  open_index_ = index + 1;
  return true;
}

bool CTextLog::CloseChoice(std::int32_t selected) {
  if (open_choice_ == nullptr) return false;
  open_choice_->selected = selected;
  open_choice_ = nullptr;
  open_index_ = -1;
  return true;
}

const CTextLog::Entry* CTextLog::GetEntry(std::int32_t i) const {
  if (i < 0 || i >= count_ || slots_.empty()) return nullptr;
  const std::int32_t slot = count_ < Capacity() ? i : (head_ + i) % Capacity();
  return slots_[static_cast<std::size_t>(slot)].get();
}

void CTextLog::Clear() {
  for (std::unique_ptr<Entry>& slot : slots_) slot.reset();
  count_ = 0;
  head_ = 0;
  open_index_ = -1;
  open_choice_ = nullptr;
}

void CTextLog::Free() {
  Clear();
  slots_.clear();
}

template <class Visit>
void CTextLog::ForRange(std::uint32_t from_serial, std::uint32_t to_serial, Visit visit) const {
  for (std::int32_t i = 0; i < count_; ++i) {
    const Entry& entry = *GetEntry(i);
    if (entry.serial >= from_serial && entry.serial <= to_serial) visit(entry);
    if (entry.serial == to_serial) break;
  }
}

std::uint32_t CTextLog::SaveSize(std::uint32_t from_serial, std::uint32_t to_serial) const {
  std::uint32_t size = 4;
  ForRange(from_serial, to_serial, [&](const Entry& entry) { size += EntrySize(entry); });
  return size;
}

std::uint32_t CTextLog::Save(ByteWriter& out, std::uint32_t from_serial, std::uint32_t to_serial) const {
  if (slots_.empty()) return kSaveNoRing;
  std::uint32_t count = 0;
  ForRange(from_serial, to_serial, [&](const Entry&) { ++count; });
  out.Word(count);
  ForRange(from_serial, to_serial, [&](const Entry& entry) { WriteEntry(out, entry); });
  return 0;
}

std::uint32_t CTextLog::Load(ByteReader& in, bool keep) {
  Clear();
  next_serial_ = 0;
  const std::uint32_t status = LoadEntries(in, keep);
  // A choice cut short by the end of the data stays with the items read, closed.
  if (open_choice_ != nullptr) CloseChoice(-1);
  return status;
}

std::uint32_t CTextLog::LoadEntries(ByteReader& in, bool keep) {
  const bool rebuild = keep && Capacity() >= 1;
  const std::optional<std::uint32_t> count = in.Word();
  if (!count) return kLoadTruncated;
  for (std::uint32_t n = 0; n < *count; ++n) {
    const std::optional<std::uint8_t> kind = in.Byte();
    if (!kind) return kLoadTruncated;
    if (*kind == kMessageKind) {
      const auto speaker = ReadName(in);
      const auto voice = speaker ? ReadName(in) : std::nullopt;
      const std::optional<std::uint32_t> length = voice ? in.Word() : std::nullopt;
      const auto record = length ? in.Bytes(*length) : std::nullopt;
      const std::optional<std::uint32_t> value = record ? in.Word() : std::nullopt;
      const std::optional<std::uint8_t> mark = value ? in.Byte() : std::nullopt;
      if (!mark) return kLoadTruncated;
      if (rebuild) {
        AppendMessage(record->data(), *length, *value, *speaker ? (*speaker)->c_str() : nullptr,
                      *voice ? (*voice)->c_str() : nullptr, *mark);
      }
    } else if (*kind == kChoiceKind) {
      const std::optional<std::uint32_t> items = in.Word();
      const std::optional<std::uint32_t> selected = items ? in.Word() : std::nullopt;
      if (!selected) return kLoadTruncated;
      const auto item_count = static_cast<std::int32_t>(*items);
      // Every item takes at least its length byte.
      if (item_count > 0 && static_cast<std::uint64_t>(item_count) > in.Left()) return kLoadTruncated;
      const bool filled = rebuild && BeginChoice(item_count) == 0;
      for (std::int32_t i = 0; i < item_count; ++i) {
        const std::optional<std::uint8_t> length = in.Byte();
        const auto bytes = length ? in.Bytes(*length) : std::nullopt;
        if (!bytes) return kLoadTruncated;
        if (filled && !bytes->empty()) {
          const std::string text = FitSjis(TextOfField(bytes->subspan(1)), kItemLimit);
          open_choice_->items[static_cast<std::size_t>(i)] = {bytes->front(), text};
        }
      }
      if (filled) CloseChoice(static_cast<std::int32_t>(*selected));
    } else if (*kind == kItemSetKind) {
      ItemSet set;
      const auto text = ReadName(in);
      const std::optional<std::uint8_t> items = text && ReadWords(in, set.values) ? in.Byte() : std::nullopt;
      if (!items) return kLoadTruncated;
      set.text = *text;
      for (std::uint32_t i = 0; i < *items; ++i) {
        ItemSetItem item;
        const auto item_text = ReadName(in);
        if (!item_text || !ReadWords(in, item.values)) return kLoadTruncated;
        item.text = *item_text;
        set.items.push_back(std::move(item));
      }
      if (rebuild) NewEntry(std::move(set));
    } else {
      return kLoadUnknownKind;
    }
  }
  return 0;
}

void CTextLog::Swap(CTextLog& other) noexcept {
  // The open choice points into an entry, which moves with the ring that owns it.
  slots_.swap(other.slots_);
  std::swap(count_, other.count_);
  std::swap(head_, other.head_);
  std::swap(next_serial_, other.next_serial_);
  std::swap(open_index_, other.open_index_);
  std::swap(open_choice_, other.open_choice_);
}

bool CTextLog::ReopenLastChoice() {
  if (open_choice_ != nullptr || count_ == 0 || slots_.empty()) return false;
  const std::int32_t newest = count_ < Capacity() ? count_ - 1 : (head_ + count_ - 1) % Capacity();
  auto* choice = std::get_if<Choice>(&slots_[static_cast<std::size_t>(newest)]->payload);
  if (choice == nullptr || choice->selected != -1) return false;
  open_choice_ = choice;
  open_index_ = static_cast<std::int32_t>(choice->items.size());
  return true;
}

// The message line: parsing the name and the text, and the three scanners over the markup.
#include "novel/text/message_text.h"

#include <algorithm>
#include <cstring>

#include "base/text/tokenizer.h"
#include "script/script_memory.h"

namespace {

// A `%` reference: `%`, a flag byte and a u32 address.
constexpr std::uint32_t kReferenceLength = 6;
// Number tags longer than this are not closed in time and count as bad markup.
constexpr std::uint32_t kLongestNumberTag = 64;

}  // namespace

CMessageText::CMessageText(ScriptMemory* memory) : memory_(memory) { choices_.resize(8); }

CMessageText::~CMessageText() = default;

bool CMessageText::IsLineRead(std::uint8_t, std::uint16_t) { return false; }

void CMessageText::MarkLineRead(std::uint8_t, std::uint16_t) {}

std::int32_t CMessageText::SetMessage(std::uint32_t record) {
  if (messages_accepted == 0) return -1;
  read_kind_ = memory_->Byte(record);
  line_ = static_cast<std::uint16_t>(memory_->Byte(record + 1) | memory_->Byte(record + 2) << 8);
  read_flag_ = IsLineRead(read_kind_, line_) ? 1 : 0;
  current_entry_ = 0;
  const std::int32_t result = ParseLine(record + 3);
  if (result == 0) {
    // The choices given after the previous message belong to that message's entry.
    StoreChoicesInHistory();
    AddToHistory();
  }
  cursor_ = 0;
  choices_committed_ = 1;
  NewText();
  ResetPen();
  return result;
}

std::uint32_t CMessageText::UnitLengthInLine(std::uint32_t address) const {
  const std::uint8_t c = memory_->Byte(address);
  if (c == '%') return kReferenceLength;
  if (c == '[' && memory_->Byte(address + 1) == 0) {
    return kRecordHeaderLength + (memory_->Byte(address + 6) | memory_->Byte(address + 7) << 8);
  }
  if ((IsMessageLeadByte(c) || c == '[') && memory_->Byte(address + 1) != 0) return 2;
  return 1;
}

std::int32_t CMessageText::ParseLine(std::uint32_t line) {
  name_.reset();
  text_.reset();
  std::uint32_t at = line;
  if (memory_->Byte(at) == '#') {
    const std::uint32_t start = at + 1;
    bool references = false;
    for (at = start; memory_->Byte(at) != 0 && memory_->Byte(at) != '$'; at += UnitLengthInLine(at)) {
      references = references || memory_->Byte(at) == '%';
    }
    name_ = TextRef{start, std::nullopt};
    if (references) name_->owned = ExpandReferences(start, at);
    if (memory_->Byte(at) == '$') {
      memory_->SetByte(at, 0);
      for (++at; memory_->Byte(at) == '$' || memory_->Byte(at) == '&'; ++at) {
      }
    }
  }
  const std::uint32_t start = at;
  bool references = false;
  for (; memory_->Byte(at) != 0; at += UnitLengthInLine(at)) references = references || memory_->Byte(at) == '%';
  text_ = TextRef{start, std::nullopt};
  if (references) text_->owned = ExpandReferences(start, at);
  return 0;
}

std::string CMessageText::ReferencedString(std::uint32_t address) const {
  const std::uint8_t flag = memory_->Byte(address + 1);
  const std::uint32_t target = memory_->Word(address + 2);
  return memory_->String(flag == 0 ? target : memory_->Word(target));
}

std::string CMessageText::ExpandReferences(std::uint32_t address, std::uint32_t end) const {
  std::string expanded;
  while (address < end) {
    const std::uint32_t length = UnitLengthInLine(address);
    if (memory_->Byte(address) == '%') {
      expanded += ReferencedString(address);
    } else {
      for (std::uint32_t i = 0; i < length; ++i) expanded += static_cast<char>(memory_->Byte(address + i));
    }
    address += length;
  }
  return expanded;
}

std::uint8_t CMessageText::RefByte(const TextRef& ref, std::uint32_t offset) const {
  if (ref.owned) return offset < ref.owned->size() ? static_cast<std::uint8_t>((*ref.owned)[offset]) : 0;
  return memory_->Byte(ref.address + offset);
}

std::uint8_t CMessageText::TextByte(std::uint32_t offset) const { return text_ ? RefByte(*text_, offset) : 0; }

std::string CMessageText::RefString(const TextRef& ref) const {
  if (ref.owned) return ref.owned->c_str();
  return memory_->String(ref.address);
}

std::uint32_t CMessageText::TextEnd() const {
  if (text_ && text_->owned) return static_cast<std::uint32_t>(text_->owned->size());
  std::uint32_t at = 0;
  while (TextByte(at) != 0) at += UnitLength(at);
  return at;
}

std::string CMessageText::TextString() const {
  if (!text_) return {};
  if (text_->owned) return *text_->owned;
  std::string text;
  const std::uint32_t end = TextEnd();
  for (std::uint32_t at = 0; at < end; ++at) text += static_cast<char>(TextByte(at));
  return text;
}

std::string CMessageText::TextFrom(std::uint32_t offset) const {
  const std::string text = TextString();
  return offset < text.size() ? text.substr(offset) : std::string();
}

std::optional<std::string> CMessageText::NamePart(std::int32_t n) const {
  if (!name_) return std::nullopt;
  const std::string name = RefString(*name_);
  if (n <= 0) return name;
  std::int32_t part = 1;
  std::string current;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    const std::uint8_t c = i < name.size() ? static_cast<std::uint8_t>(name[i]) : 0;
    if (c == '\\' || c == 0) {
      if (part == n) return current.empty() ? std::nullopt : std::optional(current);
      ++part;
      current.clear();
      continue;
    }
    current += static_cast<char>(c);
    if (IsMessageLeadByte(c) && i + 1 < name.size()) current += name[++i];
  }
  return std::nullopt;
}

std::uint32_t CMessageText::GetNamePart(char* dst, std::int32_t n) const {
  const std::optional<std::string> part = NamePart(n);
  if (!part) return 0;
  if (dst != nullptr) std::memcpy(dst, part->c_str(), part->size() + 1);
  return static_cast<std::uint32_t>(part->size() + 1);
}

void CMessageText::NewText() { ++text_serial_; }

void CMessageText::MarkRead() {
  if (read_flag_ == 0) MarkLineRead(read_kind_, line_);
}

std::int32_t CMessageText::ScanTag(bool swallow_new_line) {
  if (TextByte(cursor_ + 1) != '"') return ScanNumberTag(swallow_new_line);
  const std::uint32_t start = cursor_ + 2;
  std::uint32_t at = start;
  for (;;) {
    const std::uint8_t c = TextByte(at);
    if (c == 0) return kBadMarkup;
    if (c == '"') break;
    at += IsMessageLeadByte(c) && TextByte(at + 1) != 0 ? 2 : 1;
  }
  if (at == start || TextByte(at + 1) != '>') return kBadMarkup;
  std::string tag;
  for (std::uint32_t i = start; i < at; ++i) tag += static_cast<char>(TextByte(i));
  tag_string_ = std::move(tag);
  cursor_ = at + 2;
  if (swallow_new_line && TextByte(cursor_) == '\\') ++cursor_;
  return kString;
}

std::int32_t CMessageText::ScanNumberTag(bool swallow_new_line) {
  std::string tag;
  for (std::uint32_t i = cursor_ + 1; tag.size() < kLongestNumberTag; ++i) {
    const std::uint8_t c = TextByte(i);
    if (c == 0) break;
    tag += static_cast<char>(c);
    if (c == '>') break;
  }
  CTokenizer tokenizer(tag.c_str());
  std::int32_t value = 0;
  tokenizer.ReadInteger(value);
  if (tokenizer.SkipSeparators() != '>') return kBadMarkup;
  tag_number_ = value;
  cursor_ += 1 + static_cast<std::uint32_t>(tokenizer.Cursor() - tag.c_str()) + 1;
  if (swallow_new_line && TextByte(cursor_) == '\\') ++cursor_;
  return kSizeChange;
}

std::int32_t CMessageText::ScanRecord() {
  const std::uint32_t length = TextByte(cursor_ + 6) | TextByte(cursor_ + 7) << 8;
  record_offset_ = cursor_ + 2;
  cursor_ += kRecordHeaderLength + length;
  if (TextByte(cursor_) == '\\') ++cursor_;
  return kEmbeddedRecord;
}

std::int32_t CMessageText::StepUnit() {
  if (!text_) return kBadMarkup;
  const std::uint8_t c = TextByte(cursor_);
  const std::uint8_t next = TextByte(cursor_ + 1);
  switch (c) {
    case 0:
      MarkRead();
      return kEnd;
    case '$':
      ++cursor_;
      if (next == '&' || next == 0) {
        MarkRead();
        return next == '&' ? kWaitStopAlternate : kPageStop;
      }
      return kWaitStop;
    case '&':
      ++cursor_;
      MarkRead();
      return kNewPage;
    case '<':
      if (next != '<') return ScanTag(true);
      piece_.assign(1, '<');
      cursor_ += 2;
      return kCharacter;
    case '[':
      if (next == 0) return ScanRecord();
      piece_ = std::string(1, static_cast<char>(next));
      cursor_ += 2;
      return kCharacter;
    default:
      break;
  }
  const std::uint32_t length = IsMessageLeadByte(c) && next != 0 ? 2 : 1;
  piece_.assign(1, static_cast<char>(c));
  if (length == 2) piece_ += static_cast<char>(next);
  cursor_ += length;
  return kCharacter;
}

std::int32_t CMessageText::RunToStop() {
  if (!text_) return kBadMarkup;
  for (;;) {
    const std::int32_t kind = TextByte(cursor_) == '<' ? ScanTag(true) : StepUnit();
    if (kind != kCharacter) return kind;
  }
}

std::int32_t CMessageText::SkipTags(std::int32_t n) {
  if (!text_) return kBadMarkup;
  std::int32_t passed = 0;
  const auto pass = [&] { return n < 0 || passed++ < n; };
  for (;;) {
    const std::uint8_t c = TextByte(cursor_);
    if (c == 0) {
      MarkRead();
      return 2;
    }
    if (c == '&') {
      ++cursor_;
      MarkRead();
      return 1;
    }
    if (c == '<') {
      const std::int32_t kind = ScanTag(false);
      if (kind < 0) return kind;
      if (!pass()) return kind == kString ? 3 : 4;
      continue;
    }
    if (c == '[' && TextByte(cursor_ + 1) == 0) {
      ScanRecord();
      if (!pass()) return kEmbeddedRecord;
      continue;
    }
    cursor_ += UnitLength(cursor_);
  }
}

std::uint32_t CMessageText::TagLength(std::uint32_t offset) const {
  std::uint32_t at = offset + 1;
  for (std::uint8_t c = TextByte(at); c != 0; c = TextByte(at)) {
    if (c == '>') {
      ++at;
      if (TextByte(at) == '\\') ++at;
      break;
    }
    at += IsMessageLeadByte(c) && TextByte(at + 1) != 0 ? 2 : 1;
  }
  return at - offset;
}

std::uint32_t CMessageText::UnitLength(std::uint32_t offset) const {
  const std::uint8_t c = TextByte(offset);
  const std::uint8_t next = TextByte(offset + 1);
  if (c == '<') return next == '<' ? 2 : TagLength(offset);
  if (c == '[' && next == 0) {
    std::uint32_t length = kRecordHeaderLength + (TextByte(offset + 6) | TextByte(offset + 7) << 8);
    if (TextByte(offset + length) == '\\') ++length;
    return length;
  }
  if ((c == '[' || IsMessageLeadByte(c)) && next != 0) return 2;
  return 1;
}

void CMessageText::AdvanceChars(std::int32_t n) {
  if (!text_) return;
  if (n >= 0) {
    for (std::int32_t i = 0; i < n && TextByte(cursor_) != 0; ++i) cursor_ += UnitLength(cursor_);
    return;
  }
  // Units are found only forwards: the starts up to the cursor are collected from the start.
  std::vector<std::uint32_t> starts;
  for (std::uint32_t at = 0; at < cursor_; at += UnitLength(at)) starts.push_back(at);
  const std::int64_t index = static_cast<std::int64_t>(starts.size()) + n;
  cursor_ = index < 0 || starts.empty() ? 0 : starts[static_cast<std::size_t>(index)];
}

// One message of a text script: the speaker name, the text with its markup, the read flag, the
// choices that follow it and a ring of past messages. The message and choice records live in
// script memory, built by the scripts; the message keeps their addresses and reads them through
// the memory's checked accessors (a bad address raises a script fault). Texts that had `%`
// references expanded, and everything stored in the history, are the message's own copies.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/numbers/byte_cursor.h"
#include "platform/encoding/sjis.h"
#include "ui/fonts/message_text_source.h"

class ScriptMemory;

// Shift-JIS as the message markup reads it.
constexpr bool IsMessageLeadByte(std::uint8_t byte) { return plat::IsSjisStrictLeadByte(byte); }

class CMessageText : public IMessageText {
 public:
  // The choice kind of a message without a read-text record for its choices.
  static constexpr std::uint8_t kNoChoiceRecord = 2;
  // The longest choice text with its terminator: a packed record's one-byte length also counts
  // its two header bytes.
  static constexpr std::uint32_t kLongestChoice = 253;

  explicit CMessageText(ScriptMemory* memory);
  ~CMessageText() override;
  CMessageText(const CMessageText&) = delete;
  CMessageText& operator=(const CMessageText&) = delete;

  // The message record at `record`: u8 read kind, u16 line number, the line. -1 when messages are
  // not accepted; else the parse result (0, 1 or 2).
  std::int32_t SetMessage(std::uint32_t record);
  // 0; 1 no memory for the name, 2 for the text.
  std::int32_t ParseLine(std::uint32_t line);

  // Part 0 the whole name, n the n-th part between backslashes; nothing when there is no name or
  // the part (n >= 1) is missing or empty.
  std::optional<std::string> NamePart(std::int32_t n) const;
  // The name part's size with its terminator, written to `dst` when it is not null; 0 for none.
  std::uint32_t GetNamePart(char* dst, std::int32_t n) const;
  bool HasName() const { return name_.has_value(); }
  bool HasText() const { return text_.has_value(); }
  // The current text from its start (empty without text).
  std::string TextFrom(std::uint32_t offset) const;

  // Choices.
  std::optional<std::string> GetChoice(std::int32_t i) const;
  // 0 copied; 1 i >= count; 2 no strings; 3 too long for `size`.
  std::int32_t CopyChoice(std::int32_t i, char* dst, std::uint32_t size) const;
  void ClearChoices();
  // The most choices a message may be made ready for.
  static constexpr std::int32_t kMaxChoiceCapacity = 65536;
  void SetChoiceCapacity(std::int32_t n);
  // -1 not accepted; -2 the newest history entry already holds choices; 0 ok; 1 no memory.
  std::int32_t SetChoices(std::uint32_t record);
  // -1, -2 as SetChoices; 1 null text; 2 capacity full; 3 too long; 4 no memory; 0 appended.
  std::int32_t AddChoice(const char* text);
  void SetSelectedChoice(std::uint8_t i);
  // 0 stored or nothing to store; -1 history off or empty; 2 nothing to pack; 3 a choice without
  // text.
  std::int32_t StoreChoicesInHistory();

  // The scanners: the stop kind (-1 without text or on bad markup).
  std::int32_t StepUnit();
  std::int32_t RunToStop();
  std::int32_t SkipTags(std::int32_t n);

  // History.
  bool SetHistorySize(std::int32_t n);
  void ClearHistory();
  void Reset();
  std::int32_t AddToHistory();
  std::int32_t LoadHistoryEntry(std::int32_t i);
  std::int32_t HistoryOldest();
  std::int32_t HistoryNewest();
  std::int32_t HistoryPrevious();
  std::int32_t HistoryNext();
  std::int32_t HistoryAt(std::int32_t i);
  std::int32_t HistoryMove(std::int32_t delta);

  // The saved history.
  std::uint32_t SaveSize() const;
  void Save(ByteWriter& out) const;
  // 0; 1 the data ends early or is damaged (the history is then left empty).
  std::uint32_t Load(ByteReader& in, bool restore);

  // IMessageText, for the script text box: single steps, kind 0 for each character.
  std::int32_t AdvanceToStop() override { return StepUnit(); }
  void AdvanceChars(std::int32_t n) override;
  const char* CurrentPiece() const override { return piece_.c_str(); }
  const char* CurrentString() const override { return tag_string_ ? tag_string_->c_str() : ""; }
  std::int32_t SizeValue() const override { return tag_number_; }
  std::string GetNamePart(std::int32_t part) const override { return NamePart(part).value_or(""); }
  bool IsRead() const override { return read_flag_ != 0; }

  // Switches and values the built-in functions read and set.
  std::uint8_t history_on = 0;
  std::uint8_t messages_accepted = 1;
  std::uint8_t choices_accepted = 1;
  std::uint8_t choice_kind = kNoChoiceRecord;
  std::uint16_t first_choice_bit = 0;
  std::uint8_t given_choice_count = 0;

  std::uint8_t read_flag() const { return read_flag_; }
  std::int32_t choice_count() const { return choice_count_; }
  std::uint8_t selected_choice() const { return selected_choice_; }
  bool HasPackedChoices() const { return packed_.has_value(); }
  std::int32_t history_size() const { return static_cast<std::int32_t>(ring_.size()); }
  std::int32_t history_count() const { return entry_count_; }
  std::int32_t history_cursor() const { return history_cursor_; }
  const std::optional<std::string>& tag_string() const { return tag_string_; }
  std::int32_t tag_number() const { return tag_number_; }
  // Where the last embedded record reached starts in the text (at its u32).
  std::uint32_t record_offset() const { return record_offset_; }
  std::uint32_t cursor() const { return cursor_; }
  void set_cursor(std::uint32_t cursor) { cursor_ = cursor; }
  // Identifies the current text: it changes whenever a new text becomes current.
  std::uint64_t text_serial() const { return text_serial_; }
  // Identifies the history entry the current text is, the same each time the entry becomes
  // current again; 0 when the text is no entry.
  std::uint64_t current_entry() const { return current_entry_; }

 protected:
  virtual bool IsLineRead(std::uint8_t kind, std::uint16_t line);
  virtual void MarkLineRead(std::uint8_t kind, std::uint16_t line);
  virtual void ResetPen() {}

  // The byte at `offset` of the current text (0 past its end).
  std::uint8_t TextByte(std::uint32_t offset) const;
  // The length of the unit at `offset` as the printer's layout passes it over.
  std::uint32_t TagLength(std::uint32_t offset) const;
  // The length of the unit at `offset` as the single steps take it (a record with a `\` behind).
  std::uint32_t UnitLength(std::uint32_t offset) const;
  // An embedded record: `[`, a zero byte, a u32, a u16 length, then that many bytes.
  static constexpr std::uint32_t kRecordHeaderLength = 8;

 private:
  // A text in script memory (by address) or the message's own copy.
  struct TextRef {
    std::uint32_t address = 0;
    std::optional<std::string> owned;
  };
  // Packed choice records in script memory or in the message's own bytes.
  struct PackedRef {
    std::uint32_t address = 0;
    std::optional<std::vector<std::uint8_t>> owned;
  };
  struct HistoryEntry {
    std::optional<std::string> name;
    std::string text;
    std::vector<std::uint8_t> packed;
    std::uint32_t choice_count = 0;
    std::uint8_t selected = 0;
    std::uint8_t read_kind = 0;
    std::uint16_t line = 0;
    std::uint8_t choice_kind = kNoChoiceRecord;
    std::uint16_t first_bit = 0;
    std::uint64_t id = 0;
  };
  // An empty entry with an id no other entry has had.
  std::unique_ptr<HistoryEntry> NewEntry() {
    auto entry = std::make_unique<HistoryEntry>();
    entry->id = ++last_entry_id_;
    return entry;
  }

  std::uint8_t RefByte(const TextRef& ref, std::uint32_t offset) const;
  // A name: up to its zero. A text: every unit up to its end, embedded records whole.
  std::string RefString(const TextRef& ref) const;
  std::string TextString() const;
  std::uint8_t PackedByte(std::uint32_t offset) const;
  // The start of packed record i, or nothing when the records end before it.
  std::optional<std::uint32_t> PackedRecord(std::int32_t i) const;
  std::string ExpandReferences(std::uint32_t address, std::uint32_t end) const;
  std::string ReferencedString(std::uint32_t address) const;
  std::uint32_t UnitLengthInLine(std::uint32_t address) const;
  void MarkRead();
  // The tag or record at the cursor; the cursor goes behind it (and behind a `\` there when
  // `swallow_new_line`).
  std::int32_t ScanTag(bool swallow_new_line);
  std::int32_t ScanNumberTag(bool swallow_new_line);
  std::int32_t ScanRecord();
  std::uint32_t TextEnd() const;
  bool RefusesNewChoices() const;
  HistoryEntry* NewestEntry() const;
  // Entry i of the ring, 0 the oldest (null for an empty slot).
  HistoryEntry* EntryAt(std::int32_t i) const;
  void NewText();

  ScriptMemory* memory_;
  std::optional<TextRef> name_;
  std::optional<TextRef> text_;
  std::uint8_t read_flag_ = 0;
  std::uint8_t read_kind_ = 0;
  std::uint16_t line_ = 0;
  std::vector<std::optional<std::string>> choices_;
  std::int32_t choice_count_ = 0;
  std::optional<PackedRef> packed_;
  std::uint8_t choices_committed_ = 0;
  std::uint8_t selected_choice_ = 0;
  std::vector<std::unique_ptr<HistoryEntry>> ring_;
  std::int32_t write_index_ = 0;
  std::int32_t entry_count_ = 0;
  std::int32_t history_cursor_ = 0;
  std::uint32_t cursor_ = 0;
  std::optional<std::string> tag_string_;
  std::int32_t tag_number_ = 0;
  std::uint32_t record_offset_ = 0;
  std::string piece_;
  std::uint64_t text_serial_ = 0;
  std::uint64_t last_entry_id_ = 0;
  std::uint64_t current_entry_ = 0;
};

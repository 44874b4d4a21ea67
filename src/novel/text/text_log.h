// The backlog: a ring of the newest log entries in order of arrival, each stamped with a running
// serial number, so that a save may cover a range of them. Entries are
//   kind 0, a message: speaker and voice names (none when empty), the message record as the
//     message window holds it, a value and the choice mark;
//   kind 1, a choice list: its items and the selected one (-1 none). An item is one leading byte
//     and a text; the leading byte is 1 for a choice that was disabled for the list, else 0;
//   kind 2, an item set: a text, eleven values and up to 255 items of a text and nine values.
//
// How entries arise: the frame appends a message whenever it shows one; the choice wait opens a
// choice entry when it shows a list (BeginChoice), fills its items (SetChoiceItem) and closes it
// with the picked index (CloseChoice). Nothing makes item sets at run time: only Load rebuilds
// them, so that a saved log keeps what it holds.
//
// Saved form (little-endian): u32 entry count; per entry u8 kind and
//   0: u8 L1 (name length + 1, 0 none), the name and its zero; u8 L2 and the voice name alike;
//      u32 N, the N record bytes; u32 value; u8 choice mark
//   1: i32 item count; i32 selected; per item u8 L (text length + 2), the leading byte, the text
//      and its zero
//   2: u8 L and the text with its zero; eleven u32; u8 item count; per item u8 L, the text with
//      its zero and nine u32
// Every length is one byte, so texts are cut (at a character boundary) to fit before they are
// stored: names and item-set texts at 254 bytes, choice items at 253.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/numbers/byte_cursor.h"

class CTextLog {
 public:
  static constexpr std::size_t kNameLimit = 254;
  static constexpr std::size_t kItemLimit = 253;

  // AppendMessage and BeginChoice statuses.
  static constexpr std::uint32_t kNoRecord = 1;
  static constexpr std::uint32_t kNoCount = 1;
  static constexpr std::uint32_t kNoRing = 2;
  static constexpr std::uint32_t kChoiceOpen = 3;
  // Save and Load statuses.
  static constexpr std::uint32_t kSaveNoRing = 1;
  static constexpr std::uint32_t kLoadUnknownKind = 2;
  static constexpr std::uint32_t kLoadTruncated = 3;  // the data ends early or a length runs past it

  struct Message {
    std::optional<std::string> speaker;
    std::optional<std::string> voice;
    std::vector<std::uint8_t> record;
    std::uint32_t value = 0;
    std::uint8_t choice_mark = 0;
  };
  struct ChoiceItem {
    std::uint8_t lead = 0;
    std::string text;
  };
  struct Choice {
    std::vector<ChoiceItem> items;
    std::int32_t selected = -1;
  };
  struct ItemSetItem {
    std::optional<std::string> text;
    std::array<std::uint32_t, 9> values{};
  };
  struct ItemSet {
    std::optional<std::string> text;
    std::array<std::uint32_t, 11> values{};
    std::vector<ItemSetItem> items;
  };
  struct Entry {
    std::variant<Message, Choice, ItemSet> payload;
    std::uint32_t serial = 0;
    std::uint8_t Kind() const { return static_cast<std::uint8_t>(payload.index()); }
  };

  CTextLog() = default;
  CTextLog(const CTextLog&) = delete;
  CTextLog& operator=(const CTextLog&) = delete;

  // n slots: below 1 frees the ring; otherwise the newest entries that fit are kept, oldest
  // first from slot 0, and an open choice is closed. The same n does nothing. 0.
  std::uint32_t SetCapacity(std::int32_t slots);
  // 0; 1 for a null record; 2 without a ring. Empty names are stored as none.
  std::uint32_t AppendMessage(const std::uint8_t* record, std::uint32_t length, std::uint32_t value,
                              const char* speaker, const char* voice, std::uint8_t choice_mark);
  // A choice entry of `count` empty items, opened for filling. 0; 1 count below 1; 2 without a
  // ring; 3 a choice is open already.
  std::uint32_t BeginChoice(std::int32_t count);
  // Fills an item of the open choice: false without one or for an index outside it.
  bool SetChoiceItem(std::int32_t index, bool disabled, std::string_view text);
  // Records the picked item and closes the choice: false without an open one.
  bool CloseChoice(std::int32_t selected);
  bool ChoiceIsOpen() const { return open_choice_ != nullptr; }

  // The i-th oldest entry, null outside the entries held.
  const Entry* GetEntry(std::int32_t i) const;
  // Frees the entries and keeps the ring; the serials go on.
  void Clear();
  // Clear, and frees the ring too.
  void Free();

  std::uint32_t SaveSize(std::uint32_t from_serial, std::uint32_t to_serial) const;
  // The entries whose serials lie in [from, to], oldest first, up to the one whose serial is
  // `to`. 0, or 1 without a ring.
  std::uint32_t Save(ByteWriter& out, std::uint32_t from_serial, std::uint32_t to_serial) const;
  // Empties the log, serials from 0, and reads a saved log, rebuilding its entries when `keep`
  // is set and there is a ring (otherwise they are read past). 0; 2 an unknown kind; 3 the data
  // ends early. The entries read before a failure stay.
  std::uint32_t Load(ByteReader& in, bool keep);

  // Exchanges the whole logs (ring, entries, serials, an open choice).
  void Swap(CTextLog& other) noexcept;
  // Opens the newest entry again when it is a choice that was left without a pick (a save taken
  // while the choice was awaited): true then.
  bool ReopenLastChoice();

  std::int32_t Capacity() const { return static_cast<std::int32_t>(slots_.size()); }
  std::int32_t Count() const { return count_; }
  std::int32_t Head() const { return head_; }
  std::uint32_t NextSerial() const { return next_serial_; }

 private:
  using Payload = std::variant<Message, Choice, ItemSet>;
  // Stores a new entry, in the oldest one's slot when the ring is full.
  Entry& NewEntry(Payload payload);
  std::uint32_t LoadEntries(ByteReader& in, bool keep);
  // Calls `visit` with the entries that a save of [from, to] covers.
  template <class Visit>
  void ForRange(std::uint32_t from_serial, std::uint32_t to_serial, Visit visit) const;

  std::vector<std::unique_ptr<Entry>> slots_;
  std::int32_t count_ = 0;
  std::int32_t head_ = 0;
  std::uint32_t next_serial_ = 0;
  std::int32_t open_index_ = -1;  // the next item to fill
  Choice* open_choice_ = nullptr;
};

// The backlog: its ring, serials, choice entries and saved form.
#include "novel/text/text_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

void Append(CTextLog& log, const std::string& record, const char* speaker = "who", const char* voice = nullptr) {
  const std::vector<std::uint8_t> bytes = Bytes(record);
  ASSERT_EQ(log.AppendMessage(bytes.data(), static_cast<std::uint32_t>(bytes.size()), 0, speaker, voice, 0), 0u);
}

std::string RecordOf(const CTextLog& log, std::int32_t i) {
  const std::vector<std::uint8_t>& record = std::get<CTextLog::Message>(log.GetEntry(i)->payload).record;
  return {record.begin(), record.end()};
}

std::vector<std::uint8_t> Saved(const CTextLog& log, std::uint32_t from = 0, std::uint32_t to = 0xFFFFFFFF) {
  ByteWriter out;
  EXPECT_EQ(log.Save(out, from, to), 0u);
  EXPECT_EQ(out.Size(), log.SaveSize(from, to));
  return out.Take();
}

// A kind-2 entry as a save holds it: text "set", eleven values, one item "it" with nine values.
std::vector<std::uint8_t> ItemSetEntry() {
  ByteWriter out;
  out.Byte(2);
  out.Byte(4);
  out.Text("set");
  out.Byte(0);
  for (std::uint32_t n = 0; n < 11; ++n) out.Word(n);
  out.Byte(1);
  out.Byte(3);
  out.Text("it");
  out.Byte(0);
  for (std::uint32_t n = 0; n < 9; ++n) out.Word(100 + n);
  return out.Take();
}

TEST(TextLogTest, TheRingKeepsTheNewestEntries) {
  CTextLog log;
  ASSERT_EQ(log.SetCapacity(3), 0u);
  for (int n = 1; n <= 5; ++n) Append(log, "m" + std::to_string(n));
  EXPECT_EQ(log.Count(), 3);
  EXPECT_EQ(RecordOf(log, 0), "m3");
  EXPECT_EQ(RecordOf(log, 2), "m5");
  EXPECT_EQ(log.GetEntry(0)->serial, 2u);
  EXPECT_EQ(log.GetEntry(3), nullptr);
  EXPECT_EQ(log.GetEntry(-1), nullptr);

  ASSERT_EQ(log.SetCapacity(2), 0u);
  EXPECT_EQ(log.Head(), 0);
  EXPECT_EQ(log.Count(), 2);
  EXPECT_EQ(RecordOf(log, 0), "m4");
  EXPECT_EQ(RecordOf(log, 1), "m5");

  ASSERT_EQ(log.SetCapacity(0), 0u);
  EXPECT_EQ(log.Capacity(), 0);
  EXPECT_EQ(log.Count(), 0);
  const std::uint8_t byte = 'x';
  EXPECT_EQ(log.AppendMessage(&byte, 1, 0, nullptr, nullptr, 0), CTextLog::kNoRing);
  EXPECT_EQ(log.AppendMessage(nullptr, 0, 0, nullptr, nullptr, 0), CTextLog::kNoRecord);
  EXPECT_EQ(log.BeginChoice(2), CTextLog::kNoRing);
  ByteWriter out;
  EXPECT_EQ(log.Save(out, 0, 10), CTextLog::kSaveNoRing);
}

TEST(TextLogTest, ChoiceEntriesOpenFillAndClose) {
  CTextLog log;
  log.SetCapacity(4);
  EXPECT_EQ(log.BeginChoice(0), CTextLog::kNoCount);
  ASSERT_EQ(log.BeginChoice(2), 0u);
  EXPECT_EQ(log.BeginChoice(2), CTextLog::kChoiceOpen);
  EXPECT_TRUE(log.SetChoiceItem(0, false, "yes"));
  EXPECT_TRUE(log.SetChoiceItem(1, true, "no"));
  EXPECT_FALSE(log.SetChoiceItem(2, false, "past"));
  EXPECT_TRUE(log.CloseChoice(1));
  EXPECT_FALSE(log.CloseChoice(0));
  EXPECT_FALSE(log.SetChoiceItem(0, false, "closed"));
  const auto& choice = std::get<CTextLog::Choice>(log.GetEntry(0)->payload);
  EXPECT_EQ(choice.selected, 1);
  EXPECT_EQ(choice.items[1].lead, 1);
  EXPECT_EQ(choice.items[1].text, "no");

  // A ring that overwrites the open choice closes it.
  CTextLog small;
  small.SetCapacity(1);
  ASSERT_EQ(small.BeginChoice(1), 0u);
  Append(small, "over");
  EXPECT_FALSE(small.ChoiceIsOpen());
}

TEST(TextLogTest, ASaveReloadsEveryKind) {
  CTextLog log;
  log.SetCapacity(8);
  Append(log, "first", "", "vo");  // an empty speaker is stored as none
  log.BeginChoice(2);
  // Cut to fit its length byte, before the double-byte character that would pass 253 bytes.
  log.SetChoiceItem(0, true, std::string(252, 'c') + "\x82\xa0" + std::string(50, 'd'));
  log.SetChoiceItem(1, false, "b");
  log.CloseChoice(0);
  std::vector<std::uint8_t> saved = Saved(log);
  EXPECT_EQ(saved[5], 0);  // L1 of the empty speaker
  // An item set, as only a saved log brings one.
  const std::vector<std::uint8_t> set = ItemSetEntry();
  saved[0] = 3;
  saved.insert(saved.end(), set.begin(), set.end());

  CTextLog loaded;
  loaded.SetCapacity(8);
  ByteReader in(saved);
  ASSERT_EQ(loaded.Load(in, true), 0u);
  EXPECT_EQ(in.Left(), 0u);
  ASSERT_EQ(loaded.Count(), 3);
  const auto& message = std::get<CTextLog::Message>(loaded.GetEntry(0)->payload);
  EXPECT_FALSE(message.speaker);
  EXPECT_EQ(message.voice, "vo");
  const auto& choice = std::get<CTextLog::Choice>(loaded.GetEntry(1)->payload);
  EXPECT_EQ(choice.selected, 0);
  EXPECT_EQ(choice.items[0].lead, 1);
  EXPECT_EQ(choice.items[1].lead, 0);
  EXPECT_EQ(choice.items[0].text, std::string(252, 'c'));
  EXPECT_FALSE(loaded.ChoiceIsOpen());
  const auto& item_set = std::get<CTextLog::ItemSet>(loaded.GetEntry(2)->payload);
  EXPECT_EQ(item_set.text, "set");
  EXPECT_EQ(item_set.values[10], 10u);
  ASSERT_EQ(item_set.items.size(), 1u);
  EXPECT_EQ(item_set.items[0].values[8], 108u);
  EXPECT_EQ(loaded.NextSerial(), 3u);
  // The sizes of all three kinds add up.
  EXPECT_EQ(Saved(loaded), saved);
}

TEST(TextLogTest, RangesAndSkippedLoads) {
  CTextLog log;
  log.SetCapacity(4);
  for (int n = 0; n < 4; ++n) Append(log, "m" + std::to_string(n));
  const std::vector<std::uint8_t> none = Saved(log, 10, 20);
  EXPECT_EQ(none, (std::vector<std::uint8_t>{0, 0, 0, 0}));
  const std::vector<std::uint8_t> middle = Saved(log, 1, 2);
  EXPECT_EQ(middle[0], 2);

  struct Case {
    std::int32_t capacity;
    bool keep;
    std::int32_t count;
    std::uint32_t next_serial;
  };
  // Without keep, or without a ring, the whole block is read past; a ring of 1 keeps the newest.
  for (const Case& c : {Case{4, false, 0, 0}, Case{0, true, 0, 0}, Case{1, true, 1, 2}}) {
    CTextLog target;
    target.SetCapacity(c.capacity);
    if (c.capacity > 0) Append(target, "old");
    ByteReader in(middle);
    ASSERT_EQ(target.Load(in, c.keep), 0u);
    EXPECT_EQ(in.Left(), 0u);
    EXPECT_EQ(target.Count(), c.count);
    EXPECT_EQ(target.NextSerial(), c.next_serial);
    if (c.count == 1) {
      EXPECT_EQ(RecordOf(target, 0), "m2");
    }
  }
}

TEST(TextLogTest, DamagedSavesStopWithoutReadingPastTheData) {
  CTextLog log;
  log.SetCapacity(4);
  Append(log, "text", "name", "voice");
  log.BeginChoice(1);
  log.SetChoiceItem(0, false, "c");
  log.CloseChoice(0);
  const std::vector<std::uint8_t> saved = Saved(log);
  for (std::size_t cut = 0; cut < saved.size(); ++cut) {
    CTextLog target;
    target.SetCapacity(4);
    const std::vector<std::uint8_t> part(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(cut));
    ByteReader in(part);
    EXPECT_EQ(target.Load(in, true), CTextLog::kLoadTruncated) << cut;
    EXPECT_FALSE(target.ChoiceIsOpen()) << cut;  // a choice cut short is closed with what it read
  }
  std::vector<std::uint8_t> unknown = saved;
  unknown[4] = 7;
  CTextLog target;
  target.SetCapacity(4);
  ByteReader in(unknown);
  EXPECT_EQ(target.Load(in, true), CTextLog::kLoadUnknownKind);
  // A choice count far past the data is refused before anything is made for it.
  std::vector<std::uint8_t> huge = {1, 0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0};
  ByteReader huge_in(huge);
  EXPECT_EQ(target.Load(huge_in, true), CTextLog::kLoadTruncated);
}

}  // namespace

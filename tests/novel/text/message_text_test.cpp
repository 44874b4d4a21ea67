// The message text over records in script memory: the name, the scanners, the read marking, the
// choices and the history ring with its saved form.
#include "novel/text/message_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/script_memory.h"

namespace {

// Marks lines read in a set of its own and says whether a line was read.
class RecordingMessage : public CMessageText {
 public:
  explicit RecordingMessage(ScriptMemory& memory) : CMessageText(&memory) {}
  std::vector<std::uint16_t> marked;
  bool line_was_read = false;

 protected:
  bool IsLineRead(std::uint8_t, std::uint16_t) override { return line_was_read; }
  void MarkLineRead(std::uint8_t, std::uint16_t line) override { marked.push_back(line); }
};

class MessageTextTest : public ::testing::Test {
 protected:
  // Copies the bytes and a terminator into script memory.
  std::uint32_t Put(const std::string& bytes) {
    const std::uint32_t address = memory_.Allocate(static_cast<std::uint32_t>(bytes.size()) + 1, true);
    memory_.Write(address, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    return address;
  }
  std::uint32_t Record(const std::string& line, std::uint16_t number = 7) {
    return Put(std::string{'\0', static_cast<char>(number), static_cast<char>(number >> 8)} + line);
  }
  // A choice record of copied-in packed texts.
  std::uint32_t Choices(const std::vector<std::string>& texts, std::uint8_t kind = 0, std::uint16_t first = 3) {
    std::string record{static_cast<char>(kind), static_cast<char>(first), static_cast<char>(first >> 8),
                       static_cast<char>(texts.size()), '\0'};
    for (const std::string& text : texts) record += std::string{static_cast<char>(text.size() + 3), '\0'} + text + '\0';
    return Put(record);
  }
  std::vector<std::int32_t> Steps(CMessageText& message, int count) {
    std::vector<std::int32_t> kinds;
    for (int i = 0; i < count; ++i) kinds.push_back(message.StepUnit());
    return kinds;
  }

  ScriptMemory memory_;
  RecordingMessage message_{memory_};
};

TEST_F(MessageTextTest, NameRunsToTheDollarAndSplitsIntoParts) {
  const std::uint32_t record = Record("#A\\B$$&text");
  ASSERT_EQ(message_.SetMessage(record), 0);
  EXPECT_EQ(message_.NamePart(0), "A\\B");
  EXPECT_EQ(message_.NamePart(1), "A");
  EXPECT_EQ(message_.NamePart(2), "B");
  EXPECT_EQ(message_.NamePart(3), std::nullopt);
  EXPECT_EQ(message_.TextFrom(0), "text");
  EXPECT_EQ(memory_.Byte(record + 3 + 4), 0) << "the $ ending the name is overwritten";
  char part[8] = {};
  EXPECT_EQ(message_.GetNamePart(part, 2), 2U);
  EXPECT_STREQ(part, "B");

  ASSERT_EQ(message_.SetMessage(Record("plain")), 0);
  EXPECT_EQ(message_.GetNamePart(nullptr, 0), 0U);
  EXPECT_EQ(message_.GetNamePart(1), "");
}

TEST_F(MessageTextTest, ReferencesAreExpandedInNameAndText) {
  const std::uint32_t direct = Put("Ann");
  const std::uint32_t string = Put("cat");
  const std::uint32_t cell = memory_.Allocate(4, true);
  memory_.SetWord(cell, string);
  std::string line = "#%";
  line += '\0';
  for (int i = 0; i < 4; ++i) line += static_cast<char>(direct >> (8 * i));
  line += "$a %";
  line += '\1';
  for (int i = 0; i < 4; ++i) line += static_cast<char>(cell >> (8 * i));
  line += " b";
  ASSERT_EQ(message_.SetMessage(Record(line)), 0);
  EXPECT_EQ(message_.NamePart(0), "Ann");
  EXPECT_EQ(message_.TextFrom(0), "a cat b");
}

TEST_F(MessageTextTest, SteppingMarksTheLineReadAtItsStops) {
  ASSERT_EQ(message_.SetMessage(Record("x$&", 9)), 0);
  EXPECT_EQ(message_.StepUnit(), IMessageText::kCharacter);
  EXPECT_TRUE(message_.marked.empty());
  EXPECT_EQ(message_.StepUnit(), IMessageText::kWaitStopAlternate);
  EXPECT_EQ(message_.TextFrom(message_.cursor()), "&");
  EXPECT_EQ(message_.marked, std::vector<std::uint16_t>{9});
  EXPECT_EQ(message_.StepUnit(), IMessageText::kNewPage);
  EXPECT_EQ(message_.StepUnit(), IMessageText::kEnd);

  RecordingMessage read(memory_);
  read.line_was_read = true;
  ASSERT_EQ(read.SetMessage(Record("x$&")), 0);
  EXPECT_EQ(Steps(read, 4), (std::vector<std::int32_t>{0, 2, 4, 5}));
  EXPECT_TRUE(read.marked.empty());
  EXPECT_TRUE(read.IsRead());
}

TEST_F(MessageTextTest, StopKindsOfTheThreeScanners) {
  struct Case {
    const char* text;
    std::vector<std::int32_t> steps;
  };
  const Case cases[] = {
      {"a$b", {0, 1, 0, 5}},
      {"a$", {0, 3, 5}},
      {"<\"ab\">\\c", {6, 0, 5}},
      {"<0x1F>", {7, 5}},
      {"<12 , )>z", {7, 0, 5}},
      {"a<<b", {0, 0, 0, 5}},
      {"[$[&", {0, 0, 5}},
      {"<\"\">", {-1}},
      {"<\"ab", {-1}},
      {"<\"ab\"x", {-1}},
      {"<12", {-1}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(message_.SetMessage(Record(c.text)), 0);
    EXPECT_EQ(Steps(message_, static_cast<int>(c.steps.size())), c.steps) << c.text;
  }
  ASSERT_EQ(message_.SetMessage(Record("<\"ab\">\\c")), 0);
  EXPECT_EQ(message_.StepUnit(), 6);
  EXPECT_EQ(message_.tag_string(), "ab");
  EXPECT_EQ(message_.TextFrom(message_.cursor()), "c");
  ASSERT_EQ(message_.SetMessage(Record("<0x1F>")), 0);
  EXPECT_EQ(message_.StepUnit(), 7);
  EXPECT_EQ(message_.tag_number(), 31);

  // RunToStop passes characters over; SkipTags passes `$` and the first n tags over.
  ASSERT_EQ(message_.SetMessage(Record("ab<5>c$d&e")), 0);
  EXPECT_EQ(message_.RunToStop(), 7);
  EXPECT_EQ(message_.RunToStop(), 1);
  EXPECT_EQ(message_.RunToStop(), 4);
  EXPECT_EQ(message_.RunToStop(), 5);
  ASSERT_EQ(message_.SetMessage(Record("a<1>b<\"t\">c$d&e")), 0);
  EXPECT_EQ(message_.SkipTags(1), 3);
  EXPECT_EQ(message_.SkipTags(0), 1);
  EXPECT_EQ(message_.SkipTags(-1), 2);
}

TEST_F(MessageTextTest, EmbeddedRecordIsPassedOverWithTheNewLineBehindIt) {
  std::string line = "a[";
  line += std::string{'\0', 1, 2, 3, 4, 2, 0, 'x', 'y', '\\'} + "b";
  ASSERT_EQ(message_.SetMessage(Record(line)), 0);
  EXPECT_EQ(Steps(message_, 3), (std::vector<std::int32_t>{0, 8, 0}));
  EXPECT_EQ(message_.record_offset(), 3U);
  EXPECT_STREQ(message_.CurrentPiece(), "b");
}

TEST_F(MessageTextTest, AdvanceCharsStepsOverWholeCharacters) {
  ASSERT_EQ(message_.SetMessage(Record("\x82\xA0" "a")), 0);
  EXPECT_EQ(Steps(message_, 2), (std::vector<std::int32_t>{0, 0}));
  message_.AdvanceChars(-1);
  EXPECT_EQ(message_.cursor(), 2U);
  message_.AdvanceChars(-1);
  EXPECT_EQ(message_.cursor(), 0U);
  message_.AdvanceChars(-1);
  EXPECT_EQ(message_.cursor(), 0U);
  message_.AdvanceChars(5);
  EXPECT_EQ(message_.cursor(), 3U);
}

TEST_F(MessageTextTest, RingKeepsTheNewestMessagesAndBrowsesBack) {
  message_.history_on = 1;
  message_.SetHistorySize(3);
  for (const char* text : {"m0", "m1", "m2", "m3", "m4"}) ASSERT_EQ(message_.SetMessage(Record(text)), 0);
  EXPECT_EQ(message_.history_count(), 3);
  EXPECT_EQ(message_.history_cursor(), 2);
  std::vector<std::string> seen;
  while (message_.HistoryPrevious() == 0) seen.push_back(message_.TextFrom(0));
  EXPECT_EQ(seen, (std::vector<std::string>{"m3", "m2"}));
  EXPECT_EQ(message_.history_cursor(), 0);
  EXPECT_EQ(message_.HistoryPrevious(), -1);
  EXPECT_EQ(message_.HistoryMove(10), 0);
  EXPECT_EQ(message_.TextFrom(0), "m4");
  EXPECT_EQ(message_.HistoryNext(), -1);
  EXPECT_EQ(message_.HistoryAt(-4), 0);
  EXPECT_EQ(message_.TextFrom(0), "m2");

  message_.history_on = 0;
  ASSERT_EQ(message_.SetMessage(Record("off")), 0);
  EXPECT_EQ(message_.history_count(), 3);
  CMessageText empty(&memory_);
  EXPECT_EQ(empty.HistoryOldest(), -1);
}

TEST_F(MessageTextTest, ChoicesGoToTheirMessagesEntry) {
  message_.history_on = 1;
  message_.SetHistorySize(4);
  ASSERT_EQ(message_.SetMessage(Record("question")), 0);
  ASSERT_EQ(message_.SetChoices(Choices({"yes", "no"})), 0);
  EXPECT_EQ(message_.SetChoices(Choices({"left", "right", "up"})), 0) << "the entry holds no choices yet";
  EXPECT_EQ(message_.AddChoice("down"), 0);
  EXPECT_EQ(message_.GetChoice(3), "down");
  ASSERT_EQ(message_.SetMessage(Record("answer")), 0);
  EXPECT_EQ(message_.AddChoice("later"), 0) << "committed choices are cleared first";
  EXPECT_EQ(message_.choice_count(), 1);

  ASSERT_EQ(message_.HistoryOldest(), 0);
  EXPECT_EQ(message_.TextFrom(0), "question");
  ASSERT_EQ(message_.choice_count(), 4);
  EXPECT_EQ(message_.GetChoice(0), "left");
  EXPECT_EQ(message_.GetChoice(3), "down");
  EXPECT_EQ(message_.GetChoice(4), std::nullopt);
  char small[4];
  EXPECT_EQ(message_.CopyChoice(1, small, sizeof small), 3);
  EXPECT_EQ(message_.CopyChoice(2, small, sizeof small), 0);
  EXPECT_STREQ(small, "up");

  // The newest entry took the pending "later" when it was loaded: no new choices for it.
  ASSERT_EQ(message_.HistoryNewest(), 0);
  EXPECT_EQ(message_.GetChoice(0), "later");
  EXPECT_EQ(message_.SetChoices(Choices({"again"})), -2);
  EXPECT_EQ(message_.AddChoice("again"), -2);
}

// The cut keeps whole characters: あ (82 A0) across the 252nd byte goes.
TEST_F(MessageTextTest, AnExpandedChoiceTooLongForItsRecordIsCutWhenStored) {
  message_.history_on = 1;
  message_.SetHistorySize(2);
  std::string kana;
  for (int i = 0; i < 150; ++i) kana += "\x82\xA0";
  const struct {
    std::string text, stored;
  } cases[] = {{std::string(300, 'z'), std::string(252, 'z')}, {"z" + kana, "z" + kana.substr(0, 250)}};
  for (const auto& each : cases) {
    const std::uint32_t long_text = Put(each.text);
    std::string record{0, 0, 0, 1, 1, 9, 1, '%', 0};
    for (int i = 0; i < 4; ++i) record += static_cast<char>(long_text >> (8 * i));
    ASSERT_EQ(message_.SetMessage(Record("q")), 0);
    ASSERT_EQ(message_.SetChoices(Put(record)), 0);
    EXPECT_EQ(message_.GetChoice(0), each.text);
    ASSERT_EQ(message_.SetMessage(Record("next")), 0);
    ASSERT_EQ(message_.HistoryOldest(), 0);
    EXPECT_EQ(message_.GetChoice(0), each.stored);
  }
}

TEST_F(MessageTextTest, AddChoiceLimits) {
  message_.SetChoiceCapacity(1);
  EXPECT_EQ(message_.AddChoice(nullptr), 1);
  EXPECT_EQ(message_.AddChoice(std::string(253, 'x').c_str()), 3);
  EXPECT_EQ(message_.AddChoice(std::string(252, 'x').c_str()), 0);
  EXPECT_EQ(message_.AddChoice("b"), 2);
  message_.choices_accepted = 0;
  EXPECT_EQ(message_.AddChoice("c"), -1);
  EXPECT_EQ(message_.SetChoices(Choices({"d"})), -1);
  message_.messages_accepted = 0;
  EXPECT_EQ(message_.SetMessage(Record("e")), -1);
}

TEST_F(MessageTextTest, SavedHistoryComesBackWhole) {
  message_.history_on = 1;
  message_.SetHistorySize(4);
  ASSERT_EQ(message_.SetMessage(Record("#N$one", 3)), 0);
  ASSERT_EQ(message_.SetChoices(Choices({"a", "b"}, 1, 40)), 0);
  message_.SetSelectedChoice(1);
  ASSERT_EQ(message_.SetMessage(Record("two", 4)), 0);
  ByteWriter out;
  message_.Save(out);
  ASSERT_EQ(out.Size(), message_.SaveSize());

  RecordingMessage loaded(memory_);
  loaded.SetHistorySize(4);
  ByteReader in(out.Data());
  ASSERT_EQ(loaded.Load(in, true), 0U);
  EXPECT_EQ(in.Left(), 0U);
  EXPECT_EQ(loaded.history_count(), 2);
  ByteWriter again;
  loaded.Save(again);
  EXPECT_EQ(again.Data(), out.Data());
  ASSERT_EQ(loaded.HistoryOldest(), 0);
  EXPECT_EQ(loaded.NamePart(0), "N");
  EXPECT_EQ(loaded.GetChoice(1), "b");
  EXPECT_EQ(loaded.choice_kind, 1);
  EXPECT_EQ(loaded.first_choice_bit, 40);

  ByteReader past(out.Data());
  ASSERT_EQ(loaded.Load(past, false), 0U);
  EXPECT_EQ(past.Left(), 0U);
  EXPECT_EQ(loaded.history_count(), 0);
  for (std::size_t cut = 0; cut < out.Size(); ++cut) {
    ByteReader short_data(std::span(out.Data()).first(cut));
    EXPECT_EQ(loaded.Load(short_data, true), 1U) << cut;
    EXPECT_EQ(loaded.history_count(), 0);
  }
}

TEST_F(MessageTextTest, TenSavedEntriesInARingOfFourKeepTheNewest) {
  message_.history_on = 1;
  message_.SetHistorySize(10);
  for (int i = 0; i < 10; ++i) ASSERT_EQ(message_.SetMessage(Record("m" + std::to_string(i))), 0);
  ByteWriter out;
  message_.Save(out);
  CMessageText small(&memory_);
  small.SetHistorySize(4);
  ByteReader in(out.Data());
  ASSERT_EQ(small.Load(in, true), 0U);
  EXPECT_EQ(small.history_count(), 4);
  std::vector<std::string> texts;
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(small.HistoryAt(i), 0);
    texts.push_back(small.TextFrom(0));
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"m6", "m7", "m8", "m9"}));
  small.history_on = 1;
  small.SetMessage(Record("m10"));
  ASSERT_EQ(small.HistoryOldest(), 0);
  EXPECT_EQ(small.TextFrom(0), "m7") << "the ring goes on from a full load";
}

}  // namespace

namespace {

// What the script text box sees: one kind-0 stop per character it places.
TEST_F(MessageTextTest, TextBoxViewStepsCharacterByCharacter) {
  IMessageText& box_view = message_;
  ASSERT_EQ(message_.SetMessage(Record("ab&")), 0);
  std::vector<std::int32_t> kinds;
  std::string pieces;
  for (int i = 0; i < 3; ++i) {
    kinds.push_back(box_view.AdvanceToStop());
    if (kinds.back() == IMessageText::kCharacter) pieces += box_view.CurrentPiece();
  }
  EXPECT_EQ(kinds, (std::vector<std::int32_t>{0, 0, 4}));
  EXPECT_EQ(pieces, "ab");
  ASSERT_EQ(message_.SetMessage(Record("a<<b")), 0);
  pieces.clear();
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(box_view.AdvanceToStop(), IMessageText::kCharacter);
    pieces += box_view.CurrentPiece();
  }
  EXPECT_EQ(pieces, "a<b");
}

}  // namespace

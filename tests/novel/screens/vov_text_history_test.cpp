// The text history's page over a backlog: which entries the rows show from the newest page, where
// the paging keys and the wheel take it (and when they close it), and a row's name, voice and icon.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "novel/screens/text_history_page.h"

namespace {

// A log of `count` messages "m<i>"; every third one (i % 3 == 2) has no voice and no speaker.
void FillLog(CTextLog& log, std::int32_t count) {
  ASSERT_EQ(log.SetCapacity(64), 0u);
  for (std::int32_t i = 0; i < count; ++i) {
    const std::string text = "m" + std::to_string(i);
    const bool voiced = i % 3 != 2;
    const std::string voice = "v" + std::to_string(i);
    ASSERT_EQ(log.AppendMessage(reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<std::uint32_t>(text.size()),
                                0, voiced ? "Speaker" : nullptr, voiced ? voice.c_str() : nullptr, 0),
              0u);
  }
}

VoiceTable Characters() {
  VoiceTable table;
  for (const char* name : {"AOI", "REN"}) {
    VoiceCharacter character;
    character.name = name;
    table.characters.push_back(character);
  }
  return table;
}

// v0 belongs to character 0, v1 to 1, v3 to 45, v4 to 70; the others are unknown.
std::int32_t CharacterOf(const std::string& voice) {
  if (voice == "v0") return 0;
  if (voice == "v1") return 1;
  if (voice == "v3") return 45;
  if (voice == "v4") return 70;
  return -3;
}

std::vector<std::int32_t> Shown(const HistoryRows& rows) {
  std::vector<std::int32_t> shown;
  for (const HistoryRow& row : rows) shown.push_back(row.entry);
  return shown;
}

HistoryRows PageFrom(const CTextLog& log, std::int32_t first) {
  HistoryRows rows;
  FillHistoryRows(rows, log, first, Characters(), CharacterOf);
  return rows;
}

TEST(TextHistoryTest, TenEntriesOpenOnTheNewestPageAndPageBackToTheStart) {
  CTextLog log;
  FillLog(log, 10);
  const std::int32_t first = HistoryOpeningRow(log.Count());
  EXPECT_EQ(Shown(PageFrom(log, first)), (std::vector<std::int32_t>{6, 7, 8, 9}));

  const HistoryStep up = MoveHistory(10, first, HistoryMove::kPageUp);
  EXPECT_FALSE(up.close);
  EXPECT_EQ(Shown(PageFrom(log, up.first)), (std::vector<std::int32_t>{2, 3, 4, 5}));
  const HistoryStep home = MoveHistory(10, up.first, HistoryMove::kHome);
  EXPECT_EQ(Shown(PageFrom(log, home.first)), (std::vector<std::int32_t>{0, 1, 2, 3}));

  EXPECT_TRUE(MoveHistory(10, first, HistoryMove::kWheelDown).close);
  EXPECT_FALSE(MoveHistory(10, first - 1, HistoryMove::kWheelDown).close);
}

TEST(TextHistoryTest, MovesClampToTheScrollRangeAtBothEnds) {
  struct Case {
    std::int32_t count;
    std::int32_t first;
    HistoryMove move;
    HistoryStep expected;
  };
  const Case cases[] = {
      {10, 2, HistoryMove::kPageUp, {false, 0}},    // past the start
      {10, 0, HistoryMove::kWheelUp, {false, 0}},   // at the start
      {10, 4, HistoryMove::kPageDown, {false, 6}},  // past the last page
      {10, 0, HistoryMove::kEnd, {false, 6}},       // End asks for the count; the range ends at 6
      {10, 5, HistoryMove::kWheelDown, {false, 6}},
      {10, 6, HistoryMove::kPageDown, {false, 6}},  // on the last page only the wheel closes
      {5, 0, HistoryMove::kPageDown, {false, 1}},   // one entry past a page
      {5, 1, HistoryMove::kWheelDown, {true, 1}},
      {4, 0, HistoryMove::kPageUp, {false, 0}},     // four entries or fewer: the bar is inactive
      {4, 0, HistoryMove::kEnd, {false, 0}},
      {4, 0, HistoryMove::kWheelDown, {true, 0}},
      {0, 0, HistoryMove::kPageDown, {false, 0}},   // an empty log
      {0, 0, HistoryMove::kWheelUp, {false, 0}},
      {0, 0, HistoryMove::kWheelDown, {true, 0}},
  };
  for (const Case& c : cases) {
    const HistoryStep step = MoveHistory(c.count, c.first, c.move);
    EXPECT_EQ(step.close, c.expected.close) << c.count << " entries from " << c.first;
    EXPECT_EQ(step.first, c.expected.first) << c.count << " entries from " << c.first;
  }
}

TEST(TextHistoryTest, ThreeEntriesFillThreeRowsAndAnEmptyLogNone) {
  CTextLog log;
  FillLog(log, 3);
  EXPECT_EQ(HistoryOpeningRow(3), 0);
  EXPECT_EQ(Shown(PageFrom(log, 0)), (std::vector<std::int32_t>{0, 1, 2, -1}));

  CTextLog empty;
  FillLog(empty, 0);
  EXPECT_EQ(HistoryOpeningRow(0), 0);
  EXPECT_EQ(Shown(PageFrom(empty, 0)), (std::vector<std::int32_t>{-1, -1, -1, -1}));
}

TEST(TextHistoryTest, ARowShowsItsNameTextAndTheIconOfItsVoice) {
  CTextLog log;
  FillLog(log, 10);
  const HistoryRows rows = PageFrom(log, 0);
  EXPECT_EQ(rows[0].speaker, "Speaker");
  EXPECT_EQ(std::string(rows[0].record.begin(), rows[0].record.end()), "m0");
  EXPECT_EQ(rows[0].icon, "SYS/TH_AOI.ELG");
  EXPECT_EQ(rows[1].icon, "SYS/TH_REN.ELG");
  EXPECT_EQ(rows[3].icon, "SYS/TH_X.ELG");  // character 45
  EXPECT_EQ(PageFrom(log, 4)[0].icon, "SYS/TH_Y.ELG");  // character 70
  EXPECT_EQ(PageFrom(log, 7)[0].icon, "SYS/TH_X.ELG");  // a voice the table does not know

  // Entry 2 has no voice and no speaker: no icon, no click, the name box hidden.
  EXPECT_FALSE(rows[2].HasVoice());
  EXPECT_TRUE(rows[2].icon.empty());
  EXPECT_TRUE(rows[2].speaker.empty());
  EXPECT_TRUE(rows[0].HasVoice());
}

TEST(TextHistoryTest, AChoiceEntryEmptiesItsRowInsteadOfRepeatingAnOlderLine) {
  CTextLog log;
  FillLog(log, 5);
  ASSERT_EQ(log.BeginChoice(2), 0u);
  ASSERT_TRUE(log.CloseChoice(0));
  HistoryRows rows = PageFrom(log, 0);
  FillHistoryRows(rows, log, 2, Characters(), CharacterOf);
  EXPECT_EQ(Shown(rows), (std::vector<std::int32_t>{2, 3, 4, -1}));
  EXPECT_TRUE(rows[3].record.empty());
  EXPECT_FALSE(rows[3].HasVoice());
}

TEST(TextHistoryTest, IconsOfTheNamedRangeNeedTheTableToHoldTheCharacter) {
  const VoiceTable table = Characters();
  EXPECT_EQ(HistoryIconFile(table, 39), "SYS/TH_X.ELG");
  EXPECT_EQ(HistoryIconFile(table, 40), "SYS/TH_X.ELG");
  EXPECT_EQ(HistoryIconFile(table, 67), "SYS/TH_X.ELG");
  EXPECT_EQ(HistoryIconFile(table, 68), "SYS/TH_Y.ELG");
}

}  // namespace

// What the text history screen shows of the backlog: four rows from a first entry, each with the
// message's speaker, voice, record and character icon, and where the reader's paging keys and
// wheel take the first row (or whether they close the screen).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "novel/text/text_log.h"
#include "sound/voice_table.h"

inline constexpr std::int32_t kHistoryRows = 4;

struct HistoryRow {
  std::int32_t entry = -1;  // the log entry shown, -1 none
  std::string speaker;      // empty: the name box is hidden
  std::string voice;        // empty: no icon, and the row cannot be clicked
  std::vector<std::uint8_t> record;
  std::string icon;  // the icon picture's file, empty without a voice
  bool HasVoice() const { return !voice.empty(); }
};
using HistoryRows = std::array<HistoryRow, kHistoryRows>;

// The character number of a voice name, negative when the voice table does not know it.
using VoiceCharacterLookup = std::function<std::int32_t(const std::string& voice)>;

// "SYS/TH_<name>.ELG" for characters 0-39 (the table's name), "SYS/TH_X.ELG" for 40-67 and for a
// voice the table does not know (the icon's default picture), "SYS/TH_Y.ELG" from 68.
std::string HistoryIconFile(const VoiceTable& table, std::int32_t character);

// Fills the rows from entries first .. first + 3: a message entry fills its row; a row of
// another kind of entry, or past the log's count, is empty (entry -1).
void FillHistoryRows(HistoryRows& rows, const CTextLog& log, std::int32_t first, const VoiceTable& table,
                     const VoiceCharacterLookup& character_of);

enum class HistoryMove : std::uint8_t { kPageUp, kPageDown, kWheelUp, kWheelDown, kHome, kEnd };

// The first row shown on opening: the newest page.
std::int32_t HistoryOpeningRow(std::int32_t count);

struct HistoryStep {
  bool close = false;
  std::int32_t first = 0;
};
// Where a move takes the first row, clamped to 0 .. count - 4. With four entries or fewer only
// the wheel down does anything: it closes; with more it closes from the last page.
HistoryStep MoveHistory(std::int32_t count, std::int32_t first, HistoryMove move);

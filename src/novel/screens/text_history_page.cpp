#include "novel/screens/text_history_page.h"

#include <algorithm>
#include <variant>

namespace {

constexpr std::int32_t kNamedCharacters = 40;
constexpr std::int32_t kFirstY = 68;

std::int32_t LastFirstRow(std::int32_t count) { return std::max(0, count - kHistoryRows); }

std::string IconName(const VoiceTable& table, std::int32_t character) {
  if (character >= kFirstY) return "Y";
  if (character >= 0 && character < kNamedCharacters &&
      static_cast<std::size_t>(character) < table.characters.size()) {
    return table.characters[static_cast<std::size_t>(character)].name;
  }
  return "X";
}

}  // namespace

std::string HistoryIconFile(const VoiceTable& table, std::int32_t character) {
  return "SYS/TH_" + IconName(table, character) + ".ELG";
}

void FillHistoryRows(HistoryRows& rows, const CTextLog& log, std::int32_t first, const VoiceTable& table,
                     const VoiceCharacterLookup& character_of) {
  for (std::int32_t i = 0; i < kHistoryRows; ++i) {
    HistoryRow& row = rows[static_cast<std::size_t>(i)];
    row = HistoryRow{};
    const CTextLog::Entry* entry = first + i < log.Count() ? log.GetEntry(first + i) : nullptr;
    const auto* message = entry != nullptr ? std::get_if<CTextLog::Message>(&entry->payload) : nullptr;
    if (message == nullptr) continue;
    row.entry = first + i;
    row.speaker = message->speaker.value_or("");
    row.voice = message->voice.value_or("");
    row.record = message->record;
    row.icon = row.HasVoice() ? HistoryIconFile(table, character_of(row.voice)) : std::string();
  }
}

std::int32_t HistoryOpeningRow(std::int32_t count) { return LastFirstRow(count); }

HistoryStep MoveHistory(std::int32_t count, std::int32_t first, HistoryMove move) {
  const std::int32_t last = LastFirstRow(count);
  if (move == HistoryMove::kWheelDown && (count <= kHistoryRows || first >= last)) return {true, first};
  if (count <= kHistoryRows) return {false, first};
  std::int32_t target = first;
  switch (move) {
    case HistoryMove::kPageUp: target = first - kHistoryRows; break;
    case HistoryMove::kPageDown: target = first + kHistoryRows; break;
    case HistoryMove::kWheelUp: target = first - 1; break;
    case HistoryMove::kWheelDown: target = first + 1; break;
    case HistoryMove::kHome: target = 0; break;
    case HistoryMove::kEnd: target = count; break;
  }
  return {false, std::clamp(target, 0, last)};
}

#include "app/game/chosen_save_folders.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "base/files/file_services.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/file_system_ops.h"
#include "platform/files/special_folders.h"
#include "platform/system/diagnostic_log.h"

namespace {

// Pairs of engine paths, each ended by a zero byte: a game's settings file, then its folder.
using Choices = std::vector<std::pair<std::string, std::string>>;

std::optional<std::string> RecordFolder() {
  const std::optional<std::string> settings =
      plat::GetSpecialFolder(plat::SpecialFolder::kPlayerSettings, plat::FolderCreation::kNameOnly);
  if (!settings) return std::nullopt;
  return *settings + "kestrune\\";
}

constexpr const char* kRecordName = "save-folders";

Choices ReadChoices(const std::string& record) {
  Choices choices;
  const std::optional<std::vector<std::uint8_t>> file = LoadDataFile(record.c_str());
  if (!file) return choices;
  std::vector<std::string> texts;
  std::string text;
  for (const std::uint8_t byte : *file) {
    if (byte != 0) {
      text += static_cast<char>(byte);
      continue;
    }
    texts.push_back(std::move(text));
    text.clear();
  }
  for (std::size_t i = 0; i + 1 < texts.size(); i += 2) choices.emplace_back(texts[i], texts[i + 1]);
  return choices;
}

bool WriteChoices(const std::string& record, const Choices& choices) {
  std::vector<std::uint8_t> bytes;
  for (const auto& [config, chosen] : choices) {
    for (const std::string* text : {&config, &chosen}) {
      bytes.insert(bytes.end(), text->begin(), text->end());
      bytes.push_back(0);
    }
  }
  if (SaveFileReplacing(record.c_str(), bytes) == 0) return true;
  plat::LogDiagnostic("the player's choice of save folder cannot be kept in " + LoggedPath(record));
  return false;
}

}  // namespace

bool IsChosenSaveFolder(const std::string& user_config_path, const std::string& folder) {
  const std::optional<std::string> record_folder = RecordFolder();
  if (!record_folder) return false;
  for (const auto& [config, chosen] : ReadChoices(*record_folder + kRecordName)) {
    if (config == user_config_path) return chosen == folder;
  }
  return false;
}

bool RememberChosenSaveFolder(const std::string& user_config_path, const std::string& folder) {
  const std::optional<std::string> record_folder = RecordFolder();
  if (!record_folder || !plat::CreateFolders(*record_folder)) return false;
  const std::string record = *record_folder + kRecordName;
  Choices choices = ReadChoices(record);
  std::erase_if(choices, [&](const auto& choice) { return choice.first == user_config_path; });
  choices.emplace_back(user_config_path, folder);
  return WriteChoices(record, choices);
}

void MoveChosenSaveFolder(const std::string& from, const std::string& to) {
  const std::optional<std::string> record_folder = RecordFolder();
  if (!record_folder) return;
  const std::string record = *record_folder + kRecordName;
  Choices choices = ReadChoices(record);
  const auto choice_for = [&](const std::string& user_config_path) {
    return std::find_if(choices.begin(), choices.end(),
                        [&](const auto& choice) { return choice.first == user_config_path; });
  };
  const auto earlier = choice_for(from);
  if (earlier == choices.end() || choice_for(to) != choices.end()) return;
  earlier->first = to;
  WriteChoices(record, choices);
}

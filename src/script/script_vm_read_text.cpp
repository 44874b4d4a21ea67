// The read-text records of CScriptVm and their text-log file.
#include <cstring>

#include "base/files/file_services.h"
#include "base/files/path.h"
#include "script/script_vm.h"
#include "script/sob_object.h"

namespace {

constexpr std::string_view kTextLogMagic = "TLOG";

}  // namespace

ReadTextRecord* CScriptVm::CurrentReadTextRecord() {
  if (!has_read_text_table_ || current_record_ < 0) return nullptr;
  const auto index = static_cast<std::size_t>(current_record_);
  return index < read_text_.size() ? &read_text_[index] : nullptr;
}

ReadTextRecord* CScriptVm::RecordFor(bool common) {
  if (!common) return CurrentReadTextRecord();
  return has_read_text_table_ && !read_text_.empty() ? &read_text_.back() : nullptr;
}

bool CScriptVm::IsLineRead(std::uint32_t line, bool common) {
  const ReadTextRecord* record = RecordFor(common);
  return record != nullptr && record->read_lines.TestBit(line);
}

void CScriptVm::SetLineRead(std::uint32_t line, bool common) {
  if (ReadTextRecord* record = RecordFor(common)) record->read_lines.SetBit(line, true);
}

bool CScriptVm::IsChoiceMade(std::uint32_t choice, bool common) {
  const ReadTextRecord* record = RecordFor(common);
  return record != nullptr && record->choices.TestBit(choice);
}

void CScriptVm::SetChoiceMade(std::uint32_t choice, bool common) {
  if (ReadTextRecord* record = RecordFor(common)) record->choices.SetBit(choice, true);
}

std::optional<std::string> CScriptVm::SaveFilePath(const char* name) const {
  if (name == nullptr || !StaysInsideFolder(name)) return std::nullopt;
  std::string path = save_folder_ + name;
  if (path.size() >= kMaxPath) return std::nullopt;
  return path;
}

std::optional<std::string> CScriptVm::ScriptFilePath(const char* name, ScriptFileUse use) const {
  std::optional<std::string> path = SaveFilePath(name);
  if (!path || !MayScriptUseFileAt(path->c_str(), use)) return std::nullopt;
  return path;
}

bool CScriptVm::SetTextLogName(const char* name) {
  if (name == nullptr) return false;
  text_log_name_ = name;
  return true;
}

std::optional<std::string> CScriptVm::ChooseTextLogPath(const char* name, ScriptFileUse use) const {
  if (name == nullptr && !text_log_name_) return std::nullopt;
  return ScriptFilePath(name != nullptr ? name : text_log_name_->c_str(), use);
}

std::uint32_t CScriptVm::SaveTextLog(const char* name) {
  const std::optional<std::string> path = ChooseTextLogPath(name, ScriptFileUse::kWrite);
  if (!path) return 1;
  if (!has_read_text_table_) return 2;
  return SaveFileReplacing(path->c_str(), BuildTextLogFile(kTextLogMagic, read_text_)) == 0 ? 0 : 1;
}

std::uint32_t CScriptVm::LoadTextLog(const char* name) {
  constexpr std::uint32_t kDamaged = 2;
  if (!has_read_text_table_) return 0;
  const std::optional<std::string> path = ChooseTextLogPath(name, ScriptFileUse::kRead);
  if (!path) return 1;
  const std::optional<std::vector<std::uint8_t>> file = LoadDataFile(path->c_str());
  if (!file) return 1;
  return ReadTextLogFile(*file, kTextLogMagic, read_text_) ? 0 : kDamaged;
}

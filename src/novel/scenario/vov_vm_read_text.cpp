// The read-text table of the scenario machine (VOV_INIT.DAT) and its log (TEXT_LOG.DAT).
#include "base/files/file_services.h"
#include "base/files/path.h"
#include "novel/scenario/vov_vm.h"

namespace {

std::uint32_t LineCountOf(const ReadTextRecord& record) { return record.read_lines.BitCount(); }
std::uint32_t ReadLineCountOf(const ReadTextRecord& record) { return record.read_lines.CountBits(); }
bool AllReadOf(const ReadTextRecord& record) { return record.read_lines.AllSet(); }

}  // namespace

std::uint32_t CVovVM::LoadInitData(const char* file_name) {
  if (file_name == nullptr || !StaysInsideFolder(file_name)) return kInitUnreadable;
  const std::string path = script_folder_ + file_name;
  const std::optional<std::vector<std::uint8_t>> file =
      path.size() < kMaxPath ? LoadDataFile(path.c_str()) : std::nullopt;
  if (!file) return kInitUnreadable;
  std::vector<ReadTextRecord> table;
  const ReadTextTableStatus status = ParseReadTextTable(*file, table, kVovInitLayout);
  if (status == ReadTextTableStatus::kNoMemory) return kInitNoMemory;
  if (status == ReadTextTableStatus::kDamaged) return kInitDamaged;
  read_text_ = std::move(table);
  has_read_text_table_ = true;
  current_record_ = current_ != nullptr ? current_->ReadTextIndex() : -1;
  return 0;
}

ReadTextRecord* CVovVM::CurrentReadTextRecord() {
  if (!has_read_text_table_ || current_record_ < 0) return nullptr;
  const auto index = static_cast<std::size_t>(current_record_);
  return index < read_text_.size() ? &read_text_[index] : nullptr;
}

std::uint32_t CVovVM::SetLogFileName(const char* name) {
  if (name == nullptr) return 1;
  log_file_name_ = name;
  return 0;
}

std::optional<std::string> CVovVM::LogPath(const char* name, ScriptFileUse use) const {
  const char* chosen = name != nullptr ? name : (log_file_name_ ? log_file_name_->c_str() : nullptr);
  if (chosen == nullptr || !StaysInsideFolder(chosen)) return std::nullopt;
  std::string path = save_folder_ + chosen;
  if (path.size() >= kMaxPath || !MayScriptUseFileAt(path.c_str(), use)) return std::nullopt;
  return path;
}

std::uint32_t CVovVM::SaveTextLog(const char* name) {
  const std::optional<std::string> path = LogPath(name, ScriptFileUse::kWrite);
  if (!path) return 1;
  if (!has_read_text_table_) return 2;
  return SaveFileReplacing(path->c_str(), BuildTextLogFile(kVovTextLogMagic, read_text_)) == 0 ? 0 : 1;
}

std::uint32_t CVovVM::LoadTextLog(const char* name) {
  if (!has_read_text_table_) return 0;
  const std::optional<std::string> path = LogPath(name, ScriptFileUse::kRead);
  if (!path) return 1;
  const std::optional<std::vector<std::uint8_t>> file = LoadDataFile(path->c_str());
  if (!file) return 1;
  return ReadTextLogFile(*file, kVovTextLogMagic, read_text_) ? 0 : 2;
}

bool CVovVM::IsLineRead(std::uint32_t line) {
  const ReadTextRecord* record = CurrentReadTextRecord();
  return record != nullptr && record->read_lines.TestBit(line);
}

std::int32_t CVovVM::MarkLineRead(std::uint32_t line) {
  ReadTextRecord* record = CurrentReadTextRecord();
  if (record == nullptr) return -1;
  return static_cast<std::int32_t>(record->read_lines.SetBit(line, true));
}

const ReadTextRecord* CVovVM::RecordNamed(const char* name) const {
  for (const ReadTextRecord& record : read_text_) {
    if (VovNamesMatch(record.name, name)) return &record;
  }
  return nullptr;
}

std::uint32_t CVovVM::SumRecords(const char* name, std::uint32_t (*of)(const ReadTextRecord&)) const {
  if (name != nullptr) {
    const ReadTextRecord* record = RecordNamed(name);
    return record != nullptr ? of(*record) : 0;
  }
  std::uint32_t total = 0;
  for (const ReadTextRecord& record : read_text_) total += of(record);
  return total;
}

std::uint32_t CVovVM::GetLineCount(const char* name) const { return SumRecords(name, LineCountOf); }

std::uint32_t CVovVM::GetReadLineCount(const char* name) const { return SumRecords(name, ReadLineCountOf); }

bool CVovVM::IsAllRead(const char* name) const {
  if (!has_read_text_table_) return false;
  if (name != nullptr) {
    const ReadTextRecord* record = RecordNamed(name);
    return record != nullptr && AllReadOf(*record);
  }
  for (const ReadTextRecord& record : read_text_) {
    if (!AllReadOf(record)) return false;
  }
  return true;
}

#include "base/files/file_services.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/files/data_file_layer.h"
#include "base/files/file.h"
#include "base/files/path.h"
#include "base/files/script_code_rule.h"
#include "base/files/script_write_rule.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/file_system_ops.h"
#include "platform/files/host_path.h"
#include "platform/files/process.h"
#include "platform/files/special_folders.h"
#include "platform/system/diagnostic_log.h"

namespace {

constexpr std::size_t kCommandLineLimit = 255;

std::optional<plat::FindData> FindLooseFile(const char* name, unsigned& status) {
  plat::FindData data;
  status = g_DataFiles->FindFile(nullptr, name, &data);
  if (status != 0) return std::nullopt;
  return data;
}

std::optional<plat::FindData> Describe(const char* path, const plat::FindData* data) {
  if (data != nullptr) return *data;
  if (path == nullptr) return std::nullopt;
  return plat::FindFirstFile(path);
}

void Put(std::uint32_t* field, int value) {
  if (field != nullptr) *field = static_cast<std::uint16_t>(value);
}

}  // namespace

std::int64_t GetDataFileSize(const char* name) {
  if (g_DataFiles == nullptr) return -1;
  unsigned status;
  const std::optional<plat::FindData> data = FindLooseFile(name, status);
  return data ? static_cast<std::int64_t>(data->Size()) : -1;
}

unsigned GetFileLocalTime(const char* name, const LocalFileTime& out) {
  if (g_DataFiles == nullptr) return 3;
  unsigned status;
  const std::optional<plat::FindData> data = FindLooseFile(name, status);
  if (!data) return status;
  const std::optional<std::tm> time = ToLocalTime(data->last_write_time);
  if (!time) return 3;
  const std::tm& local = *time;
  Put(out.year, local.tm_year + 1900);
  Put(out.month, local.tm_mon + 1);
  Put(out.day, local.tm_mday);
  Put(out.hour, local.tm_hour);
  Put(out.minute, local.tm_min);
  Put(out.second, local.tm_sec);
  Put(out.day_of_week, local.tm_wday);
  return 0;
}

std::optional<std::tm> ToLocalTime(const plat::FileTime& time) {
  const std::time_t seconds = static_cast<std::time_t>(time.ToUnixSeconds());
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return std::nullopt;
  return local;
}

bool DataFileExists(const char* name) {
  return g_DataFiles != nullptr && g_DataFiles->FindFile(nullptr, name, nullptr) == 0;
}

int IsFileNewer(const char* path_a, const plat::FindData* data_a, const char* path_b, const plat::FindData* data_b) {
  const std::optional<plat::FindData> a = Describe(path_a, data_a);
  if (!a) return -1;
  const std::optional<plat::FindData> b = Describe(path_b, data_b);
  if (!b) return 1;
  return a->last_write_time.Ticks() > b->last_write_time.Ticks() ? 1 : 0;
}

int CopyFileIfNewer(const char* destination, const char* source, int mode) {
  char full_destination[kMaxPath];
  char full_source[kMaxPath];
  if (MakeFullPath(full_destination, destination) == 0 || MakeFullPath(full_source, source) == 0) return 2;
  if (mode != 1 && plat::GetFileAttributes(full_destination)) {
    if (mode == 2) return 2;
    if (IsFileNewer(full_source, nullptr, full_destination, nullptr) != 1) return 1;
  }
  plat::MakeWritable(full_destination);
  return plat::CopyFile(full_source, full_destination, true) ? 0 : -1;
}

unsigned RunProcess(const char* command_line, int wait_mode) {
  if (command_line == nullptr) return 1;
  const std::string line(command_line, strnlen(command_line, kCommandLineLimit));
  std::vector<std::string> words = plat::SplitCommandLine(line);
  char program[kMaxPath];
  if (words.empty() || MakeFullPath(program, words.front().c_str()) == 0 || !MayScriptRunAt(program)) return 1;
  words.erase(words.begin());
  // What is checked is the file held open, which is the one that starts.
  const std::optional<plat::ProgramFile> file = plat::ProgramFile::Open(program);
  if (!file || !MayStartProgram(program, file->RealPath(), file->IsNativeProgram())) return 1;
  const plat::ProcessWait wait = wait_mode == 1 ? plat::ProcessWait::kUntilExit : plat::ProcessWait::kNone;
  return file->Start(words, wait) ? 0 : 1;
}

unsigned OpenInExplorer(const char* path) {
  char full_path[kMaxPath];
  if (MakeFullPath(full_path, path) == 0) return 1;
  return plat::OpenWithDesktop(full_path) ? 0 : 2;
}

bool GetSpecialFolderPath(char* buffer, int folder_id) {
  if (buffer == nullptr) return false;
  std::optional<std::string> folder;
  if (folder_id == kFolderDocuments) folder = plat::GetSpecialFolder(plat::SpecialFolder::kDocuments);
  if (folder_id == kFolderApplicationData) folder = plat::GetSpecialFolder(plat::SpecialFolder::kApplicationData);
  if (!folder) return false;
  // The engine appends its own backslash to these, as to the Windows folders, which have none.
  if (folder->size() > 3 && folder->back() == '\\') folder->pop_back();
  if (folder->size() >= kMaxPath) return false;
  std::memcpy(buffer, folder->c_str(), folder->size() + 1);
  return true;
}

std::optional<std::vector<std::uint8_t>> LoadDataFile(const char* name) {
  CFile file;
  if (file.Load(name) != 0) return std::nullopt;
  const unsigned char* data = file.GetData();
  if (data == nullptr) return std::vector<std::uint8_t>{};
  return std::vector<std::uint8_t>(data, data + file.GetSize());
}

namespace {

// The temporary files of WriteFileReplacing: the prefix, four hex digits and ".TMP".
constexpr std::string_view kReplacingPrefix = "KVX";

bool IsReplacingFileName(std::string_view name) {
  constexpr std::string_view kSuffix = ".TMP";
  if (name.size() != kReplacingPrefix.size() + 4 + kSuffix.size() || !name.starts_with(kReplacingPrefix) ||
      !name.ends_with(kSuffix)) {
    return false;
  }
  const std::string_view digits = name.substr(kReplacingPrefix.size(), 4);
  return std::all_of(digits.begin(), digits.end(),
                     [](char digit) { return (digit >= '0' && digit <= '9') || (digit >= 'A' && digit <= 'F'); });
}

// Deletes a temporary file that failed, keeping the reason of the failure in errno for the
// caller's message.
void DeleteKeepingReason(const std::string& temp_path) {
  const int reason = errno;
  plat::DeleteFile(temp_path);
  errno = reason;
}

bool WriteWhole(CFile& file, std::span<const std::uint8_t> data) {
  const auto size = static_cast<std::uint32_t>(data.size());
  return file.Write(data.data(), size) == size;
}

}  // namespace

unsigned WriteFileReplacing(const char* path, const FileContentWriter& content) {
  char full_path[kMaxPath];
  if (MakeFullPath(full_path, path) == 0) return 1;
  const std::optional<std::string> temp_path = plat::CreateTempFile(FolderOnDisk(full_path), kReplacingPrefix);
  if (!temp_path) return 2;
  bool written = false;
  try {
    CFile temp;
    written = temp.Create(temp_path->c_str(), true) == 0 && content(temp) && temp.Flush();
  } catch (...) {
    plat::DeleteFile(*temp_path);
    throw;
  }
  if (!written) {
    DeleteKeepingReason(*temp_path);
    return 2;
  }
  if (!plat::ReplaceFile(*temp_path, full_path)) {
    DeleteKeepingReason(*temp_path);
    return 3;
  }
  return 0;
}

int RemoveStaleReplacingFiles(const std::string& folder) {
  int removed = 0;
  for (const plat::FindData& found : plat::FindFiles(folder + std::string(kReplacingPrefix) + "????.TMP")) {
    if ((found.attributes & plat::kFileAttributeDirectory) != 0 || !IsReplacingFileName(found.file_name)) continue;
    if (plat::DeleteFile(folder + found.file_name)) ++removed;
  }
  return removed;
}

std::string LoggedPath(const std::string& engine_path) {
  char located[kMaxPath];
  std::optional<std::string> host = plat::ToHostPath(engine_path);
  // A name the data files find as a loose file is named by where they found it.
  if (!host && g_DataFiles != nullptr && g_DataFiles->LocateFile(located, engine_path.c_str(), nullptr) == 0) {
    host = plat::ToHostPath(located);
  }
  return host ? *host : plat::SjisToUtf8(engine_path);
}

void LogCutShort(const char* what, const std::string& engine_path) {
  plat::LogDiagnostic(std::string(what) + " " + LoggedPath(engine_path) +
                      " is damaged (cut short): the settings it lacks keep their defaults");
}

void LogUnwrittenFile(const char* what, const std::string& engine_path) {
  const std::string reason = std::strerror(errno);
  plat::LogDiagnostic(std::string(what) + " cannot be written (" + reason + "): " + LoggedPath(engine_path));
}

unsigned SaveFileReplacing(const char* path, std::span<const std::uint8_t> data, const FileBytesWriter& writer) {
  return WriteFileReplacing(path, [&](CFile& file) { return (writer ? writer : WriteWhole)(file, data); });
}

#include "base/files/file.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <optional>
#include <vector>

#include "base/files/data_file_layer.h"
#include "base/files/path.h"
#include "base/files/read_target.h"
#include "platform/files/file_system_ops.h"

namespace {

constexpr unsigned kNoLayer = 1;
constexpr unsigned kNotOpen = 3;
constexpr unsigned kBadPath = 5;
constexpr unsigned kSeekFailed = 6;
constexpr unsigned kNoMemory = 8;
constexpr unsigned kUnavailable = 10;
constexpr char kEndOfFileMark = 0x1A;

}  // namespace

CFile::~CFile() { Close(); }

const unsigned char* CFile::GetData() const { return stream_ ? stream_->GetBuffer() : nullptr; }

void CFile::Close() {
  stream_.reset();
  file_.Close();
  if (temporary_) {
    plat::DeleteFile(path_);
    temporary_ = false;
  }
  path_.clear();
  size_ = 0;
}

unsigned CFile::AdoptLoaded(CMemoryBlockTarget& target, const char* found_path) {
  RefPtr<CMemoryStream> stream = MakeRef<CMemoryStream>();
  if (!stream) {
    Close();
    return kNoMemory;
  }
  size_ = target.GetSize();
  stream->Attach(target.Detach(), size_);
  stream_ = std::move(stream);
  path_ = found_path;
  return 0;
}

unsigned CFile::Load(const char* name) {
  if (g_DataFiles == nullptr) return kNoLayer;
  Close();
  CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kAccepted);
  char found_path[kMaxPath] = {};
  if (const unsigned status = g_DataFiles->ReadFile(name, target, found_path); status != 0) return status;
  return AdoptLoaded(target, found_path);
}

unsigned CFile::LoadNumbered(std::int32_t id, std::int32_t number, const char* name) {
  if (g_DataFiles == nullptr) return kNoLayer;
  Close();
  CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kAccepted);
  char found_path[kMaxPath] = {};
  if (const unsigned status = g_DataFiles->ReadArchiveEntry(id, number, name, target, found_path); status != 0) {
    return status;
  }
  return AdoptLoaded(target, found_path);
}

unsigned CFile::OpenStream(const char* name) {
  if (g_DataFiles == nullptr) return kNoLayer;
  Close();
  char found_path[kMaxPath] = {};
  int error = 0;
  stream_ = g_DataFiles->OpenStream(name, found_path, &error, true);
  if (!stream_) return static_cast<unsigned>(error);
  size_ = stream_->GetSize();
  path_ = found_path;
  return 0;
}

std::int64_t CFile::Tell() {
  if (stream_) return stream_->Tell();
  if (!file_.IsOpen()) return -1;
  const std::optional<std::uint64_t> position = file_.Seek(0, plat::SeekOrigin::kCurrent);
  return position ? static_cast<std::int64_t>(*position) : -1;
}

bool CFile::IsEof() {
  if (stream_) return stream_->IsEof();
  if (!file_.IsOpen()) return false;
  return Tell() == static_cast<std::int64_t>(size_);
}

unsigned CFile::SeekHandle(std::int64_t offset, plat::SeekOrigin origin) {
  if (!file_.IsOpen()) return kNotOpen;
  return file_.Seek(offset, origin) ? 0 : kSeekFailed;
}

unsigned CFile::SeekBegin(std::uint32_t position) {
  if (stream_) return stream_->SeekBegin(position);
  return SeekHandle(position, plat::SeekOrigin::kBegin);
}

unsigned CFile::SeekCurrent(std::int32_t delta) {
  if (stream_) return stream_->SeekCurrent(delta);
  return SeekHandle(delta, plat::SeekOrigin::kCurrent);
}

unsigned CFile::SeekEnd(std::int32_t offset) {
  if (stream_) return stream_->SeekEnd(static_cast<std::uint32_t>(offset));
  return SeekHandle(offset, plat::SeekOrigin::kEnd);
}

std::uint32_t CFile::Read(void* buffer, std::uint32_t count) {
  if (stream_) return stream_->Read(buffer, count);
  if (!file_.IsOpen() || buffer == nullptr) return 0;
  return static_cast<std::uint32_t>(file_.Read(buffer, count).value_or(0));
}

DataBlock CFile::DetachData() {
  if (!stream_) return nullptr;
  DataBlock data = stream_->DetachBuffer();
  stream_.reset();
  return data;
}

std::uint32_t CFile::ReadLine(char* buffer, std::uint32_t size) {
  const unsigned char* data = GetData();
  if (data == nullptr) return 0;
  const std::uint32_t start = stream_->Tell();
  const std::uint32_t end = stream_->GetSize();
  std::uint32_t line_end = start;
  while (line_end < end && !(data[line_end] == '\r' && line_end + 1 < end && data[line_end + 1] == '\n')) ++line_end;
  const std::uint32_t length = line_end - start;
  const bool marked = length > 0 && data[line_end - 1] == kEndOfFileMark;
  if (buffer == nullptr) return length + 1 - (marked ? 1 : 0);
  if (size < 2 || length > size - 2) return 0;

  const std::uint32_t kept = length - (marked ? 1 : 0);
  std::copy(data + start, data + start + kept, buffer);
  buffer[kept] = '\0';
  const std::uint32_t consumed = length + (line_end < end ? 2 : 0);
  stream_->SeekBegin(start + consumed);
  return consumed;
}

unsigned CFile::OpenDisk(const char* path, plat::FileOpenMode mode) {
  Close();
  char full_path[kMaxPath];
  if (MakeFullPath(full_path, path) == 0) return kBadPath;
  file_ = plat::FileHandle::Open(full_path, mode);
  if (!file_.IsOpen()) return kNotOpen;
  path_ = full_path;
  return 0;
}

unsigned CFile::Create(const char* path, bool overwrite) {
  return OpenDisk(path, overwrite ? plat::FileOpenMode::kCreateAlways : plat::FileOpenMode::kCreateNew);
}

unsigned CFile::OpenReadWrite(const char* path) {
  if (const unsigned status = OpenDisk(path, plat::FileOpenMode::kReadWrite); status != 0) return status;
  const std::optional<std::uint64_t> size = file_.Size();
  if (!size || *size > std::numeric_limits<std::uint32_t>::max()) {
    Close();
    return kUnavailable;
  }
  size_ = static_cast<std::uint32_t>(*size);
  return 0;
}

std::uint32_t CFile::Write(const void* data, std::uint32_t count) {
  if (!file_.IsOpen() || data == nullptr) return 0;
  return static_cast<std::uint32_t>(file_.Write(data, count).value_or(0));
}

std::uint32_t CFile::Printf(const char* format, ...) {
  if (!file_.IsOpen() || format == nullptr) return 0;
  va_list arguments;
  va_start(arguments, format);
  va_list measuring;
  va_copy(measuring, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, measuring);
  va_end(measuring);
  std::vector<char> text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1);
  if (length > 0) std::vsnprintf(text.data(), text.size(), format, arguments);
  va_end(arguments);
  if (length <= 0) return 0;
  return Write(text.data(), static_cast<std::uint32_t>(length));
}

unsigned CFile::CreateTemp(const char* name) {
  if (const unsigned status = Load(name); status != 0) return status;
  const std::optional<std::string> temp_path = plat::CreateTempFile(plat::TempFolder(), "DLF");
  if (!temp_path) return kUnavailable;
  CFile copy;
  const bool written = copy.Create(temp_path->c_str(), true) == 0 && copy.Write(GetData(), size_) == size_;
  copy.Close();
  if (!written) {
    plat::DeleteFile(*temp_path);
    return kNotOpen;
  }
  const std::uint32_t size = size_;
  Close();
  path_ = *temp_path;
  size_ = size;
  temporary_ = true;
  return 0;
}

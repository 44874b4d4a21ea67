#include "resource/archives/file_system.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>

#include "base/files/path.h"
#include "base/text/sjis_case.h"
#include "platform/encoding/sjis_text.h"
#include "platform/files/file_system_ops.h"

CFileSystem* g_ScriptDataFiles = nullptr;

namespace {

constexpr unsigned kNotFound = 3;
constexpr unsigned kBadName = 5;
constexpr unsigned kReadFailed = 7;
constexpr unsigned kNoMemory = 8;
constexpr unsigned kSizeUnavailable = 10;
constexpr unsigned kUnexpected = 14;
constexpr unsigned kMakeFullPathFailed = 0;
constexpr unsigned kMakeFullPathAbsolute = 1;

void CopyOut(char* out_path, std::string_view path) {
  if (out_path == nullptr || path.size() >= kMaxPath) return;
  std::memcpy(out_path, path.data(), path.size());
  out_path[path.size()] = '\0';
}

std::string Lowered(std::string path) {
  LowerSjis(path);
  return path;
}

// Reads an open loose file whole; 0 or the status.
unsigned ReadLooseFile(plat::FileHandle& file, CReadTarget& target) {
  const std::optional<std::uint64_t> size = file.Size();
  if (!size || *size > std::numeric_limits<std::uint32_t>::max()) return kSizeUnavailable;
  unsigned char* buffer = target.Allocate(static_cast<std::uint32_t>(*size));
  if (buffer == nullptr) return kNoMemory;
  const std::optional<std::size_t> got = file.Read(buffer, static_cast<std::size_t>(*size));
  if (!got || *got != *size) {
    target.Free();
    return kReadFailed;
  }
  return 0;
}

std::size_t PickIndex(int index, std::size_t count) {
  return index < 0 ? count - 1 : static_cast<std::size_t>(index);
}

}  // namespace

// A name made absolute against the base data folder and, for a relative name, against each
// search folder (those joins that fit), in search order.
struct CFileSystem::Resolved {
  unsigned kind = kMakeFullPathFailed;
  std::vector<std::string> paths;
};

CFileSystem::~CFileSystem() {
  ClearSearchFolders();
  UnmountAll();
  UnloadArchiveDecoders();
}

CFileSystem::Resolved CFileSystem::Resolve(const char* name) const {
  Resolved resolved;
  char path[kMaxPath];
  resolved.kind = MakeFullPath(path, name);
  if (resolved.kind == kMakeFullPathFailed) return resolved;
  resolved.paths.emplace_back(path);
  if (resolved.kind == kMakeFullPathAbsolute) return resolved;
  for (const std::string& folder : search_folders_) {
    if (MakeFullPath(path, name, folder.c_str()) != kMakeFullPathFailed) resolved.paths.emplace_back(path);
  }
  return resolved;
}

unsigned CFileSystem::ReadFile(const char* name, CReadTarget& target, char* out_path) {
  try {
    std::shared_lock guard(lists_lock_);
    return ReadFileLocked(name, target, out_path);
  } catch (...) {
    return kUnexpected;
  }
}

unsigned CFileSystem::ReadFileLocked(const char* name, CReadTarget& target, char* out_path) {
  const Resolved resolved = Resolve(name);
  if (resolved.kind == kMakeFullPathFailed) return kBadName;
  for (const std::string& path : resolved.paths) {
    plat::FileHandle file = OpenLooseFile(path);
    if (!file.IsOpen()) continue;
    const unsigned status = ReadLooseFile(file, target);
    if (status == 0) CopyOut(out_path, path);
    return status;
  }
  for (const std::string& path : resolved.paths) {
    const std::string lower = Lowered(path);
    const bool found = mounts_.Search(lower, [&](MountRecord& record, const std::string& entry) {
      std::lock_guard read_guard(record.read_lock);
      if (record.archive->ReadEntryByName(entry.c_str(), target, {}) == 0) return true;
      target.Free();
      return false;
    });
    if (found) {
      CopyOut(out_path, lower);
      return 0;
    }
  }
  return kNotFound;
}

RefPtr<CReadStream> CFileSystem::OpenStream(const char* name, char* out_path, int* out_error, bool allow_memory) {
  unsigned status = kUnexpected;
  RefPtr<CReadStream> stream;
  try {
    std::shared_lock guard(lists_lock_);
    stream = OpenStreamLocked(name, out_path, allow_memory, status);
  } catch (...) {
    stream.reset();
    status = kUnexpected;
  }
  if (out_error != nullptr) *out_error = static_cast<int>(status);
  return stream;
}

RefPtr<CReadStream> CFileSystem::OpenStreamLocked(const char* name, char* out_path, bool allow_memory, unsigned& status) {
  const Resolved resolved = Resolve(name);
  if (resolved.kind == kMakeFullPathFailed) {
    status = kBadName;
    return nullptr;
  }
  for (const std::string& path : resolved.paths) {
    plat::FileHandle file = OpenLooseFile(path);
    if (!file.IsOpen()) continue;
    RefPtr<CFileStream> stream = MakeRef<CFileStream>();
    if (!stream) {
      status = kNoMemory;
      return nullptr;
    }
    if (stream->Attach(std::move(file)) != 0) {
      status = kSizeUnavailable;
      return nullptr;
    }
    CopyOut(out_path, path);
    status = 0;
    return stream;
  }

  RefPtr<CReadStream> found;
  status = kNotFound;
  for (const std::string& path : resolved.paths) {
    const std::string lower = Lowered(path);
    const bool delivered = mounts_.Search(lower, [&](MountRecord& record, const std::string& entry) {
      int error = 0;
      found = record.archive->OpenEntryStreamByName(entry.c_str(), &error);
      if (found) return true;
      if (error != kArchiveNotStreamable || !allow_memory) return false;
      CMemoryBlockTarget block(CMemoryBlockTarget::EmptyFiles::kRefused);
      std::lock_guard read_guard(record.read_lock);
      if (record.archive->ReadEntryByName(entry.c_str(), block, {}) != 0) {
        block.Free();
        return false;
      }
      RefPtr<CMemoryStream> memory = MakeRef<CMemoryStream>();
      if (!memory) throw std::bad_alloc();
      const std::uint32_t size = block.GetSize();
      memory->Attach(block.Detach(), size);
      found = std::move(memory);
      return true;
    });
    if (delivered) {
      CopyOut(out_path, lower);
      status = 0;
      return found;
    }
  }
  return nullptr;
}

void CFileSystem::SetLooseFileRule(LooseFileRule rule) {
  std::unique_lock guard(lists_lock_);
  loose_rule_ = rule;
}

// Asked only of files that are there, so that the many probes for loose files that name nothing
// cost nothing more.
bool CFileSystem::MayRead(const std::string& path) const { return loose_rule_ == nullptr || loose_rule_(path.c_str()); }

plat::FileHandle CFileSystem::OpenLooseFile(const std::string& path) const {
  plat::FileHandle file = plat::FileHandle::Open(path, plat::FileOpenMode::kRead);
  if (file.IsOpen() && !MayRead(path)) file.Close();
  return file;
}

std::size_t CFileSystem::GetSearchFolderCount() const {
  std::shared_lock guard(lists_lock_);
  return search_folders_.size();
}

void CFileSystem::ClearSearchFolders() {
  std::unique_lock guard(lists_lock_);
  search_folders_.clear();
}

std::optional<std::string> CFileSystem::NormalizeFolder(const char* path) const {
  char full[kMaxPath];
  if (MakeFullPath(full, path) == kMakeFullPathFailed) return std::nullopt;
  std::string folder = full;
  if (!EndsWithSeparator(full)) folder += '\\';
  LowerSjis(folder);
  return folder;
}

unsigned CFileSystem::AddSearchFolder(const char* path, bool at_end) {
  try {
    std::optional<std::string> folder = NormalizeFolder(path);
    if (!folder) return 1;
    std::unique_lock guard(lists_lock_);
    search_folders_.insert(at_end ? search_folders_.end() : search_folders_.begin(), std::move(*folder));
    return 0;
  } catch (const std::bad_alloc&) {
    return 2;
  }
}

int CFileSystem::RemoveSearchFolder(const char* path, int index) {
  std::optional<std::string> folder;
  if (path != nullptr) {
    folder = NormalizeFolder(path);
    if (!folder) return 1;
  }
  std::unique_lock guard(lists_lock_);
  if (folder) {
    const auto found = std::find(search_folders_.begin(), search_folders_.end(), *folder);
    if (found == search_folders_.end()) return -1;
    search_folders_.erase(found);
    return 0;
  }
  if (search_folders_.empty()) return -1;
  const std::size_t position = PickIndex(index, search_folders_.size());
  if (position >= search_folders_.size()) return -1;
  search_folders_.erase(search_folders_.begin() + static_cast<std::ptrdiff_t>(position));
  return 0;
}

std::optional<std::string> CFileSystem::GetSearchFolder(int index) const {
  std::shared_lock guard(lists_lock_);
  if (search_folders_.empty()) return std::nullopt;
  const std::size_t position = PickIndex(index, search_folders_.size());
  if (position >= search_folders_.size()) return std::nullopt;
  return search_folders_[position];
}

unsigned CFileSystem::FindFile(char* out_path, const char* name, plat::FindData* find_data) const {
  std::shared_lock guard(lists_lock_);
  return FindFileLocked(out_path, name, find_data);
}

unsigned CFileSystem::FindFileLocked(char* out_path, const char* name, plat::FindData* find_data) const {
  const Resolved resolved = Resolve(name);
  if (resolved.kind == kMakeFullPathFailed) return 1;
  for (const std::string& path : resolved.paths) {
    CopyOut(out_path, path);
    const std::optional<plat::FindData> found = plat::FindFirstFile(path);
    if (found && MayRead(path)) {
      if (find_data != nullptr) *find_data = *found;
      return 0;
    }
  }
  return resolved.kind == kMakeFullPathAbsolute ? 2 : 3;
}

unsigned CFileSystem::OpenFileHandle(plat::FileHandle& out, const char* name, bool /*share_read*/, char* out_path) const {
  out.Close();
  std::shared_lock guard(lists_lock_);
  const Resolved resolved = Resolve(name);
  if (resolved.kind == kMakeFullPathFailed) return 1;
  for (const std::string& path : resolved.paths) {
    out = OpenLooseFile(path);
    if (out.IsOpen()) {
      CopyOut(out_path, path);
      return 0;
    }
  }
  return resolved.kind == kMakeFullPathAbsolute ? 1 : 2;
}

int CFileSystem::LocateFile(char* path, const char* name, plat::FindData* find_data) const {
  std::shared_lock guard(lists_lock_);
  const Resolved resolved = Resolve(name);
  if (resolved.kind == kMakeFullPathFailed) return 1;
  for (const std::string& candidate : resolved.paths) {
    const std::optional<plat::FindData> found = plat::FindFirstFile(candidate);
    if (found && MayRead(candidate)) {
      CopyOut(path, candidate);
      if (find_data != nullptr) *find_data = *found;
      return 0;
    }
  }
  for (const std::string& candidate : resolved.paths) {
    const std::string lower = Lowered(candidate);
    CopyOut(path, lower);
    const bool held = mounts_.Search(lower, [](MountRecord& record, const std::string& entry) {
      return record.archive->HasEntry(entry.c_str());
    });
    if (held) return -1;
  }
  return 2;
}

std::size_t CFileSystem::GetMountCount() const {
  std::shared_lock guard(lists_lock_);
  return mounts_.size();
}

void CFileSystem::UnmountAll() {
  std::unique_lock guard(lists_lock_);
  mounts_.Clear();
}

RefPtr<CArchive> CFileSystem::OpenArchive(const char* name, const char* path, plat::FileHandle& file, unsigned& status) const {
  using Records = std::span<const PluginRecord<AdlFamily>>;
  return decoders_.WithRecords([&](Records records) -> RefPtr<CArchive> {
    int error = 0;
    if (const auto* chosen = CPluginHost<AdlFamily>::FindRecordByExtension(records, name)) {
      RefPtr<CArchive> archive = chosen->decoder->Open(path, file, &error);
      if (!archive) status = error != 0 ? static_cast<unsigned>(error) : kUnexpected;
      return archive;
    }
    for (const auto& record : records) {
      if (RefPtr<CArchive> archive = record.decoder->Open(path, file, &error)) return archive;
    }
    status = 1;
    return nullptr;
  });
}

unsigned CFileSystem::MountArchive(const char* name, std::int32_t id, int folder_style, bool at_end, CArchive** out_archive) {
  try {
    char path[kMaxPath];
    if (FindFile(path, name, nullptr) != 0) return 5;
    plat::FileHandle file = OpenLooseFile(path);
    if (!file.IsOpen()) return 3;
    unsigned status = kUnexpected;
    RefPtr<CArchive> archive = OpenArchive(name, path, file, status);
    if (!archive) return status;

    auto record = std::make_unique<MountRecord>();
    // The archive's path read as the file system reads it, which found it there: the separator
    // or the dot after a half-width kana (ﾃｽﾄ\, ﾃｽﾄ.DPK) is one.
    const std::string_view found = path;
    if (folder_style == 0) {
      record->mount_point = FolderOnDisk(found);
    } else {
      const std::optional<std::size_t> dot = plat::LastDot(found, plat::SjisReading::kCodePage);
      record->mount_point = std::string(found.substr(0, dot.value_or(found.size()))) + '\\';
    }
    LowerSjis(record->mount_point);
    record->id = id;
    record->archive = std::move(archive);
    CArchive* mounted = record->archive.get();
    std::unique_lock guard(lists_lock_);
    mounts_.Insert(std::move(record), at_end);
    if (out_archive != nullptr) *out_archive = mounted;
    return 0;
  } catch (const std::bad_alloc&) {
    return kNoMemory;
  } catch (...) {
    return kUnexpected;
  }
}

std::optional<std::size_t> CFileSystem::FindMount(std::int32_t id, int index, std::int32_t index_id) const {
  if (id == index_id) {
    if (mounts_.empty()) return std::nullopt;
    const std::size_t position = PickIndex(index, mounts_.size());
    if (position >= mounts_.size()) return std::nullopt;
    return position;
  }
  for (std::size_t i = 0; i < mounts_.size(); ++i) {
    if (mounts_[i].id == id) return i;
  }
  return std::nullopt;
}

void CFileSystem::UnmountArchive(const char* folder, std::int32_t id, int index) {
  if (folder != nullptr) {
    const std::optional<std::string> mount_point = NormalizeFolder(folder);
    if (!mount_point) return;
    std::unique_lock guard(lists_lock_);
    for (std::size_t i = 0; i < mounts_.size();) {
      if (mounts_[i].mount_point == *mount_point) {
        mounts_.RemoveAt(i);
      } else {
        ++i;
      }
    }
    return;
  }
  std::unique_lock guard(lists_lock_);
  if (const std::optional<std::size_t> position = FindMount(id, index, -2)) mounts_.RemoveAt(*position);
}

std::optional<std::string> CFileSystem::GetMountPoint(std::int32_t id, int index) const {
  std::shared_lock guard(lists_lock_);
  const std::optional<std::size_t> position = FindMount(id, index, -1);
  if (!position) return std::nullopt;
  return mounts_[*position].mount_point;
}

CArchive* CFileSystem::GetArchive(std::int32_t id, int index) const {
  std::shared_lock guard(lists_lock_);
  const std::optional<std::size_t> position = FindMount(id, index, -1);
  return position ? mounts_[*position].archive.get() : nullptr;
}

unsigned CFileSystem::ReadArchiveEntry(std::int32_t id, std::int32_t number, const char* name, CReadTarget& target,
                                       char* out_path) {
  std::shared_lock guard(lists_lock_);
  std::optional<std::size_t> position;
  for (std::size_t i = 0; i < mounts_.size() && !position; ++i) {
    if (mounts_[i].id == id) position = i;
  }
  if (!position || !mounts_[*position].archive) return kNotFound;
  MountRecord& record = mounts_[*position];

  char numbered[16];
  std::snprintf(numbered, sizeof numbered, "%06d.DAT", number);
  const std::string entry_path = record.mount_point + (name != nullptr ? name : numbered);
  if (out_path != nullptr && entry_path.size() >= kMaxPath) return kBadName;
  if (number == -1 && name == nullptr) return kNotFound;

  std::int32_t status;
  {
    std::lock_guard read_guard(record.read_lock);
    status = number == -1 ? record.archive->ReadEntryByName(name, target, {})
                          : record.archive->ReadEntry(static_cast<std::uint32_t>(number), target, {});
  }
  if (status != 0) {
    target.Free();
    return static_cast<unsigned>(status);
  }
  CopyOut(out_path, entry_path);
  return 0;
}

void CFileSystem::UnloadArchiveDecodersOfType(std::uint32_t type) { decoders_.UnloadOfType(type); }
void CFileSystem::UnloadArchiveDecoders() { decoders_.UnloadAll(); }

unsigned CFileSystem::RegisterArchiveDecoder(std::unique_ptr<CArchiveDecoder> decoder, const char* extensions,
                                             const char* type_string, std::uint32_t type, PluginAssistFunc assist,
                                             PluginAssistFunc2 assist2, PluginConfigFunc config) {
  return decoders_.Register(DecoderPtr<AdlFamily>(decoder.release()), extensions, type_string, type, assist, assist2,
                            config);
}

unsigned CFileSystem::LoadArchiveDecoderPlugin(const char* path) { return decoders_.LoadPlugin(path); }
int CFileSystem::LoadArchiveDecoderPlugins(const char* folder) { return decoders_.LoadPlugins(folder); }
CArchiveDecoder* CFileSystem::FindArchiveDecoder(const char* file_name) const { return decoders_.FindByExtension(file_name); }
PluginAssistFunc2 CFileSystem::GetAssistFunc2(std::uint32_t type) const { return decoders_.GetAssistFunc2(type); }

#include "platform/files/file_handle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "platform/files/host_path.h"
#include "platform/files/write_roots.h"

namespace plat {
namespace {

// A file opened for writing is never reached through a link as its last name (nor, below the
// write roots, on its way), and one opened for reading below them neither (see OpenForReading):
// the link could have been put there after the path was checked, and lead anywhere.
int OpenFlags(FileOpenMode mode) {
  switch (mode) {
    case FileOpenMode::kRead: return O_RDONLY;
    case FileOpenMode::kReadWrite: return O_RDWR | O_NOFOLLOW;
    case FileOpenMode::kCreateAlways: return O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW;
    case FileOpenMode::kCreateNew: return O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
  }
  return O_RDONLY;
}

bool Creates(FileOpenMode mode) { return mode == FileOpenMode::kCreateAlways || mode == FileOpenMode::kCreateNew; }

}  // namespace

FileHandle::~FileHandle() { Close(); }

FileHandle::FileHandle(FileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

FileHandle FileHandle::Open(std::string_view engine_path, FileOpenMode mode) {
  const std::optional<HostPath> host = LookUpHostPath(engine_path);
  if (!host || host->path.back() == '/') return {};
  // Games probe for loose files before their archives: most of those probes name nothing.
  if (host->listed_missing && !Creates(mode)) return {};
  int fd = -1;
  if (mode == FileOpenMode::kRead) {
    fd = OpenForReading(engine_path).Release();
  } else {
    const std::optional<WriteFolder> folder = OpenWriteFolder(engine_path);
    if (!folder) return {};
    do {
      fd = ::openat(folder->folder.get(), folder->leaf.c_str(), OpenFlags(mode) | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
  }
  if (fd < 0) return {};
  FileHandle file(fd);
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return {};
  if (Creates(mode)) UpdateListingOf(host->path);
  return file;
}

void FileHandle::Close() {
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

bool FileHandle::Flush() { return fd_ >= 0 && ::fsync(fd_) == 0; }

std::optional<std::uint64_t> FileHandle::Size() const {
  struct stat status {};
  if (fd_ < 0 || fstat(fd_, &status) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(status.st_size);
}

std::optional<std::size_t> FileHandle::Read(void* buffer, std::size_t count) {
  if (fd_ < 0) return std::nullopt;
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(fd_, static_cast<char*>(buffer) + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

std::optional<std::size_t> FileHandle::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const {
  if (fd_ < 0) return std::nullopt;
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = ::pread(fd_, static_cast<char*>(buffer) + done, count - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

std::optional<std::size_t> FileHandle::Write(const void* data, std::size_t count) {
  if (fd_ < 0) return std::nullopt;
  std::size_t done = 0;
  while (done < count) {
    const ssize_t put = ::write(fd_, static_cast<const char*>(data) + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return done == 0 ? std::nullopt : std::optional(done);
    done += static_cast<std::size_t>(put);
  }
  return done;
}

std::optional<std::uint64_t> FileHandle::Seek(std::int64_t offset, SeekOrigin origin) {
  if (fd_ < 0) return std::nullopt;
  const int whence = origin == SeekOrigin::kBegin ? SEEK_SET : origin == SeekOrigin::kCurrent ? SEEK_CUR : SEEK_END;
  const off_t position = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (position < 0) return std::nullopt;
  return static_cast<std::uint64_t>(position);
}

}  // namespace plat

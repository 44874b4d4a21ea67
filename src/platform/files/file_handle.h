// An open file of this machine, named by an engine path (see host_path.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace plat {

enum class FileOpenMode {
  kRead,          // an existing file, for reading
  kReadWrite,     // an existing file, for reading and writing
  kCreateAlways,  // for writing: created, or emptied when it exists
  kCreateNew,     // for writing: created; fails when it exists
};

enum class SeekOrigin { kBegin, kCurrent, kEnd };

class FileHandle {
 public:
  FileHandle() = default;
  ~FileHandle();
  FileHandle(FileHandle&& other) noexcept;
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  // A closed handle when the path is not on drive Z:, names a folder, or does not open.
  static FileHandle Open(std::string_view engine_path, FileOpenMode mode);

  bool IsOpen() const { return fd_ >= 0; }
  void Close();

  std::optional<std::uint64_t> Size() const;
  // Reads until `count` bytes or the end of the file; nothing on an error.
  std::optional<std::size_t> Read(void* buffer, std::size_t count);
  // Reads at `offset` without moving the file pointer, so that readers on several threads
  // may share one handle.
  std::optional<std::size_t> ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const;
  std::optional<std::size_t> Write(const void* data, std::size_t count);
  // Puts what was written on the disk; false when the system cannot.
  bool Flush();
  // The new position; nothing when the move fails (a position before the start).
  std::optional<std::uint64_t> Seek(std::int64_t offset, SeekOrigin origin);

 private:
  explicit FileHandle(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace plat

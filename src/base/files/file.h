// The file object: a data file found through the data-file layer and held as a read stream, or
// a disk file opened for writing or reading and writing. Reference-counted: a holder releases
// it, and the release that finds the count at 0 deletes it.
//
// Statuses: 0 done, 1 no data-file layer, 3 not open / cannot be opened, 5 the path cannot be
// made absolute (or would pass 259 bytes), 6 a seek failed, 8 no memory, 10 size or temporary
// file unavailable; other codes come from the data-file layer.
#pragma once

#include <cstdint>
#include <string>

#include "base/files/read_stream.h"
#include "base/lifetime/ref_counted.h"
#include "platform/files/file_handle.h"

class CMemoryBlockTarget;

class CFile : public CRefCounted {
 public:
  CFile() = default;
  ~CFile() override;

  // The contents when the file was loaded into memory, else null.
  const unsigned char* GetData() const;
  const char* GetPath() const { return path_.c_str(); }
  std::uint32_t GetSize() const { return size_; }

  // Releases the stream and the handle, deletes a temporary copy, empties path and size.
  void Close();
  // Loads a data file whole.
  unsigned Load(const char* name);
  // Loads entry `number` (or, for -1, the entry `name`) of the archive mounted with `id`.
  unsigned LoadNumbered(std::int32_t id, std::int32_t number, const char* name);
  // Opens a data file as a stream without loading it whole.
  unsigned OpenStream(const char* name);

  // The position; -1 when not open.
  std::int64_t Tell();
  bool IsEof();
  unsigned SeekBegin(std::uint32_t position);
  unsigned SeekCurrent(std::int32_t delta);
  // With a stream: `offset` bytes back from the end. With a disk file: `offset` from the end
  // as the system takes it (negative moves back, positive beyond the end).
  unsigned SeekEnd(std::int32_t offset);
  std::uint32_t Read(void* buffer, std::uint32_t count);
  // The loaded contents, now the caller's; the stream goes. Null without contents in memory.
  DataBlock DetachData();

  // The next CR LF line of loaded contents into `buffer` (zero-terminated, a last 0x1A
  // dropped); the bytes consumed, or 0 when the line does not fit in size - 2 characters or
  // nothing is left. Without a buffer: the size a buffer needs for the line.
  std::uint32_t ReadLine(char* buffer, std::uint32_t size);

  // Creates a disk file for writing, replacing one that exists only with `overwrite`.
  unsigned Create(const char* path, bool overwrite);
  unsigned OpenReadWrite(const char* path);
  std::uint32_t Write(const void* data, std::uint32_t count);
  // Puts what was written on the disk; false when it cannot.
  bool Flush() { return file_.Flush(); }
  // Formats text of any length into the disk file; the bytes written.
  std::uint32_t Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Copies a data file out to a new temporary disk file that Close deletes; the object then
  // names that copy (no stream, no handle).
  unsigned CreateTemp(const char* name);

 private:
  unsigned AdoptLoaded(CMemoryBlockTarget& target, const char* found_path);
  unsigned SeekHandle(std::int64_t offset, plat::SeekOrigin origin);
  unsigned OpenDisk(const char* path, plat::FileOpenMode mode);

  std::string path_;
  std::uint32_t size_ = 0;
  RefPtr<CReadStream> stream_;
  plat::FileHandle file_;
  bool temporary_ = false;
};

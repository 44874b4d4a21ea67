// Read streams: the common interface of everything the data-file layer hands out as a stream,
// over a disk file (CFileStream) or a block in memory (CMemoryStream).
#pragma once

#include <cstdint>
#include <memory>

#include "base/lifetime/ref_counted.h"
#include "platform/files/file_handle.h"

// A block of file contents in memory, owned by whoever holds it.
using DataBlock = std::unique_ptr<unsigned char[]>;

// A block of `size` bytes, or null when there is no memory.
DataBlock AllocateDataBlock(std::uint32_t size);

class CReadStream : public CRefCounted {
 public:
  virtual std::uint32_t GetSize() const = 0;
  virtual std::uint32_t Tell() const = 0;
  virtual bool IsEof() const { return Tell() == GetSize(); }
  // Positions are clamped to the data; the statuses are the stream's own.
  virtual unsigned SeekBegin(std::uint32_t position) = 0;
  virtual unsigned SeekCurrent(std::int32_t delta) = 0;
  virtual unsigned SeekEnd(std::uint32_t distance) = 0;
  virtual std::uint32_t Read(void* buffer, std::uint32_t count) = 0;
  // The whole contents when they are in memory, else null.
  virtual const unsigned char* GetBuffer() const { return nullptr; }
  // The whole contents handed over to the caller; null for a stream with no block in memory.
  virtual DataBlock DetachBuffer() { return nullptr; }
};

// Statuses: 0 done, 1 the file pointer could not be moved, 2 no file, 10 the size is unknown.
class CFileStream final : public CReadStream {
 public:
  // Takes the handle and reads its size: 10 when a handle is attached already, or when the size
  // cannot be had or passes 32 bits (the handle stays, with size 0).
  unsigned Attach(plat::FileHandle file);

  std::uint32_t GetSize() const override { return size_; }
  std::uint32_t Tell() const override { return position_; }
  unsigned SeekBegin(std::uint32_t position) override;
  unsigned SeekCurrent(std::int32_t delta) override;
  unsigned SeekEnd(std::uint32_t distance) override;
  std::uint32_t Read(void* buffer, std::uint32_t count) override;

 private:
  unsigned MoveTo(std::uint32_t position);

  plat::FileHandle file_;
  std::uint32_t size_ = 0;
  std::uint32_t position_ = 0;
};

// Statuses: 0 done, 1 no block, 10 a block is attached already.
class CMemoryStream final : public CReadStream {
 public:
  unsigned Attach(DataBlock block, std::uint32_t size);

  std::uint32_t GetSize() const override { return size_; }
  std::uint32_t Tell() const override { return cursor_; }
  unsigned SeekBegin(std::uint32_t position) override;
  unsigned SeekCurrent(std::int32_t delta) override;
  unsigned SeekEnd(std::uint32_t distance) override;
  std::uint32_t Read(void* buffer, std::uint32_t count) override;
  const unsigned char* GetBuffer() const override { return block_.get(); }
  // The size stays; the stream then holds no block.
  DataBlock DetachBuffer() override;

 private:
  DataBlock block_;
  std::uint32_t cursor_ = 0;
  std::uint32_t size_ = 0;
};

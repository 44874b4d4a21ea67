// Where a whole-file read of the data-file layer or an archive puts its bytes: the reader asks
// for a buffer of the file's size, and on a failure after that asks the target to free it.
#pragma once

#include <cstdint>

#include "base/files/read_stream.h"

class CReadTarget {
 public:
  virtual ~CReadTarget() = default;
  // A buffer of `size` bytes, or null when there is none (the read then fails with 8).
  virtual unsigned char* Allocate(std::uint32_t size) = 0;
  // Frees what Allocate gave; harmless when it gave nothing.
  virtual void Free() = 0;
};

// A target that keeps the bytes in a data block of its own.
class CMemoryBlockTarget final : public CReadTarget {
 public:
  enum class EmptyFiles { kRefused, kAccepted };

  // The layer's own target refuses a size of 0; a file object accepts empty files.
  explicit CMemoryBlockTarget(EmptyFiles empty_files) : empty_files_(empty_files) {}

  unsigned char* Allocate(std::uint32_t size) override;
  void Free() override;

  std::uint32_t GetSize() const { return size_; }
  DataBlock Detach() { return std::move(block_); }

 private:
  EmptyFiles empty_files_;
  DataBlock block_;
  std::uint32_t size_ = 0;
};

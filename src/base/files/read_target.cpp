#include "base/files/read_target.h"

unsigned char* CMemoryBlockTarget::Allocate(std::uint32_t size) {
  if (size == 0 && empty_files_ == EmptyFiles::kRefused) return nullptr;
  block_ = AllocateDataBlock(size);
  size_ = block_ ? size : 0;
  return block_.get();
}

void CMemoryBlockTarget::Free() {
  block_.reset();
  size_ = 0;
}

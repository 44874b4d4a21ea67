#include "script/script_text_export.h"

#include <algorithm>

ScriptTextExport::~ScriptTextExport() {
  if (address_ != 0 && !lifetime_.expired()) memory_->Free(address_);
}

std::uint32_t ScriptTextExport::Export(std::string_view text) {
  if (lifetime_.expired() || text.size() >= ScriptMemory::kAllocationLimit) return 0;
  const auto needed = static_cast<std::uint32_t>(text.size() + 1);
  if (needed > capacity_) {
    const std::uint32_t capacity = std::max(needed, kFirstCapacity);
    const std::uint32_t moved = memory_->Resize(address_, capacity);
    if (moved == 0) return 0;
    address_ = moved;
    capacity_ = capacity;
  }
  memory_->Write(address_, text.data(), needed - 1);
  memory_->SetByte(address_ + needed - 1, 0);
  return address_;
}

#include "app/framework/text_input_buffer.h"

#include <string>
#include <utility>

#include "base/threads/lock_guard.h"
#include "ui/gui/gui_element.h"

void CTextInputBuffer::SetPendingKey(uint32_t virtual_key) {
  CLockGuard guard(lock_);
  pending_key_ = virtual_key;
}

void CTextInputBuffer::AppendCharacter(uint32_t code) {
  CLockGuard guard(lock_);
  if (delivered_ != 0) count_ = delivered_ = 0;
  const bool two_bytes = code > 0xFF;
  const std::size_t length = two_bytes ? 2 : 1;
  if (count_ + length > kCapacity) return;
  if (two_bytes) bytes_[count_++] = static_cast<char>(code >> 8);
  bytes_[count_++] = static_cast<char>(code);
}

bool CTextInputBuffer::Deliver(CGuiElement& element) {
  std::string text;
  uint32_t key = 0;
  {
    CLockGuard guard(lock_);
    key = std::exchange(pending_key_, 0);
    if (key == 0) {
      if (delivered_ != 0 || count_ == 0) return false;
      text.assign(bytes_.data(), count_);
      delivered_ = count_;
    }
  }
  // The widget may bind or unbind text input: it is called without the lock.
  if (key != 0) return element.OnKeyDown(key);
  return element.OnChar(text.c_str(), static_cast<int32_t>(text.size()));
}

void CTextInputBuffer::Clear() {
  CLockGuard guard(lock_);
  pending_key_ = 0;
  count_ = delivered_ = 0;
}

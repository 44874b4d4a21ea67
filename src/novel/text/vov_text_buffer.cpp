#include "novel/text/vov_text_buffer.h"

#include <algorithm>
#include <string>

#include "platform/encoding/sjis.h"
#include "platform/system/diagnostic_log.h"

bool VovTextBuffer::Append(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > kSize - 1 - length_) {
    // Said once per message: a scenario that overfills one would otherwise log every byte.
    if (!overflow_reported_) {
      plat::LogDiagnostic("message text longer than " + std::to_string(kSize - 1) + " bytes cut");
    }
    overflow_reported_ = true;
    return false;
  }
  std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(length_));
  length_ += bytes.size();
  bytes_[length_] = 0;
  return true;
}

std::size_t VovTextBuffer::PutChar(std::span<const std::uint8_t> text) {
  if (text.empty()) return 0;
  const std::size_t length = plat::IsSjisStrictLeadByte(text[0]) && text.size() > 1 && text[1] != 0 ? 2 : 1;
  Append(text.first(length));
  return length;
}

void VovTextBuffer::Clear() {
  length_ = 0;
  bytes_[0] = 0;
  overflow_reported_ = false;
}

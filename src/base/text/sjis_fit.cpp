#include "base/text/sjis_fit.h"

#include "platform/encoding/sjis.h"

std::size_t SjisFitLength(std::string_view text, std::size_t size) {
  std::size_t length = 0;
  while (length < text.size()) {
    const std::size_t next = length + plat::SjisCodeLengthAt(text, length);
    if (next > size) break;
    length = next;
  }
  return length;
}

std::string FitSjis(std::string_view text, std::size_t size) { return std::string(text.substr(0, SjisFitLength(text, size))); }

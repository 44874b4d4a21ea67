#include "app/framework/text_input_dialog_model.h"

#include "base/text/sjis_fit.h"
#include "platform/encoding/sjis.h"

namespace {

// The length of the leading double-byte characters of `text`.
std::size_t LeadingDoubleByte(std::string_view text) {
  std::size_t length = 0;
  while (length < text.size() && plat::SjisCodeLengthAt(text, length) == 2) length += 2;
  return length;
}

}  // namespace

std::string CutEnteredText(std::string_view entered, bool double_byte_only, uint8_t max_length) {
  std::string_view text = entered.substr(0, SjisFitLength(entered, kMostEnteredBytes));
  if (double_byte_only) text = text.substr(0, LeadingDoubleByte(text));
  if (max_length != 0) text = text.substr(0, SjisFitLength(text, max_length));
  return std::string(text);
}

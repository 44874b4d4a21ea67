#include "base/text/sjis_case.h"

#include <cstring>
#include <string_view>
#include <utility>

#include "platform/encoding/sjis_text.h"

namespace {

constexpr char CapitalOf(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

void LowerSjis(std::string& text) { text = plat::FoldAsciiLetters(text, plat::SjisReading::kCodePage); }

void LowerSjis(char* text) {
  const std::string lowered = plat::FoldAsciiLetters(text, plat::SjisReading::kCodePage);
  std::memcpy(text, lowered.data(), lowered.size());
}

void UpperSjis(std::string& text) {
  std::string upper;
  upper.reserve(text.size());
  for (const std::string_view character : plat::SplitCharacters(text, plat::SjisReading::kCodePage)) {
    if (character.size() == 1) {
      upper += CapitalOf(character[0]);
    } else {
      upper += character;
    }
  }
  text = std::move(upper);
}

#include "base/text/sjis_case.h"

#include <cstring>

#include "platform/encoding/sjis_text.h"

void LowerSjis(std::string& text) { text = plat::FoldAsciiLetters(text, plat::SjisReading::kCodePage); }

void LowerSjis(char* text) {
  const std::string lowered = plat::FoldAsciiLetters(text, plat::SjisReading::kCodePage);
  std::memcpy(text, lowered.data(), lowered.size());
}

void UpperSjis(std::string& text) { text = plat::UpperAsciiLetters(text, plat::SjisReading::kCodePage); }

#include "platform/encoding/text_composition.h"

#include <algorithm>
#include <mutex>

#include "platform/encoding/sjis.h"
#include "platform/encoding/text_encoding.h"

namespace plat {
namespace {

struct Composition {
  std::mutex lock;
  std::string text;  // Shift-JIS
  int32_t start = 0;
  int32_t length = 0;
};

Composition& Current() {
  static Composition composition;
  return composition;
}

// The byte offset of character `count` of the text (its end when it has fewer).
std::size_t OffsetOfCharacter(std::string_view text, int32_t count) {
  std::size_t offset = 0;
  for (int32_t i = 0; i < count && offset < text.size(); ++i) offset += SjisCodeLengthAt(text, offset);
  return offset;
}

}  // namespace

void SetTextComposition(std::string_view utf8, int32_t start, int32_t length) {
  std::string sjis = Utf8ToSjis(std::string(utf8));
  Composition& composition = Current();
  std::lock_guard guard(composition.lock);
  composition.text = std::move(sjis);
  composition.start = std::max(start, 0);
  composition.length = std::max(length, 0);
}

TextComposition CurrentComposition(std::size_t limit) {
  Composition& composition = Current();
  std::lock_guard guard(composition.lock);
  std::size_t end = 0;
  while (end < composition.text.size()) {
    const std::size_t length = SjisCodeLengthAt(composition.text, end);
    if (end + length > limit) break;
    end += length;
  }
  TextComposition result;
  result.text = composition.text.substr(0, end);
  result.selected_begin = OffsetOfCharacter(result.text, composition.start);
  result.selected_end = OffsetOfCharacter(result.text, composition.start + composition.length);
  return result;
}

std::string CurrentTextComposition(std::size_t limit) { return CurrentComposition(limit).text; }

}  // namespace plat

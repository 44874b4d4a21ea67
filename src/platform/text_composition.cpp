#include "platform/text_composition.h"

#include <mutex>

#include "platform/sjis.h"
#include "platform/text_encoding.h"

namespace plat {
namespace {

struct Composition {
  std::mutex lock;
  std::string text;  // Shift-JIS
};

Composition& Current() {
  static Composition composition;
  return composition;
}

}  // namespace

void SetTextComposition(std::string_view utf8) {
  std::string sjis = Utf8ToSjis(std::string(utf8));
  Composition& composition = Current();
  std::lock_guard guard(composition.lock);
  composition.text = std::move(sjis);
}

std::string CurrentTextComposition(std::size_t limit) {
  Composition& composition = Current();
  std::lock_guard guard(composition.lock);
  std::size_t end = 0;
  while (end < composition.text.size()) {
    const std::size_t length = SjisCodeLengthAt(composition.text, end);
    if (end + length > limit) break;
    end += length;
  }
  return composition.text.substr(0, end);
}

}  // namespace plat

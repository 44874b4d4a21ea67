#include "platform/window/dialog_text_wrap.h"

#include <algorithm>
#include <cstdint>

#include "platform/encoding/kinsoku_tables.h"
#include "platform/encoding/text_encoding.h"

namespace plat {
namespace {

// The length of the UTF-8 character at `at`, cut to the text's end.
std::size_t CharLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<uint8_t>(text[at]);
  const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  return std::min(length, text.size() - at);
}

// Whether the character is listed in the single-byte or the double-byte table by its Shift-JIS
// form.
bool Listed(std::string_view utf8_char, const char* sbcs, const char* dbcs) {
  const std::string sjis = Utf8ToSjis(utf8_char);
  if (sjis.size() == 1) return kinsoku::InSbcsTable(sbcs, static_cast<uint8_t>(sjis[0]));
  return sjis.size() == 2 && kinsoku::InDbcsTable(dbcs, static_cast<uint8_t>(sjis[0]), static_cast<uint8_t>(sjis[1]));
}

bool NotAtLineStart(std::string_view c) {
  return Listed(c, kinsoku::kNotAtLineStartSbcs, kinsoku::kNotAtLineStartDbcs) ||
         Listed(c, kinsoku::kSmallSbcs, kinsoku::kSmallDbcs);
}

bool NotAtLineEnd(std::string_view c) { return Listed(c, kinsoku::kNotAtLineEndSbcs, kinsoku::kNotAtLineEndDbcs); }

bool IsWordLetter(std::string_view c) { return c.size() == 1 && c[0] != ' '; }

void WrapParagraph(std::string_view paragraph, float width, const TextMeasure& measure,
                   std::vector<std::string>& lines) {
  std::string line;
  std::size_t last_char = 0;  // where the line's last character starts
  for (std::size_t at = 0; at < paragraph.size();) {
    const std::string_view c = paragraph.substr(at, CharLength(paragraph, at));
    at += c.size();
    if (!line.empty() && !NotAtLineStart(c) && measure(line + std::string(c)) > width) {
      std::string carried;
      const std::size_t space = line.rfind(' ');
      if (IsWordLetter(c) && space != std::string::npos && space > 0) {
        carried = line.substr(space + 1);
        line.erase(space);
      } else if (NotAtLineEnd(std::string_view(line).substr(last_char)) && last_char > 0) {
        carried = line.substr(last_char);
        line.erase(last_char);
      }
      lines.push_back(line);
      line = carried;
      if (line.empty() && c == " ") continue;
    }
    last_char = line.size();
    line += c;
  }
  lines.push_back(line);
}

}  // namespace

std::vector<std::string> WrapDialogText(std::string_view utf8, float width, const TextMeasure& measure) {
  std::vector<std::string> lines;
  for (std::size_t start = 0;;) {
    const std::size_t end = utf8.find('\n', start);
    WrapParagraph(utf8.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start), width,
                  measure, lines);
    if (end == std::string_view::npos) return lines;
    start = end + 1;
  }
}

}  // namespace plat

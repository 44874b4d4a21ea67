#include "builtins/script_format.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace {

struct Conversion {
  bool left = false;
  bool alternate = false;
  bool zero = false;
  std::size_t width = 0;
  std::size_t precision = 0;
  bool has_precision = false;
  char size = 0;  // 'h', 'l' or none
  char type = 0;
};

// Appends to a text that never grows past its limit.
class BoundedText {
 public:
  explicit BoundedText(std::size_t limit) : limit_(limit) {}

  bool Full() const { return text_.size() >= limit_; }
  void Add(std::string_view part) { text_.append(part.substr(0, limit_ - text_.size())); }
  void Repeat(char c, std::size_t count) { text_.append(std::min(count, limit_ - text_.size()), c); }
  std::string Take() { return std::move(text_); }

 private:
  std::size_t limit_;
  std::string text_;
};

// Reads a decimal count of a width or precision; counts beyond any buffer are capped, since the
// output is cut there anyway.
std::size_t ReadCount(const char*& p) {
  constexpr std::size_t kCap = 1 << 20;
  std::size_t count = 0;
  while (*p >= '0' && *p <= '9') count = std::min(count * 10 + static_cast<std::size_t>(*p++ - '0'), kCap);
  return count;
}

Conversion ReadConversion(const char*& p) {
  Conversion conversion;
  for (;; ++p) {
    if (*p == '-') {
      conversion.left = true;
    } else if (*p == '#') {
      conversion.alternate = true;
    } else if (*p == '0') {
      conversion.zero = true;
    } else {
      break;
    }
  }
  conversion.width = ReadCount(p);
  if (*p == '.') {
    ++p;
    conversion.has_precision = true;
    conversion.precision = ReadCount(p);
  }
  if (*p == 'l' || *p == 'h') conversion.size = *p++;
  conversion.type = *p;
  if (*p != '\0') ++p;
  return conversion;
}

std::string Digits(std::uint32_t value, unsigned base, bool upper) {
  const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string text;
  do {
    text.insert(text.begin(), digits[value % base]);
    value /= base;
  } while (value != 0);
  return text;
}

// Sign or prefix, then the digits, placed in the width as the flags say.
void AddNumber(BoundedText& out, const Conversion& conversion, std::string_view prefix, std::string digits) {
  if (conversion.has_precision && digits.size() < conversion.precision) {
    digits.insert(0, conversion.precision - digits.size(), '0');
  }
  const std::size_t length = prefix.size() + digits.size();
  const std::size_t pad = conversion.width > length ? conversion.width - length : 0;
  if (conversion.left) {
    out.Add(prefix);
    out.Add(digits);
    out.Repeat(' ', pad);
  } else if (conversion.zero) {
    out.Add(prefix);
    out.Repeat('0', pad);
    out.Add(digits);
  } else {
    out.Repeat(' ', pad);
    out.Add(prefix);
    out.Add(digits);
  }
}

void AddPadded(BoundedText& out, const Conversion& conversion, std::string_view text) {
  const std::size_t pad = conversion.width > text.size() ? conversion.width - text.size() : 0;
  if (!conversion.left) out.Repeat(conversion.zero ? '0' : ' ', pad);
  out.Add(text);
  if (conversion.left) out.Repeat(' ', pad);
}

// A script text read byte by byte up to its zero, its precision or the limit of the output.
std::string ScriptText(const NativeArgs& values, std::uint32_t address, std::size_t most) {
  if (address == 0) return std::string("(null)").substr(0, most);
  std::string text;
  const ScriptMemory& memory = values.Memory();
  for (char c; text.size() < most && (c = static_cast<char>(memory.Byte(address))) != '\0'; ++address) text += c;
  return text;
}

void AddConversion(BoundedText& out, const Conversion& conversion, std::uint32_t word, const NativeArgs& values,
                   std::size_t limit) {
  switch (conversion.type) {
    case 'd':
    case 'i': {
      const std::int32_t value = conversion.size == 'h' ? static_cast<std::int16_t>(word) : static_cast<std::int32_t>(word);
      const std::uint32_t magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
      AddNumber(out, conversion, value < 0 ? "-" : "", Digits(magnitude, 10, false));
      break;
    }
    case 'u':
      AddNumber(out, conversion, "", Digits(conversion.size == 'h' ? word & 0xFFFF : word, 10, false));
      break;
    case 'x':
    case 'X': {
      const bool upper = conversion.type == 'X';
      const std::string_view prefix = conversion.alternate ? (upper ? "0X" : "0x") : "";
      AddNumber(out, conversion, prefix, Digits(conversion.size == 'h' ? word & 0xFFFF : word, 16, upper));
      break;
    }
    case 'c':
      AddPadded(out, conversion, std::string(1, static_cast<char>(word)));
      break;
    case 's': {
      const std::size_t most = conversion.has_precision ? std::min(conversion.precision, limit) : limit;
      AddPadded(out, conversion, ScriptText(values, word, most));
      break;
    }
    default:
      break;
  }
}

bool TakesValue(char type) { return std::string_view("diuxXcs").find(type) != std::string_view::npos; }

}  // namespace

std::string FormatScriptText(const char* format, const NativeArgs& values, std::size_t limit) {
  BoundedText out(limit);
  std::uint32_t next_value = 0;
  const char* p = format;
  while (*p != '\0' && !out.Full()) {
    if (*p != '%') {
      const char* run = p;
      while (*p != '\0' && *p != '%') ++p;
      out.Add(std::string_view(run, static_cast<std::size_t>(p - run)));
      continue;
    }
    ++p;
    const Conversion conversion = ReadConversion(p);
    if (conversion.type == '\0') break;
    if (!TakesValue(conversion.type)) {
      out.Add(std::string_view(&conversion.type, 1));
      continue;
    }
    AddConversion(out, conversion, values.U32(next_value++), values, limit);
  }
  return out.Take();
}

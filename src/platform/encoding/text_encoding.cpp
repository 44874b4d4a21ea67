#include "platform/encoding/text_encoding.h"

#include <iconv.h>

#include <array>
#include <memory>

#include "platform/encoding/sjis.h"

namespace plat {
namespace {

// glibc's "CP932" (never "SHIFT_JIS", which is another table) is asked once per code;
// bytes it refuses (0x80, 0xA0, 0xFD to 0xFF, unassigned pairs) stay unmapped. Its codes below
// 0x80 are ASCII's, so that whole-string conversions pass them through without the tables.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (valid()) iconv_close(handle_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts the whole input in one call; the output's length, or -1 on refusal.
  long Convert(const char* input, std::size_t input_size, char* output, std::size_t output_size) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input);
    char* out = output;
    std::size_t in_left = input_size;
    std::size_t out_left = output_size;
    if (iconv(handle_, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1) || in_left != 0) {
      return -1;
    }
    return static_cast<long>(output_size - out_left);
  }

 private:
  iconv_t handle_;
};

struct CodeTables {
  std::array<char32_t, 0x10000> to_unicode{};
  std::array<std::uint16_t, 0x10000> to_sjis{};
};

char32_t DecodeUtf32Le(const unsigned char* bytes) {
  return static_cast<char32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | bytes[3] << 24);
}

std::unique_ptr<CodeTables> BuildTables() {
  auto tables = std::make_unique<CodeTables>();
  IconvHandle to_unicode("UTF-32LE", "CP932");
  IconvHandle to_sjis("CP932", "UTF-32LE");
  if (!to_unicode.valid() || !to_sjis.valid()) return tables;

  auto map_code = [&](std::uint16_t code, const char* bytes, std::size_t size) {
    unsigned char utf32[16];
    if (to_unicode.Convert(bytes, size, reinterpret_cast<char*>(utf32), sizeof utf32) != 4) return;
    const char32_t code_point = DecodeUtf32Le(utf32);
    if (code_point == 0 || code_point > 0xFFFF) return;
    tables->to_unicode[code] = code_point;
  };
  for (unsigned single = 1; single < 0x100; ++single) {
    const char byte = static_cast<char>(single);
    map_code(static_cast<std::uint16_t>(single), &byte, 1);
  }
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsSjisStrictLeadByte(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (!IsSjisTrailByte(static_cast<unsigned char>(trail))) continue;
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      map_code(static_cast<std::uint16_t>(lead << 8 | trail), pair, 2);
    }
  }

  // The reverse table asks iconv too, so that characters with two codes get the one
  // code page 932 prefers.
  for (const char32_t code_point : tables->to_unicode) {
    if (code_point == 0 || tables->to_sjis[code_point] != 0) continue;
    const unsigned char utf32[4] = {static_cast<unsigned char>(code_point), static_cast<unsigned char>(code_point >> 8),
                                    0, 0};
    unsigned char sjis[8];
    const long size = to_sjis.Convert(reinterpret_cast<const char*>(utf32), 4, reinterpret_cast<char*>(sjis), sizeof sjis);
    if (size == 1) tables->to_sjis[code_point] = sjis[0];
    if (size == 2) tables->to_sjis[code_point] = static_cast<std::uint16_t>(sjis[0] << 8 | sjis[1]);
  }
  return tables;
}

const CodeTables& Tables() {
  static const std::unique_ptr<CodeTables> tables = BuildTables();
  return *tables;
}

void AppendUtf8(std::string& out, char32_t code_point) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | code_point >> 6);
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | code_point >> 12);
    out += static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code_point >> 18);
    out += static_cast<char>(0x80 | (code_point >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

// Reads one UTF-8 sequence at `pos`, advancing it; malformed, overlong and surrogate
// sequences give the replacement character and consume one byte.
char32_t ReadUtf8(std::string_view text, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char first = byte(pos);
  std::size_t length = 0;
  char32_t code_point = 0;
  char32_t minimum = 0;
  if (first < 0x80) {
    ++pos;
    return first;
  } else if (first >= 0xC2 && first <= 0xDF) {
    length = 2, code_point = first & 0x1F, minimum = 0x80;
  } else if (first >= 0xE0 && first <= 0xEF) {
    length = 3, code_point = first & 0x0F, minimum = 0x800;
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4, code_point = first & 0x07, minimum = 0x10000;
  } else {
    ++pos;
    return kUnicodeReplacement;
  }
  if (pos + length > text.size()) {
    ++pos;
    return kUnicodeReplacement;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) {
      ++pos;
      return kUnicodeReplacement;
    }
    code_point = code_point << 6 | (byte(pos + i) & 0x3F);
  }
  if (code_point < minimum || code_point > 0x10FFFF || (code_point >= 0xD800 && code_point <= 0xDFFF)) {
    ++pos;
    return kUnicodeReplacement;
  }
  pos += length;
  return code_point;
}

}  // namespace


char32_t SjisCodeToUnicode(std::uint16_t code) { return Tables().to_unicode[code]; }

std::uint16_t UnicodeToSjisCode(char32_t code_point) {
  if (code_point > 0xFFFF) return 0;
  return Tables().to_sjis[code_point];
}

std::string SjisToUtf8(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() * 3 / 2);
  for (std::size_t pos = 0; pos < sjis.size();) {
    const auto lead = static_cast<unsigned char>(sjis[pos]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++pos;
      continue;
    }
    if (SjisCodeLengthAt(sjis, pos) == 2) {
      const auto code = static_cast<std::uint16_t>(lead << 8 | static_cast<unsigned char>(sjis[pos + 1]));
      const char32_t code_point = SjisCodeToUnicode(code);
      AppendUtf8(out, code_point != 0 ? code_point : kUnicodeReplacement);
      pos += 2;
      continue;
    }
    const char32_t code_point = SjisCodeToUnicode(lead);
    AppendUtf8(out, code_point != 0 ? code_point : kUnicodeReplacement);
    ++pos;
  }
  return out;
}

std::string Utf8ToSjis(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t code_point = ReadUtf8(utf8, pos);
    if (code_point < 0x80) {
      out += static_cast<char>(code_point);
      continue;
    }
    const std::uint16_t code = UnicodeToSjisCode(code_point);
    if (code == 0) {
      out += kSjisReplacement;
    } else if (code > 0xFF) {
      out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 0xFF);
    } else {
      out += static_cast<char>(code);
    }
  }
  return out;
}

}  // namespace plat

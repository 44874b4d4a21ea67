#include "builtins/string_builtins.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "base/text/sjis_case.h"
#include "builtins/clipboard_text.h"
#include "builtins/script_format.h"
#include "platform/encoding/sjis_text.h"

namespace {

// Writes the text and its terminating zero at the script address.
void WriteText(ScriptMemory& memory, std::uint32_t address, std::string_view text) {
  memory.Write(address, text.data(), static_cast<std::uint32_t>(text.size()));
  memory.SetByte(address + static_cast<std::uint32_t>(text.size()), 0);
}

std::string_view TextOrEmpty(const char* text) { return text == nullptr ? std::string_view() : std::string_view(text); }

// The bytes from `address` up to a zero or `most` bytes, read one by one so that an unterminated
// run faults only where it leaves script memory.
std::string ReadBytes(const ScriptMemory& memory, std::uint32_t address, std::uint32_t most) {
  std::string text;
  for (; text.size() < most; ++address) {
    const std::uint8_t byte = memory.Byte(address);
    if (byte == 0) break;
    text += static_cast<char>(byte);
  }
  return text;
}

// Copies the text at args[2] + args[1] into args[0]: at most `most` bytes, and only up to the
// character `stop` when one is given (a second byte equal to it is part of its own character).
std::uint32_t CopyPart(const NativeArgs& args, std::uint32_t most, std::optional<char> stop) {
  const std::uint32_t destination = args.U32(0);
  const std::uint32_t source = args.U32(2);
  if (destination == 0 || source == 0) return 0;
  std::string part = ReadBytes(args.Memory(), source + args.U32(1), most);
  if (stop) part.resize(std::min(part.size(), plat::FindFirstCharacterOf(part, std::string_view(&*stop, 1))));
  WriteText(args.Memory(), destination, part);
  return 0;
}

int Sign(int value) { return (value > 0) - (value < 0); }

const char* SkipBlanks(const char* text) {
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  return text;
}

template <void (*Change)(std::string&)>
std::uint32_t ChangeCase(const NativeArgs& args) {
  const char* text = args.Str(0);
  if (text == nullptr) return 0;
  std::string changed(text);
  Change(changed);
  args.Memory().Write(args.U32(0), changed.data(), static_cast<std::uint32_t>(changed.size()));
  return 0;
}

}  // namespace

std::uint32_t NativeStrCopy(const NativeArgs& args) {
  const std::uint32_t destination = args.U32(0);
  const char* source = args.Str(1);
  if (destination == 0 || source == nullptr) return 0;
  WriteText(args.Memory(), destination, std::string(source));
  return destination;
}

std::uint32_t NativeStrMid(const NativeArgs& args) {
  return CopyPart(args, static_cast<std::uint32_t>(std::max(args.I32(3), 0)), std::nullopt);
}

std::uint32_t NativeStrCopyUntil(const NativeArgs& args) {
  return CopyPart(args, std::numeric_limits<std::uint32_t>::max(), static_cast<char>(args.U8(3)));
}

std::uint32_t NativeStrCat(const NativeArgs& args) {
  const char* destination = args.Str(0);
  const char* text = args.Str(1);
  if (destination == nullptr || text == nullptr) return 0;
  const std::uint32_t end = args.U32(0) + static_cast<std::uint32_t>(std::strlen(destination));
  WriteText(args.Memory(), end, std::string(text));
  return args.U32(0);
}

std::uint32_t NativeStrLen(const NativeArgs& args) {
  return static_cast<std::uint32_t>(TextOrEmpty(args.Str(0)).size());
}

std::uint32_t NativeStrCmp(const NativeArgs& args) {
  const int order = TextOrEmpty(args.Str(0)).compare(TextOrEmpty(args.Str(1)));
  return static_cast<std::uint32_t>(Sign(order));
}

std::uint32_t NativeStrCmpI(const NativeArgs& args) {
  return static_cast<std::uint32_t>(plat::CompareIgnoringAsciiCase(TextOrEmpty(args.Str(0)), TextOrEmpty(args.Str(1))));
}

std::uint32_t NativeStrCompareAt(const NativeArgs& args) {
  const std::int32_t count = args.I32(4);
  if (count <= 0) return 0;
  const ScriptMemory& memory = args.Memory();
  const std::uint32_t a = args.U32(0) + args.U32(2);
  const std::uint32_t b = args.U32(1) + args.U32(3);
  std::int32_t matched = 0;
  for (; matched < count; ++matched) {
    const std::uint8_t x = memory.Byte(a + static_cast<std::uint32_t>(matched));
    const std::uint8_t y = memory.Byte(b + static_cast<std::uint32_t>(matched));
    if (x != y || x == 0) break;
  }
  return static_cast<std::uint32_t>(count - matched);
}

std::uint32_t NativeFormat(const NativeArgs& args) {
  const std::uint32_t destination = args.U32(0);
  const char* format = args.Str(1);
  if (destination == 0 || format == nullptr) return 0;
  WriteText(args.Memory(), destination, FormatScriptText(format, args.From(2), kFormatBufferSize - 1));
  return 0;
}

std::uint32_t NativeStrToInt(const NativeArgs& args) {
  const char* text = args.Str(0);
  if (text == nullptr) return 0;
  const char* p = SkipBlanks(text);
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  std::int64_t value = 0;
  constexpr std::int64_t kCap = std::int64_t{1} << 32;
  for (; *p >= '0' && *p <= '9'; ++p) value = std::min(value * 10 + (*p - '0'), kCap);
  value = negative ? -value : value;
  value = std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
}

std::uint32_t NativeStrToFloat(const NativeArgs& args) {
  const char* text = args.Str(0);
  if (text == nullptr) return 0;
  const char* p = SkipBlanks(text);
  if (*p == '+') ++p;
  double value = 0;
  std::from_chars(p, p + std::strlen(p), value, std::chars_format::general);
  return std::bit_cast<std::uint32_t>(static_cast<float>(value));
}

std::uint32_t NativeStrUpper(const NativeArgs& args) { return ChangeCase<UpperSjis>(args); }

std::uint32_t NativeStrLower(const NativeArgs& args) { return ChangeCase<LowerSjis>(args); }

std::uint32_t NativeCopyToClipboard(const NativeArgs& args) { return CopyTextToClipboard(args.Str(0), args.U32(1)); }

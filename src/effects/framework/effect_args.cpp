#include "effects/framework/effect_args.h"

#include <charconv>
#include <cstring>
#include <limits>

#include "scene/sprites/sprite.h"

CSprite* ArgPlainSprite(const PluginArgs& args, std::uint32_t index) {
  CDrawable* drawable = ArgObject<CDrawable>(args, index);
  if (drawable == nullptr || drawable->GetDrawableType() != CDrawable::kTypeSprite) return nullptr;
  return static_cast<CSprite*>(drawable);
}

double ArgDecimal(const PluginArgs& args, std::uint32_t index, double fallback) {
  const char* text = ArgText(args, index);
  return text != nullptr ? ParseDecimal(text) : fallback;
}

double ParseDecimal(const char* text) {
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  // from_chars takes a '-' but no '+'.
  if (*text == '+' && text[1] != '-' && text[1] != '+') ++text;
  const char* end = text + std::strlen(text);
  double value = 0.0;
  // Not a structured binding: clang before 16 cannot capture one in the lambda below.
  const std::from_chars_result parsed = std::from_chars(text, end, value);
  const char* const stop = parsed.ptr;
  const std::errc error = parsed.ec;
  if (error == std::errc::result_out_of_range) {
    // The prefix was a number too large or too small to hold.
    const bool tiny = [&] {
      for (const char* p = text; p != stop; ++p) {
        if (*p == 'e' || *p == 'E') return p[1] == '-';
      }
      return false;
    }();
    if (tiny) return 0.0;
    return *text == '-' ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  }
  return error == std::errc{} ? value : 0.0;
}

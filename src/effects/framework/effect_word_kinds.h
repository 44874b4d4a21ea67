// What each argument word of the built-in effects and filters holds, so that a caller that takes
// the words from a script can resolve every one by its kind before the effect reads it: a text
// or an object arrives as a host pointer only when the script's word really names one.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

enum class EffectWord : std::uint8_t {
  kNumber,    // passed unchanged
  kText,      // a zero-terminated text (a decimal number among them), or 0 for none
  kSprite,    // a plain sprite, handed over as its CDrawable, or 0
  kSurface,   // a display object (CImageInterface), or 0
  kImage,     // a plain picture (CImage), or 0
  kAnimData,  // an animation-data file (CDadFile), or 0
  kOut,       // a 4-byte word the effect writes (and may read first), or 0 for none
};

// The kinds of the words from the first on; words beyond them are numbers.
using EffectWordKinds = std::span<const EffectWord>;

// The entries through which words reach an effect or a filter.
enum class EffectEntry : std::uint8_t { kSetup, kSetParam, kGetParam, kAssist, kFilter };

// The kinds of the words `words` for that entry of the built-in effect or filter `name`
// (kFilter: the filters' names, the others: the effects'), where a layout may hang on a mode
// word. None for a name that no built-in bears (an object of a plug-in library, whose words
// can only be numbers).
std::optional<EffectWordKinds> EffectWordKindsOf(const char* name, EffectEntry entry,
                                                 std::span<const std::uint32_t> words);

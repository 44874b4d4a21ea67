// The bound of a count, size or repeat that a script or a game file gives, checked before any
// work is sized from it: past the bound the caller fails with its own failure value, and one line
// in the program log names what was asked for and the bound.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/system/geometry.h"

// Whether `asked` lies within 0..`most`; a negative count is the caller's to refuse.
bool WithinBound(std::string_view what, std::int64_t asked, std::int64_t most);

// The most pixels of one picture, canvas or surface, whether a script asks for its size or a
// picture file gives it: 16 Mi, 4,096 x 4,096, which is 64 MiB at 32 bits. A game's pictures,
// backgrounds a few screens wide or a scroll of many screens, stay well below it; without it one
// call could ask for 32,767 x 32,767 and cost seconds and gigabytes.
inline constexpr std::int64_t kMostPicturePixels = std::int64_t{1} << 24;

// Whether a picture of these sides stays within kMostPicturePixels (sides below 1 are the
// caller's to refuse).
bool PictureWithinBound(std::int32_t width, std::int32_t height);

// The sum of two script words (a base and a step, an origin and an offset) worked out wide and
// clamped to a signed word, so that no sum of words a script gives overflows.
inline std::int32_t ClampedSum(std::int64_t a, std::int64_t b) { return plat::ClampedCoordinate(a + b); }

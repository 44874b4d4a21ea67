#include "gfx/images/pixel_routine_table.h"

#include <array>

namespace {

constexpr uint32_t kUnnamed = 0xFFFFFFFF;

struct Numbers {
  EPixelRoutine routine;
  uint32_t entry;
  uint32_t place;
};

// One row per role: where both numberings name a role, they name one routine.
constexpr std::array<Numbers, 23> kNumbers{{
    {EPixelRoutine::kChangedRect, 1, kUnnamed},
    {EPixelRoutine::kFill32, 2, 9},
    {EPixelRoutine::kFill8, 3, kUnnamed},
    {EPixelRoutine::kColourLevel, 4, 69},
    {EPixelRoutine::kBlendColour, 5, 98},
    {EPixelRoutine::kFillValue, 7, 44},
    {EPixelRoutine::kBlend, 9, 93},
    {EPixelRoutine::kStretchBlend, 10, 33},
    {EPixelRoutine::kTransform, 11, 84},
    {EPixelRoutine::kTransformMatrix, 12, 170},
    {EPixelRoutine::kSoften, 13, 194},
    {EPixelRoutine::kMirrorHorizontal, 14, 205},
    {EPixelRoutine::kMirrorHorizontal8, 15, 29},
    {EPixelRoutine::kMirrorVertical, 16, 139},
    {EPixelRoutine::kMirrorVertical8, 17, 142},
    {EPixelRoutine::kSwitchClear, 21, 107},
    {EPixelRoutine::kSwitchSet, 22, 152},
    {EPixelRoutine::kValueA, 23, 138},
    {EPixelRoutine::kValueB, 24, 45},
    {EPixelRoutine::kCrossFade, 25, 227},
    {EPixelRoutine::kRuleTransition, 26, 191},
    {EPixelRoutine::kRowBlend, kUnnamed, 25},
    {EPixelRoutine::kEffect, 93, kUnnamed},
}};

template <typename Number>
EPixelRoutine Find(uint32_t number, Number pick) {
  for (const Numbers& row : kNumbers) {
    if (pick(row) == number) return row.routine;
  }
  return EPixelRoutine::kNone;
}

}  // namespace

EPixelRoutine PixelRoutineAtEntry(uint32_t entry) {
  if (entry == kUnnamed) return EPixelRoutine::kNone;
  return Find(entry, [](const Numbers& row) { return row.entry; });
}

EPixelRoutine PixelRoutineAtPlace(uint32_t place) {
  if (place == kUnnamed) return EPixelRoutine::kNone;
  return Find(place, [](const Numbers& row) { return row.place; });
}

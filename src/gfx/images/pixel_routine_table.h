// The routines of the pixel-routine library by role, and the two numberings under which the
// engine's callers name them: the routine table's entries (1 to 234) that the image operations
// use, and the places counted from 0 that the effects and the built-in functions use. A caller
// that names a number finds the role here and the routine in CPixelLibrary's typed table.
#pragma once

#include <cstdint>

enum class EPixelRoutine : uint8_t {
  kNone,
  kChangedRect,       // the rectangle the last routine changed
  kFill32,            // image, colour, rectangle
  kFill8,             // image, palette index, rectangle
  kColourLevel,       // image, colour, level, rectangle: a colour blended at a level
  kBlendColour,       // image, colour, level, rectangle, flag
  kFillValue,         // image, byte, rectangle
  kBlend,             // destination, source, x, y, source rectangle, mode, level, flag
  kStretchBlend,      // the blend with a destination size and a filter mode
  kTransform,         // the affine draw: three corners (entry), or the matrix form (place)
  kTransformMatrix,   // the other matrix form of the affine draw
  kSoften,            // image, two strengths, rectangle, flag
  kMirrorHorizontal,  // image, rectangle: 32 bits, and the routine for other depths
  kMirrorHorizontal8,
  kMirrorVertical,
  kMirrorVertical8,
  kSwitchClear,  // whole-image routine chosen by a flag
  kSwitchSet,
  kValueA,  // whole-image routines with a value
  kValueB,
  kCrossFade,       // destination, two sources, level, the areas
  kRuleTransition,  // destination, two sources, rule image, level, softness, the areas
  kRowBlend,        // destination row, two source rows, count, level
  kEffect,          // the routine an effect calls by its entry
};

// kNone for a number that no caller of the engine names.
EPixelRoutine PixelRoutineAtEntry(uint32_t entry);
EPixelRoutine PixelRoutineAtPlace(uint32_t place);

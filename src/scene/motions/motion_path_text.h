// The path text: a compact line of one-letter commands with numbers that describes how a sprite,
// or the view of a layer's background, moves through key frames. Units are separated by blanks.
//
// A point is a run of point modifiers without blanks; the blank (or the end) after it makes one
// key frame with the values so far. The thing that moves has a width and a height, and moves in
// an area (a sprite in its layer's target; a view over its background image):
//   l r c      x: left edge at the area's left, right edge at its right, centred across
//   u d        y: top at the area's top, bottom at its bottom
//   i          back to the start point's x and y
//   !l !r      just outside: x = -width, x = area width
//   !u !d      y = -height, y = area height
//   !c         centred both ways
//   !i         the start point with its opacity, zoom 1 and no turn
//   < > ^ _ n  left, right, up, down by the L step x n (n 1 when absent)
//   [ ] - + n  left, right, up, down by the M step x n ("-500" is up by 500 M steps)
//   O n        opacity n (255 when absent), held within 0-255
//   $ % n      swing out and back in x, in y by the L step x n
//   P p ±a[,b] swing phases in x [and y]
//   R ±r       turn in turns (1.0 a full turn)
//   Z r        zoom (0 counts as 1.0)
// Swings and phases hold for the one point they are written in; the rest carries on.
//
// Record commands end the point before them and make one record each:
//   n          (unsigned digits) the time of the movements that follow, ms (kind 1)
//   A [±r]     easing power (kind 2; without a number the cosine ease: flag 0)
//   F B        to the front, to the back of the sprite's priorities (kinds 3, 4)
//   S N        curves on, and the path becomes a spline (5); curves off (6)
//   M [n] L [n] the M and L steps, and commands 7 and 8 with them (25 and 50 when absent)
//   o [±x][,±y] the turning centre moved by (x, y) from the current point (kind 9)
//   z [±x][,±y] the turning centre at a point of the area (kind 9; half the area by default)
// Centre records hold the centre relative to the moving thing's top-left corner.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/motions/motion_path.h"

// Where a path text starts and what it moves in.
struct PathTextFrame {
  int32_t start_x = 0;
  int32_t start_y = 0;
  uint8_t start_alpha = 255;
  int32_t width = 0;
  int32_t height = 0;
  int32_t area_width = 0;
  int32_t area_height = 0;
};

struct PathText {
  // The start point (key frame 0) first, then the text's records in order.
  std::vector<MotionPathRecord> records;
  bool spline = false;
  uint8_t direction = 0;
  int32_t centre_x = 0;
  int32_t centre_y = 0;
};

// ParsePathText statuses beside 0.
inline constexpr uint32_t kPathNoText = 1;
inline constexpr uint32_t kPathNoBackground = 3;
// A character that is no command, or a text that makes no record.
inline constexpr uint32_t kPathUnknownCommand = 4;
// A '!' that no reference letter follows.
inline constexpr uint32_t kPathBadCommand = 5;
// A number that is missing where one is needed, or out of range.
inline constexpr uint32_t kPathBadNumber = 6;

// The command records of the path's commands.
inline constexpr uint8_t kPathTime = 1;
inline constexpr uint8_t kPathEasing = 2;
inline constexpr uint8_t kPathToFront = 3;
inline constexpr uint8_t kPathToBack = 4;
inline constexpr uint8_t kPathCurvesOn = 5;
inline constexpr uint8_t kPathCurvesOff = 6;
inline constexpr uint8_t kPathStepM = 7;
inline constexpr uint8_t kPathStepL = 8;
inline constexpr uint8_t kPathCentre = 9;
inline constexpr int32_t kDefaultStepM = 25;
inline constexpr int32_t kDefaultStepL = 50;

// 0 with `out` filled; a status with `out` unspecified.
uint32_t ParsePathText(const char* text, const PathTextFrame& frame, PathText& out);

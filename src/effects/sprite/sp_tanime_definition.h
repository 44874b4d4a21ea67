// The definition file of a sprite cell animation: CR LF text lines of at most 1023 bytes. A line
// "*NAME" starts a cell whose picture is NAME in the definition file's folder; the lines after
// it are the cell's key frames ("x, y, alpha, zoom, angle", each field optional, x and y from
// the picture's own placement plus the animation's offset) and its commands: "a [power]"
// easing (the cosine ease without a power), "b" to the back, "c [x], [y]" the turning centre,
// "f" to the front, "l swing x, swing y, phase x, phase y" for the next key frame, "s [0]"
// curves on (off with 0) and "t ms" the time of the movements that follow. "//" starts a
// comment; only the first word of a command line is its command.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "effects/sprite/sp_panime_effect.h"
#include "gfx/images/image.h"
#include "scene/motions/motion_path.h"
#include "scene/sprites/sprite.h"

class CDrawLayer;

struct CSpTanimeCellDef {
  // The image before the sprite that shows it, so that the sprite goes first.
  std::unique_ptr<CImage> image;
  std::unique_ptr<CSprite> sprite;
  // Key frames (kind 0) and commands; the first is a key frame.
  std::vector<MotionPathRecord> commands;
  std::int32_t key_frames = 0;
  // An "s" line turned curves on.
  bool smooth = false;
  CSpPanimeEffect::TransformUse use;
};

// LoadDefinition statuses beside 0.
inline constexpr std::int32_t kCellNoLayer = 1;
inline constexpr std::int32_t kCellNoFile = 2;
inline constexpr std::int32_t kCellNoImage = 3;
inline constexpr std::int32_t kCellCommandBeforeCell = 4;
inline constexpr std::int32_t kCellLineBeforeCell = 5;
inline constexpr std::int32_t kCellTimeWithoutNumber = 6;
inline constexpr std::int32_t kCellZeroTime = 7;
inline constexpr std::int32_t kCellCommandBeforeKeyFrame = 8;
// No cell at all, a line too long, a picture path too long, a sprite that cannot show its image.
inline constexpr std::int32_t kCellMalformed = -1;

// Reads the file into `cells`, each cell's sprite shown at its first key frame in the layer's
// own list, the first at `priority` and each further one a step above it (one less). 0; else
// a status with `cells` empty, and the number of the failing line in `line_out` when given.
std::int32_t LoadDefinition(const char* file_name, CDrawLayer* layer, std::int32_t x_offset, std::int32_t y_offset,
                            std::uint32_t priority, std::vector<std::unique_ptr<CSpTanimeCellDef>>& cells,
                            std::uint32_t* line_out);

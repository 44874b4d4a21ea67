// The layout file of the staff roll: CR LF text lines, each a keyword with comma-separated
// arguments, that place lines of text and pictures on a scroll.
//
//   /* ... */          block comments, nesting; "//" a comment line
//   init  duration, "music"                      (0: the music's length)
//   font  "face", size, 0xRRGGBB, bold, italic   face, size, bold and italic carry over from
//                                                font line to font line; the colour is white
//                                                unless the line gives it
//   layout x, alignment                          0 left at x, 1 centred between x and 800,
//                                                2 ending at x, else the line's own x
//   text  x, gap, "text"       gtext x, gap, "picture"
//   laygrp start, length, fade-in, fade-out, priority   (0, -1, 800, 800, 1000)
//   grp   x, y, "picture", end x, end y, alpha          shown while part of the roll passes
//   egrp  offset                                        closes the open picture
//   end   tail, hold, fade, finish                      (0, 0, 0, 1); reading goes on
//
// An empty argument keeps its value: the settings lines (init, font, layout, laygrp, end) keep
// theirs from line to line, the item lines (text, gtext, grp, egrp) start from the defaults.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/images/image.h"
#include "scene/sprites/sprite.h"

class CDrawList;

struct StaffTextItem {
  // Declared before the sprite that shows it, so that the sprite goes first.
  std::unique_ptr<CImage> image;
  std::unique_ptr<CSprite> sprite;
  // The y at scroll offset 0.
  std::int32_t base_y = 0;
};

struct StaffPictureItem {
  static constexpr std::uint8_t kWaiting = 0;
  static constexpr std::uint8_t kFadingIn = 1;
  static constexpr std::uint8_t kShown = 2;
  static constexpr std::uint8_t kFadingOut = 3;
  static constexpr std::uint8_t kGone = 4;

  std::unique_ptr<CImage> image;
  std::unique_ptr<CSprite> sprite;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::uint8_t alpha = 255;
  std::uint8_t phase = kWaiting;
  std::int32_t end_x = 0;
  std::int32_t end_y = 0;
  // Scroll pixels over which the picture drifts from (x, y) to its end place.
  std::int32_t span = 0;
  // The scroll positions at which it appears and disappears; end -1 while open.
  std::int32_t start = 0;
  std::int32_t end = -1;
  std::int32_t fade_in = 0;
  std::int32_t fade_out = 0;
  // On the roll's own clock.
  std::uint32_t fade_in_start = 0;
  std::uint32_t fade_out_start = 0;
};

struct StaffRollLayout {
  std::vector<std::unique_ptr<StaffTextItem>> texts;
  std::vector<std::unique_ptr<StaffPictureItem>> pictures;
  std::int32_t total_height = 0;
  std::string music;
  std::int32_t duration = 0;
  std::int32_t hold = 0;
  std::int32_t fade = 0;
  std::uint8_t finish = 1;

  void Clear() { *this = StaffRollLayout(); }
};

// LoadStaffRollLayout's codes beside 0.
inline constexpr std::int32_t kStaffNoFileName = 1;
inline constexpr std::int32_t kStaffNoFile = 2;
inline constexpr std::int32_t kStaffBadFace = 4;
inline constexpr std::int32_t kStaffBadText = 5;
inline constexpr std::int32_t kStaffTextNotRendered = 6;
inline constexpr std::int32_t kStaffBadTextPicture = 7;
inline constexpr std::int32_t kStaffTextPictureNotLoaded = 8;
inline constexpr std::int32_t kStaffBadPicture = 9;
inline constexpr std::int32_t kStaffPictureNotLoaded = 10;
inline constexpr std::int32_t kStaffUnknownKeyword = 11;
// A malformed number or string elsewhere, or a line longer than 511 bytes.
inline constexpr std::int32_t kStaffMalformed = -1;

// Reads the layout file into `layout`, the sprites inserted into `list` (the text sprites at
// priority 0, the pictures' at their laygrp priority). 0 or a code above; on failure the layout
// is cleared.
std::int32_t LoadStaffRollLayout(const char* file_name, CDrawList& list, StaffRollLayout& layout);

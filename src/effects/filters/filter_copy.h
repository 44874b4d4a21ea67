// The plain writes of the filters: a picture's part of an area onto the destination, and the
// cross-fade of both pictures' parts.
#pragma once

#include <cstdint>

#include "effects/framework/trans_callback.h"

// Where the area lies in the destination.
plat::Rect DestinationRect(const FilterApplyArea& area);
// The area of the picture at (x, y) of it, copied to the area's destination position with the
// row-copy kernel; the written rectangle is marked.
void CopyPictureArea(const FilterApplyArea& area, const CImage& picture, std::int32_t x, std::int32_t y);
inline void CopyOldPicture(const FilterApplyArea& area) {
  CopyPictureArea(area, *area.old_picture, area.old_x, area.old_y);
}
inline void CopyNewPicture(const FilterApplyArea& area) {
  CopyPictureArea(area, *area.new_picture, area.new_x, area.new_y);
}
// The old picture's area with the new one's over it at the level, through the pixel library's
// cross-fade: 0, or kRoutineFailed.
std::int32_t CrossFadePictures(const FilterApplyArea& area, std::uint8_t level);

// A picture shown letterboxed in an output of another size: where it shows, and how a point of
// the output and a point of the picture answer each other. What reads the pointer over the
// picture and what puts the pointer on it go through the same geometry, so that a point put
// there reads back as itself.
#pragma once

#include <cstdint>

#include "platform/system/geometry.h"

namespace plat {

// Where a picture of width x height shows in an output of its own: as large as the output
// allows, keeping its shape, centred, with bars beside it.
Rect LetterboxedArea(int32_t output_width, int32_t output_height, int32_t width, int32_t height);

// Where a point of the output lies in a picture of width x height shown over `area`; a point
// beside the picture lands just outside it on that side (-1, or the picture's width or height).
Point ToPicturePoint(const Rect& area, int32_t width, int32_t height, Point on_output);
// The pixel of the output that ToPicturePoint reads as the picture's point: the first of them
// where the picture is scaled up; where it is scaled down, and no pixel reads as the point, the
// pixel it lies in. A point beside the picture goes as far beside the area.
Point FromPicturePoint(const Rect& area, int32_t width, int32_t height, Point in_picture);

}  // namespace plat

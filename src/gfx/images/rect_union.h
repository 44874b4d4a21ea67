// The union of many rectangles as few disjoint ones, in the order a dirty region keeps them (by
// top, then left): a sweep from top to bottom over the bands between the rectangles' edges, in
// which each band's covered spans are joined and a span that runs on unchanged from the band
// above lengthens the rectangle above it. It costs the bands times the rectangles that cross
// them, where adding the rectangles one by one to a list costs the square of their number.
#pragma once

#include <vector>

#include "platform/system/geometry.h"

std::vector<plat::Rect> UnionOfRects(std::vector<plat::Rect> rects);

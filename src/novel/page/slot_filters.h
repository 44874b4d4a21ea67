// The colour filters, mirrors and softening that backgrounds and sprites share.
#pragma once

#include <cstdint>

class CImage;

// Applies `request` (0 none) to an image whose filter is `filter`: 1 grey, 2 sepia (grey, then
// tinted), 3 negative, 4 brightened, 5 evening and 6 night tint. With a filter already set only
// a second negative undoes the first (the filter becomes 0); any other request gives 2 and
// changes nothing. 0 otherwise.
std::int32_t ApplySlotFilter(CImage& image, std::uint8_t& filter, std::uint8_t request);
// Toggles the mirrors that are asked for.
void ToggleSlotMirrors(CImage& image, std::uint8_t& mirror_x, std::uint8_t& mirror_y, bool toggle_x, bool toggle_y);
// The pixel library's softening, its strength in both directions (0 taken as 1).
void SoftenSlot(CImage& image, std::uint8_t& softened, std::uint32_t strength);

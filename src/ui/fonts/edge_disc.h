// The disc that outline glyphs grow by: an integer approximation of the Euclidean distance,
// each offset weighted by how far inside the disc it lies.
#pragma once

#include <cstdint>

#include "ui/fonts/glyph.h"

// The widest outline a font takes: the disc's work grows with the square of its radius for every
// pixel of every glyph.
inline constexpr int32_t kMaxEdgeRadius = 16;

int32_t EdgeDistance(int32_t dx, int32_t dy);

// 65536 divided by the weight sum of the disc of this radius (65536 when the sum is 0).
int32_t EdgeNormaliser(int32_t radius);

// Grows a finished glyph into its outline in place: grey coverage is spread over the disc with
// the strength and normaliser; a one-bit glyph (`mono`) becomes 255 wherever the disc touches ink.
void GrowOutline(CGlyph& glyph, bool mono, int32_t strength, int32_t radius, int32_t normaliser);

// Copies a rectangle of a software image into surface memory of any pixel format.
#pragma once

#include <cstdint>

#include "gfx/images/image.h"

#include "platform/window/surface.h"

// Copies the source rectangle of the image (clipped to its clip rectangle; null: the clip
// rectangle) to (x, y) of the surface, clipped to surface_rect and to the surface. A surface
// already locked is passed with its lock (of the whole surface); otherwise it is locked here.
// 0 (also when nothing is left to copy); 1 missing surface, image or pixels; 2 the surface
// cannot be locked or the palette cannot be had.
uint32_t CopyImageToSurface(plat::Surface* surface, uint32_t format, const plat::Rect& surface_rect, CImage* image,
                            int32_t x, int32_t y, const plat::Rect* source_rect, const plat::LockedSurface* locked);
// The image's 256 palette entries, made the grey ramp first when it has none; null without memory.
const uint32_t* EnsureImagePalette(CImage& image);

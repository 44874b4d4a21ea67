#include "gfx/display/image_to_surface.h"

#include <algorithm>

#include "gfx/display/surface_services.h"
#include "pixel/formats/surface_writers.h"

const uint32_t* EnsureImagePalette(CImage& image) {
  if (image.GetPalette() == nullptr) image.SetPalette(nullptr, 0, 0);
  return image.GetPalette();
}

uint32_t CopyImageToSurface(plat::Surface* surface, uint32_t format, const plat::Rect& surface_rect, CImage* image,
                            int32_t x, int32_t y, const plat::Rect* source_rect, const plat::LockedSurface* locked) {
  if (surface == nullptr || image == nullptr || !image->HasPixels()) return 1;
  plat::Rect source;
  image->GetClipRect(&source);
  if (source_rect != nullptr) {
    const plat::Rect clip = source;
    source = *source_rect;
    if (!ClipRectToRect(&source, clip)) return 0;
  }
  // The surface may be smaller than the rectangle it is said to cover.
  const plat::Rect bounds{std::max(surface_rect.left, 0), std::max(surface_rect.top, 0),
                          std::min(surface_rect.right, surface->Width()),
                          std::min(surface_rect.bottom, surface->Height())};
  plat::Rect dest;
  if (ClipBltRects(x, y, &source, &dest, &bounds, nullptr) != 0 || dest.left >= dest.right ||
      dest.top >= dest.bottom) {
    return 0;
  }
  plat::LockedSurface own_lock;
  if (locked == nullptr) {
    if (plat::Failed(surface->Lock(nullptr, own_lock))) return 2;
    locked = &own_lock;
  }
  uint32_t status = 0;
  const uint8_t* first_row = image->GetRowPointer(source.top);
  const int32_t width = dest.right - dest.left;
  const int32_t height = dest.bottom - dest.top;
  if (image->GetBitsPerPixel() == 8) {
    if (const uint32_t* palette = EnsureImagePalette(*image)) {
      WritePal8ToSurface(format, locked->bits, dest.left, dest.top, locked->pitch, first_row + source.left,
                         image->GetPitch(), width, height, palette);
    } else {
      status = 2;
    }
  } else if (image->GetBitsPerPixel() == 32) {
    WriteArgb32ToSurface(format, locked->bits, dest.left, dest.top, locked->pitch,
                         first_row + static_cast<std::ptrdiff_t>(source.left) * 4, image->GetPitch(), width, height);
  }
  if (locked == &own_lock) surface->Unlock();
  return status;
}

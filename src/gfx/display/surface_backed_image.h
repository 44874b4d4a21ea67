// The image interface of the pictures that live on a display surface (DirectDraw pictures and
// image sprites, picture and text objects): after the image operations they give their
// surface, through whose device context the software images copy from them.
#pragma once

#include "gfx/images/image_interface.h"
#include "platform/window/surface.h"

class CSurfaceBackedImage : public CImageInterface {
 public:
  // Null while the object has no surface.
  virtual plat::Surface* GetSurface() const = 0;
};

// The display surface of a picture that lives on one; null for other pictures and for none.
inline plat::Surface* DisplaySurfaceOf(const CImageInterface* image) {
  const auto* backed = dynamic_cast<const CSurfaceBackedImage*>(image);
  return backed != nullptr ? backed->GetSurface() : nullptr;
}

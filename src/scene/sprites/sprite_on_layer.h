// A sprite shown from an image on a draw layer: the list of the image part given, or of the
// screen's frame image, at a priority, keyed or blended as asked.
#pragma once

#include <cstdint>

#include "platform/system/geometry.h"

class CImage;
class CImagePart;
class CSprite;

struct SpritePlacement {
  int32_t x = 0;  // the two values the sprite's image is set with
  int32_t y = 0;
  // Left below 0: the whole image.
  plat::Rect source{-1, 0, 0, 0};
  // Below 0: in no list.
  int32_t priority = -1;
  bool enabled = true;
  // The layer's attached list instead of its own.
  bool attached_list = false;
  // Null: the screen's frame image.
  CImagePart* part = nullptr;
};

// Key mode >= 0 keys the image by its pixel at (key mode, key value); -1 leaves it; -2 and
// below make the sprite blend (mode 2) at opacity `key value`. 0; 1 no sprite or image; 2 the
// file does not load; 3 the sprite does not take the image.
uint32_t LoadSpriteOnLayer(CSprite* sprite, CImage* image, const char* file_name, int32_t key_mode,
                           int32_t key_value, const SpritePlacement& placement);
// The image as it is, with blend mode `blend_mode` (0 = leave) at `opacity`: 0; 1 no sprite or
// image; 3 the sprite does not take the image.
uint32_t ShowSpriteOnLayer(CSprite* sprite, CImage* image, uint8_t blend_mode, uint8_t opacity,
                           const SpritePlacement& placement);

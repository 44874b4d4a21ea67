// The one view through which the engine draws into and reads from every picture: its kind,
// size, row pitch, pixels, rows, colour key, clip rectangle and three words its owner attaches.
// The virtual operations stand in their fixed order; software images add `Resize` after them.
#pragma once

#include <cstdint>

#include "base/lifetime/handle_table.h"
#include "gfx/images/color_key.h"

#include "platform/system/geometry.h"

enum class ESurfaceKind : uint8_t {
  kDDrawPicture = 0,
  kDDrawSprite = 1,
  kPictureObject = 2,
  kTextObject = 3,
  kImage = 4,  // CImage and CImageBase
  kLockedImageBuffer = 5,
  kMovieSurface = 6,
  kSurfaceCanvas = 7,
  kPictureCanvas = 8,
  kImageCanvasEx = 9,
  kImageCanvas = 10,
};


// Scripts hold a surface object by one handle, whatever other bases the object has.
class CImageInterface : public ScriptVisible<CImageInterface> {
 public:
  CImageInterface() = default;
  CImageInterface(const CImageInterface&) = delete;
  CImageInterface& operator=(const CImageInterface&) = delete;
  // Tells the picture holders, which let go of it.
  virtual ~CImageInterface();

  virtual ESurfaceKind GetKind() const = 0;
  virtual int32_t GetWidth() const { return width_; }
  virtual int32_t GetHeight() const { return height_; }
  virtual int32_t GetPitch() const { return pitch_; }
  // {0, 0, width, height}.
  virtual plat::Rect* GetBounds(plat::Rect* out) const;
  // The first pixel of row 0, or null when there are no pixels.
  virtual uint8_t* GetPixels() const = 0;
  // Null without pixels or when y, taken as unsigned, is not below the height.
  virtual uint8_t* GetRowPointer(int32_t y) const = 0;
  // Non-zero when no key results. Only the low byte of each argument counts.
  virtual uint32_t SetColorKeyRgb(uint32_t r, uint32_t g, uint32_t b) = 0;
  virtual uint32_t SetColorKeyFromPixel(int32_t x, int32_t y) = 0;
  // kNoColorKey when there is none.
  virtual uint32_t GetColorKey() const { return color_key_; }
  virtual uint32_t ClearColorKey() = 0;
  virtual uint32_t Restore(bool only_if_lost) = 0;
  // Null sets the clip to the bounds; false and no change for a rectangle without area.
  virtual bool SetClipRect(const plat::Rect* rect) = 0;
  virtual plat::Rect* GetClipRect(plat::Rect* out) const;
  virtual plat::Rect* GetClipRectPtr() { return &clip_; }
  // Intersects rect with the clip rectangle; false when nothing is left.
  virtual bool ClipRect(plat::Rect* rect) const = 0;
  virtual uint32_t GetUserWord0() const { return user_words_[0]; }
  virtual uint32_t GetUserWord1() const { return user_words_[1]; }
  virtual uint32_t SetUserWord0(uint32_t value) { return user_words_[0] = value; }
  virtual uint32_t SetUserWord1(uint32_t value) { return user_words_[1] = value; }
  virtual uint32_t SetUserWord2(uint32_t value) { return user_words_[2] = value; }
  virtual uint32_t GetUserWord2() const { return user_words_[2]; }

  // The group id the screen manager stamps on the objects it makes.
  uint32_t GetId() const { return id_; }
  void SetId(uint32_t id) { id_ = id; }

 protected:
  // The clip operations that images holding their own pixels share: SetClipRect (the bounds for
  // null, else the rectangle cut to them) and ClipRect (the rectangle cut to the clip).
  bool SetClipWithinBounds(const plat::Rect* rect);
  bool CutToClip(plat::Rect* rect) const;

  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t pitch_ = 0;
  uint32_t color_key_ = kNoColorKey;
  plat::Rect clip_;
  uint32_t user_words_[3] = {0, 0, 0};

 private:
  uint32_t id_ = 0;
};

// Sets the alpha byte of every 32-bit pixel of the image, keeping the colour bits. Does nothing
// without pixels or when a row is shorter than its width of 32-bit pixels.
void SetImageAlpha(CImageInterface* image, uint8_t alpha);

// A screen transition as an image part carries it: the part holds one reference while it is
// attached (CImagePart::Attach), and the frame image presents through it, advancing it with the
// time and rendering horizontal strips of its target image, until it reports that it has
// finished. The reference count is the one every counted object of the engine shares, so that a
// transition made by the transition-object host is counted once.
#pragma once

#include <cstdint>

#include "base/lifetime/ref_counted.h"
#include "gfx/images/image.h"

#include "platform/system/geometry.h"

// Program-wide switch: transitions that allow it are presented in horizontal strips.
extern uint8_t g_StripRepaint;

class CScreenTransition : public virtual CRefCounted {
 public:
  // Flag bit: the transition may be presented in strips.
  static constexpr uint32_t kAllowsStrips = 1;
  // Types 0 and 1 work on the layers of both the part and its partner; type 2 on the part's only.
  static constexpr uint8_t kTypeWithoutPartnerLayer = 2;

  // A constant of the class: 0, 1 or 2.
  virtual uint8_t GetTransitionType() const = 0;
  // Moves the transition to the time (program milliseconds); true when it has ended.
  virtual bool Advance(uint32_t now) = 0;
  virtual uint32_t GetFlags() const = 0;
  // The image the strips are rendered into; 8 or 32 bits.
  virtual CImage* GetTargetImage() = 0;
  virtual void RenderStrip(const plat::Rect& strip) = 0;
  virtual bool IsFinished() const = 0;
};

// The height of the strips of a frame (or of a repainted rectangle) of this width: narrow
// areas get tall strips.
int32_t TransitionStripHeight(int32_t frame_width);

// What the present path needs of a screen transition that runs on the frame image: it is
// advanced with the time, renders horizontal strips of its target image, and ends.
#pragma once

#include <cstdint>

#include "gfx/image.h"

#include "platform/window_messages.h"

// Program-wide switch: transitions that allow it are presented in horizontal strips.
extern uint8_t g_StripRepaint;

class IFrameTransition {
 public:
  // Flag bit: the transition may be presented in strips.
  static constexpr uint32_t kAllowsStrips = 1;

  virtual ~IFrameTransition() = default;
  // Moves the transition to the time (program milliseconds); true when it has ended.
  virtual bool Advance(uint32_t now) = 0;
  virtual uint32_t GetFlags() const = 0;
  // The image the strips are rendered into; 8 or 32 bits.
  virtual CImage* GetTargetImage() = 0;
  virtual void RenderStrip(const plat::Rect& strip) = 0;
  virtual bool IsFinished() const = 0;
  // Called once by the frame image when it lets the finished transition go.
  virtual void End() = 0;
};

// The height of the strips of a frame of this width.
int32_t TransitionStripHeight(int32_t frame_width);

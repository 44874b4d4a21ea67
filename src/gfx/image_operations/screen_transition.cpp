#include "gfx/image_operations/screen_transition.h"

uint8_t g_StripRepaint = 1;

int32_t TransitionStripHeight(int32_t frame_width) {
  if (frame_width < 40) return 128;
  if (frame_width < 80) return 64;
  if (frame_width < 160) return 32;
  if (frame_width < 320) return 16;
  return 8;
}

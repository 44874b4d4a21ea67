// What the screen runs, as the start-up log and the system report describe it: the mode, the
// drawing device and its surfaces, and the texture the frames are shown through.
#pragma once

#include <cstdint>
#include <string>

#include "gfx/display/surface_services.h"

class CScreenManager;

struct ScreenReport {
  uint32_t render_mode = 0;  // CScreenManager::kRender*
  bool full_screen = false;
  // Full screen: the chosen display's name (empty when none was chosen) and the display mode.
  std::string display_name;
  uint32_t mode_width = 0;
  uint32_t mode_height = 0;
  uint32_t mode_depth = 0;
  // The drawing device (render modes 1 and 2).
  std::string driver_description;
  std::string driver_name;
  uint64_t driver_version = 0;
  bool software = false;
  bool hardware_stretch = false;
  uint32_t video_total = 0;
  uint32_t video_free = 0;
  // Its surfaces, when it has them.
  bool has_surfaces = false;
  uint32_t primary_caps = 0;
  uint32_t back_caps = 0;
  PixelFormatInfo pixel;
  uint32_t pixel_code = 0;
  uint8_t vertical_blank_wait = 0;
  // The texture of render mode 2.
  int32_t texture_width = 0;
  int32_t texture_height = 0;
  uint32_t texture_code = 0;
};

ScreenReport DescribeScreen(CScreenManager& screen, bool full_screen);

// The four 16-bit parts of a driver version, most significant first: "a.b.c.d".
std::string FormatDriverVersion(uint64_t version);
// Whether a surface of these capabilities lies outside system memory.
bool InVideoMemory(uint32_t caps);
// The texture is made with the 32-bit format the frames are written in.
bool IsDirectTexture(const ScreenReport& report);

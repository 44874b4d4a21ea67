#include "app/framework/screen_report.h"

#include "pixel/formats/pixel_format_codes.h"
#include "gfx/display/screen_manager.h"
#include "platform/window/display_device.h"
#include "platform/window/surface.h"

ScreenReport DescribeScreen(CScreenManager& screen, bool full_screen) {
  ScreenReport report;
  report.render_mode = screen.GetRenderMode();
  report.full_screen = full_screen;
  if (full_screen) {
    if (const DisplayEntry* display = screen.GetSelectedDisplay()) report.display_name = display->description;
    report.mode_width = static_cast<uint32_t>(screen.GetOutputWidth());
    report.mode_height = static_cast<uint32_t>(screen.GetOutputHeight());
    report.mode_depth = screen.GetDisplayModeDepth() != 0 ? screen.GetDisplayModeDepth() : screen.GetFullScreenDepth();
  }
  if (report.render_mode == CScreenManager::kRenderGdi) return report;
  report.driver_description = screen.GetDriverDescription();
  report.driver_name = screen.GetDriverName();
  report.driver_version = screen.GetDriverVersion();
  report.software = screen.HasNoHardware();
  report.hardware_stretch = (screen.GetCapsWord() & plat::DDCAPS_BLTSTRETCH) != 0;
  report.video_total = screen.GetTotalVideoMemory();
  report.video_free = screen.GetFreeVideoMemory(true);
  report.has_surfaces = screen.GetPrimary() != nullptr;
  report.primary_caps = screen.GetPrimaryCaps();
  report.back_caps = screen.GetBackCaps();
  report.pixel_code = GetSurfacePixelFormat(screen.GetBack() != nullptr ? screen.GetBack() : screen.GetPrimary(),
                                            &report.pixel, nullptr);
  report.vertical_blank_wait = screen.GetWaitForVerticalBlank();
  if (report.render_mode == CScreenManager::kRenderTexture) {
    report.texture_width = screen.GetTextureWidth();
    report.texture_height = screen.GetTextureHeight();
    report.texture_code = screen.GetTextureFormatCode();
  }
  return report;
}

std::string FormatDriverVersion(uint64_t version) {
  return std::to_string(version >> 48 & 0xFFFF) + "." + std::to_string(version >> 32 & 0xFFFF) + "." +
         std::to_string(version >> 16 & 0xFFFF) + "." + std::to_string(version & 0xFFFF);
}

bool InVideoMemory(uint32_t caps) { return (caps & plat::DDSCAPS_SYSTEMMEMORY) == 0; }

bool IsDirectTexture(const ScreenReport& report) {
  return report.texture_code == kPixelFormatXrgb8888 || report.texture_code == kPixelFormatArgb8888;
}

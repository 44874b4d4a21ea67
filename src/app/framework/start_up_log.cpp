#include "app/framework/start_up_log.h"

#include <cstdarg>
#include <cstdio>
#include <span>

#include "base/files/file.h"
#include "base/files/file_services.h"
#include "base/input/input_manager.h"
#include "base/input/joystick.h"
#include "base/settings/settings_files.h"
#include "gfx/display/screen_manager.h"
#include "platform/encoding/text_encoding.h"
#include "platform/system/diagnostic_log.h"

namespace {

const std::string& Mark(bool present) { return FeatureMark(present); }

constexpr int kMegabyteShift = 20;

unsigned long long Megabytes(uint64_t bytes) { return static_cast<unsigned long long>(bytes >> kMegabyteShift); }

// "%3d,%03d,%03d", "    %3d,%03d" or "        %3d": a number of up to nine digits in its column.
std::string Grouped(uint64_t value) {
  char text[48];
  if (value >= 1000000) {
    std::snprintf(text, sizeof text, "%3llu,%03llu,%03llu", static_cast<unsigned long long>(value / 1000000),
                  static_cast<unsigned long long>(value / 1000 % 1000), static_cast<unsigned long long>(value % 1000));
  } else if (value >= 1000) {
    std::snprintf(text, sizeof text, "    %3llu,%03llu", static_cast<unsigned long long>(value / 1000),
                  static_cast<unsigned long long>(value % 1000));
  } else {
    std::snprintf(text, sizeof text, "        %3llu", static_cast<unsigned long long>(value));
  }
  return text;
}

}  // namespace

std::string FormatDriveSpace(uint64_t free_megabytes, uint64_t total_megabytes) {
  return Grouped(free_megabytes) + " / " + Grouped(total_megabytes) + " MB";
}

unsigned CStartUpLog::Open(const std::string& path) {
  text_.clear();
  const unsigned result = WriteFileReplacing(path.c_str(), [](CFile&) { return true; });
  path_ = result == 0 ? path : std::string();
  return result;
}

void AppendFormattedV(std::string& text, const char* format, va_list arguments) {
  va_list copy;
  va_copy(copy, arguments);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (size <= 0) return;
  const std::size_t start = text.size();
  text.resize(start + static_cast<std::size_t>(size) + 1);
  std::vsnprintf(text.data() + start, static_cast<std::size_t>(size) + 1, format, arguments);
  text.pop_back();
}

void CStartUpLog::Printf(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  AppendFormattedV(text_, format, arguments);
  va_end(arguments);
}

void CStartUpLog::Flush() {
  if (!IsOpen()) return;
  const auto* bytes = reinterpret_cast<const uint8_t*>(text_.data());
  if (SaveFileReplacing(path_.c_str(), std::span<const uint8_t>(bytes, text_.size())) != 0) {
    plat::LogDiagnostic("start-up log: it cannot be written");
  }
}

void CStartUpLog::WriteHeader(const AppInfo& info, const plat::LocalTime& now) {
  Printf("< Initialize Start...  %04d/%02d/%02d  %02d:%02d:%02d >\r\n\r\n", now.year, now.month, now.day, now.hour,
         now.minute, now.second);
  Printf(plat::Utf8ToSjis("「%s」Version %s\r\n").c_str(), info.product_name.c_str(), FormatVersion(info).c_str());
  if (!info.copyright.empty()) Printf("%s\r\n", info.copyright.c_str());
  if (!info.web_address.empty()) Printf("%s\r\n", info.web_address.c_str());
}

void CStartUpLog::WriteSystem(const plat::SystemFacts& facts, const std::optional<plat::DesktopInfo>& desktop,
                              const std::string& program_folder) {
  Printf("\r\n[ System ]\r\n");
  Printf("OS       : %s (%s)\r\n", plat::Utf8ToSjis(facts.os_name).c_str(), facts.os_version.c_str());
  Printf("Language : %s\r\n", facts.language.c_str());
  Printf("Memory   : %lluMB (Avail %lluMB)\r\n", Megabytes(facts.memory_total), Megabytes(facts.memory_available));
  const plat::DesktopInfo screen = desktop.value_or(plat::DesktopInfo{});
  Printf("Display  : %d x %d  %dbit %dHz (Not MonitorInfo)\r\n", screen.width, screen.height, screen.bits_per_pixel,
         screen.refresh_rate);
  Printf("DirectX  : Unknown");
  Printf("\r\nPageFile : %lluMB (Avail %lluMB)", Megabytes(facts.swap_total), Megabytes(facts.swap_available));
  Printf("\r\nModule   : %s", plat::Utf8ToSjis(facts.module_path).c_str());
  Printf("\r\nDirectory: %s\r\n\r\n\r\n", program_folder.c_str());
}

void CStartUpLog::WriteProcessor(const CpuInfo& cpu, std::optional<uint32_t> megahertz, uint32_t processor_count) {
  Printf("[ CPU ]\r\nName    : %s", FormatCpuName(cpu).c_str());
  Printf("\r\nVender  : %s\r\n", cpu.vendor.c_str());
  Printf("          Type %d / Family %d / Model %d / Stepping %d\r\n", cpu.type, cpu.family, cpu.model, cpu.stepping);
  if (megahertz) Printf("CpuClock: %s (%u CPU)\r\n", FormatCpuClock(*megahertz).c_str(), processor_count);
  Printf("Cache   : %s", FormatCpuCaches(cpu.caches).c_str());
  Printf("\r\nSupport : FPU %s / TSC %s / CMOV %s\r\n", Mark(cpu.fpu).c_str(), Mark(cpu.tsc).c_str(),
         Mark(cpu.cmov).c_str());
  Printf("          MMX %s / SSE %s / SSE2 %s / SSE3 %s / MMX+ %s / 3DNow! %s / 3DNow!+ %s / HTT %s\r\n\r\n\r\n",
         Mark(cpu.mmx).c_str(), Mark(cpu.sse).c_str(), Mark(cpu.sse2).c_str(), Mark(cpu.sse3).c_str(),
         Mark(cpu.mmx_ext).c_str(), Mark(cpu.now3d).c_str(), Mark(cpu.now3d_ext).c_str(), Mark(cpu.htt).c_str());
}

void CStartUpLog::WriteInput(uint8_t input_method, const CInputManager& input, uint32_t key_count,
                             uint32_t mouse_axes, uint32_t mouse_buttons) {
  if (input_method == 0) {
    Printf("[ DirectInput ]\r\nKeyBoard: %u Key\r\nMouse   : %u Axes / %u Button", key_count, mouse_axes,
           mouse_buttons);
  } else if (input_method == 1) {
    Printf("[ Input Windows API ]");
  } else {
    Printf("[ Input Window Message ]");
  }
  Printf("\r\nJoyStick: ");
  if (const CJoystick* joystick = input.GetJoystick(0)) {
    Printf("No.%d / %s / %u Axes / %u Button", joystick->GetDeviceNumber(), joystick->GetName().c_str(),
           joystick->GetAxisCount(), joystick->GetButtonCount());
  } else {
    Printf("None");
  }
  Printf("\r\n\r\n\r\n");
}

void CStartUpLog::WriteSound(const std::vector<SoundDeviceInfo>& devices) {
  Printf("[ DirectSound ]\r\n");
  int number = 0;
  for (const SoundDeviceInfo& device : devices) {
    if (!device.guid) continue;
    Printf("<Device %d>\r\nDriver Name: %s\r\nDriver File: %s\r\n", ++number, device.description.c_str(),
           device.module_name.c_str());
  }
  Printf(number == 0 ? "Unknown\r\n\r\n\r\n" : "\r\n\r\n");
}

void CStartUpLog::WriteDisplay(const ScreenReport& screen) {
  if (screen.full_screen) {
    Printf("[ FullScreen Mode ]\r\nDisplay : ");
    if (!screen.display_name.empty()) Printf("%s\r\n          ", screen.display_name.c_str());
    Printf("%u x %u  %ubit\r\n", screen.mode_width, screen.mode_height, screen.mode_depth);
  } else {
    Printf("[ Window Mode ]\r\n");
  }
  if (screen.render_mode == CScreenManager::kRenderGdi) {
    Printf("< GDI >\r\n\r\n\r\n");
    return;
  }
  const auto yes_no = [](bool yes) { return yes ? "Yes" : "No "; };
  Printf("< DirectDraw >\r\nDriver Name   : %s\r\nDriver File   : %s\r\nDriver Version: %s\r\n",
         screen.driver_description.c_str(), screen.driver_name.c_str(), FormatDriverVersion(screen.driver_version).c_str());
  Printf("DirectDraw    : %s\r\nHAL StretchBlt: %s\r\n", screen.software ? "HEL" : "HAL",
         yes_no(screen.hardware_stretch));
  if (screen.video_total != 0) {
    Printf("VideoMemory   : %.3f MB (free: %.3f MB)\r\n", screen.video_total / 1048576.0, screen.video_free / 1048576.0);
  } else {
    Printf("VideoMemory   : Unknown\r\n");
  }
  if (screen.has_surfaces) {
    Printf("Primary       : VRAM[%s]  Caps[0x%08x]\r\n", yes_no(InVideoMemory(screen.primary_caps)), screen.primary_caps);
    Printf("Secondary     : VRAM[%s]  Caps[0x%08x]\r\n", yes_no(InVideoMemory(screen.back_caps)), screen.back_caps);
    const PixelFormatInfo& pixel = screen.pixel;
    Printf("Pixel         : %ubit  Type[0x%04x]  RGB %u%u%u / %08x:%08x:%08x\r\n", pixel.bits_per_pixel,
           screen.pixel_code, pixel.red_bits, pixel.green_bits, pixel.blue_bits, pixel.red_mask, pixel.green_mask,
           pixel.blue_mask);
  }
  if (screen.render_mode == CScreenManager::kRenderTexture) {
    Printf("< Direct3D >\r\nTexture       : %d x %d  Type[0x%04x]\r\nDirectBlt     : %s\r\n", screen.texture_width,
           screen.texture_height, screen.texture_code, yes_no(IsDirectTexture(screen)));
  }
  Printf("\r\n\r\n");
}

void CStartUpLog::WriteDrives(const std::vector<Drive>& drives) {
  Printf("[ Drive Info ]\r\n");
  for (const Drive& drive : drives) {
    Printf(" [%s] ", drive.root.c_str());
    WriteDriveSpace(drive);
    Printf("\r\n");
  }
}

void CStartUpLog::WriteDriveSpace(const Drive& drive) {
  switch (drive.kind) {
    case DriveKind::kFixed:
      Printf("%s", FormatDriveSpace(drive.free_bytes >> kMegabyteShift, drive.total_bytes >> kMegabyteShift).c_str());
      break;
    case DriveKind::kRemovable:
      Printf("Removable Drive");
      break;
    case DriveKind::kNetwork:
      Printf("Network Drive");
      break;
    case DriveKind::kOptical:
      Printf("CD/DVD-ROM Drive");
      break;
    case DriveKind::kRamDisk:
      Printf("RAM-Disk Drive");
      break;
    case DriveKind::kUnknown:
      Printf("Unknown");
      break;
  }
}

void CStartUpLog::WriteApplicationsAndProcesses(const std::vector<std::string>& processes) {
  Printf("\r\n\r\n[ Application ]\r\n");
  Printf("\r\n\r\n[ Process ]\r\n");
  if (processes.empty()) Printf("Error\r\n");
  for (const std::string& path : processes) Printf("%s\r\n", plat::Utf8ToSjis(path).c_str());
}

void CStartUpLog::WriteClosing(const plat::LocalTime& now) {
  Printf("\r\n< Initialize Done...  %04d/%02d/%02d  %02d:%02d:%02d >\r\n", now.year, now.month, now.day, now.hour,
         now.minute, now.second);
}

// The system report of the version dialog: a Shift-JIS text with CR LF line ends, in a short
// form (system and devices) or a detailed one (adding the display, processor, sound, input,
// drive and process sections). Every fact the machine cannot give prints the report's own
// "unknown" text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/framework/screen_report.h"
#include "app/framework/start_up_log.h"
#include "base/settings/framework_settings.h"
#include "base/system/cpu_info.h"
#include "platform/system/system_facts.h"
#include "platform/window/native_window.h"
#include "sound/sound_device_list.h"

struct ReportJoystick {
  int32_t number = 0;
  std::string name;
  uint32_t axes = 0;
  uint32_t buttons = 0;
};

struct SystemReportFacts {
  AppInfo app;
  plat::SystemFacts system;
  // The four numbers a.b.c.d of the installed runtime, packed as (a << 16 | b) and
  // (c << 16 | d); both 0 when unknown.
  uint32_t directx_high = 0;
  uint32_t directx_low = 0;
  std::optional<plat::DesktopInfo> desktop;
  bool screen_up = false;
  std::string module_folder;
  bool uses_counter = false;
  bool skip_enabled = false;
  std::vector<SoundDeviceInfo> sound_devices;
  uint8_t input_method = 0;  // 0 direct input, 1 the system's key state, 2 window messages
  uint32_t key_count = 0;
  uint32_t mouse_axes = 0;
  uint32_t mouse_buttons = 0;
  std::optional<ReportJoystick> joystick;
  bool uses_mmx = false;
  bool uses_sse = false;
  ScreenReport screen;
  CpuInfo cpu;
  uint32_t megahertz = 0;  // 0 when unknown
  std::vector<CStartUpLog::Drive> drives;
  std::vector<std::string> processes;  // host paths; empty when they cannot be listed
};

// The DirectX line's value: "DirectX 9 (4.09.00.0904)\r\n", or "Unknown\r\n" without a version.
std::string FormatDirectXVersion(uint32_t high, uint32_t low);

std::string WriteSystemReport(const SystemReportFacts& facts, bool detailed);

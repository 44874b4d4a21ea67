// The start-up log "SYS_LOG.TXT": Shift-JIS text with CR LF line ends, written section by
// section while the program starts. Each section is put on the disk as soon as it is complete
// (through a temporary file renamed over the log), so a start that fails midway leaves the
// sections written so far.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/framework/screen_report.h"
#include "base/settings/framework_settings.h"
#include "base/system/cpu_info.h"
#include "platform/system/system_facts.h"
#include "platform/window/native_window.h"
#include "sound/sound_device_list.h"

class CInputManager;

inline constexpr const char* kStartUpLogName = "SYS_LOG.TXT";

class CStartUpLog {
 public:
  // Starts an empty log at `path` (resolved as the data files' paths are): 0, else non-zero
  // when the file cannot be created.
  unsigned Open(const std::string& path);
  bool IsOpen() const { return !path_.empty(); }
  const std::string& Text() const { return text_; }

  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Puts the text so far on the disk.
  void Flush();

  void WriteHeader(const AppInfo& info, const plat::LocalTime& now);
  void WriteSystem(const plat::SystemFacts& facts, const std::optional<plat::DesktopInfo>& desktop,
                   const std::string& program_folder);
  // `megahertz` is printed only when the clock is to be logged.
  void WriteProcessor(const CpuInfo& cpu, std::optional<uint32_t> megahertz, uint32_t processor_count);
  // `key_count`, `mouse_axes` and `mouse_buttons` describe the direct-input keyboard and mouse.
  void WriteInput(uint8_t input_method, const CInputManager& input, uint32_t key_count, uint32_t mouse_axes,
                  uint32_t mouse_buttons);
  void WriteSound(const std::vector<SoundDeviceInfo>& devices);
  // The screen mode, and the drawing device with its surfaces and texture, or "< GDI >".
  void WriteDisplay(const ScreenReport& screen);
  // One line per drive: a fixed drive prints its space, the others their kind.
  enum class DriveKind { kFixed, kRemovable, kNetwork, kOptical, kRamDisk, kUnknown };
  struct Drive {
    std::string root;
    DriveKind kind = DriveKind::kUnknown;
    uint64_t free_bytes = 0;
    uint64_t total_bytes = 0;
  };
  void WriteDrives(const std::vector<Drive>& drives);
  void WriteApplicationsAndProcesses(const std::vector<std::string>& processes);
  void WriteClosing(const plat::LocalTime& now);

 private:
  void WriteDriveSpace(const Drive& drive);

  std::string path_;
  std::string text_;
};

// Appends `format` filled from `arguments` to `text`, as vsnprintf prints it.
void AppendFormattedV(std::string& text, const char* format, va_list arguments);

// The free and total space in MB of a fixed drive, in thousands groups as the drive lines
// print them: "  1,234,567 /     12,345 MB".
std::string FormatDriveSpace(uint64_t free_megabytes, uint64_t total_megabytes);

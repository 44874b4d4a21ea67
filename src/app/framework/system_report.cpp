#include "app/framework/system_report.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <utility>

#include "base/settings/settings_files.h"
#include "gfx/display/screen_manager.h"
#include "platform/encoding/text_encoding.h"

namespace {

constexpr int kMegabyteShift = 20;

// The report's text with printf-style appending; the formats are UTF-8 and are converted to
// Shift-JIS (their converted bytes never hold a '%'), the values are given in Shift-JIS.
class CReportText {
 public:
  void Add(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    va_list arguments;
    va_start(arguments, format);
    AppendFormattedV(text_, plat::Utf8ToSjis(format).c_str(), arguments);
    va_end(arguments);
  }
  // Appends a UTF-8 text as it stands (converted).
  void AddText(const char* text) { text_ += plat::Utf8ToSjis(text); }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

// Two-valued items, in Shift-JIS as the values of the report's lines are.
const char* OnOff(bool on) {
  static const std::string kOn = plat::Utf8ToSjis("有効");
  static const std::string kOff = plat::Utf8ToSjis("無効");
  return (on ? kOn : kOff).c_str();
}

const char* Use(bool used) {
  static const std::string kUsed = plat::Utf8ToSjis("使用する");
  static const std::string kUnused = plat::Utf8ToSjis("使用しない");
  return (used ? kUsed : kUnused).c_str();
}

unsigned long long Megabytes(uint64_t bytes) { return static_cast<unsigned long long>(bytes >> kMegabyteShift); }

const SoundDeviceInfo* FirstUsableSoundDevice(const std::vector<SoundDeviceInfo>& devices, int& usable_count) {
  const SoundDeviceInfo* first = nullptr;
  usable_count = 0;
  for (const SoundDeviceInfo& device : devices) {
    if (!device.guid) continue;
    if (first == nullptr) first = &device;
    ++usable_count;
  }
  return first;
}

void WriteHeader(CReportText& out, const AppInfo& app) {
  out.Add("「%s」Version %s\r\n", app.product_name.c_str(), FormatVersion(app).c_str());
  if (!app.copyright.empty()) out.Add("%s\r\n", app.copyright.c_str());
  if (!app.web_address.empty()) out.Add("%s\r\n", app.web_address.c_str());
}

void WriteSystem(CReportText& out, const SystemReportFacts& facts) {
  const plat::SystemFacts& system = facts.system;
  out.Add("\r\n------ システム ------\r\n");
  out.Add("OS              : %s (%s) %s\r\nDirectX         : ", plat::Utf8ToSjis(system.os_name).c_str(),
          system.os_version.c_str(), system.language.c_str());
  out.Add("%s", FormatDirectXVersion(facts.directx_high, facts.directx_low).c_str());
}

const char* RenderModeName(uint32_t render_mode) {
  switch (render_mode) {
    case CScreenManager::kRenderDirectDraw:
      return "DirectDraw";
    case CScreenManager::kRenderTexture:
      return "Direct3D";
    default:
      return "GDI";
  }
}

// The vertical-blank wait and the flip (the wait level 2 or more in full screen), as `lines` says.
void WriteFrameWaits(CReportText& out, const ScreenReport& screen, const char* lines) {
  out.Add(lines, OnOff(screen.vertical_blank_wait > 0), OnOff(screen.full_screen && screen.vertical_blank_wait >= 2));
}

void WriteMemoryAndDisplay(CReportText& out, const SystemReportFacts& facts) {
  const plat::SystemFacts& system = facts.system;
  out.Add("メモリ          : %lluMB (%lluMB 使用可能)\r\n", Megabytes(system.memory_total),
          Megabytes(system.memory_available));
  out.Add("ページファイル  : %lluMB 使用中 / %lluMB 使用可能\r\n",
          Megabytes(system.swap_total - std::min(system.swap_available, system.swap_total)),
          Megabytes(system.swap_available));
  const plat::DesktopInfo screen = facts.desktop.value_or(plat::DesktopInfo{});
  out.Add("ディスプレイ    : %dx%d %dbit", screen.width, screen.height, screen.bits_per_pixel);
  if (screen.refresh_rate > 0) {
    out.Add(" %dHz\r\n", screen.refresh_rate);
  } else {
    out.Add("\r\n");
  }
  if (facts.screen_up) out.Add("画面更新方法    : %s\r\n", RenderModeName(facts.screen.render_mode));
  out.Add("実行ファイル    : %s\r\n作業フォルダ    : %s", plat::Utf8ToSjis(system.module_path).c_str(),
          facts.module_folder.c_str());
  out.Add("\r\n高分解能タイマー: %s\r\nフレームスキップ: %s\r\n\r\n", OnOff(facts.uses_counter),
          OnOff(facts.skip_enabled));
}

void WriteDevices(CReportText& out, const SystemReportFacts& facts) {
  int usable = 0;
  const SoundDeviceInfo* sound = FirstUsableSoundDevice(facts.sound_devices, usable);
  out.Add("------ デバイス ------");
  if (facts.screen.render_mode != CScreenManager::kRenderGdi) {
    out.Add("\r\nビデオカード    : %s", facts.screen.driver_description.c_str());
  }
  if (sound != nullptr) {
    out.Add("\r\nサウンドカード  : %s", sound->description.c_str());
  } else {
    out.Add("\r\nサウンドカード  : 不明");
  }
  const ScreenReport& screen = facts.screen;
  if (screen.render_mode == CScreenManager::kRenderGdi) {
    out.Add("\r\nDirectDraw      : 未初期化\r\n");
  } else {
    out.Add("\r\nDirectDraw      : %s\r\n", screen.software ? "HEL" : "HAL");
    if (screen.has_surfaces) WriteFrameWaits(out, screen, "VSync待ち描画   : %s\r\nDirectDraw Flip : %s\r\n");
  }
  out.Add("DirectSound     : %s\r\n", OnOff(sound != nullptr));
  out.Add("DirectInput     : %s\r\n", OnOff(facts.input_method == 0));
  out.Add("ジョイスティック: %s\r\n", OnOff(facts.joystick.has_value()));
  out.Add("MMX命令         : %s\r\n", Use(facts.uses_mmx));
  out.Add("SSE命令         : %s\r\n", Use(facts.uses_sse));
}

void WriteScreenMode(CReportText& out, const SystemReportFacts& facts) {
  const ScreenReport& screen = facts.screen;
  if (screen.full_screen) {
    out.Add("------ フルスクリーンモード ------\r\nディスプレイ      : ");
    if (!screen.display_name.empty()) out.Add("%s\r\n                    ", screen.display_name.c_str());
    out.Add("%ux%u %ubit\r\n", screen.mode_width, screen.mode_height, screen.mode_depth);
  } else {
    out.Add("------ ウィンドウモード ------\r\n");
  }
  if (screen.render_mode == CScreenManager::kRenderGdi) {
    out.Add("GDI描画\r\n\r\n");
    return;
  }
  out.Add("< DirectDraw >\r\nビデオカード      : %s\r\nドライバファイル  : %s\r\n", screen.driver_description.c_str(),
          screen.driver_name.c_str());
  out.Add("ドライバ Version  : %s\r\n動作モード        : %s\r\nハードウェア拡縮  : %s\r\n",
          FormatDriverVersion(screen.driver_version).c_str(), screen.software ? "HEL" : "HAL",
          OnOff(screen.hardware_stretch));
  if (screen.has_surfaces) {
    static const std::string kSystemMemory = plat::Utf8ToSjis("システムメモリ");
    const auto memory = [](uint32_t caps) { return InVideoMemory(caps) ? "VRAM" : kSystemMemory.c_str(); };
    out.Add("プライマリバッファ: %s / Caps[0x%08x]\r\nバックバッファ    : %s / Caps[0x%08x]\r\n",
            memory(screen.primary_caps), screen.primary_caps, memory(screen.back_caps), screen.back_caps);
    const PixelFormatInfo& pixel = screen.pixel;
    out.Add("ピクセル情報      : %ubit Type[0x%04x] RGB%u%u%u/%08x:%08x:%08x\r\n", pixel.bits_per_pixel, screen.pixel_code,
            pixel.red_bits, pixel.green_bits, pixel.blue_bits, pixel.red_mask, pixel.green_mask, pixel.blue_mask);
    WriteFrameWaits(out, screen, "VSync待ち描画     : %s\r\nDirectDraw Flip   : %s\r\n");
  }
  if (screen.render_mode == CScreenManager::kRenderTexture) {
    out.Add("< Direct3D >\r\nテクスチャ        : %dx%d Type[0x%04x]\r\nテクスチャ直接転送: %s\r\n", screen.texture_width,
            screen.texture_height, screen.texture_code, OnOff(IsDirectTexture(screen)));
  }
  out.Add("\r\n");
}

void WriteProcessor(CReportText& out, const SystemReportFacts& facts) {
  const CpuInfo& cpu = facts.cpu;
  out.Add("------ CPU ------\r\nCPU情報    : %s\r\n", FormatCpuName(cpu).c_str());
  out.Add("             Vender %s / Type %d / Family %d / Model %d / Stepping %d\r\n", cpu.vendor.c_str(), cpu.type,
          cpu.family, cpu.model, cpu.stepping);
  out.Add("CPUクロック: %s (%u CPU)\r\nキャッシュ : %s", FormatCpuClock(facts.megahertz).c_str(),
          facts.system.processor_count, FormatCpuCaches(cpu.caches).c_str());
  out.Add("\r\n拡張機能   : FPU %s / TSC %s / CMOV %s\r\n", FeatureMark(cpu.fpu).c_str(), FeatureMark(cpu.tsc).c_str(),
          FeatureMark(cpu.cmov).c_str());
  out.Add("             MMX %s / SSE %s / SSE2 %s / SSE3 %s\r\n", FeatureMark(cpu.mmx).c_str(),
          FeatureMark(cpu.sse).c_str(), FeatureMark(cpu.sse2).c_str(), FeatureMark(cpu.sse3).c_str());
  out.Add("             MMX+ %s / 3DNow! %s / 3DNow!+ %s / HTT %s\r\n\r\n", FeatureMark(cpu.mmx_ext).c_str(),
          FeatureMark(cpu.now3d).c_str(), FeatureMark(cpu.now3d_ext).c_str(), FeatureMark(cpu.htt).c_str());
}

void WriteSound(CReportText& out, const SystemReportFacts& facts) {
  int usable = 0;
  const SoundDeviceInfo* sound = FirstUsableSoundDevice(facts.sound_devices, usable);
  out.Add("----- DirectSound -----\r\n");
  if (sound == nullptr) {
    out.Add("利用できません\r\n");
    return;
  }
  out.Add("DirectSound状態 : %s\r\n", OnOff(true));
  out.Add("サウンドカード  : %s\r\nドライバファイル: %s\r\n", sound->description.c_str(), sound->module_name.c_str());
  if (usable > 1) out.Add("※複数のサウンドデバイスが接続されています。\r\n");
}

void WriteInput(CReportText& out, const SystemReportFacts& facts) {
  out.Add("\r\n----- 入力デバイス -----\r\n入力検知方式    : ");
  if (facts.input_method == 0) {
    out.Add("DirectInput\r\nキーボード      : %u キー\r\n", facts.key_count);
    out.Add("マウス          : %u 軸 / %u ボタン\r\n", facts.mouse_axes, facts.mouse_buttons);
  } else {
    out.AddText(facts.input_method == 1 ? "Windows API\r\n" : "Window Message\r\n");
  }
  out.Add("ジョイスティック: ");
  if (facts.joystick) {
    out.Add("No.%d / %s / %u 軸 / %u ボタン", facts.joystick->number, facts.joystick->name.c_str(),
            facts.joystick->axes, facts.joystick->buttons);
  } else {
    out.Add("無効");
  }
  out.Add("\r\n\r\n----- ドライブ情報 -----\r\n");
}

const char* DriveKindText(CStartUpLog::DriveKind kind) {
  switch (kind) {
    case CStartUpLog::DriveKind::kRemovable:
      return "リムーバブルドライブ";
    case CStartUpLog::DriveKind::kNetwork:
      return "ネットワークドライブ";
    case CStartUpLog::DriveKind::kOptical:
      return "CD/DVD-ROM ドライブ";
    case CStartUpLog::DriveKind::kRamDisk:
      return "RAM-DISK ドライブ";
    default:
      return "不明";
  }
}

void WriteDrivesAndProcesses(CReportText& out, const SystemReportFacts& facts) {
  for (const CStartUpLog::Drive& drive : facts.drives) {
    if (drive.kind == CStartUpLog::DriveKind::kFixed) {
      out.Add(" [%s] %s\r\n", drive.root.c_str(),
              FormatDriveSpace(drive.free_bytes >> kMegabyteShift, drive.total_bytes >> kMegabyteShift).c_str());
    } else {
      out.Add(" [%s] ", drive.root.c_str());
      out.AddText(DriveKindText(drive.kind));
      out.AddText("\r\n");
    }
  }
  out.Add("\r\n----- プロセス -----\r\n");
  if (facts.processes.empty()) out.Add("スナップショットの作成に失敗\r\n");
  for (const std::string& path : facts.processes) out.Add("%s\r\n", plat::Utf8ToSjis(path).c_str());
}

}  // namespace

std::string FormatDirectXVersion(uint32_t high, uint32_t low) {
  if (high == 0 && low == 0) return "Unknown\r\n";
  char text[96];
  std::snprintf(text, sizeof text, "DirectX %u (%u.%02u.%02u.%04u)\r\n", high & 0xFFFF, high >> 16, high & 0xFFFF,
                low >> 16, low & 0xFFFF);
  return text;
}

std::string WriteSystemReport(const SystemReportFacts& facts, bool detailed) {
  CReportText out;
  WriteHeader(out, facts.app);
  WriteSystem(out, facts);
  if (!detailed) out.Add("CPU             : %s\r\n", FormatCpuName(facts.cpu).c_str());
  WriteMemoryAndDisplay(out, facts);
  if (!detailed) {
    WriteDevices(out, facts);
    return out.Take();
  }
  WriteScreenMode(out, facts);
  WriteProcessor(out, facts);
  WriteSound(out, facts);
  WriteInput(out, facts);
  WriteDrivesAndProcesses(out, facts);
  return out.Take();
}

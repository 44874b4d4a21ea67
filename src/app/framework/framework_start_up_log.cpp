// The start-up log's sections as the start-up writes them, and the system report's facts, filled
// from the running system.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/framework/framework_app.h"
#include "base/files/path.h"
#include "base/input/joystick.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/host_path.h"

namespace {

// Nothing reports these of the keyboard and mouse: the key table's size and a wheel mouse.
constexpr uint32_t kKeyboardKeys = 256;
constexpr uint32_t kMouseAxes = 3;
constexpr uint32_t kMouseButtons = 3;

}  // namespace

int CFrameworkApp::OpenStartUpLog() {
  const char* save_folder = GetSaveFolder();
  const bool beside_saves = info_.save_folder_kind != 1 && save_folder != nullptr && save_folder[0] != '\0';
  const std::string path = beside_saves ? std::string(save_folder) + kStartUpLogName : kStartUpLogName;
  if (start_up_log_.Open(path) != 0) {
    ShowMessageBox(plat::Utf8ToSjis("ログファイルの作成に失敗"), kBoxStop);
    return 1;
  }
  start_up_log_.WriteHeader(info_, plat::CurrentLocalTime());
  const plat::SystemFacts facts = plat::ReadSystemFacts();
  start_up_log_.WriteSystem(facts, plat::GetDesktopInfo(), g_ModuleFolder);
  std::optional<uint32_t> clock;
  if (environment_[kEnvMeasureClock] != 0) clock = plat::ReportedCpuMegahertz();
  start_up_log_.WriteProcessor(g_CpuInfo, clock, facts.processor_count);
  start_up_log_.Flush();
  return 0;
}

void CFrameworkApp::LogInputAndSound() {
  start_up_log_.WriteInput(environment_[kEnvInputMethod], input_, kKeyboardKeys, kMouseAxes, kMouseButtons);
  start_up_log_.WriteSound(g_SoundDeviceList);
  start_up_log_.Flush();
}

void CFrameworkApp::LogDisplay() {
  start_up_log_.WriteDisplay(DescribeScreen(screen_, full_screen_));
  start_up_log_.Flush();
}

std::vector<CStartUpLog::Drive> CFrameworkApp::ListDrives() {
  std::vector<std::pair<std::string, bool>> mount_points;
  for (const char* folder : {static_cast<const char*>(g_ModuleFolder), GetSaveFolder()}) {
    if (folder == nullptr || folder[0] == '\0') continue;
    const auto host = plat::ToHostPath(folder);
    if (!host) continue;
    const std::string mount_point = plat::MountPointOf(*host);
    const auto known = [&](const auto& entry) { return entry.first == mount_point; };
    if (std::none_of(mount_points.begin(), mount_points.end(), known)) {
      mount_points.emplace_back(mount_point, IsOnCdromDrive(folder));
    }
  }
  std::vector<CStartUpLog::Drive> drives;
  for (const auto& [mount_point, optical] : mount_points) {
    CStartUpLog::Drive drive{plat::Utf8ToSjis(mount_point), CStartUpLog::DriveKind::kUnknown, 0, 0};
    if (optical) {
      drive.kind = CStartUpLog::DriveKind::kOptical;
    } else if (const auto space = plat::GetDiskSpace(mount_point)) {
      drive = {drive.root, CStartUpLog::DriveKind::kFixed, space->free_bytes, space->total_bytes};
    }
    drives.push_back(drive);
  }
  return drives;
}

void CFrameworkApp::LogClosingSections() {
  start_up_log_.WriteDrives(ListDrives());
  start_up_log_.WriteApplicationsAndProcesses(plat::RunningProgramPaths());
  start_up_log_.WriteClosing(plat::CurrentLocalTime());
  start_up_log_.Flush();
  start_up_log_ = CStartUpLog{};
}

SystemReportFacts CFrameworkApp::GatherSystemReportFacts(bool detailed) {
  SystemReportFacts facts;
  facts.app = info_;
  facts.system = plat::ReadSystemFacts();
  facts.desktop = plat::GetDesktopInfo();
  facts.screen_up = GetMainWindow().IsWindow();
  facts.module_folder = g_ModuleFolder;
  facts.sound_devices = g_SoundDeviceList;
  facts.input_method = environment_[kEnvInputMethod];
  facts.key_count = kKeyboardKeys;
  facts.mouse_axes = kMouseAxes;
  facts.mouse_buttons = kMouseButtons;
  if (const CJoystick* joystick = input_.GetJoystick(0)) {
    facts.joystick = ReportJoystick{joystick->GetDeviceNumber(), joystick->GetName(), joystick->GetAxisCount(),
                                    joystick->GetButtonCount()};
  }
  facts.uses_mmx = g_CpuHasMmx != 0;
  facts.uses_sse = g_CpuInfo.sse;
  facts.screen = DescribeScreen(screen_, full_screen_);
  facts.cpu = g_CpuInfo;
  if (!detailed) return facts;
  facts.megahertz = plat::ReportedCpuMegahertz();
  facts.drives = ListDrives();
  facts.processes = plat::RunningProgramPaths();
  return facts;
}

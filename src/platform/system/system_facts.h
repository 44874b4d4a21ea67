// Facts about the machine for the start-up log: the system's name and version, its language,
// memory, processors, the program's path, the space on a drive, the processor's CPUID leaves
// and the local time. Each fact that cannot be had is left empty or 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plat {

struct SystemFacts {
  std::string os_name;     // e.g. the distribution's name
  std::string os_version;  // the kernel's release
  std::string language;    // the locale's name, empty when none is set
  uint64_t memory_total = 0;
  uint64_t memory_available = 0;
  uint64_t swap_total = 0;
  uint64_t swap_available = 0;
  uint32_t processor_count = 0;
  std::string module_path;  // the program's full host path
};

SystemFacts ReadSystemFacts(const std::string& os_release = "/etc/os-release");

struct DiskSpace {
  uint64_t free_bytes = 0;  // free to this user
  uint64_t total_bytes = 0;
};

// The space on the file system that holds the host path `path`.
std::optional<DiskSpace> GetDiskSpace(const std::string& path);

// The folder where the file system that holds the host path `path` is mounted.
std::string MountPointOf(const std::string& path);

struct CpuidLeaf {
  uint32_t eax = 0;
  uint32_t ebx = 0;
  uint32_t ecx = 0;
  uint32_t edx = 0;
};

// The processor's answer for `leaf`; empty where there is no CPUID or the leaf lies beyond the
// highest one of its range.
std::optional<CpuidLeaf> Cpuid(uint32_t leaf);

// The clock of the first processor in MHz as the system reports it; 0 when unknown.
uint32_t ReportedCpuMegahertz(const std::string& cpuinfo = "/proc/cpuinfo");

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
LocalTime CurrentLocalTime();

// The full host paths of the running processes' programs, in process-id order; processes whose
// program cannot be read are left out.
std::vector<std::string> RunningProgramPaths();

}  // namespace plat

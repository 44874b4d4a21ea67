#include "platform/system/system_facts.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace plat {
namespace {

std::string ReadLink(const std::string& link) {
  char buffer[4096];
  const ssize_t length = readlink(link.c_str(), buffer, sizeof buffer);
  return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

// The PRETTY_NAME of an os-release file, without its quotes; else NAME; else "Linux".
std::string OsName(const std::string& os_release) {
  std::ifstream file(os_release);
  std::string line;
  std::string name;
  std::string pretty;
  auto value_of = [](const std::string& text) {
    std::string value = text.substr(text.find('=') + 1);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return value;
  };
  while (std::getline(file, line)) {
    if (line.rfind("PRETTY_NAME=", 0) == 0) pretty = value_of(line);
    if (line.rfind("NAME=", 0) == 0) name = value_of(line);
  }
  if (!pretty.empty()) return pretty;
  return name.empty() ? "Linux" : name;
}

// MemAvailable of /proc/meminfo in bytes: what can be had without swapping, caches included.
std::optional<uint64_t> AvailableMemory() {
  std::ifstream file("/proc/meminfo");
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind("MemAvailable:", 0) == 0) return std::strtoull(line.c_str() + 13, nullptr, 10) * 1024;
  }
  return std::nullopt;
}

std::string Language() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != '\0') return value;
  }
  return {};
}

}  // namespace

SystemFacts ReadSystemFacts(const std::string& os_release) {
  SystemFacts facts;
  facts.os_name = OsName(os_release);
  utsname names{};
  if (uname(&names) == 0) facts.os_version = names.release;
  facts.language = Language();
  struct sysinfo info {};
  if (sysinfo(&info) == 0) {
    const uint64_t unit = info.mem_unit == 0 ? 1 : info.mem_unit;
    facts.memory_total = static_cast<uint64_t>(info.totalram) * unit;
    facts.memory_available = AvailableMemory().value_or(static_cast<uint64_t>(info.freeram) * unit);
    facts.swap_total = static_cast<uint64_t>(info.totalswap) * unit;
    facts.swap_available = static_cast<uint64_t>(info.freeswap) * unit;
  }
  const long processors = sysconf(_SC_NPROCESSORS_ONLN);
  facts.processor_count = processors > 0 ? static_cast<uint32_t>(processors) : 0;
  facts.module_path = ReadLink("/proc/self/exe");
  return facts;
}

std::optional<DiskSpace> GetDiskSpace(const std::string& path) {
  struct statvfs info {};
  if (statvfs(path.c_str(), &info) != 0) return std::nullopt;
  const uint64_t block = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
  return DiskSpace{static_cast<uint64_t>(info.f_bavail) * block, static_cast<uint64_t>(info.f_blocks) * block};
}

std::string MountPointOf(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string folder = resolved;
  std::free(resolved);
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0) return folder;
  const dev_t device = info.st_dev;
  while (folder != "/") {
    const std::size_t slash = folder.find_last_of('/');
    const std::string parent = slash == 0 ? "/" : folder.substr(0, slash);
    if (stat(parent.c_str(), &info) != 0 || info.st_dev != device) break;
    folder = parent;
  }
  return folder;
}

std::optional<CpuidLeaf> Cpuid(uint32_t leaf) {
#if defined(__x86_64__) || defined(__i386__)
  CpuidLeaf result;
  if (__get_cpuid(leaf, &result.eax, &result.ebx, &result.ecx, &result.edx) != 0) return result;
#else
  (void)leaf;
#endif
  return std::nullopt;
}

uint32_t ReportedCpuMegahertz(const std::string& cpuinfo) {
  std::ifstream file(cpuinfo);
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind("cpu MHz", 0) != 0) continue;
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) return 0;
    const double megahertz = std::strtod(line.c_str() + colon + 1, nullptr);
    return megahertz > 0 && megahertz < 1e6 ? static_cast<uint32_t>(megahertz + 0.5) : 0;
  }
  return 0;
}

LocalTime CurrentLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

std::vector<std::string> RunningProgramPaths() {
  std::vector<std::pair<long, std::string>> found;
  DIR* folder = opendir("/proc");
  if (folder == nullptr) return {};
  while (const dirent* entry = readdir(folder)) {
    char* end = nullptr;
    const long id = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0') continue;
    std::string path = ReadLink(std::string("/proc/") + entry->d_name + "/exe");
    if (!path.empty()) found.emplace_back(id, std::move(path));
  }
  closedir(folder);
  std::sort(found.begin(), found.end());
  std::vector<std::string> paths;
  for (auto& item : found) paths.push_back(std::move(item.second));
  return paths;
}

}  // namespace plat

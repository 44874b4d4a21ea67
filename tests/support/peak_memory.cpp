#include "support/peak_memory.h"

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace test_support {

namespace {

// A "Vm...:   <n> kB" line of /proc/self/status, in bytes.
std::uint64_t StatusBytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::stoull(line.substr(field.size() + 1)) * 1024;
  }
  return 0;
}

}  // namespace

std::optional<std::uint64_t> PeakMemoryGrowth(const std::function<void()>& work) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return std::nullopt;
  const pid_t child = fork();
  if (child < 0) {
    close(pipe_ends[0]);
    close(pipe_ends[1]);
    return std::nullopt;
  }
  if (child == 0) {
    close(pipe_ends[0]);
    const std::uint64_t before = StatusBytes("VmRSS");
    work();
    const std::uint64_t peak = StatusBytes("VmHWM");
    const std::uint64_t growth = peak > before ? peak - before : 0;
    const bool written = write(pipe_ends[1], &growth, sizeof growth) == sizeof growth;
    _exit(written ? 0 : 1);
  }
  close(pipe_ends[1]);
  std::uint64_t growth = 0;
  const bool received = read(pipe_ends[0], &growth, sizeof growth) == sizeof growth;
  close(pipe_ends[0]);
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || !received) {
    return std::nullopt;
  }
  return growth;
}

}  // namespace test_support

#include "support/own_mounts.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

namespace test_support {
namespace {

std::string Refusal(const std::string& what) { return what + ": " + std::strerror(errno); }

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool WriteProcFile(const char* path, const std::string& text) {
  const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
  const bool written = fd >= 0 && WriteAll(fd, text);
  if (fd >= 0) ::close(fd);
  return written;
}

// Takes a mount namespace of its own whose mounts reach no other process; the refusal, if any.
std::string TakeOwnMounts() {
  if (::geteuid() == 0) {
    if (::unshare(CLONE_NEWNS) != 0) return Refusal("unshare(CLONE_NEWNS)");
  } else {
    // The user stays itself inside, so the test's files keep their owner.
    const std::string uid = std::to_string(::geteuid());
    const std::string gid = std::to_string(::getegid());
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return Refusal("unshare(CLONE_NEWUSER | CLONE_NEWNS)");
    if (!WriteProcFile("/proc/self/setgroups", "deny") ||
        !WriteProcFile("/proc/self/uid_map", uid + " " + uid + " 1") ||
        !WriteProcFile("/proc/self/gid_map", gid + " " + gid + " 1")) {
      return Refusal("mapping the user into its namespace");
    }
  }
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return Refusal("making the mounts private");
  return {};
}

// In the child: 'R' and the refusal, or 'F' and the failed checks.
[[noreturn]] void RunChild(int report, const std::vector<std::pair<std::string, std::string>>& binds,
                           const std::function<std::string()>& checks) {
  std::string refused = TakeOwnMounts();
  for (const auto& [folder, at] : binds) {
    if (refused.empty() && ::mount(folder.c_str(), at.c_str(), nullptr, MS_BIND | MS_REC, nullptr) != 0) {
      refused = Refusal("bind-mounting " + folder + " at " + at);
    }
  }
  WriteAll(report, refused.empty() ? "F" + checks() : "R" + refused);
  ::_exit(0);
}

}  // namespace

OwnMountsRun RunWithBindMounts(const std::vector<std::pair<std::string, std::string>>& binds,
                               const std::function<std::string()>& checks) {
  int pipe_ends[2];
  if (::pipe2(pipe_ends, O_CLOEXEC) != 0) return {{}, Refusal("pipe2")};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe_ends[0]);
    RunChild(pipe_ends[1], binds, checks);
  }
  ::close(pipe_ends[1]);
  std::string report;
  char buffer[4096];
  for (ssize_t got; (got = ::read(pipe_ends[0], buffer, sizeof buffer)) != 0;) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) break;
    report.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(pipe_ends[0]);
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return {{}, "the child that runs the checks did not end normally (status " + std::to_string(status) + ")\n" +
                    report};
  }
  if (report.empty()) return {{}, "the child reported nothing\n"};
  if (report.front() == 'R') return {report.substr(1), {}};
  return {{}, report.substr(1)};
}

}  // namespace test_support

#include "platform/files/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace plat {
namespace {

// An abstract socket named after the user and the lock file, so that no file is left behind
// and the name's length does not depend on the lock's path.
sockaddr_un SocketAddress(const std::string& lock_path, socklen_t& length) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  char name[64];
  const int size = std::snprintf(name, sizeof name, "kestrune-instance-%u-%zx", static_cast<unsigned>(getuid()),
                                 std::hash<std::string>{}(lock_path));
  std::memcpy(address.sun_path + 1, name, static_cast<std::size_t>(size));
  length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<std::size_t>(size));
  return address;
}

void AskFirstToComeToTheFront(const std::string& lock_path) {
  const int socket_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket_fd < 0) return;
  socklen_t length = 0;
  const sockaddr_un address = SocketAddress(lock_path, length);
  if (connect(socket_fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
    // The first instance may already have closed the connection: no SIGPIPE for that.
    const char request = 'F';
    (void)!send(socket_fd, &request, 1, MSG_NOSIGNAL);
  }
  close(socket_fd);
}

}  // namespace

std::string RuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return runtime;
  // The user's own folder under /tmp, made for the purpose; one that another user made, or that
  // others may write in, holds no lock of ours.
  const std::string folder = "/tmp/kestrune-" + std::to_string(getuid());
  mkdir(folder.c_str(), 0700);
  struct stat facts {};
  const bool own = lstat(folder.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode) && facts.st_uid == getuid() &&
                   (facts.st_mode & 0077) == 0;
  return own ? folder : std::string();
}

SingleInstance::Claim SingleInstance::Take(const std::string& lock_path, std::function<void()> on_front_request) {
  Release();
  const int fd = open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return Claim::kUnavailable;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    AskFirstToComeToTheFront(lock_path);
    return Claim::kAnotherRuns;
  }
  lock_fd_ = fd;
  on_front_request_ = std::move(on_front_request);
  listen_fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  socklen_t length = 0;
  const sockaddr_un address = SocketAddress(lock_path, length);
  if (listen_fd_ >= 0 && bind(listen_fd_, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
      listen(listen_fd_, 4) == 0) {
    stopping_ = false;
  } else if (listen_fd_ >= 0) {
    // The lock alone still keeps a second instance out; it only cannot ask to come forward.
    close(listen_fd_);
    listen_fd_ = -1;
  }
  return Claim::kFirst;
}

void SingleInstance::StartAnswering() {
  if (listen_fd_ < 0 || listener_.joinable()) return;
  listener_ = std::thread([this] { Listen(); });
}

void SingleInstance::Listen() {
  while (true) {
    const int connection = accept(listen_fd_, nullptr, nullptr);
    if (stopping_) {
      if (connection >= 0) close(connection);
      return;
    }
    if (connection < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return;
    }
    close(connection);
    if (on_front_request_) on_front_request_();
  }
}

void SingleInstance::Release() {
  if (listener_.joinable()) {
    stopping_ = true;
    // Wakes the blocked accept.
    shutdown(listen_fd_, SHUT_RDWR);
    listener_.join();
  }
  if (listen_fd_ >= 0) close(listen_fd_);
  listen_fd_ = -1;
  if (lock_fd_ >= 0) close(lock_fd_);
  lock_fd_ = -1;
  on_front_request_ = nullptr;
}

}  // namespace plat

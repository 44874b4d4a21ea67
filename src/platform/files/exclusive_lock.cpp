#include "platform/files/exclusive_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <string>
#include <utility>

#include "platform/files/host_path.h"

namespace plat {

ExclusiveLock::ExclusiveLock(std::string_view engine_path) {
  const std::optional<std::string> host = ToHostPath(engine_path);
  if (!host) {
    errno = ENOENT;
    return;
  }
  UniqueFd file(::open(host->c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR));
  if (!file.IsOpen()) return;
  int locked = ::flock(file.get(), LOCK_EX);
  while (locked != 0 && errno == EINTR) locked = ::flock(file.get(), LOCK_EX);
  if (locked == 0) fd_ = std::move(file);
}

}  // namespace plat

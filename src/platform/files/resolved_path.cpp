#include "platform/files/resolved_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include "platform/files/host_path.h"

namespace plat {
namespace {

bool Exists(const std::string& host_path, bool& known) {
  struct stat status {};
  if (::lstat(host_path.c_str(), &status) == 0) return true;
  known = errno == ENOENT || errno == ENOTDIR;
  return false;
}

std::optional<std::string> RealPath(const std::string& host_path) {
  const std::unique_ptr<char, decltype(&std::free)> real(::realpath(host_path.c_str(), nullptr), &std::free);
  if (real == nullptr) return std::nullopt;
  return std::string(real.get());
}

}  // namespace

std::optional<std::string> ResolveLinks(std::string_view engine_path) {
  const std::optional<std::string> host = ToHostPath(engine_path);
  if (!host || host->empty() || host->front() != '/') return std::nullopt;
  // Walk back to the longest part that exists; everything after it is only names.
  std::string existing = *host;
  while (existing.size() > 1 && existing.back() == '/') existing.pop_back();
  std::string missing;
  for (bool known = true; !Exists(existing, known);) {
    if (!known) return std::nullopt;
    const std::size_t slash = existing.rfind('/');
    missing.insert(0, existing.substr(slash));
    existing.resize(slash == 0 ? 1 : slash);
  }
  // A link that exists but leads nowhere fails here, so a new file is never made through it.
  std::optional<std::string> real = RealPath(existing);
  if (!real) return std::nullopt;
  if (real->back() == '/' && !missing.empty()) real->pop_back();
  return *real + missing;
}

std::optional<std::string> RealPathOfOpenFile(int fd) {
  std::string real(PATH_MAX, '\0');
  const ssize_t length = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), real.data(), real.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= real.size()) return std::nullopt;
  real.resize(static_cast<std::size_t>(length));
  return real;
}

bool IsSameOrBelow(std::string_view path, std::string_view folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
  if (!path.starts_with(folder)) return false;
  return path.size() == folder.size() || folder == "/" || path[folder.size()] == '/';
}

}  // namespace plat

#include "platform/files/descriptor_copy.h"

#include <unistd.h>

#include <cerrno>
#include <limits>

namespace plat {

bool CopyContents(int from, int to) {
  return CopyContentsUpTo(from, to, std::numeric_limits<std::uint64_t>::max()) == CopyEnd::kWhole;
}

CopyEnd CopyContentsUpTo(int from, int to, std::uint64_t limit) {
  char buffer[1 << 16];
  for (std::uint64_t room = limit;;) {
    // One byte beyond the room tells a file that holds more.
    const std::size_t wanted = room < sizeof buffer ? static_cast<std::size_t>(room) + 1 : sizeof buffer;
    const ssize_t got = ::read(from, buffer, wanted);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return CopyEnd::kFailed;
    if (got == 0) return CopyEnd::kWhole;
    if (static_cast<std::uint64_t>(got) > room) return CopyEnd::kPastLimit;
    room -= static_cast<std::uint64_t>(got);
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(to, buffer + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return CopyEnd::kFailed;
      done += put;
    }
  }
}

std::optional<std::vector<std::uint8_t>> ReadContents(int from, std::size_t limit) {
  // One byte of room beyond the limit tells a file that holds more.
  std::vector<std::uint8_t> bytes(limit + 1);
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t got = ::read(from, bytes.data() + filled, bytes.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  if (filled > limit) return std::nullopt;
  bytes.resize(filled);
  return bytes;
}

}  // namespace plat

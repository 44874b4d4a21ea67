#include "platform/monotonic_time.h"

#include <chrono>

namespace plat {

std::uint32_t MonotonicMilliseconds() {
  const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
  const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count();
  return static_cast<std::uint32_t>(milliseconds);
}

}  // namespace plat

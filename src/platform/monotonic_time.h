// The monotonic clock in milliseconds, as an unsigned 32-bit count that wraps.
#pragma once

#include <cstdint>

namespace plat {

std::uint32_t MonotonicMilliseconds();

}  // namespace plat

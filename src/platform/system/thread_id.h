// The operating system's id of the calling thread: a 32-bit number, never all bits set, that
// the engine's locks record as their owner.
#pragma once

#include <cstdint>

namespace plat {

uint32_t CurrentThreadId();

}  // namespace plat

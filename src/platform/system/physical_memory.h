// The machine's memory as the engine's size rules read it.
#pragma once

#include <cstdint>

namespace plat {

// Total physical memory in bytes; 0 when the system does not say.
std::uint64_t TotalPhysicalMemory();

}  // namespace plat

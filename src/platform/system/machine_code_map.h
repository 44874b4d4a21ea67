// A map of the machine code made at run time, for profilers that cannot find names for it: when
// the environment variable KESTRUNE_PERF_MAP is 1, every piece of code made is named by a line
// "START SIZE name" (start and size in hexadecimal) appended to /tmp/perf-<pid>.map, the file
// that sampling profilers read for code without symbols. Without the variable nothing is written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plat {

// The file that this process's lines go to.
std::string MachineCodeMapPath();
// Appends the line of [start, start + size) named `name`, where the environment asks for it.
void NoteMachineCode(const void* start, std::size_t size, std::string_view name);

}  // namespace plat

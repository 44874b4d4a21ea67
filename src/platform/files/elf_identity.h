// What a file's first bytes say it is to this machine's loader: an ELF file built for the
// machine, word size and byte order of this program, and of which type.
#pragma once

#include <string>

namespace plat {

// Of the file open at `fd`, read from its start without moving its position: whether it is an
// ELF shared object of this machine.
bool IsNativeSharedObject(int fd);
// Whether it is an ELF program of this machine (a fixed or a position-independent executable).
// A text starting with "#!" is none: the system would hand it to the interpreter it names.
bool IsNativeProgram(int fd);

// The same for a file named by its host path; false when it cannot be opened.
bool IsNativeSharedObject(const std::string& host_path);

}  // namespace plat

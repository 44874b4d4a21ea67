// Machine code made at run time. The bytes are written into fresh pages that are writable but not
// executable; only then are the pages switched to read and execute. No page is ever writable and
// executable at once, and sealed code is never changed again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace plat {

class ExecutableMemory {
 public:
  // Whether this build can run code made at run time at all (an x86-64 host).
  static bool Supported();

  // A copy of `code` in executable pages; null when the system refuses the pages or the code is empty.
  // A code with a name is entered under it in the machine code map (see machine_code_map.h).
  static std::unique_ptr<ExecutableMemory> Create(std::span<const std::uint8_t> code, std::string_view name = {});
  ~ExecutableMemory();

  ExecutableMemory(const ExecutableMemory&) = delete;
  ExecutableMemory& operator=(const ExecutableMemory&) = delete;

  const std::uint8_t* Data() const { return data_; }
  std::size_t Size() const { return size_; }

 private:
  ExecutableMemory(std::uint8_t* data, std::size_t mapped, std::size_t size) : data_(data), mapped_(mapped), size_(size) {}

  std::uint8_t* data_;
  std::size_t mapped_;
  std::size_t size_;
};

}  // namespace plat

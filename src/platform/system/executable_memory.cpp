#include "platform/system/executable_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

#include "platform/system/machine_code_map.h"

namespace plat {

bool ExecutableMemory::Supported() {
#if defined(__x86_64__)
  return true;
#else
  return false;
#endif
}

std::unique_ptr<ExecutableMemory> ExecutableMemory::Create(std::span<const std::uint8_t> code, std::string_view name) {
  if (code.empty() || !Supported()) return nullptr;
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t mapped = (code.size() + page - 1) / page * page;
  void* pages = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) return nullptr;
  std::memcpy(pages, code.data(), code.size());
  if (mprotect(pages, mapped, PROT_READ | PROT_EXEC) != 0) {
    munmap(pages, mapped);
    return nullptr;
  }
  if (!name.empty()) NoteMachineCode(pages, code.size(), name);
  return std::unique_ptr<ExecutableMemory>(new ExecutableMemory(static_cast<std::uint8_t*>(pages), mapped, code.size()));
}

ExecutableMemory::~ExecutableMemory() { munmap(data_, mapped_); }

}  // namespace plat

#include "platform/executable_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

namespace {

using plat::ExecutableMemory;

// Lines of /proc/self/maps whose mapping may be written and executed at once.
int WritableAndExecutableMappings() {
  std::ifstream maps("/proc/self/maps");
  int count = 0;
  for (std::string line; std::getline(maps, line);) {
    const std::size_t permissions = line.find(' ') + 1;
    if (line.compare(permissions, 1, "r") == 0 && line[permissions + 1] == 'w' && line[permissions + 2] == 'x') ++count;
  }
  return count;
}

TEST(ExecutableMemory, RunsTheCodeItWasGivenFromPagesThatAreNeverWritableAndExecutable) {
  if (!ExecutableMemory::Supported()) GTEST_SKIP() << "no code can be made on this processor";
  const std::uint8_t return_42[] = {0xB8, 42, 0, 0, 0, 0xC3};  // mov eax, 42; ret
  const auto code = ExecutableMemory::Create(return_42);
  ASSERT_NE(code, nullptr);
  EXPECT_EQ(code->Size(), sizeof return_42);
  EXPECT_EQ(std::memcmp(code->Data(), return_42, sizeof return_42), 0);
  using Function = int (*)();
  Function function;
  const void* start = code->Data();
  std::memcpy(&function, &start, sizeof function);
  EXPECT_EQ(function(), 42);
  EXPECT_EQ(WritableAndExecutableMappings(), 0);
}

TEST(ExecutableMemory, RefusesEmptyCode) { EXPECT_EQ(ExecutableMemory::Create({}), nullptr); }

}  // namespace

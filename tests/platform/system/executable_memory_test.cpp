#include "platform/system/executable_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "support/process_mappings.h"

namespace {

using plat::ExecutableMemory;

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
  EXPECT_EQ(test_support::WritableExecutableMappings(), 0);
}

TEST(ExecutableMemory, RefusesEmptyCode) { EXPECT_EQ(ExecutableMemory::Create({}), nullptr); }

}  // namespace

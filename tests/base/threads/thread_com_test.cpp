#include "base/threads/thread_com.h"

#include <gtest/gtest.h>

#include <thread>

TEST(ThreadCom, UsesAreCountedPerThread) {
  std::thread worker([] {
    EXPECT_EQ(CoUninitializeForThread(), 1u);
    EXPECT_EQ(CoInitializeForThread(), 0u);
    EXPECT_EQ(CoInitializeForThread(), 0u);
    std::thread other([] { EXPECT_EQ(CoUninitializeForThread(), 1u); });
    other.join();
    EXPECT_EQ(CoUninitializeForThread(), 0u);
    EXPECT_EQ(CoUninitializeForThread(), 0u);
    EXPECT_EQ(CoUninitializeForThread(), 1u);
  });
  worker.join();
}

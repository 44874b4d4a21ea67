#include "base/event.h"

#include <gtest/gtest.h>

#include <thread>

TEST(Event, AWaitConsumesTheSignalButNotTheSetFlag) {
  CEvent event;
  EXPECT_EQ(event.Wait(0), CEvent::kTimedOut);
  EXPECT_FALSE(event.IsSet());
  EXPECT_TRUE(event.Set());
  EXPECT_TRUE(event.IsSet());
  EXPECT_EQ(event.Wait(0), CEvent::kSignalled);
  EXPECT_EQ(event.Wait(0), CEvent::kTimedOut);
  EXPECT_TRUE(event.IsSet());
  event.Set();
  EXPECT_TRUE(event.Reset());
  EXPECT_FALSE(event.IsSet());
  EXPECT_EQ(event.Wait(1), CEvent::kTimedOut);
}

TEST(Event, SetReleasesAThreadThatWaitsWithoutTimeOut) {
  CEvent go;
  CEvent done;
  uint32_t result = CEvent::kWaitFailed;
  std::thread waiter([&] {
    result = go.Wait(CEvent::kInfinite);
    done.Set();
  });
  go.Set();
  EXPECT_EQ(done.Wait(CEvent::kInfinite), CEvent::kSignalled);
  waiter.join();
  EXPECT_EQ(result, CEvent::kSignalled);
}

#include "base/threads/event.h"

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

// A wait finer than a millisecond times out unsignalled, takes a signal given before it or
// during it, and consumes it as the millisecond wait does.
TEST(Event, AWaitOfNanosecondsTakesASignalLikeAWaitOfMilliseconds) {
  CEvent event;
  EXPECT_EQ(event.WaitFor(std::chrono::nanoseconds(500'000)), CEvent::kTimedOut);
  EXPECT_EQ(event.WaitFor(std::chrono::nanoseconds(-1)), CEvent::kTimedOut);
  event.Set();
  EXPECT_EQ(event.WaitFor(std::chrono::nanoseconds(0)), CEvent::kSignalled);
  EXPECT_EQ(event.WaitFor(std::chrono::nanoseconds(0)), CEvent::kTimedOut) << "the signal was consumed";
  std::thread setter([&] { event.Set(); });
  EXPECT_EQ(event.WaitFor(std::chrono::hours(1)), CEvent::kSignalled);
  setter.join();
}

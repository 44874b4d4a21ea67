#include "base/threads/critical_section.h"

#include <gtest/gtest.h>

#include <thread>

#include "base/threads/lock_guard.h"
#include "platform/system/thread_id.h"

TEST(CriticalSection, NestedLocksKeepTheOwnerUntilTheLastUnlock) {
  CCriticalSection lock;
  EXPECT_EQ(lock.GetOwner(), CCriticalSection::kNoOwner);
  EXPECT_EQ(lock.Lock(), 1);
  EXPECT_EQ(lock.Lock(), 2);
  lock.Unlock();
  EXPECT_EQ(lock.GetDepth(), 1);
  EXPECT_EQ(lock.GetOwner(), plat::CurrentThreadId());
  EXPECT_TRUE(lock.IsOwnedByCurrentThread());
  lock.Unlock();
  EXPECT_EQ(lock.GetDepth(), 0);
  EXPECT_EQ(lock.GetOwner(), CCriticalSection::kNoOwner);
  EXPECT_FALSE(lock.IsOwnedByCurrentThread());
}

TEST(CriticalSection, AGuardUnlockedAndRelockedLeavesTheLockFreeAtItsEnd) {
  CCriticalSection lock;
  {
    CLockGuard guard(lock);
    EXPECT_EQ(guard.GetCount(), 1);
    guard.Unlock();
    EXPECT_EQ(lock.GetDepth(), 0);
    EXPECT_EQ(lock.GetOwner(), CCriticalSection::kNoOwner);
    guard.Unlock();  // holds nothing: no effect
    EXPECT_EQ(guard.GetCount(), 0);
    guard.Lock();
    guard.Lock();
    EXPECT_EQ(lock.GetDepth(), 2);
    EXPECT_EQ(lock.GetOwner(), plat::CurrentThreadId());
  }
  EXPECT_EQ(lock.GetDepth(), 0);
  EXPECT_EQ(lock.GetOwner(), CCriticalSection::kNoOwner);
}

TEST(CriticalSection, OtherThreadsSeeTheOwnerButCannotReleaseTheLock) {
  CCriticalSection lock;
  CLockGuard guard(lock);
  bool owned_there = true;
  uint32_t owner_seen = 0;
  int32_t depth_seen = 0;
  std::thread other([&] {
    owned_there = lock.IsOwnedByCurrentThread();
    owner_seen = lock.GetOwner();
    depth_seen = lock.GetDepth();
    lock.Unlock();
  });
  other.join();
  EXPECT_FALSE(owned_there);
  EXPECT_EQ(owner_seen, plat::CurrentThreadId());
  EXPECT_EQ(depth_seen, 1);
  EXPECT_EQ(lock.GetDepth(), 1);
}

TEST(CriticalSection, UnlockAllLetsAnotherThreadInAndRelockAllRestoresTheDepth) {
  CCriticalSection lock;
  lock.Lock();
  lock.Lock();
  lock.Lock();
  const int32_t depth = lock.UnlockAll();
  EXPECT_EQ(depth, 3);
  int32_t depth_there = 0;
  std::thread other([&] {
    CLockGuard guard(lock);
    depth_there = lock.GetDepth();
  });
  other.join();
  EXPECT_EQ(depth_there, 1);
  lock.RelockAll(depth);
  EXPECT_EQ(lock.GetDepth(), 3);
  EXPECT_EQ(lock.UnlockAll(), 3);
  EXPECT_EQ(lock.UnlockAll(), 0);
}

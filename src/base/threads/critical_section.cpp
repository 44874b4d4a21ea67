#include "base/threads/critical_section.h"

#include "platform/system/thread_id.h"

int32_t CCriticalSection::Lock() {
  mutex_.lock();
  owner_.store(plat::CurrentThreadId(), std::memory_order_release);
  const int32_t depth = depth_.load(std::memory_order_relaxed) + 1;
  depth_.store(depth, std::memory_order_release);
  return depth;
}

void CCriticalSection::Unlock() {
  if (!IsOwnedByCurrentThread()) return;
  const int32_t depth = depth_.load(std::memory_order_relaxed) - 1;
  depth_.store(depth, std::memory_order_release);
  if (depth == 0) owner_.store(kNoOwner, std::memory_order_release);
  mutex_.unlock();
}

bool CCriticalSection::IsOwnedByCurrentThread() const { return GetOwner() == plat::CurrentThreadId(); }

int32_t CCriticalSection::UnlockAll() {
  if (!IsOwnedByCurrentThread()) return 0;
  const int32_t depth = GetDepth();
  for (int32_t i = 0; i < depth; ++i) Unlock();
  return depth;
}

void CCriticalSection::RelockAll(int32_t depth) {
  for (int32_t i = 0; i < depth; ++i) Lock();
}

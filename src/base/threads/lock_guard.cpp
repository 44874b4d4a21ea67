#include "base/threads/lock_guard.h"

CLockGuard::~CLockGuard() {
  while (count_ > 0) Unlock();
}

void CLockGuard::Lock() {
  lock_.Lock();
  ++count_;
}

void CLockGuard::Unlock() {
  if (count_ <= 0) return;
  --count_;
  lock_.Unlock();
}

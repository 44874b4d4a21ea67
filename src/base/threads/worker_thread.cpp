#include "base/threads/worker_thread.h"

#include <system_error>
#include <utility>

#include "base/threads/lock_guard.h"
#include "platform/system/thread_id.h"

CThreadDelegate MakeThreadDelegate(std::function<void()> body) {
  return std::make_shared<const std::function<void()>>(std::move(body));
}

CWorkerThread::~CWorkerThread() { CWorkerThread::Stop(); }

uint32_t CWorkerThread::StartWith(CThreadDelegate body) {
  CLockGuard guard(lock_);
  SetBody(std::move(body));
  return Start();
}

void CWorkerThread::SetBody(CThreadDelegate body) {
  CLockGuard guard(lock_);
  if (body != body_) body_ = std::move(body);
}

uint32_t CWorkerThread::Start() {
  CLockGuard guard(lock_);
  Stop();
  stop_request_.Reset();
  running_.Reset();
  CEvent started;
  try {
    thread_ = std::thread(&CWorkerThread::ThreadProc, this, &started);
  } catch (const std::system_error&) {
    return 1;
  }
  started.Wait(CEvent::kInfinite);
  return 0;
}

void CWorkerThread::ThreadProc(CWorkerThread* self, CEvent* started) {
  self->thread_id_.store(plat::CurrentThreadId(), std::memory_order_release);
  CThreadDelegate body = self->body_;
  self->running_.Set();
  started->Set();
  if (body) {
    (*body)();
  } else {
    self->Run();
  }
  self->RequestStop();
  self->running_.Reset();
}

uint32_t CWorkerThread::Stop() {
  CLockGuard guard(lock_);
  RequestStop();
  if (!thread_.joinable()) return 0;
  if (GetThreadId() == plat::CurrentThreadId()) return 2;
  std::thread finishing = std::move(thread_);
  thread_id_.store(kNoThread, std::memory_order_release);
  // The worker takes the lock for its final stop request, so the join must not hold it at any
  // depth, not even one a caller of Stop (such as Start) holds.
  const int32_t depth = lock_.UnlockAll();
  finishing.join();
  lock_.RelockAll(depth);
  return 0;
}

void CWorkerThread::RequestStop() {
  CLockGuard guard(lock_);
  stop_request_.Set();
}

bool CWorkerThread::WaitStopRequest(uint32_t timeout_ms) {
  return stop_request_.Wait(timeout_ms) != CEvent::kTimedOut;
}

bool CWorkerThread::WaitStopRequestFor(std::chrono::nanoseconds timeout) {
  return stop_request_.WaitFor(timeout) != CEvent::kTimedOut;
}

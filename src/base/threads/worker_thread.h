// A restartable worker thread with a start hand-shake, a stop request and a join. The thread
// runs either the body delegate given to it or, when none is set, its own Run.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "base/threads/critical_section.h"
#include "base/threads/event.h"

// The body a worker runs in place of Run. Copies share one callable and its reference count;
// an empty delegate selects Run.
using CThreadDelegate = std::shared_ptr<const std::function<void()>>;

CThreadDelegate MakeThreadDelegate(std::function<void()> body);

class CWorkerThread {
 public:
  static constexpr uint32_t kNoThread = 0xFFFFFFFF;

  CWorkerThread() = default;
  CWorkerThread(const CWorkerThread&) = delete;
  CWorkerThread& operator=(const CWorkerThread&) = delete;
  // Stops and joins the thread. A derived class whose Run uses members of its own must call
  // Stop in its own destructor, before those members go.
  virtual ~CWorkerThread();

  virtual void Run() {}
  virtual bool IsRunning() const { return running_.IsSet(); }
  // False once a stop was requested (or the body has returned) until the next Start.
  virtual bool ShouldContinue() const { return !stop_request_.IsSet(); }
  virtual uint32_t StartWith(CThreadDelegate body);
  // Stops a thread that still runs, then starts a new one and returns once it runs: 0, or 1
  // when no thread could be made.
  virtual uint32_t Start();
  virtual void SetBody(CThreadDelegate body);
  // Requests a stop and joins the thread: 0 joined or no thread; 2 when called from the
  // worker itself, which cannot join itself (the thread stays in place).
  virtual uint32_t Stop();
  virtual void RequestStop();
  // Waits for a stop request; false when the wait timed out.
  virtual bool WaitStopRequest(uint32_t timeout_ms);
  bool WaitStopRequestFor(std::chrono::nanoseconds timeout);
  virtual uint32_t GetThreadId() const { return thread_id_.load(std::memory_order_acquire); }

 private:
  static void ThreadProc(CWorkerThread* self, CEvent* started);

  std::thread thread_;
  std::atomic<uint32_t> thread_id_{kNoThread};
  CEvent stop_request_;
  CEvent running_;
  CCriticalSection lock_;
  CThreadDelegate body_;
};

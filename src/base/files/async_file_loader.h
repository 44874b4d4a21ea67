// Loads a numbered set of data files on a worker thread while the game goes on: a script asks
// for a range of entries by name and picks their contents up later. An entry is busy from its
// request until its load ends; its contents may be read only once it is no longer busy, so the
// worker publishes each loaded entry by clearing its busy flag (release) and every reader checks
// the flag first (acquire). A failed load leaves the entry empty.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/files/file.h"
#include "base/threads/worker_thread.h"

class CAsyncFileLoader {
 public:
  static constexpr uint32_t kStarted = 0;
  static constexpr uint32_t kBadRange = 1;
  static constexpr uint32_t kStillRunning = 2;
  static constexpr uint32_t kNoThread = 3;
  static constexpr uint32_t kNoMemory = 2;

  CAsyncFileLoader();
  CAsyncFileLoader(const CAsyncFileLoader&) = delete;
  CAsyncFileLoader& operator=(const CAsyncFileLoader&) = delete;
  virtual ~CAsyncFileLoader();

  // Replaces the entries by `count` empty ones: 0, or kNoMemory (the loader is then empty).
  uint32_t Allocate(uint16_t count);
  // The folder the names are read from (null or empty: the names alone); stops a running load.
  uint32_t SetFolder(const char* folder);
  // Loads names[0 .. count - 1] into entries first .. first + count - 1 in the background. The
  // names are copied. kStarted, kBadRange (no entries, count 0, a range beyond the entries or
  // fewer names than count), kStillRunning, kNoThread.
  uint32_t Request(uint16_t first, uint16_t count, std::span<const char* const> names);
  // Waits until the worker has ended: 1 when it had to wait, else 0.
  uint32_t WaitIdle();
  // The contents and size of an entry; null and 0 while it is busy, when it is empty or for an
  // index beyond the entries.
  const unsigned char* GetData(uint16_t index) const;
  uint32_t GetSize(uint16_t index) const;
  bool IsBusy(uint16_t index) const;
  // Closes the entries of the range that are not busy: how many are still busy, or -1 without
  // entries.
  int32_t CloseRange(uint16_t first, uint16_t count);
  // Stops a running load and frees every entry.
  void Clear();
  uint16_t GetCount() const { return count_; }

 private:
  class CLoaderThread : public CWorkerThread {
   public:
    explicit CLoaderThread(CAsyncFileLoader& owner) : owner_(owner) {}
    ~CLoaderThread() override { Stop(); }
    void Run() override { owner_.LoadPending(); }

   private:
    CAsyncFileLoader& owner_;
  };

  // How often WaitIdle looks whether the worker has ended.
  static constexpr uint32_t kIdlePollMs = 50;

  // The worker's body: loads the requested entries in order while no stop is requested.
  void LoadPending();
  // Whether the entry holds contents that the game thread may read.
  bool IsReadable(uint16_t index) const;

  std::vector<CFile> entries_;
  std::vector<std::string> names_;
  std::unique_ptr<std::atomic<uint8_t>[]> busy_;
  uint16_t count_ = 0;
  std::string folder_;
  uint16_t first_ = 0;
  uint16_t requested_ = 0;
  // Last, so that it ends (and joins) before the entries it loads into.
  CLoaderThread thread_{*this};
};

// The scripts' background loader.
extern CAsyncFileLoader g_AsyncFileLoader;

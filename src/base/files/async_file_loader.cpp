#include "base/files/async_file_loader.h"

#include <algorithm>
#include <new>

#include "base/files/path.h"

CAsyncFileLoader::CAsyncFileLoader() = default;

CAsyncFileLoader::~CAsyncFileLoader() { Clear(); }

uint32_t CAsyncFileLoader::Allocate(uint16_t count) {
  Clear();
  if (count == 0) return 0;
  try {
    entries_ = std::vector<CFile>(count);
    names_.resize(count);
    busy_ = std::make_unique<std::atomic<uint8_t>[]>(count);
  } catch (const std::bad_alloc&) {
    Clear();
    return kNoMemory;
  }
  count_ = count;
  return 0;
}

uint32_t CAsyncFileLoader::SetFolder(const char* folder) {
  thread_.Stop();
  folder_.clear();
  if (folder == nullptr || *folder == '\0') return 0;
  folder_ = folder;
  if (folder_.back() == '/') folder_.back() = '\\';
  if (!EndsWithSeparator(folder_.c_str())) folder_ += '\\';
  return 0;
}

uint32_t CAsyncFileLoader::Request(uint16_t first, uint16_t count, std::span<const char* const> names) {
  if (count_ == 0 || count == 0 || uint32_t{first} + count > count_ || names.size() < count) return kBadRange;
  if (thread_.IsRunning()) return kStillRunning;
  first_ = first;
  requested_ = count;
  for (uint16_t i = 0; i < count; ++i) {
    names_[first + i] = names[i] != nullptr ? names[i] : "";
    busy_[first + i].store(1, std::memory_order_relaxed);
  }
  // Starting the thread publishes the names and flags to it.
  return thread_.Start() == 0 ? kStarted : kNoThread;
}

void CAsyncFileLoader::LoadPending() {
  const uint32_t end = uint32_t{first_} + requested_;
  uint32_t index = first_;
  for (; index < end && thread_.ShouldContinue(); ++index) {
    entries_[index].Load((folder_ + names_[index]).c_str());
    busy_[index].store(0, std::memory_order_release);
  }
  // A stopped load leaves what it did not reach empty rather than busy for ever.
  for (; index < end; ++index) {
    entries_[index].Close();
    busy_[index].store(0, std::memory_order_release);
  }
}

uint32_t CAsyncFileLoader::WaitIdle() {
  uint32_t waited = 0;
  while (thread_.IsRunning()) {
    thread_.WaitStopRequest(kIdlePollMs);
    waited = 1;
  }
  return waited;
}

bool CAsyncFileLoader::IsBusy(uint16_t index) const {
  return index < count_ && busy_[index].load(std::memory_order_acquire) != 0;
}

bool CAsyncFileLoader::IsReadable(uint16_t index) const { return index < count_ && !IsBusy(index); }

const unsigned char* CAsyncFileLoader::GetData(uint16_t index) const {
  return IsReadable(index) ? entries_[index].GetData() : nullptr;
}

uint32_t CAsyncFileLoader::GetSize(uint16_t index) const { return IsReadable(index) ? entries_[index].GetSize() : 0; }

int32_t CAsyncFileLoader::CloseRange(uint16_t first, uint16_t count) {
  if (count_ == 0) return -1;
  int32_t busy = 0;
  const uint32_t end = std::min<uint32_t>(uint32_t{first} + count, count_);
  for (uint32_t index = first; index < end; ++index) {
    if (IsBusy(static_cast<uint16_t>(index))) {
      ++busy;
    } else {
      entries_[index].Close();
    }
  }
  return busy;
}

void CAsyncFileLoader::Clear() {
  thread_.Stop();
  entries_ = std::vector<CFile>();
  names_ = std::vector<std::string>();
  busy_.reset();
  count_ = 0;
  first_ = 0;
  requested_ = 0;
}

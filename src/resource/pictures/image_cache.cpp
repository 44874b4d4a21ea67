#include "resource/pictures/image_cache.h"

#include <algorithm>

#include "base/text/sjis_case.h"

namespace {

constexpr std::uint64_t kMegabyte = 1048576;

// The automatic size: by the machine's memory, "above" each threshold.
std::uint64_t AutomaticMegabytes(std::uint64_t physical_memory) {
  constexpr std::pair<std::uint64_t, std::uint64_t> kSteps[] = {
      {512 * kMegabyte, 80}, {256 * kMegabyte, 64}, {192 * kMegabyte, 30}, {128 * kMegabyte, 20}, {96 * kMegabyte, 10}};
  for (const auto& [threshold, megabytes] : kSteps) {
    if (physical_memory > threshold) return megabytes;
  }
  return 0;
}

}  // namespace

std::uint64_t CacheBudgetBytes(std::int32_t megabytes, std::uint64_t physical_memory) {
  if (megabytes < 0) return std::min(AutomaticMegabytes(physical_memory) * kMegabyte, physical_memory);
  return std::min(static_cast<std::uint64_t>(megabytes) * kMegabyte, physical_memory / 2);
}

std::string CImageCache::KeyOf(const std::string& name) {
  std::string key = name;
  LowerSjis(key);
  return key;
}

bool CImageCache::IsOn() const { return GetBudget() != 0; }

std::uint64_t CImageCache::GetBudget() const {
  const std::lock_guard guard(lock_);
  return budget_;
}

std::uint64_t CImageCache::GetTotal() const {
  const std::lock_guard guard(lock_);
  return total_;
}

std::size_t CImageCache::GetCount() const {
  const std::lock_guard guard(lock_);
  return recency_.size();
}

void CImageCache::SetBudget(std::uint64_t bytes) {
  const std::lock_guard guard(lock_);
  budget_ = bytes;
  if (bytes == 0) {
    recency_.clear();
    index_.clear();
    total_ = 0;
    return;
  }
  EvictAbove(bytes, 0);
}

void CImageCache::EvictAbove(std::uint64_t limit, std::size_t kept) {
  while (total_ > limit && recency_.size() > kept) {
    Entry& last = recency_.back();
    total_ -= last.picture->GetByteCount();
    index_.erase(last.key);
    recency_.pop_back();
  }
}

int CImageCache::Insert(CCachedPicture& picture, const std::string& key) {
  const std::lock_guard guard(lock_);
  if (const auto found = index_.find(key); found != index_.end()) {
    recency_.splice(recency_.begin(), recency_, found->second);
    return kAlreadyCached;
  }
  picture.AddRef();
  recency_.push_front({key, RefPtr<CCachedPicture>(&picture)});
  index_.emplace(key, recency_.begin());
  total_ += picture.GetByteCount();
  EvictAbove(std::max<std::uint64_t>(budget_, picture.GetByteCount()), 1);
  return kAdded;
}

RefPtr<CCachedPicture> CImageCache::Find(const std::string& key) {
  const std::lock_guard guard(lock_);
  const auto found = index_.find(key);
  if (found == index_.end()) return nullptr;
  recency_.splice(recency_.begin(), recency_, found->second);
  CCachedPicture& picture = *found->second->picture;
  picture.AddRef();
  return RefPtr<CCachedPicture>(&picture);
}

int CImageCache::ReleaseCallerReference(const std::string& key) {
  const std::lock_guard guard(lock_);
  const auto found = index_.find(key);
  if (found == index_.end()) return kNotCached;
  CCachedPicture& picture = *found->second->picture;
  if (picture.GetRefCount() > 0) picture.Release();
  return kReleased;
}

std::vector<std::string> CImageCache::KeysByRecency() const {
  const std::lock_guard guard(lock_);
  std::vector<std::string> keys;
  for (const Entry& entry : recency_) keys.push_back(entry.key);
  return keys;
}

// The image cache: decoded pictures by key (a lower-cased full path) with a byte budget and
// least-recently-used eviction. The cache holds one reference per entry; a picture evicted
// while a caller holds it lives on with the caller.
#pragma once

#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "resource/pictures/cached_picture.h"

// The byte budget for `megabytes` (negative: chosen by the machine's memory) on a machine with
// `physical_memory` bytes; 0 switches the cache off.
std::uint64_t CacheBudgetBytes(std::int32_t megabytes, std::uint64_t physical_memory);

class CImageCache {
 public:
  static constexpr int kAlreadyCached = -1;
  static constexpr int kAdded = 0;
  static constexpr int kReleased = 0;
  static constexpr int kNotCached = 2;

  CImageCache() = default;
  CImageCache(const CImageCache&) = delete;
  CImageCache& operator=(const CImageCache&) = delete;

  // The key of a name: its lower-cased copy.
  static std::string KeyOf(const std::string& name);

  bool IsOn() const;
  std::uint64_t GetBudget() const;
  std::uint64_t GetTotal() const;
  std::size_t GetCount() const;
  // A budget of 0 empties the cache; otherwise pictures go from the least recently used end
  // while the total exceeds the budget.
  void SetBudget(std::uint64_t bytes);

  // Adds the picture as the most recently used, with a reference of the cache's own. Then
  // evicts while the total exceeds the budget, but never the picture just added.
  int Insert(CCachedPicture& picture, const std::string& key);
  // The picture, made the most recently used, with a reference for the caller; null on a miss.
  RefPtr<CCachedPicture> Find(const std::string& key);
  // Drops one reference that a caller holds on the picture of `key`; the cache's own stays, so
  // that a release without a matching hold never frees a picture the cache still lists.
  int ReleaseCallerReference(const std::string& key);
  // The keys from the most to the least recently used.
  std::vector<std::string> KeysByRecency() const;

 private:
  struct Entry {
    std::string key;
    RefPtr<CCachedPicture> picture;
  };
  using Recency = std::list<Entry>;

  // Evicts from the least recently used end while the total exceeds `limit`, keeping at least
  // `kept` entries.
  void EvictAbove(std::uint64_t limit, std::size_t kept);

  mutable std::mutex lock_;
  Recency recency_;  // most recently used first
  std::unordered_map<std::string, Recency::iterator> index_;
  std::uint64_t budget_ = 0;
  std::uint64_t total_ = 0;
};

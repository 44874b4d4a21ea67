// The glyphs a font has made, by character, size and style: 256 buckets with an inline first
// entry and chained overflow, and a recency list from which the least recently used glyphs are
// evicted once the count passes the limit. The cache owns its glyphs.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "ui/fonts/glyph.h"

class CGlyphCache {
 public:
  static constexpr int kBuckets = 256;

  struct Entry {
    uint32_t hash = 0;
    uint32_t flags = 0;  // kInUse, kInline
    uint32_t key = 0;
    CGlyph* glyph = nullptr;
    Entry* chain_previous = nullptr;
    std::unique_ptr<Entry> chain_next;
    Entry* recency_previous = nullptr;
    Entry* recency_next = nullptr;
  };
  static constexpr uint32_t kInUse = 1;
  static constexpr uint32_t kInline = 2;

  explicit CGlyphCache(uint32_t limit);
  CGlyphCache(const CGlyphCache&) = delete;
  CGlyphCache& operator=(const CGlyphCache&) = delete;
  virtual ~CGlyphCache();

  static uint32_t Key(uint32_t code, int32_t size, bool outline, bool bold, bool italic);
  static uint32_t Hash(uint32_t code, int32_t size, bool outline, bool bold, bool italic);

  CGlyph* Lookup(uint32_t key, uint32_t hash);
  void Insert(uint32_t key, uint32_t hash, CGlyph* glyph);
  uint32_t Trim(uint32_t count);
  void Clear();
  // A new limit (0 switches caching off); the least recently used glyphs beyond it go at once.
  void SetLimit(uint16_t limit);

  uint32_t limit() const { return limit_; }
  uint32_t count() const { return count_; }
  const Entry* head() const { return head_; }
  const Entry* tail() const { return tail_; }

 protected:
  virtual void SetEntry(Entry& entry, uint32_t key, CGlyph* glyph);
  virtual void ReleaseEntry(Entry& entry);

 private:
  void Touch(Entry& entry);
  void LinkAtHead(Entry& entry);
  void UnlinkRecency(Entry& entry);
  void ResetBuckets();

  std::array<Entry, kBuckets> buckets_;
  Entry* head_ = nullptr;
  Entry* tail_ = nullptr;
  uint32_t count_ = 0;
  uint32_t limit_;
};

// Glyph cache limit of new fonts (low 16 bits used; 0 switches caching off).
extern uint32_t g_GlyphCacheLimit;

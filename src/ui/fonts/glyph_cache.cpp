#include "ui/fonts/glyph_cache.h"

uint32_t g_GlyphCacheLimit = 512;

CGlyphCache::CGlyphCache(uint32_t limit) : limit_(limit & 0xFFFF) { ResetBuckets(); }

CGlyphCache::~CGlyphCache() { Clear(); }

uint32_t CGlyphCache::Key(uint32_t code, int32_t size, bool outline, bool bold, bool italic) {
  return (code & 0xFFFF) | (static_cast<uint32_t>(size) & 0x3FF) << 16 | static_cast<uint32_t>(italic) << 29 |
         static_cast<uint32_t>(bold) << 30 | static_cast<uint32_t>(outline) << 31;
}

uint32_t CGlyphCache::Hash(uint32_t code, int32_t size, bool outline, bool bold, bool italic) {
  const auto unsigned_size = static_cast<uint32_t>(size);
  const uint32_t hash = (bold ? 128U : 0U) ^ (italic ? 16U : 0U) ^ (outline ? 1U : 0U) ^ (code >> 8 & 0xFF) ^
                        (code & 0xFF) ^ (unsigned_size >> 8 & 0xFF) ^ (unsigned_size & 0xFF);
  return hash & 0xFF;
}

CGlyph* CGlyphCache::Lookup(uint32_t key, uint32_t hash) {
  for (Entry* entry = &buckets_[hash & 0xFF]; entry != nullptr; entry = entry->chain_next.get()) {
    if ((entry->flags & kInUse) != 0 && entry->hash == hash && entry->key == key) {
      Touch(*entry);
      return entry->glyph;
    }
  }
  return nullptr;
}

void CGlyphCache::Insert(uint32_t key, uint32_t hash, CGlyph* glyph) {
  Entry& bucket = buckets_[hash & 0xFF];
  for (Entry* entry = &bucket; entry != nullptr; entry = entry->chain_next.get()) {
    if ((entry->flags & kInUse) != 0 && entry->key == key) {
      Touch(*entry);
      return;
    }
  }
  Entry* target = &bucket;
  if ((bucket.flags & kInUse) != 0) {
    auto overflow = std::make_unique<Entry>();
    overflow->hash = hash;
    overflow->chain_previous = &bucket;
    overflow->chain_next = std::move(bucket.chain_next);
    if (overflow->chain_next) overflow->chain_next->chain_previous = overflow.get();
    bucket.chain_next = std::move(overflow);
    target = bucket.chain_next.get();
  }
  SetEntry(*target, key, glyph);
  LinkAtHead(*target);
  ++count_;
  if (count_ > limit_) Trim(count_ - limit_);
}

uint32_t CGlyphCache::Trim(uint32_t count) {
  uint32_t removed = 0;
  while (removed < count && tail_ != nullptr) {
    Entry& entry = *tail_;
    UnlinkRecency(entry);
    --count_;
    ReleaseEntry(entry);
    if ((entry.flags & kInline) == 0) {
      Entry* previous = entry.chain_previous;
      if (entry.chain_next) entry.chain_next->chain_previous = previous;
      previous->chain_next = std::move(entry.chain_next);  // frees the entry
    }
    ++removed;
  }
  return removed;
}

void CGlyphCache::Clear() {
  for (Entry& bucket : buckets_) {
    for (Entry* entry = &bucket; entry != nullptr; entry = entry->chain_next.get()) {
      if ((entry->flags & kInUse) != 0) ReleaseEntry(*entry);
    }
  }
  ResetBuckets();
}

void CGlyphCache::SetEntry(Entry& entry, uint32_t key, CGlyph* glyph) {
  entry.key = key;
  entry.glyph = glyph;
  entry.flags |= kInUse;
}

void CGlyphCache::ReleaseEntry(Entry& entry) {
  CGlyph::Release(entry.glyph);
  entry.glyph = nullptr;
  entry.flags &= ~kInUse;
}

void CGlyphCache::Touch(Entry& entry) {
  if (head_ == &entry) return;
  UnlinkRecency(entry);
  LinkAtHead(entry);
}

void CGlyphCache::LinkAtHead(Entry& entry) {
  entry.recency_previous = nullptr;
  entry.recency_next = head_;
  if (head_ != nullptr) head_->recency_previous = &entry;
  head_ = &entry;
  if (tail_ == nullptr) tail_ = &entry;
}

void CGlyphCache::UnlinkRecency(Entry& entry) {
  if (entry.recency_previous != nullptr) entry.recency_previous->recency_next = entry.recency_next;
  else head_ = entry.recency_next;
  if (entry.recency_next != nullptr) entry.recency_next->recency_previous = entry.recency_previous;
  else tail_ = entry.recency_previous;
  entry.recency_previous = nullptr;
  entry.recency_next = nullptr;
}

void CGlyphCache::ResetBuckets() {
  for (uint32_t i = 0; i < kBuckets; ++i) {
    Entry& bucket = buckets_[i];
    bucket.chain_next.reset();
    bucket = Entry{};
    bucket.hash = i;
    bucket.flags = kInline;
  }
  head_ = nullptr;
  tail_ = nullptr;
  count_ = 0;
}

void CGlyphCache::SetLimit(uint16_t limit) {
  limit_ = limit;
  if (count_ > limit_) Trim(count_ - limit_);
}

#include "ui/fonts/glyph_cache.h"

#include <gtest/gtest.h>

namespace {

CGlyph* Remember(CGlyphCache& cache, uint32_t code) {
  auto* glyph = new CGlyph;
  cache.Insert(CGlyphCache::Key(code, 16, false, false, false), CGlyphCache::Hash(code, 16, false, false, false),
               glyph);
  return glyph;
}

CGlyph* Find(CGlyphCache& cache, uint32_t code) {
  return cache.Lookup(CGlyphCache::Key(code, 16, false, false, false),
                      CGlyphCache::Hash(code, 16, false, false, false));
}

TEST(GlyphCache, KeyAndBucketFollowTheStyleBits) {
  EXPECT_EQ(CGlyphCache::Key(0x82A0, 16, true, true, true), 0x82A0U | 16U << 16 | 1U << 29 | 1U << 30 | 1U << 31);
  EXPECT_EQ(CGlyphCache::Key(0x41, 0x4FF, false, false, false), 0x41U | 0xFFU << 16);
  EXPECT_EQ(CGlyphCache::Hash(0x82A0, 16, true, true, true), (128U ^ 16U ^ 1U ^ 0x82U ^ 0xA0U ^ 16U) & 0xFF);
  EXPECT_EQ(CGlyphCache::Hash(0x41, 0x310, false, false, false), 0x41U ^ 0x03U ^ 0x10U);
}

TEST(GlyphCache, The513thGlyphEvictsTheLeastRecentlyUsed) {
  CGlyphCache cache(512);
  for (uint32_t code = 0; code < 512; ++code) Remember(cache, 0x8140 + code);
  EXPECT_EQ(cache.count(), 512U);
  Remember(cache, 0x9000);
  EXPECT_EQ(cache.count(), 512U);
  EXPECT_EQ(Find(cache, 0x8140), nullptr);
  EXPECT_NE(Find(cache, 0x8141), nullptr);
  EXPECT_NE(Find(cache, 0x9000), nullptr);
}

TEST(GlyphCache, UsingAGlyphAgainMovesItToTheHead) {
  CGlyphCache cache(3);
  CGlyph* first = Remember(cache, 'a');
  Remember(cache, 'b');
  Remember(cache, 'c');
  EXPECT_EQ(Find(cache, 'a'), first);
  EXPECT_EQ(cache.head()->glyph, first);
  Remember(cache, 'd');
  EXPECT_EQ(Find(cache, 'a'), first);
  EXPECT_EQ(Find(cache, 'b'), nullptr);
}

TEST(GlyphCache, CollidingKeysChainInOneBucketAndSurviveEvictionOfTheInlineEntry) {
  // 'A' (0x41) in size 0x10 and 'Q' (0x51) in size 0x00... share bucket 0x51.
  CGlyphCache cache(2);
  auto* inline_glyph = new CGlyph;
  auto* overflow_glyph = new CGlyph;
  cache.Insert(CGlyphCache::Key(0x41, 0x10, false, false, false), 0x51, inline_glyph);
  cache.Insert(CGlyphCache::Key(0x51, 0x00, false, false, false), 0x51, overflow_glyph);
  EXPECT_EQ(cache.Trim(1), 1U);
  EXPECT_EQ(cache.Lookup(CGlyphCache::Key(0x41, 0x10, false, false, false), 0x51), nullptr);
  EXPECT_EQ(cache.Lookup(CGlyphCache::Key(0x51, 0x00, false, false, false), 0x51), overflow_glyph);
  auto* third = new CGlyph;
  cache.Insert(CGlyphCache::Key(0x50, 0x01, false, false, false), 0x51, third);
  EXPECT_EQ(cache.count(), 2U);
  EXPECT_EQ(cache.Lookup(CGlyphCache::Key(0x50, 0x01, false, false, false), 0x51), third);
}

TEST(GlyphCache, AnExtraReferenceKeepsAnEvictedGlyphAlive) {
  CGlyphCache cache(1);
  CGlyph* held = Remember(cache, 'a');
  held->extra_references = 1;
  Remember(cache, 'b');
  EXPECT_EQ(held->extra_references, 0);
  CGlyph::Release(held);
}

}  // namespace

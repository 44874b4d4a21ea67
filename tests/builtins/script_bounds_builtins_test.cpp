// Every count and size a script gives is bounded before any work: each bound is taken at the
// bound and refused one past it, with the built-in's failure value.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "builtins/memory_builtins.h"
#include "effects/background/bg_haze_effect.h"
#include "effects/sprite/sp_fade_effect.h"
#include "object_end_fixture.h"
#include "ui/fonts/font_base.h"

namespace {

// A bound: whether the call with the count succeeds (its result other than the failure value).
struct Bound {
  const char* name;
  std::int64_t most;
  std::function<bool(std::int64_t count)> succeeds;
};

class ScriptBoundsTest : public ObjectEndTest {
 protected:
  // "(1,0,16)" repeated: a haze text of `terms` terms.
  std::uint32_t HazeTerms(std::int64_t terms) {
    std::string text;
    for (std::int64_t i = 0; i < terms; ++i) text += "(1,0,16)";
    return Text(text);
  }
  // Whether the allocation built-in makes a block of the size; a block made is freed again.
  bool MakesBlock(std::uint32_t id, std::int64_t size) {
    const std::uint32_t block = Call(id, {static_cast<std::uint32_t>(size)});
    if (block == 0) return false;
    EXPECT_EQ(Call(77, {block}), 1u);
    return true;
  }
  bool StartsHaze(std::uint32_t text) {
    const std::uint32_t canvas = NewCanvas();
    Call(418, {canvas, NewImage(), 0, 0, 1});
    const std::uint32_t task = Call(218, {canvas, Text("bg_haze"), text, 4, 500, 300, 100, 100, 0, 0});
    if (task != 0) Call(212, {WordHolding(task)});
    return task != 0;
  }
};

TEST_F(ScriptBoundsTest, EachCountIsTakenAtItsBoundAndRefusedPastIt) {
  const std::uint32_t canvas = NewCanvas();
  const std::uint32_t face = Text("SimSun");
  const std::uint32_t font = Call(168, {face, 16});
  ASSERT_NE(font, 0u);
  const Bound bounds[] = {
      {"sp_fade's entries", CSpFadeEffect::kMostEntries,
       [&](std::int64_t count) {
         return Call(218, {canvas, Text("sp_fade"), static_cast<std::uint32_t>(count), 0, 0}) != 0;
       }},
      {"bg_haze's terms", CBgHazeEffect::kMostTerms,
       [&](std::int64_t count) { return StartsHaze(HazeTerms(count)); }},
      {"bg_haze's table size", CBgHazeEffect::kLargestTable,
       [&](std::int64_t count) {
         std::vector<std::int32_t> table;
         return CBgHazeEffect::BuildTable("(1,0,16)", static_cast<std::uint32_t>(count), table) == 0;
       }},
      {"a block of 76", kLargestScriptBlock, [&](std::int64_t count) { return MakesBlock(76, count); }},
      {"a block of 75", kLargestScriptBlock, [&](std::int64_t count) { return MakesBlock(75, count); }},
      {"a font made", kLargestFontSize,
       [&](std::int64_t count) {
         const std::uint32_t made = Call(168, {face, static_cast<std::uint32_t>(count)});
         if (made != 0) Call(169, {WordHolding(made)});
         return made != 0;
       }},
      {"a font's size set", kLargestFontSize,
       [&](std::int64_t count) { return Call(172, {font, static_cast<std::uint32_t>(-count)}) == 0; }},
  };
  for (const Bound& bound : bounds) {
    EXPECT_TRUE(bound.succeeds(bound.most)) << bound.name << " at its bound";
    EXPECT_FALSE(bound.succeeds(bound.most + 1)) << bound.name << " one past it";
  }
}

}  // namespace

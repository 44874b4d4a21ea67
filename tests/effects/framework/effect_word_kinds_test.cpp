// Every built-in effect and filter declares the kinds of its words for each entry, and a layout
// that hangs on a mode word follows it.
#include "effects/framework/effect_word_kinds.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "effects/table/builtin_effect_table.h"

namespace {

TEST(EffectWordKindsTest, EveryBuiltinDeclaresItsWordsAndPlugInsDoNot) {
  const std::array entries{EffectEntry::kSetup, EffectEntry::kSetParam, EffectEntry::kGetParam, EffectEntry::kAssist};
  for (const BuiltinEffectRow& row : BuiltinEffectRows()) {
    for (const EffectEntry entry : entries) EXPECT_TRUE(EffectWordKindsOf(row.name, entry, {}).has_value()) << row.name;
  }
  for (const BuiltinFilterRow& row : BuiltinFilterRows()) {
    EXPECT_TRUE(EffectWordKindsOf(row.name, EffectEntry::kFilter, {}).has_value()) << row.name;
  }
  EXPECT_FALSE(EffectWordKindsOf("bg_zoom", EffectEntry::kFilter, {}).has_value()) << "effects are no filters";
  EXPECT_FALSE(EffectWordKindsOf("plug_in_effect", EffectEntry::kSetup, {}).has_value());
  EXPECT_FALSE(EffectWordKindsOf(nullptr, EffectEntry::kSetup, {}).has_value());
}

TEST(EffectWordKindsTest, ALayoutFollowsItsModeWord) {
  const std::vector<std::uint32_t> along_path{0x10000, 0, 0, 0};
  const std::vector<std::uint32_t> start_to_end{0, 0, 0, 0};
  EXPECT_EQ(EffectWordKindsOf("bg_blur", EffectEntry::kSetup, along_path)->size(), 6u);
  EXPECT_EQ((*EffectWordKindsOf("bg_blur", EffectEntry::kSetup, start_to_end))[3], EffectWord::kText);
  EXPECT_EQ((*EffectWordKindsOf("bg_blur", EffectEntry::kSetup, along_path))[3], EffectWord::kNumber);
  EXPECT_EQ((*EffectWordKindsOf("sp_panime", EffectEntry::kAssist, start_to_end))[1], EffectWord::kNumber);
  EXPECT_EQ((*EffectWordKindsOf("sp_panime", EffectEntry::kAssist, along_path))[1], EffectWord::kSprite);
}

}  // namespace

// The typed readers of effect and filter arguments, decimal texts above all.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "effects/framework/effect_args.h"

namespace {

TEST(EffectArgsTest, DecimalTextsReadAsTheCLibraryReadsThemInTheCLocale) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* text;
    double value;
  };
  for (const Case& c : {Case{"2", 2.0}, Case{" \t-2.5", -2.5}, Case{"+1.5e1", 15.0}, Case{".25", 0.25},
                        Case{"3,5", 3.0}, Case{"7px", 7.0}, Case{"abc", 0.0}, Case{"", 0.0}, Case{"+-1", 0.0},
                        Case{"0x10", 0.0}, Case{"1e400", kInf}, Case{"-1e400", -kInf}, Case{"1e-400", 0.0},
                        Case{"inf", kInf}}) {
    EXPECT_EQ(ParseDecimal(c.text), c.value) << c.text;
  }
  EXPECT_TRUE(std::isnan(ParseDecimal("nan")));
}

TEST(EffectArgsTest, ReadersTakeTheirWordsAndNullTextGivesTheCallersDefault) {
  std::int32_t out = 0;
  const std::string text = "0.5";
  const PluginArgList list{0xFFFFFFFEu, 2, reinterpret_cast<std::uintptr_t>(text.c_str()), 0,
                           reinterpret_cast<std::uintptr_t>(&out)};
  const PluginArgs args = list.View();
  EXPECT_EQ(ArgInt(args, 0), -2);
  EXPECT_EQ(ArgUnsigned(args, 0), 0xFFFFFFFEu);
  EXPECT_TRUE(ArgFlag(args, 1));
  EXPECT_FALSE(ArgFlag(args, 3));
  EXPECT_EQ(ArgDecimal(args, 2, 1.0), 0.5);
  EXPECT_EQ(ArgDecimal(args, 3, 1.0), 1.0);
  EXPECT_EQ(ArgDecimal(args, 9, -1.0), -1.0) << "past the end";
  EXPECT_EQ(ArgOut<std::int32_t>(args, 4), &out);
  EXPECT_EQ(ArgObject<std::int32_t>(args, 5), nullptr);
}

}  // namespace

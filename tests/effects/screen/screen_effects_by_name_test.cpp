// The six screen effects made by name on the pausable timer manager, as the frame's effect
// commands make them: each of its own class and kind, and a refused set-up that leaves nothing.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <iterator>
#include <string>
#include <utility>

#include "effects/framework/create_by_name.h"
#include "effects/table/builtin_effect_table.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "screen_effect_fixture.h"

namespace {

using screen_test::Text;

class ScreenEffectsByNameTest : public screen_test::ScreenEffectTest {
 protected:
  void SetUp() override {
    ScreenEffectTest::SetUp();
    for (const BuiltinEffectRow& row : BuiltinEffectRows()) {
      ASSERT_EQ(effects_.RegisterObject(row.creator, row.name, row.type, row.assist, row.assist2, 0), 0u);
    }
    g_DcpHost = &effects_;
    g_PausableTimerManager = &timers_;
    WritePicture("SYS/NOISE.ELG", 8, 8, 0xFF808080);
    for (const char* name : {"SYS/PAPER_%d.ELG", "SYS/GR_LT%d.ELG", "SYS/SNOW_%d.ELG"}) {
      for (int k = 0; k < 8; ++k) {
        char file[32];
        std::snprintf(file, sizeof file, name, k);
        WritePicture(file, 48, 4, 0xFFFFFFFF);
      }
    }
  }
  void TearDown() override {
    timers_.RemoveAll();
    g_PausableTimerManager = nullptr;
    g_DcpHost = nullptr;
    ScreenEffectTest::TearDown();
  }

  CDcpPluginManager effects_;
};

TEST_F(ScreenEffectsByNameTest, EachNameMakesItsScreenEffectOnThePausableManager) {
  const std::pair<const char*, PluginArgList> cases[] = {
      {"quake", {0, 4, 4, 500, Text("1.0"), 0, 1, 1, 0}}, {"noise", {128, 10, 1, 1}},
      {"paper", {5, 0, 0, 1, 0, 1, 1}},                   {"light", {5, 0, 0, 1, 0, 1, 1}},
      {"snow", {5, 0, 0, 1, 0, 1, 1}},                    {"rain", {5, 0, 0, 1, 0, 1, 1}},
  };
  // The owner slots live as long as the effects.
  std::array<CEffect*, std::size(cases)> slots{};
  for (std::size_t i = 0; i < slots.size(); ++i) {
    const auto& [name, args] = cases[i];
    CEffect*& effect = slots[i];
    ASSERT_EQ(CreateEffectByName(&effect, name, static_cast<CImagePart*>(&front_), args.View()), kEffectCreated)
        << name;
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(std::string(effect->GetName()), name);
    EXPECT_EQ(effect->GetType(), 3);
    EXPECT_EQ(effect->GetTypeId(), kTimedTaskScreenEffect);
    EXPECT_EQ(effect->GetParam(PluginArgList{0}.View()), CEffect::kNotSupported);
    EXPECT_TRUE(timers_.Contains(effect));
  }
  timers_.RemoveByKind(kTimedTaskScreenEffect);
  RunAt(0);
  EXPECT_EQ(timers_.GetCount(), 0u);
  EXPECT_TRUE(First().GetOwnList().IsEmpty()) << "every drawable went with its effect";
  EXPECT_TRUE(Second().GetOwnList().IsEmpty());
  EXPECT_EQ(slots, (std::array<CEffect*, std::size(cases)>{})) << "every owner slot cleared";
}

TEST_F(ScreenEffectsByNameTest, ARefusedSetUpLeavesNothingBehind) {
  CEffect* effect = nullptr;
  EXPECT_EQ(CreateEffectByName(&effect, "rain", static_cast<CImagePart*>(&front_),
                               PluginArgList{0, 0, 0, 1, 0, 1, 1}.View()),
            kEffectSetupFailed);
  EXPECT_EQ(CreateEffectByName(&effect, "quake", static_cast<CImagePart*>(&back_),
                               PluginArgList{0, 4, 4, 0, 0, 1, 1, 1, 0}.View()),
            kEffectSetupFailed);
  EXPECT_EQ(effect, nullptr);
  EXPECT_EQ(timers_.GetCount(), 0u);
  EXPECT_EQ(First().GetBackgroundCache(), nullptr);
}

}  // namespace

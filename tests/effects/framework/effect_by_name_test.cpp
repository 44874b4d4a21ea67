// Effects and filters made by name beside the built-ins: the registration, the results of both
// creations, the release rule, priority control switched off, owner slots, and what the bases
// do when an effect is paused and a filter is driven by its part.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/system/app_hooks.h"
#include "base/time/timer_manager.h"
#include "effects/framework/builtin_effect_services.h"
#include "effects/framework/create_by_name.h"
#include "effects/framework/effect.h"
#include "effects/framework/effect_args.h"
#include "effects/framework/trans_callback.h"
#include "effects/sprite/sp_fade_effect.h"
#include "effects/table/builtin_effect_table.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "scene/sprites/sprite.h"
#include "support/fake_clock.h"
#include "support/fake_screen_transition.h"
#include "support/log_capture.h"

namespace {

int g_lowered = 0;
int g_restored = 0;
bool g_control_off = false;
int g_live_effects = 0;

// Set-up arguments: its result (0: it runs on the manager), then the heavy-work flag that makes
// it lower the priority. It keeps two time stamps, taken at its first update.
class FakeEffect : public CEffect {
 public:
  FakeEffect() { ++g_live_effects; }
  ~FakeEffect() override { --g_live_effects; }
  std::uint32_t GetTypeId() const override { return kTimedTaskScreenEffect; }
  const char* GetName() const override { return "fake"; }
  std::uint8_t GetType() const override { return 3; }
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override {
    target_ = target;
    if (const std::int32_t result = ArgInt(args, 0); result != kRunning) return result;
    if (manager == nullptr || manager->Add(this, 0, 0, 0) != CTimerManager::kAdded) return 5;
    if (ArgFlag(args, 1)) LowerPriority();
    return kRunning;
  }
  std::uint32_t Update(std::uint32_t now) override {
    if (start_ == 0) {
      start_ = now;
      frame_ = now + 40;
    }
    return 0;
  }
  void Stop() override {}

  void* target_ = nullptr;
  std::uint32_t start_ = 0;
  std::uint32_t frame_ = 0;
  std::vector<std::uint32_t> spans_;

 protected:
  void OnResumed(std::uint32_t paused_span) override {
    spans_.push_back(paused_span);
    start_ += paused_span;
    frame_ += paused_span;
  }
};

CDcpObject* MakeFakeEffect(std::uint32_t) { return new FakeEffect; }
CDcpObject* MakeStranger(std::uint32_t);

// A draw object that is no effect.
class Stranger : public CDcpObject {
 public:
  Stranger() { ++g_live_effects; }
  ~Stranger() override { --g_live_effects; }
  std::int32_t SetUp(const PluginArgs&) override { return 0; }
};
CDcpObject* MakeStranger(std::uint32_t) { return new Stranger; }

int g_live_filters = 0;
int g_filter_start_ups = 0;
std::vector<FilterApplyArea> g_applied;

// A one-picture filter that accepts the part when its first argument is 0 and ends at the time
// of its second.
class FakeFilter : public CTransCallback {
 public:
  FakeFilter() { ++g_live_filters; }
  ~FakeFilter() override { --g_live_filters; }
  std::uint8_t GetType() const override { return 2; }
  const char* GetName() const override { return "fake_tone"; }
  std::int32_t Update(std::uint32_t now) override {
    now_ = now;
    return 0;
  }
  std::int32_t GetState() const override { return now_ >= end_ ? kStateFinished : kStateRunning; }
  std::int32_t Apply(const FilterApplyArea& area) override {
    g_applied.push_back(area);
    return 0;
  }
  std::int32_t SetParam(CImagePart* target, const PluginArgs& args) override {
    if (target == nullptr) return 1;
    end_ = ArgUnsigned(args, 1);
    return ArgInt(args, 0);
  }
 private:
  std::uint32_t now_ = 0;
  std::uint32_t end_ = 0;
};

CTcpObject* MakeFakeFilter(std::uint32_t) { return new FakeFilter; }
void StartUpFakeFilter() { ++g_filter_start_ups; }

// Every row has its class: none is left out or logged as not built.
TEST(BuiltinEffectsTest, TheRowsAreRegisteredInTableOrderAndNoneIsLoggedAsNotBuilt) {
  LogCapture log;
  CDcpPluginManager effects;
  CTcpPluginManager filters;
  CImageCanvasEx frame;
  ASSERT_EQ(frame.Create(16, 8, 32, CImagePart::kNoLayer), 0u);
  CScreenManager screen;
  screen.SetFrameImage(&frame);
  g_ScreenManager = &screen;
  RegisterSetUpEffects(effects, filters);
  EXPECT_EQ(effects.GetObjects().GetRecordCount(), 10u) << "the set-up's rows: the background effects";
  RegisterBuiltinEffects(effects, filters);
  g_ScreenManager = nullptr;
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;

  ASSERT_EQ(BuiltinEffectRows().size(), 21u);
  ASSERT_EQ(BuiltinFilterRows().size(), 14u);
  EXPECT_EQ(filters.GetObjects().GetRecordCount(), BuiltinFilterRows().size());
  std::vector<std::string> built;
  for (const BuiltinEffectRow& row : BuiltinEffectRows()) built.push_back(row.name);
  // The set-up's rows first, then the script host's, each in table order; once each.
  ASSERT_EQ(effects.GetObjects().GetRecordCount(), built.size());
  for (std::size_t i = 0; i < built.size(); ++i) EXPECT_EQ(effects.GetObjects().GetRecord(i).name, built[i]);
  EXPECT_EQ(built, (std::vector<std::string>{"bg_zoom", "bg_rot", "bg_blur", "bg_rast", "bg_haze", "bg_loop",
                                              "bg_cross", "bg_panime", "sp_panime", "bg_anime", "quake", "noise",
                                              "sp_tanime", "sp_change", "sp_fade", "sp_gfade", "staff", "paper",
                                              "light", "snow", "rain"}));
  EXPECT_EQ(effects.GetObjects().GetRecord(0).type, 0);
  EXPECT_EQ(effects.GetObjects().GetRecord(8).type, 1);
  // The background effects with an assist entry are found by name.
  EXPECT_NE(effects.FindAssistFunc("bg_zoom"), nullptr);
  EXPECT_NE(effects.FindAssistFunc2("bg_blur"), nullptr);
  EXPECT_NE(effects.FindAssistFunc2("bg_anime"), nullptr);
  EXPECT_EQ(g_BuiltinEffectServices.random_index, &g_ScriptRandomIndex);
  EXPECT_EQ(g_BuiltinEffectServices.random_state, &g_ScriptRandomState);
  EXPECT_EQ(frame.GetUserWord2(), 0xFFFFFFFFu);

  // The set-up's rows are the transitions and then the draw objects of the set-up, in order.
  std::vector<std::string> set_up;
  for (const BuiltinFilterRow& row : BuiltinFilterRows()) {
    if (row.by == BuiltinRegistrar::kAtSetUp) set_up.push_back(row.name);
  }
  for (const BuiltinEffectRow& row : BuiltinEffectRows()) {
    if (row.by == BuiltinRegistrar::kAtSetUp) set_up.push_back(row.name);
  }
  EXPECT_EQ(set_up, (std::vector<std::string>{"cross", "rule", "scroll", "wave", "mosaic", "rotaxis", "trans", "tone",
                                              "bg_zoom", "bg_rot", "bg_blur", "bg_rast", "bg_haze", "bg_loop",
                                              "bg_cross", "bg_panime", "sp_panime", "bg_anime"}));
}

class EffectByNameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_lowered = g_restored = g_live_effects = g_live_filters = g_filter_start_ups = 0;
    g_control_off = false;
    g_applied.clear();
    g_LowerPriorityHook = [] { return ++g_lowered; };
    g_RestorePriorityHook = [] { return ++g_restored; };
    g_PriorityControlOffHook = [] { return g_control_off; };
    g_DcpHost = &effects_;
    g_TcpHost = &filters_;
    g_PausableTimerManager = &timers_;
    RegisterSetUpEffects(effects_, filters_);
    RegisterBuiltinEffects(effects_, filters_);
    ASSERT_EQ(effects_.RegisterObject(&MakeFakeEffect, "fake", 3, nullptr, nullptr, 0), 0u);
    ASSERT_EQ(effects_.RegisterObject(&MakeStranger, "stranger", 3, nullptr, nullptr, 0), 0u);
    ASSERT_EQ(filters_.RegisterObject(&MakeFakeFilter, "fake_tone", 2, 0, 0, &StartUpFakeFilter, nullptr), 0u);
    ASSERT_EQ(part_.Create(16, 8, 32, CImagePart::kLayerAndDrawList), 0u);
    ASSERT_EQ(partner_.Create(16, 8, 32, CImagePart::kLayerAndDrawList), 0u);
    ASSERT_EQ(part_.SetPartner(&partner_), 0u);
  }
  void TearDown() override {
    part_.Release();
    timers_.RemoveAll();
    g_PausableTimerManager = nullptr;
    g_DcpHost = nullptr;
    g_TcpHost = nullptr;
    g_LowerPriorityHook = nullptr;
    g_RestorePriorityHook = nullptr;
    g_PriorityControlOffHook = nullptr;
  }

  static PluginArgs Args(const PluginArgList& list) { return list.View(); }

  LogCapture log_;
  ScopedFakeClock clock_;
  CTimerManager timers_;
  CDcpPluginManager effects_;
  CTcpPluginManager filters_;
  FakeDrawLayers layers_;
  CImageCanvasEx part_;
  CImageCanvasEx partner_;
};

TEST_F(EffectByNameTest, UnknownNamesCreateNothing) {
  CEffect* slot = nullptr;
  EXPECT_EQ(CreateEffectByName(&slot, "no_such_effect", nullptr, Args({0})), kEffectUnknown);
  EXPECT_EQ(CreateEffectByName(&slot, "Fake", nullptr, Args({0})), kEffectUnknown) << "names keep their case";
  EXPECT_EQ(CreateEffectByName(&slot, nullptr, nullptr, Args({0})), kEffectUnknown);
  EXPECT_EQ(CreateEffectByName(&slot, "stranger", nullptr, Args({0})), kEffectUnknown) << "no effect";
  EXPECT_EQ(CreateEffectByName(&slot, "bg_anime", nullptr, Args({0})), kEffectSetupFailed) << "known, no canvas";
  EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(CreateLayerFilterByName(&part_, "no_such_filter", 0, 0, Args({0, 100})), kFilterNotMade);
  EXPECT_EQ(CreateLayerFilterByName(nullptr, "fake_tone", 0, 0, Args({0, 100})), kFilterNoPart);
  EXPECT_EQ(g_live_effects, 0);
  EXPECT_EQ(g_live_filters, 0);
  EXPECT_FALSE(part_.HasAttached());
}

TEST_F(EffectByNameTest, ASecondRecordWithAnExistingNameLeavesTheFirstInForce) {
  ASSERT_EQ(effects_.RegisterObject(&MakeFakeEffect, CSpFadeEffect::kName, 1, nullptr, nullptr, 0), 0u);
  CEffect* slot = nullptr;
  ASSERT_EQ(CreateEffectByName(&slot, "sp_fade", nullptr, Args({2, 0, 0})), kEffectCreated);
  ASSERT_NE(slot, nullptr);
  EXPECT_NE(dynamic_cast<CSpFadeEffect*>(slot), nullptr);
  EXPECT_EQ(slot->GetName(), CSpFadeEffect::kName) << "the name is the table's own string";
  EXPECT_EQ(g_live_effects, 0);
  // The effect ends while its slot, a local of this body, still lives.
  timers_.RemoveAll();
  EXPECT_EQ(slot, nullptr);
}

TEST_F(EffectByNameTest, ARunningEffectIsHeldByItsOwnerSlotUntilItIsDeleted) {
  int target = 0;
  CEffect* slot = nullptr;
  ASSERT_EQ(CreateEffectByName(&slot, "fake", &target, Args({0})), kEffectCreated);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(static_cast<FakeEffect*>(slot)->target_, &target);
  EXPECT_TRUE(timers_.Contains(slot));
  EXPECT_EQ(slot->GetPriorityState(), CEffect::kPriorityReady);
  timers_.RemoveAll();
  EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(g_live_effects, 0);
  // Without a slot the effect runs all the same.
  ASSERT_EQ(CreateEffectByName(nullptr, "fake", nullptr, Args({0})), kEffectCreated);
  EXPECT_EQ(timers_.GetCount(), 1u);
}

TEST_F(EffectByNameTest, SetUpFailuresReleaseTheEffectAndFinishedAtOnceIsSuccess) {
  struct Case {
    std::int32_t setup_result;
    std::uint32_t created;
  };
  for (const Case& c : {Case{CEffect::kFinishedAtOnce, kEffectCreated}, Case{2, kEffectSetupFailed},
                        Case{1, kEffectSetupFailed}, Case{-5, kEffectSetupFailed}}) {
    CEffect* slot = nullptr;
    EXPECT_EQ(CreateEffectByName(&slot, "fake", nullptr, Args({static_cast<std::uint32_t>(c.setup_result)})),
              c.created)
        << c.setup_result;
    EXPECT_EQ(slot, nullptr) << c.setup_result;
    EXPECT_EQ(g_live_effects, 0) << c.setup_result;
  }
  EXPECT_EQ(timers_.GetCount(), 0u);
  // Without a manager the effect refuses its set-up.
  g_PausableTimerManager = nullptr;
  EXPECT_EQ(CreateEffectByName(nullptr, "fake", nullptr, Args({0})), kEffectSetupFailed);
  EXPECT_EQ(g_live_effects, 0);
}

TEST_F(EffectByNameTest, AHeavyEffectLowersThePriorityOnceAndRestoresItWhenItGoes) {
  CEffect* slot = nullptr;
  ASSERT_EQ(CreateEffectByName(&slot, "fake", nullptr, Args({0, 1})), kEffectCreated);
  EXPECT_EQ(slot->GetPriorityState(), CEffect::kPriorityLowered);
  slot->LowerPriority();
  EXPECT_EQ(g_lowered, 1);
  EXPECT_EQ(g_restored, 0);
  timers_.RemoveAll();
  EXPECT_EQ(g_restored, 1);
}

TEST_F(EffectByNameTest, WithPriorityControlOffNoHookIsCalledWhateverTheArguments) {
  g_control_off = true;
  CEffect* fake = nullptr;
  ASSERT_EQ(CreateEffectByName(&fake, "fake", nullptr, Args({0, 1})), kEffectCreated);
  EXPECT_EQ(fake->GetPriorityState(), CEffect::kPriorityControlOff);
  fake->LowerPriority();
  CEffect* fade = nullptr;
  ASSERT_EQ(CreateEffectByName(&fade, "sp_fade", nullptr, Args({2, 0, 1})), kEffectCreated);
  CSprite sprite;
  ASSERT_EQ(fade->SetParam(Args({1, 0, reinterpret_cast<std::uintptr_t>(&sprite), 100, 0, 0, 0, 0, 0})), 0);
  timers_.Dispatch(clock_.PreciseMilliseconds());
  timers_.RemoveAll();
  EXPECT_EQ(g_lowered, 0);
  EXPECT_EQ(g_restored, 0);

  ASSERT_EQ(CreateLayerFilterByName(&part_, "fake_tone", 0, 0, Args({0, 100})), kFilterAttached);
  part_.Detach(false);
  EXPECT_EQ(g_lowered, 0) << "the filter is attached with the flag 0";
  EXPECT_EQ(g_restored, 0);
}

TEST_F(EffectByNameTest, ALayerFilterIsAttachedWithItsArgumentsOrReleased) {
  EXPECT_EQ(g_filter_start_ups, 0) << "registration does not start a filter up";
  ASSERT_EQ(CreateLayerFilterByName(&part_, "fake_tone", CImagePart::kModePlain, 1, Args({0, 1200})), kFilterAttached);
  EXPECT_EQ(g_filter_start_ups, 1) << "the first lookup does";
  ASSERT_TRUE(part_.HasAttached());
  EXPECT_EQ(part_.GetAttachByte(), 1);
  EXPECT_EQ(g_lowered, 1) << "attached with priority control on";
  EXPECT_EQ(g_live_filters, 1);

  // The filter refuses its arguments; a part without a partner refuses the filter.
  EXPECT_EQ(CreateLayerFilterByName(&part_, "fake_tone", 0, 0, Args({2, 100})), kFilterNotMade);
  EXPECT_EQ(g_live_filters, 1);
  CImageCanvasEx lone;
  ASSERT_EQ(lone.Create(16, 8, 32, CImagePart::kLayerAndDrawList), 0u);
  EXPECT_EQ(CreateLayerFilterByName(&lone, "fake_tone", 0, 0, Args({0, 100})), kFilterRefused);
  EXPECT_EQ(g_live_filters, 1);
  EXPECT_EQ(g_filter_start_ups, 1) << "once, whatever the later lookups give";

  part_.Detach(false);
  EXPECT_EQ(g_live_filters, 0);
  EXPECT_EQ(g_restored, 1);
}

TEST_F(EffectByNameTest, TheImagePartDrivesAFilterThroughItsUpdateStateAndApply) {
  ASSERT_EQ(CreateLayerFilterByName(&part_, "fake_tone", 0, 0, Args({0, 1200})), kFilterAttached);
  CScreenTransition& transition = *part_.GetAttached();
  EXPECT_EQ(transition.GetTransitionType(), 2);
  EXPECT_EQ(transition.GetFlags(), CScreenTransition::kAllowsStrips) << "an even type goes in strips";
  EXPECT_FALSE(transition.Advance(1100));
  EXPECT_FALSE(transition.IsFinished());
  transition.RenderStrip(plat::Rect{0, 16, 640, 48});
  ASSERT_EQ(g_applied.size(), 1u);
  const FilterApplyArea& area = g_applied[0];
  EXPECT_EQ(area.x, 0);
  EXPECT_EQ(area.y, 16);
  EXPECT_EQ(area.width, 640);
  EXPECT_EQ(area.height, 32);
  EXPECT_EQ(area.destination, part_.GetWorkImage()) << "the part's work image is painted and presented";
  EXPECT_EQ(transition.GetTargetImage(), part_.GetWorkImage());
  EXPECT_EQ(area.destination_x, 0);
  EXPECT_EQ(area.destination_y, 16);
  // A one-picture filter reads the part's own image, in both slots, at the area's place.
  EXPECT_EQ(area.old_picture, part_.GetImage());
  EXPECT_EQ(area.new_picture, part_.GetImage());
  EXPECT_EQ(area.old_x, 0);
  EXPECT_EQ(area.old_y, 16);
  EXPECT_EQ(area.new_y, 16);
  EXPECT_TRUE(transition.Advance(1200));
  EXPECT_TRUE(transition.IsFinished());
}

TEST_F(EffectByNameTest, ResumingARunningEffectMovesItsStampsByThePausedSpan) {
  CEffect* slot = nullptr;
  ASSERT_EQ(CreateEffectByName(&slot, "fake", nullptr, Args({0})), kEffectCreated);
  auto& effect = static_cast<FakeEffect&>(*slot);
  timers_.Dispatch(1000);
  ASSERT_EQ(effect.start_, 1000u);
  clock_.SetMilliseconds(1100);
  timers_.PauseAll(-1);
  timers_.PauseAll(-1);
  clock_.SetMilliseconds(1250);
  timers_.ResumeAll(-1);
  EXPECT_TRUE(effect.spans_.empty()) << "an inner resume moves nothing";
  clock_.SetMilliseconds(1400);
  timers_.ResumeAll(-1);
  EXPECT_EQ(effect.spans_, std::vector<std::uint32_t>{300});
  EXPECT_EQ(effect.start_, 1300u);
  EXPECT_EQ(effect.frame_, 1340u);
  // The effect ends while its slot, a local of this body, still lives.
  timers_.RemoveAll();
  EXPECT_EQ(slot, nullptr);

  // An effect that has not been set up (no manager runs it) moves nothing.
  FakeEffect idle;
  idle.Pause(100);
  EXPECT_EQ(idle.Resume(400), 300u);
  EXPECT_TRUE(idle.spans_.empty());
}

}  // namespace

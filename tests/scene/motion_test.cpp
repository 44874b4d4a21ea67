// The motions against a fake clock: where the key points put a drawable along the straight,
// eased, looping and delayed runs, what the anchors of a resize keep, the kinds the timer
// managers select them by, and which key texts and starts are refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <tuple>
#include <string>
#include <vector>

#include "base/app_hooks.h"
#include "base/timer_manager.h"
#include "base/trig_tables.h"
#include "gfx/pixel_library.h"
#include "pixel/pixel_tables.h"
#include "scene/color_box.h"
#include "scene/draw_layer.h"
#include "scene/move_motion.h"
#include "scene/resize_motion.h"
#include "scene/roto_zoom_motion.h"
#include "scene/sprite.h"
#include "support/fake_clock.h"

namespace {

struct Placement {
  int32_t x;
  int32_t y;
  uint8_t opacity;
};

Placement PlacementOf(const CDrawable& drawable) { return {drawable.GetX(), drawable.GetY(), drawable.GetOpacity()}; }

bool operator==(const Placement& a, const Placement& b) {
  return a.x == b.x && a.y == b.y && a.opacity == b.opacity;
}

std::ostream& operator<<(std::ostream& out, const Placement& p) {
  return out << "(" << p.x << ", " << p.y << ", " << int{p.opacity} << ")";
}

class MotionTest : public testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    g_TrigTable = &tables_;
    SetPixelLib(&library_);
    ASSERT_EQ(picture_.Create(40, 20, 32, 0), 0u);
    ASSERT_TRUE(picture_.FillRectArgb(0xFF336699, nullptr));
    ASSERT_EQ(sprite_.SetImage(&picture_, nullptr, 0, 0), 0u);
  }
  void TearDown() override {
    SetPixelLib(nullptr);
    g_TrigTable = nullptr;
  }

  // Starts the motion on the drawable and makes the first pass, which sets its start.
  template <class Motion>
  Motion* Run(std::unique_ptr<Motion> motion, CDrawable& drawable, const char* keys) {
    EXPECT_EQ(motion->ParsePoints(keys), 0);
    EXPECT_EQ(motion->Start(&timers_, &drawable), 0);
    timers_.Dispatch(0);
    return motion.release();
  }
  // Moves the clock to `elapsed` ms after the first pass and runs the manager.
  void At(uint32_t elapsed) {
    clock_.SetMilliseconds(kFirstPass + elapsed);
    timers_.Dispatch(0);
  }

  static constexpr uint32_t kFirstPass = 1000;
  ScopedFakeClock clock_;
  CTimerManager timers_;
  CTrigTables tables_;
  CPixelLibrary library_;
  CImage picture_;
  CSprite sprite_;
};

MoveMotionOptions MoveOptions(uint32_t segment_time) {
  MoveMotionOptions options;
  options.segment_time = segment_time;
  return options;
}

struct MoveCase {
  const char* name;
  double ease;
  bool loop;
  uint32_t elapsed;
  Placement expected;
  bool still_running;
};

class MoveAlongKeysTest : public MotionTest, public testing::WithParamInterface<MoveCase> {};

TEST_P(MoveAlongKeysTest, PutsTheSpriteWhereTheKeysSay) {
  const MoveCase& c = GetParam();
  MoveMotionOptions options = MoveOptions(500);
  options.ease = c.ease;
  options.loop = c.loop;
  CMotionTask* motion = Run(std::make_unique<CMoveMotion>(options), sprite_, "(10,20,255)(30,40,0)");
  EXPECT_EQ(PlacementOf(sprite_), (Placement{0, 0, 255}));
  At(c.elapsed);
  EXPECT_EQ(PlacementOf(sprite_), c.expected);
  EXPECT_EQ(timers_.Contains(motion), c.still_running);
}

INSTANTIATE_TEST_SUITE_P(
    Motions, MoveAlongKeysTest,
    testing::Values(MoveCase{"QuarterWay", 0, false, 250, {5, 10, 255}, true},
                    MoveCase{"SecondSegmentHalfWay", 0, false, 750, {20, 30, 128}, true},
                    MoveCase{"EndFinishes", 0, false, 1000, {30, 40, 0}, false},
                    MoveCase{"EasedHalfTimeIsLinearQuarter", 2, false, 500, {5, 10, 255}, true},
                    MoveCase{"EasedOutHalfTime", -2, false, 500, {20, 30, 128}, true},
                    MoveCase{"LoopRestartsAtKeyZero", 0, true, 1000, {0, 0, 255}, true}),
    [](const testing::TestParamInfo<MoveCase>& param) { return std::string(param.param.name); });

TEST_F(MotionTest, ALoopRunsTheKeysAgainFromItsRestart) {
  MoveMotionOptions options = MoveOptions(500);
  options.loop = true;
  CMotionTask* motion = Run(std::make_unique<CMoveMotion>(options), sprite_, "(10,20,255)(30,40,0)");
  At(1000);
  At(1250);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{5, 10, 255}));
  At(1750);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{20, 30, 128}));
  EXPECT_TRUE(timers_.Contains(motion));
}

TEST_F(MotionTest, ADelayedMotionShowsItsDrawableOnlyWhileItMoves) {
  MoveMotionOptions options = MoveOptions(500);
  options.start_delay = 100;
  options.visible_while_moving = true;
  sprite_.SetEnabled(false);
  Run(std::make_unique<CMoveMotion>(options), sprite_, "(10,20,255)(30,40,0)");
  At(50);
  EXPECT_FALSE(sprite_.IsEnabled());
  At(100);
  EXPECT_TRUE(sprite_.IsEnabled());
  At(350);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{5, 10, 255}));
  At(1100);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{30, 40, 0}));
  EXPECT_FALSE(sprite_.IsEnabled());
  EXPECT_EQ(timers_.GetCount(), 0u);

  options.start_delay = 0;
  sprite_.SetEnabled(false);
  Run(std::make_unique<CMoveMotion>(options), sprite_, "(0,0,255)");
  EXPECT_TRUE(sprite_.IsEnabled());
}

TEST_F(MotionTest, APauseHoldsTheMotionWhereItStood) {
  CMotionTask* motion = Run(std::make_unique<CMoveMotion>(MoveOptions(500)), sprite_, "(10,20,255)(30,40,0)");
  At(250);
  timers_.PauseAll(CMoveMotion::kTypeIdInList);
  At(5000);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{5, 10, 255}));
  timers_.ResumeAll(CMoveMotion::kTypeIdInList);
  At(5250);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{10, 20, 255}));
  EXPECT_TRUE(timers_.Contains(motion));
}

TEST_F(MotionTest, ASplineMotionPassesThroughEveryKey) {
  MoveMotionOptions options = MoveOptions(100);
  options.spline = true;
  Run(std::make_unique<CMoveMotion>(options), sprite_, "(50,-30,200)(-7,90,100)(123,11,0)(1,2,3)");
  const std::vector<Placement> keys{{50, -30, 200}, {-7, 90, 100}, {123, 11, 0}};
  for (size_t i = 0; i < keys.size(); ++i) {
    At(static_cast<uint32_t>(100 * (i + 1)));
    EXPECT_EQ(PlacementOf(sprite_), keys[i]) << "key " << i + 1;
  }
}

TEST_F(MotionTest, TheSourceOriginModeScrollsWhatTheSpriteShows) {
  MoveMotionOptions options = MoveOptions(100);
  options.position_mode = CMoveMotion::kSourceOrigin;
  const plat::Rect shown{0, 0, 10, 10};
  ASSERT_EQ(sprite_.SetSourceRect(&shown), 0u);
  Run(std::make_unique<CMoveMotion>(options), sprite_, "(20,6,255)");
  At(50);
  EXPECT_EQ(sprite_.GetSourceRect().left, 10);
  EXPECT_EQ(sprite_.GetSourceRect().top, 3);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{0, 0, 255}));

  CColorBox box;
  CMoveMotion refused(options);
  ASSERT_EQ(refused.ParsePoints("(1,1,1)"), 0);
  EXPECT_EQ(refused.Start(&timers_, &box), CMotionTask::kRefused);
}

struct ResizeCase {
  const char* name;
  uint8_t anchor;
  bool fixed_origin;
};

class ResizeAnchorTest : public MotionTest, public testing::WithParamInterface<ResizeCase> {};

TEST_P(ResizeAnchorTest, TheAnchorKeepsItsEdgeOrCentreAtEveryStep) {
  const ResizeCase& c = GetParam();
  ResizeMotionOptions options;
  options.segment_time = 400;
  options.horizontal_anchor = options.vertical_anchor = c.anchor;
  options.fixed_origin = c.fixed_origin;
  CColorBox box;
  box.SetBox(100, 50, 0xFF000000, 10, 20);
  const auto kept = [&](const plat::Rect& r) {
    switch (c.anchor) {
      case CResizeMotion::kAnchorCentre: return std::pair{r.left + r.right, r.top + r.bottom};
      case CResizeMotion::kAnchorEnd: return std::pair{r.right, r.bottom};
      default: return std::pair{r.left, r.top};
    }
  };
  const auto before = kept(*box.GetBoundsPtr());
  Run(std::make_unique<CResizeMotion>(options), box, "(60,30,255)(140,70,255)");
  // Times at which every size differs from the start by an even number, so that halves are whole.
  for (uint32_t elapsed : {200u, 400u, 600u, 800u}) {
    At(elapsed);
    EXPECT_EQ(kept(*box.GetBoundsPtr()), before) << elapsed << " ms";
  }
  EXPECT_EQ(box.GetBoundsPtr()->Width(), 140);
  EXPECT_EQ(box.GetBoundsPtr()->Height(), 70);
}

INSTANTIATE_TEST_SUITE_P(Motions, ResizeAnchorTest,
                         testing::Values(ResizeCase{"TopLeft", CResizeMotion::kAnchorStart, false},
                                         ResizeCase{"CentreFromStart", CResizeMotion::kAnchorCentre, true},
                                         ResizeCase{"CentreFromCurrent", CResizeMotion::kAnchorCentre, false},
                                         ResizeCase{"BottomRight", CResizeMotion::kAnchorEnd, false}),
                         [](const testing::TestParamInfo<ResizeCase>& param) { return std::string(param.param.name); });

TEST_F(MotionTest, TheRotoZoomMotionTurnsAndZoomsTheSprite) {
  RotoZoomMotionOptions options;
  options.segment_time = 200;
  options.reserve = true;
  Run(std::make_unique<CRotoZoomMotion>(options), sprite_, "(128,3,255)");
  At(100);
  EXPECT_EQ(sprite_.GetAngle(), 64);
  EXPECT_DOUBLE_EQ(sprite_.GetZoom(), 2.0);
  EXPECT_TRUE(sprite_.IsTurned());
  At(200);
  EXPECT_EQ(sprite_.GetAngle(), 128);
  EXPECT_DOUBLE_EQ(sprite_.GetZoom(), 3.0);

  CColorBox box;
  CRotoZoomMotion refused(options);
  ASSERT_EQ(refused.ParsePoints("(1,1,1)"), 0);
  EXPECT_EQ(refused.Start(&timers_, &box), CMotionTask::kRefused);
}

TEST_F(MotionTest, TheKindTellsTheMotionsOfTheAttachedListApart) {
  CDrawLayer layer;
  CDrawList attached;
  layer.SetAttachedList(&attached);
  CSprite in_attached;
  ASSERT_EQ(in_attached.SetImage(&picture_, nullptr, 0, 0), 0u);
  layer.GetOwnList().Insert(&sprite_, 0, 0);
  attached.Insert(&in_attached, 0, 0);

  struct KindCase {
    std::function<std::unique_ptr<CMotionTask>()> make;
    uint32_t unstarted;
    uint32_t listed;
    uint32_t in_attached_list;
  };
  const KindCase cases[] = {
      {[] { return std::make_unique<CMoveMotion>(MoveOptions(100)); }, 12000, 12003, 12004},
      {[] {
         ResizeMotionOptions options;
         options.segment_time = 100;
         return std::make_unique<CResizeMotion>(options);
       },
       12001, 12005, 12006},
      {[] {
         RotoZoomMotionOptions options;
         options.segment_time = 100;
         return std::make_unique<CRotoZoomMotion>(options);
       },
       12002, 12007, 12008},
  };
  std::vector<CMotionTask*> listed;
  std::vector<CMotionTask*> attached_ones;
  for (const KindCase& c : cases) {
    for (auto [target, kind, started] : {std::tuple{&sprite_, c.listed, &listed},
                                         std::tuple{&in_attached, c.in_attached_list, &attached_ones}}) {
      std::unique_ptr<CMotionTask> motion = c.make();
      EXPECT_EQ(motion->GetTypeId(), c.unstarted);
      ASSERT_EQ(motion->ParsePoints("(1,1,1)"), 0);
      ASSERT_EQ(motion->Start(&timers_, target), 0);
      EXPECT_EQ(motion->GetTypeId(), kind);
      started->push_back(motion.release());
    }
    timers_.PauseAll(static_cast<int32_t>(c.in_attached_list));
  }
  for (CMotionTask* motion : listed) EXPECT_FALSE(motion->IsPaused());
  for (CMotionTask* motion : attached_ones) EXPECT_TRUE(motion->IsPaused());
}

TEST_F(MotionTest, KeyTextsAndStartsThatCannotWorkAreRefused) {
  struct TextCase {
    const char* text;
    bool spline;
    int32_t status;
    size_t points;
  };
  const TextCase texts[] = {
      {nullptr, false, CMotionTask::kBadArgument, 0},
      {"", false, CMotionTask::kBadText, 0},
      {"1,2,3", false, CMotionTask::kBadText, 0},
      {"(1,2)", false, CMotionTask::kBadText, 0},
      {"(1,2,3)(4,x,6)", false, CMotionTask::kBadText, 0},
      {"\x81(1,2,3)", false, CMotionTask::kBadText, 0},
      {"(1,2,3)", true, CMotionTask::kBadText, 0},
      {"(1,2,3", false, 0, 2},
      {" ( 0x10 , -5 , 0b11 ) (7\t8 9)", true, 0, 3},
  };
  for (const TextCase& c : texts) {
    MoveMotionOptions options = MoveOptions(100);
    options.spline = c.spline;
    CMoveMotion motion(options);
    EXPECT_EQ(motion.ParsePoints(c.text), c.status) << (c.text != nullptr ? c.text : "null");
    EXPECT_EQ(motion.GetPointCount(), c.points) << (c.text != nullptr ? c.text : "null");
  }

  CMoveMotion motion(MoveOptions(100));
  ASSERT_EQ(motion.ParsePoints("(1,2,3)(4,5,6)"), 0);
  EXPECT_EQ(motion.ParsePoints("(1,2)"), CMotionTask::kBadText);
  EXPECT_EQ(motion.GetPointCount(), 0u);
  EXPECT_EQ(motion.Start(&timers_, &sprite_), CMotionTask::kBadArgument);
  EXPECT_EQ(motion.SetPoints({}), CMotionTask::kBadArgument);
  EXPECT_EQ(motion.SetPoints(std::vector<int32_t>{1, 2, 3, 4}), CMotionTask::kBadArgument);
  ASSERT_EQ(motion.SetPoints(std::vector<int32_t>{1, 2, 3, 4, 5, 6}), 0);
  EXPECT_EQ(motion.GetPointCount(), 3u);
  EXPECT_EQ(motion.Start(nullptr, &sprite_), CMotionTask::kBadArgument);
  EXPECT_EQ(motion.Start(&timers_, nullptr), CMotionTask::kBadArgument);

  CMoveMotion at_once(MoveOptions(0));
  ASSERT_EQ(at_once.ParsePoints("(10,20,255)(30,40,7)"), 0);
  EXPECT_EQ(at_once.Start(&timers_, &sprite_), CMotionTask::kJumpedToEnd);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{30, 40, 7}));
  EXPECT_EQ(timers_.GetCount(), 0u);

  auto running = std::make_unique<CMoveMotion>(MoveOptions(100));
  CMoveMotion* started = Run(std::move(running), sprite_, "(1,1,1)");
  EXPECT_EQ(started->ParsePoints("(1,1,1)"), CMotionTask::kRunning);
  EXPECT_EQ(started->SetPoints(std::vector<int32_t>{1, 1, 1}), CMotionTask::kRunning);
  EXPECT_EQ(started->Start(&timers_, &sprite_), CMotionTask::kRunning);
}

int g_lowered = 0;
int g_restored = 0;

TEST_F(MotionTest, AMotionThatEndsLowersTheGamesPriorityWhileItRuns) {
  g_LowerPriorityHook = [] { return ++g_lowered; };
  g_RestorePriorityHook = [] { return ++g_restored; };
  MoveMotionOptions options = MoveOptions(100);
  options.lower_priority = true;
  Run(std::make_unique<CMoveMotion>(options), sprite_, "(1,1,1)");
  options.loop = true;
  CMotionTask* looping = Run(std::make_unique<CMoveMotion>(options), sprite_, "(1,1,1)");
  EXPECT_EQ(g_lowered, 1);
  EXPECT_EQ(g_restored, 0);
  At(100);
  EXPECT_EQ(g_restored, 1);
  timers_.Remove(looping);
  timers_.Dispatch(0);
  EXPECT_EQ(g_restored, 1);
  g_LowerPriorityHook = nullptr;
  g_RestorePriorityHook = nullptr;
}

}  // namespace

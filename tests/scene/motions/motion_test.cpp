// The motions against a fake clock: where the keys put a drawable along straight, eased,
// looping, delayed and paused runs, what the anchors of a resize keep, the kinds the timer
// managers select them by, and which key texts and starts are refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/numbers/trig_tables.h"
#include "base/system/app_hooks.h"
#include "base/time/timer_manager.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_layer.h"
#include "scene/motions/move_motion.h"
#include "scene/motions/resize_motion.h"
#include "scene/motions/roto_zoom_motion.h"
#include "scene/render/render_primitives.h"
#include "scene/render/render_state_block.h"
#include "scene/sprites/color_box.h"
#include "scene/sprites/sprite.h"
#include "support/fake_clock.h"

namespace {

using Placement = std::vector<int32_t>;

Placement PlacementOf(const CDrawable& drawable) { return {drawable.GetX(), drawable.GetY(), drawable.GetOpacity()}; }

MoveMotionOptions MoveOptions(uint32_t segment_time) {
  MoveMotionOptions options;
  options.segment_time = segment_time;
  return options;
}

class MotionTest : public testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    g_TrigTable = &tables_;
    SetPixelLib(&library_);
    ASSERT_EQ(picture_.Create(40, 20, 32, 0), 0u);
    ASSERT_EQ(sprite_.SetImage(&picture_, nullptr, 0, 0), 0u);
  }
  void TearDown() override {
    SetPixelLib(nullptr);
    g_TrigTable = nullptr;
  }

  // Starts the motion, which then belongs to the manager, and makes the pass that sets its start.
  CMotionTask* Run(std::unique_ptr<CMotionTask> motion, CDrawable& drawable, const char* keys) {
    EXPECT_EQ(motion->ParsePoints(keys), 0);
    EXPECT_EQ(motion->Start(&timers_, &drawable), 0);
    timers_.Dispatch(0);
    return motion.release();
  }
  // Runs the manager `elapsed` ms after that first pass.
  void At(uint32_t elapsed) {
    clock_.SetMilliseconds(1000 + elapsed);
    timers_.Dispatch(0);
  }

  ScopedFakeClock clock_;
  CTimerManager timers_;
  CTrigTables tables_;
  CPixelLibrary library_;
  CImage picture_;
  CSprite sprite_;
};

struct MoveCase {
  double ease;
  uint32_t elapsed;
  Placement expected;
  bool running;
};

class MoveAlongKeysTest : public MotionTest, public testing::WithParamInterface<MoveCase> {};

TEST_P(MoveAlongKeysTest, PutsTheSpriteWhereTheKeysSay) {
  MoveMotionOptions options = MoveOptions(500);
  options.ease = GetParam().ease;
  CMotionTask* motion = Run(std::make_unique<CMoveMotion>(options), sprite_, "(10,20,255)(30,40,0)");
  At(GetParam().elapsed);
  EXPECT_EQ(PlacementOf(sprite_), GetParam().expected);
  EXPECT_EQ(timers_.Contains(motion), GetParam().running);
}

// Straight at 250, 750 and 1000 ms; eased by 2 at 500 ms as straight at 250, by -2 as at 750.
INSTANTIATE_TEST_SUITE_P(Motions, MoveAlongKeysTest,
                         testing::Values(MoveCase{0, 250, {5, 10, 255}, true}, MoveCase{0, 750, {20, 30, 128}, true},
                                         MoveCase{0, 1000, {30, 40, 0}, false}, MoveCase{2, 500, {5, 10, 255}, true},
                                         MoveCase{-2, 500, {20, 30, 128}, true}));

TEST_F(MotionTest, ALoopStartsAgainAtKeyZero) {
  MoveMotionOptions options = MoveOptions(500);
  options.loop = true;
  CMotionTask* motion = Run(std::make_unique<CMoveMotion>(options), sprite_, "(10,20,255)(30,40,0)");
  At(1000);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{0, 0, 255}));
  At(1750);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{20, 30, 128}));
  EXPECT_TRUE(timers_.Contains(motion));
}

TEST_F(MotionTest, DelaysAndPausesHoldTheMotionAndItsDrawableShowsOnlyWhileMoving) {
  MoveMotionOptions options = MoveOptions(500);
  options.start_delay = 100;
  options.visible_while_moving = true;
  sprite_.SetEnabled(false);
  Run(std::make_unique<CMoveMotion>(options), sprite_, "(10,20,255)(30,40,0)");
  At(99);
  EXPECT_FALSE(sprite_.IsEnabled());
  At(100);
  EXPECT_TRUE(sprite_.IsEnabled());
  At(350);
  timers_.PauseAll(CMoveMotion::kTypeIdInList);
  At(5000);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{5, 10, 255}));
  timers_.ResumeAll(CMoveMotion::kTypeIdInList);
  At(5250);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{10, 20, 255}));
  At(5750);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{30, 40, 0}));
  EXPECT_FALSE(sprite_.IsEnabled());
  EXPECT_EQ(timers_.GetCount(), 0u);

  // Without a delay the drawable shows from the first step.
  options.start_delay = 0;
  Run(std::make_unique<CMoveMotion>(options), sprite_, "(0,0,255)");
  EXPECT_TRUE(sprite_.IsEnabled());
}

TEST_F(MotionTest, TheSplineRunsThroughEveryKeyAndTheOriginModeScrollsTheSource) {
  MoveMotionOptions options = MoveOptions(100);
  options.spline = true;
  Run(std::make_unique<CMoveMotion>(options), sprite_, "(50,-30,200)(-7,90,100)(123,11,0)(1,2,3)");
  At(100);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{50, -30, 200}));
  At(200);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{-7, 90, 100}));
  At(300);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{123, 11, 0}));
  At(400);

  options = MoveOptions(100);
  options.position_mode = CMoveMotion::kSourceOrigin;
  const plat::Rect shown{0, 0, 10, 10};
  ASSERT_EQ(sprite_.SetSourceRect(&shown), 0u);
  Run(std::make_unique<CMoveMotion>(options), sprite_, "(20,6,255)");
  At(450);
  EXPECT_EQ(sprite_.GetSourceRect().left, 10);
  EXPECT_EQ(sprite_.GetSourceRect().top, 3);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{1, 2, 129}));
}

class ResizeAnchorTest : public MotionTest, public testing::WithParamInterface<std::tuple<uint8_t, bool>> {};

TEST_P(ResizeAnchorTest, TheAnchorKeepsItsEdgeOrCentreAtEveryStep) {
  const auto [anchor, fixed_origin] = GetParam();
  ResizeMotionOptions options;
  options.segment_time = 400;
  options.horizontal_anchor = options.vertical_anchor = anchor;
  options.fixed_origin = fixed_origin;
  CColorBox box;
  box.SetBox(100, 50, 0xFF000000, 10, 20);
  const auto kept = [anchor](const plat::Rect& r) {
    if (anchor == CResizeMotion::kAnchorCentre) return Placement{r.left + r.right, r.top + r.bottom};
    if (anchor == CResizeMotion::kAnchorEnd) return Placement{r.right, r.bottom};
    return Placement{r.left, r.top};
  };
  const Placement before = kept(*box.GetBoundsPtr());
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
                         testing::Values(std::tuple{CResizeMotion::kAnchorStart, false},
                                         std::tuple{CResizeMotion::kAnchorCentre, true},
                                         std::tuple{CResizeMotion::kAnchorCentre, false},
                                         std::tuple{CResizeMotion::kAnchorEnd, false}));

TEST_F(MotionTest, TheRotoZoomMotionTurnsAndZoomsTheSprite) {
  RotoZoomMotionOptions options;
  options.segment_time = 200;
  options.reserve = true;
  Run(std::make_unique<CRotoZoomMotion>(options), sprite_, "(128,3,255)");
  At(100);
  EXPECT_EQ(sprite_.GetAngle(), 64);
  EXPECT_DOUBLE_EQ(sprite_.GetZoom(), 2.0);
  EXPECT_TRUE(sprite_.IsTurned());
}

TEST_F(MotionTest, DestroyingTheTargetEndsItsMotions) {
  auto sprite = std::make_unique<CSprite>();
  ASSERT_EQ(sprite->SetImage(&picture_, nullptr, 0, 0), 0u);
  Run(std::make_unique<CMoveMotion>(MoveOptions(400)), *sprite, "(10,20,255)(30,40,0)");
  CColorBox box;
  box.SetBox(10, 10, 0xFF000000, 0, 0);
  Run(std::make_unique<CMoveMotion>(MoveOptions(400)), box, "(50,60,255)");
  auto rect = std::make_unique<CRectPrim>();
  ASSERT_EQ(rect->Create(8, 8, 0xFF000000, 0, 0), 0u);
  auto on_rect = std::make_unique<CMoveMotion>(MoveOptions(400));
  ASSERT_EQ(on_rect->ParsePoints("(5,5,255)"), 0);
  ASSERT_EQ(on_rect->StartOnRenderObject(&timers_, rect.get()), 0);
  on_rect.release();
  ASSERT_EQ(timers_.GetCount(), 3u);

  sprite.reset();
  rect.reset();
  // Under the address sanitizer a motion left behind would write into freed memory here.
  At(200);
  EXPECT_EQ(timers_.GetCount(), 1u);
  EXPECT_EQ(box.GetX(), 25) << "the other drawable's motion goes on";
}

TEST_F(MotionTest, TheKindTellsTheMotionsOfTheAttachedListApart) {
  CDrawLayer layer;
  CDrawList attached;
  layer.SetAttachedList(&attached);
  CSprite in_attached;
  ASSERT_EQ(in_attached.SetImage(&picture_, nullptr, 0, 0), 0u);
  layer.GetOwnList().Insert(&sprite_, 0, 0);
  attached.Insert(&in_attached, 0, 0);
  ResizeMotionOptions resize;
  resize.segment_time = 100;
  RotoZoomMotionOptions turn;
  turn.segment_time = 100;
  const auto make = [&](int which) -> std::unique_ptr<CMotionTask> {
    if (which == 0) return std::make_unique<CMoveMotion>(MoveOptions(100));
    if (which == 1) return std::make_unique<CResizeMotion>(resize);
    return std::make_unique<CRotoZoomMotion>(turn);
  };
  for (int which = 0; which < 3; ++which) {
    const uint32_t unstarted = 12000 + which;
    const uint32_t in_list = 12003 + 2 * which;
    EXPECT_EQ(make(which)->GetTypeId(), unstarted);
    CMotionTask* listed = Run(make(which), sprite_, "(1,1,1)");
    CMotionTask* attached_one = Run(make(which), in_attached, "(1,1,1)");
    EXPECT_EQ(listed->GetTypeId(), in_list);
    EXPECT_EQ(attached_one->GetTypeId(), in_list + 1);
    timers_.PauseAll(static_cast<int32_t>(in_list + 1));
    EXPECT_FALSE(listed->IsPaused());
    EXPECT_TRUE(attached_one->IsPaused());
  }
}

TEST_F(MotionTest, KeyTextsAndStartsThatCannotWorkAreRefused) {
  struct TextCase {
    const char* text;
    bool spline;
    int32_t status;
    size_t keys;
  };
  for (const TextCase& c : {TextCase{nullptr, false, 1, 0}, TextCase{"", false, 2, 0}, TextCase{"1,2,3", false, 2, 0},
                            TextCase{"(1,2)", false, 2, 0}, TextCase{"(1,2,3)(4,x,6)", false, 2, 0},
                            TextCase{"\x81(1,2,3)", false, 2, 0}, TextCase{"(1,2,3)", true, 2, 0},
                            TextCase{"(1,2,3", false, 0, 2}, TextCase{" ( 0x10 , -5 , 0b11 ) (7\t8 9)", true, 0, 3}}) {
    MoveMotionOptions options = MoveOptions(100);
    options.spline = c.spline;
    CMoveMotion motion(options);
    const std::string shown = c.text != nullptr ? c.text : "null";
    EXPECT_EQ(motion.ParsePoints(c.text), c.status) << shown;
    EXPECT_EQ(motion.GetPointCount(), c.keys) << shown;
  }

  CMoveMotion motion(MoveOptions(0));
  ASSERT_EQ(motion.ParsePoints("(1,2,3)(4,5,6)"), 0);
  EXPECT_EQ(motion.ParsePoints("(1,2)"), CMotionTask::kBadText);
  EXPECT_EQ(motion.Start(&timers_, &sprite_), CMotionTask::kBadArgument);
  EXPECT_EQ(motion.SetPoints(std::vector<int32_t>{1, 2, 3, 4}), CMotionTask::kBadArgument);
  ASSERT_EQ(motion.SetPoints(std::vector<int32_t>{1, 2, 3, 30, 40, 7}), 0);
  EXPECT_EQ(motion.Start(nullptr, &sprite_), CMotionTask::kBadArgument);
  EXPECT_EQ(motion.Start(&timers_, nullptr), CMotionTask::kBadArgument);
  EXPECT_EQ(motion.Start(&timers_, &sprite_), CMotionTask::kJumpedToEnd);
  EXPECT_EQ(PlacementOf(sprite_), (Placement{30, 40, 7}));
  EXPECT_EQ(timers_.GetCount(), 0u);

  CColorBox box;
  MoveMotionOptions scroll = MoveOptions(100);
  scroll.position_mode = CMoveMotion::kSourceOrigin;
  CMoveMotion scroll_box(scroll);
  CRotoZoomMotion turn_box(RotoZoomMotionOptions{});
  for (CMotionTask* refused : std::initializer_list<CMotionTask*>{&scroll_box, &turn_box}) {
    ASSERT_EQ(refused->ParsePoints("(1,1,1)"), 0);
    EXPECT_EQ(refused->Start(&timers_, &box), CMotionTask::kRefused);
  }

  CMotionTask* running = Run(std::make_unique<CMoveMotion>(MoveOptions(100)), sprite_, "(1,1,1)");
  EXPECT_EQ(running->ParsePoints("(1,1,1)"), CMotionTask::kRunning);
  EXPECT_EQ(running->SetPoints(std::vector<int32_t>{1, 1, 1}), CMotionTask::kRunning);
  EXPECT_EQ(running->Start(&timers_, &sprite_), CMotionTask::kRunning);
}

int g_lowered = 0;
int g_restored = 0;

TEST_F(MotionTest, AMotionThatEndsLowersTheGamesPriorityUntilItIsGone) {
  g_LowerPriorityHook = [] { return ++g_lowered; };
  g_RestorePriorityHook = [] { return ++g_restored; };
  MoveMotionOptions options = MoveOptions(100);
  options.lower_priority = true;
  Run(std::make_unique<CMoveMotion>(options), sprite_, "(1,1,1)");
  options.loop = true;
  timers_.Remove(Run(std::make_unique<CMoveMotion>(options), sprite_, "(1,1,1)"));
  At(100);
  EXPECT_EQ(g_lowered, 1);
  EXPECT_EQ(g_restored, 1);
  g_LowerPriorityHook = nullptr;
  g_RestorePriorityHook = nullptr;
}

// A render object moves and resizes like a drawable; the alpha of its corners is its opacity,
// and a state block cannot move at all.
TEST_F(MotionTest, RenderObjectsMoveResizeAndFadeByTheirCorners) {
  CRectPrim rect;
  rect.Create(40, 20, 0x80FFFFFF, 10, 20);
  auto move = std::make_unique<CMoveMotion>(MoveOptions(500));
  ASSERT_EQ(move->ParsePoints("(30,40,0)"), 0);
  ASSERT_EQ(move->StartOnRenderObject(&timers_, &rect), 0);
  CMotionTask* moving = move.release();
  EXPECT_EQ(moving->GetTypeId(), static_cast<uint32_t>(kTimedTaskMoveMotion));
  timers_.Dispatch(0);
  At(250);
  EXPECT_EQ(rect.GetX(), 20);
  EXPECT_EQ(rect.GetY(), 30);
  EXPECT_EQ(rect.GetCorners()[3].colour >> 24, 0x40u) << "half way from alpha 0x80 to 0";
  At(500);
  EXPECT_FALSE(timers_.Contains(moving));
  EXPECT_EQ(rect.GetCorners()[0].colour, 0x00FFFFFFu);

  ResizeMotionOptions options;
  options.segment_time = 0;
  options.horizontal_anchor = CResizeMotion::kAnchorCentre;
  CResizeMotion resize(options);
  ASSERT_EQ(resize.ParsePoints("(20,10,255)"), 0);
  EXPECT_EQ(resize.StartOnRenderObject(&timers_, &rect), CMotionTask::kJumpedToEnd) << "no time: at once";
  plat::Rect bounds;
  ASSERT_TRUE(rect.GetBounds(&bounds));
  EXPECT_EQ(bounds.left, 40) << "the centre stays";
  EXPECT_EQ(bounds.Width(), 20);
  EXPECT_EQ(bounds.Height(), 10);
  EXPECT_EQ(rect.GetCorners()[0].colour >> 24, 0xFFu);

  CRenderStateBlock block;
  CMoveMotion refused(MoveOptions(100));
  ASSERT_EQ(refused.ParsePoints("(1,1,1)"), 0);
  EXPECT_EQ(refused.StartOnRenderObject(&timers_, &block), CMotionTask::kRefused);
  EXPECT_EQ(refused.StartOnRenderObject(&timers_, nullptr), CMotionTask::kBadArgument);
}

}  // namespace

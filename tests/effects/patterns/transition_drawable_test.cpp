// The transition drawable over display pictures of coordinate pixels on a test screen: its
// factory, drawing through a pattern straight into the back surface or into a target that the
// render pass then blits, the plain colour of a DirectDraw target, switching the target, the
// shown part, the keyed hit test, the restore, and the refused pattern numbers.
#include "effects/patterns/transition_drawable.h"

#include <gtest/gtest.h>

#include <string>

#include "base/lifetime/handle_table.h"
#include "display_pattern_pictures.h"
#include "support/log_capture.h"

namespace {

using pattern_test::DisplayPatternTest;
using pattern_test::RawSourcePixel;

constexpr uint32_t kPlain = 0x102030;

class TransitionDrawableTest : public DisplayPatternTest {
 protected:
  void SetUp() override {
    DisplayPatternTest::SetUp();
    ASSERT_EQ(target_.Create(64, 48, false, false, nullptr), 0u);
    ASSERT_EQ(target_.FillColor(kPlain >> 16, kPlain >> 8 & 0xFF, kPlain & 0xFF), 0u);
  }

  CScreenManager& Screen() { return screen_.Screen(); }
  uint32_t RenderPass() { return Screen().RenderAll(Screen().GetBack(), &Screen().GetScreenRect(), &Screen()); }
  // Whether the pixel at (x, y) of a 64 × 48 picture is that of the centred square of pattern 11
  // at level 128: 32 × 32 from (16, 8).
  static bool InSquare(int32_t x, int32_t y) { return x >= 16 && x < 48 && y >= 8 && y < 40; }

  CDDrawPicture target_{&Screen()};
};

TEST_F(TransitionDrawableTest, TheFactoryListsAKindTwoObjectWithTheCurrentIdAndRefusesWhatCannotDraw) {
  LogCapture log;
  HandleTable handles;
  Screen().SetObjectId(7);
  CTransitionDrawable* made = nullptr;
  ASSERT_EQ(CreateTransitionDrawable(Screen(), &made, nullptr, &picture_, 11, 10, 20, 128), 0u);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetKind(), ERenderObjectKind::kTransition);
  EXPECT_EQ(made->GetId(), 7u);
  EXPECT_EQ(Screen().GetRenderObjects().back().get(), made);
  EXPECT_EQ(made->GetList(), nullptr) << "made, not shown";
  EXPECT_EQ(handles.Get<CRenderObject>(made->ScriptHandle(handles)), made);
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;

  CDDrawPicture no_surface{&Screen()};
  struct Refusal {
    const char* what;
    CImageInterface* target;
    CImageInterface* source;
    uint32_t pattern;
    uint32_t status;
  };
  for (const Refusal& r : {Refusal{"no source", nullptr, nullptr, 11, 1},
                           Refusal{"a source without a surface", nullptr, &no_surface, 11, 1},
                           Refusal{"a target without a surface", &no_surface, &picture_, 11, 2},
                           Refusal{"pattern 87 on the screen", nullptr, &picture_, 87, 3},
                           Refusal{"pattern 87 into a target", &target_, &picture_, 87, 3}}) {
    SCOPED_TRACE(r.what);
    CTransitionDrawable* out = made;
    EXPECT_EQ(CreateTransitionDrawable(Screen(), &out, r.target, r.source, r.pattern, 0, 0, 128), r.status);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(Screen().GetRenderObjects().size(), 1u);
  }
}

TEST_F(TransitionDrawableTest, WithoutATargetTheRenderPassDrawsThePatternIntoTheBackSurface) {
  CTransitionDrawable drawable;
  ASSERT_EQ(drawable.Create(nullptr, &picture_, 11, 100, 50, 128, 0, 0), 0u);
  ASSERT_EQ(Screen().AddAfterEqual(&drawable, 0, 0), 0u);
  ASSERT_EQ(RenderPass(), 0u);
  for (int32_t y = -2; y < 50; ++y) {
    for (int32_t x = -2; x < 66; ++x) {
      const uint32_t expected = InSquare(x, y) ? RawSourcePixel(x, y) : 0xFFFFFFu;
      ASSERT_EQ(BackPixel(100 + x, 50 + y), expected) << x << ", " << y;
    }
  }
  plat::Rect bounds;
  ASSERT_TRUE(drawable.GetBounds(&bounds));
  EXPECT_EQ(bounds.left, 100);
  EXPECT_EQ(bounds.bottom, 98);

  drawable.SetEnabled(0);
  ClearBack();
  EXPECT_EQ(RenderPass(), 0u);
  EXPECT_TRUE(BackUntouched()) << "a disabled drawable draws nothing";
}

TEST_F(TransitionDrawableTest, ADirectDrawTargetKeepsItsPlainColourWhereThePatternDrawsNothing) {
  CTransitionDrawable drawable;
  ASSERT_EQ(drawable.Create(&target_, &picture_, 11, 5, 6, 0, 0, 0), 0u);
  for (int32_t y = 0; y < 48; ++y) {
    for (int32_t x = 0; x < 64; ++x) ASSERT_EQ(target_.GetPixel(x, y), kPlain) << "level 0: " << x << ", " << y;
  }
  ASSERT_EQ(drawable.SetLevel(256), 0u);
  for (int32_t y = 0; y < 48; ++y) {
    for (int32_t x = 0; x < 64; ++x) ASSERT_EQ(target_.GetPixel(x, y), RawSourcePixel(x, y)) << "level 256";
  }
  ASSERT_EQ(drawable.SetLevel(128), 0u);
  EXPECT_EQ(drawable.GetLevel(), 128u);
  for (int32_t y = 0; y < 48; ++y) {
    for (int32_t x = 0; x < 64; ++x) {
      ASSERT_EQ(target_.GetPixel(x, y), InSquare(x, y) ? RawSourcePixel(x, y) : kPlain) << x << ", " << y;
    }
  }

  // Shown by the render pass as a blit of the target, then stretched to twice its size.
  ASSERT_EQ(Screen().AddAfterEqual(&drawable, 0, 0), 0u);
  ASSERT_EQ(RenderPass(), 0u);
  EXPECT_EQ(BackPixel(5, 6), kPlain);
  EXPECT_EQ(BackPixel(5 + 20, 6 + 10), RawSourcePixel(20, 10));
  EXPECT_EQ(BackPixel(5 + 64, 6), 0xFFFFFFu);
  drawable.SetSize(128, 96);
  ASSERT_EQ(RenderPass(), 0u);
  EXPECT_EQ(BackPixel(5 + 40, 6 + 20), RawSourcePixel(20, 10));
  EXPECT_EQ(BackPixel(5 + 127, 6 + 95), kPlain);
  plat::Rect bounds;
  ASSERT_TRUE(drawable.GetBounds(&bounds));
  EXPECT_EQ(bounds.right, 5 + 128);
}

TEST_F(TransitionDrawableTest, APatternNumberOutsideTheTableIsRefusedAndAFailedLockIsReported) {
  CTransitionDrawable drawable;
  ASSERT_EQ(drawable.Create(&target_, &picture_, 11, 0, 0, 128, 0, 0), 0u);
  drawable.SetPattern(87);
  EXPECT_EQ(drawable.SetLevel(200), CTransitionDrawable::kUnknownPattern);
  EXPECT_EQ(drawable.GetLevel(), 128u);
  EXPECT_EQ(target_.GetPixel(0, 0), kPlain) << "nothing drawn";
  EXPECT_EQ(target_.GetPixel(16, 8), RawSourcePixel(16, 8));

  drawable.SetPattern(70);
  target_.GetSurface()->SimulateLockRefusal(true);
  EXPECT_EQ(drawable.SetLevel(100), 4u) << "the negative cannot lock its target: 3 + 1";
  target_.GetSurface()->SimulateLockRefusal(false);
  EXPECT_EQ(drawable.GetLevel(), 128u);

  CTransitionDrawable on_screen;
  ASSERT_EQ(on_screen.Create(nullptr, &picture_, 11, 0, 0, 128, 0, 0), 0u);
  on_screen.SetPattern(0xFFFFFFFF);
  EXPECT_EQ(on_screen.SetLevel(64), CTransitionDrawable::kUnknownPattern);
  EXPECT_EQ(on_screen.GetLevel(), 128u);
  CTransitionDrawable empty;
  EXPECT_EQ(empty.SetLevel(64), CTransitionDrawable::kNoSource);
}

TEST_F(TransitionDrawableTest, WithoutItsTargetTheDrawableDrawsOnTheScreen) {
  CTransitionDrawable drawable;
  ASSERT_EQ(drawable.Create(&target_, &picture_, 11, 30, 40, 256, 0, 0), 0u);
  drawable.SetSize(10, 10);
  ASSERT_EQ(drawable.SetTarget(nullptr), 0u);
  plat::Rect bounds;
  ASSERT_TRUE(drawable.GetBounds(&bounds));
  EXPECT_EQ(bounds.right, 30 + 64) << "the source's size now";
  EXPECT_EQ(bounds.bottom, 40 + 48);
  ASSERT_EQ(Screen().AddAfterEqual(&drawable, 0, 0), 0u);
  ASSERT_EQ(RenderPass(), 0u);
  EXPECT_EQ(BackPixel(30, 40), RawSourcePixel(0, 0));
  EXPECT_EQ(BackPixel(30 + 63, 40 + 47), RawSourcePixel(63, 47));

  CDDrawPicture no_surface{&Screen()};
  EXPECT_EQ(drawable.SetTarget(&no_surface), 1u);
  EXPECT_EQ(drawable.GetTarget(), nullptr);
  EXPECT_EQ(drawable.SetSource(nullptr), 1u);
  EXPECT_EQ(drawable.SetSource(&target_), 0u);
  EXPECT_FALSE(drawable.SetShownArea(0, 0, nullptr)) << "no target";
  CTransitionDrawable empty;
  EXPECT_EQ(empty.SetTarget(&target_), 1u) << "no source yet";
  EXPECT_EQ(empty.SetSource(&picture_), 1u) << "no source yet";
}

TEST_F(TransitionDrawableTest, TheShownPartIsCutToTheTargetAndMovedByTheOffsets) {
  CTransitionDrawable drawable;
  ASSERT_EQ(drawable.Create(&target_, &picture_, 11, 0, 0, 256, 0, 0), 0u);
  const plat::Rect beyond{-5, -5, 100, 100};
  ASSERT_TRUE(drawable.SetShownArea(0, 0, &beyond));
  EXPECT_EQ(drawable.GetShownRect().left, 0);
  EXPECT_EQ(drawable.GetShownRect().right, 64);
  EXPECT_EQ(drawable.GetShownRect().bottom, 48);

  const plat::Rect part{8, 8, 40, 40};
  ASSERT_TRUE(drawable.SetShownArea(4, 2, &part));
  drawable.SetPosition(200, 100);
  ASSERT_EQ(Screen().AddAfterEqual(&drawable, 0, 0), 0u);
  ASSERT_EQ(RenderPass(), 0u);
  EXPECT_EQ(BackPixel(200, 100), RawSourcePixel(12, 10));
  EXPECT_EQ(BackPixel(200 + 31, 100 + 31), RawSourcePixel(43, 41));
  EXPECT_EQ(BackPixel(200 + 32, 100), 0xFFFFFFu);
}

TEST_F(TransitionDrawableTest, AHitOnAKeyedTargetMissesItsKeyColour) {
  CTransitionDrawable drawable;
  ASSERT_EQ(drawable.Create(&target_, &picture_, 11, 50, 60, 256, 0, 0), 0u);
  EXPECT_TRUE(drawable.HitTest(50 + 3, 60 + 4, true)) << "a target without a key is hit everywhere";
  const uint32_t key = RawSourcePixel(3, 4);
  ASSERT_EQ(target_.SetColorKeyRgb(key >> 16, key >> 8 & 0xFF, key & 0xFF), 0u);
  struct Probe {
    int32_t x, y;
    bool use_pixels;
    bool hit;
  };
  for (const Probe& p : {Probe{50 + 3, 60 + 4, true, false}, Probe{50 + 4, 60 + 4, true, true},
                         Probe{50 + 3, 60 + 4, false, true}, Probe{49, 60, false, false},
                         Probe{50 + 64, 60, false, false}, Probe{50, 60 + 48, false, false}}) {
    EXPECT_EQ(drawable.HitTest(p.x, p.y, p.use_pixels), p.hit) << p.x << ", " << p.y << " " << p.use_pixels;
  }
  drawable.SetSize(128, 96);
  EXPECT_FALSE(drawable.HitTest(50 + 6, 60 + 8, true)) << "scaled back into the target";
  EXPECT_TRUE(drawable.HitTest(50 + 8, 60 + 8, true));

  CTransitionDrawable beside;
  ASSERT_EQ(beside.Create(nullptr, &picture_, 11, 50 + 128, 60, 256, 0, 0), 0u);
  EXPECT_FALSE(drawable.Overlaps(beside)) << "a shared edge";
  beside.SetPosition(50 + 127, 60 + 95);
  EXPECT_TRUE(drawable.Overlaps(beside));
}

TEST_F(TransitionDrawableTest, TheRestoreDrawsTheKeptLevelAgain) {
  CTransitionDrawable drawable;
  ASSERT_EQ(drawable.Create(&target_, &picture_, 11, 0, 0, 128, 0, 0), 0u);
  pattern_test::WriteSurface(*target_.GetSurface(), [](int32_t, int32_t) { return 0u; });
  ASSERT_EQ(drawable.Restore(), 0u);
  EXPECT_EQ(target_.GetPixel(0, 0), kPlain);
  EXPECT_EQ(target_.GetPixel(20, 20), RawSourcePixel(20, 20));
  target_.GetSurface()->SimulateLockRefusal(true);
  drawable.SetPattern(70);
  EXPECT_EQ(drawable.Restore(), 1u);
  target_.GetSurface()->SimulateLockRefusal(false);
}

}  // namespace

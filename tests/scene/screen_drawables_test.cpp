// The screen's drawable list: factories stamped with the drawable id, a failing create step
// that keeps nothing, single deletion, deletion by id, and the motions that end with a deleted
// drawable.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/timer_manager.h"
#include "gfx/image.h"
#include "pixel/pixel_tables.h"
#include "scene/color_box.h"
#include "scene/move_motion.h"
#include "scene/screen_drawables.h"
#include "scene/sprite.h"
#include "support/fake_clock.h"
#include "support/scoped_pixel_library.h"
#include "support/sprite_device_screen.h"

namespace {

class ScreenDrawablesTest : public testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    ASSERT_EQ(picture_.Create(8, 8, 32, 0), 0u);
  }

  CSprite* AddSprite(uint32_t id) {
    screen_.Screen().SetDrawableId(id);
    CSprite* sprite = nullptr;
    EXPECT_EQ(drawables_.CreateSprite(&sprite, &picture_, nullptr, 0, 0), 0u);
    return sprite;
  }
  std::vector<uint32_t> Ids() const {
    std::vector<uint32_t> ids;
    for (const auto& drawable : drawables_.GetDrawables()) ids.push_back(drawable->GetId());
    return ids;
  }

  ScopedPixelLibrary library_;
  SpriteDeviceScreen screen_;
  CScreenDrawables& drawables_ = CScreenDrawables::Of(screen_.Screen());
  CImage picture_;
};

TEST_F(ScreenDrawablesTest, DeletingNullGivesOneAndAnUnlistedDrawableTwo) {
  CColorBox stranger;
  CDrawable* none = nullptr;
  EXPECT_EQ(drawables_.DeleteDrawable(nullptr), 1u);
  EXPECT_EQ(drawables_.DeleteDrawableRef(none), 1u);
  EXPECT_EQ(drawables_.DeleteDrawable(&stranger), 2u) << "empty list";

  CSprite* sprite = AddSprite(0);
  CColorBox* unlisted = &stranger;
  EXPECT_EQ(drawables_.DeleteDrawableRef(unlisted), 2u);
  EXPECT_EQ(unlisted, &stranger) << "the caller's pointer stays";
  EXPECT_EQ(drawables_.GetDrawables().size(), 1u);

  EXPECT_EQ(drawables_.DeleteDrawableRef(sprite), 0u);
  EXPECT_EQ(sprite, nullptr);
  EXPECT_TRUE(drawables_.GetDrawables().empty());
}

TEST_F(ScreenDrawablesTest, EachFactoryStampsTheDrawableIdOrReturnsItsCreateStepsStatus) {
  CSprite* shown = AddSprite(7);
  ASSERT_NE(shown, nullptr);
  CSprite empty_sprite;
  CSprite* copy = nullptr;
  CColorBox* box = nullptr;
  // A create step's own failure, never the factory's status for no memory (3 and 2).
  EXPECT_EQ(drawables_.CreateSprite(&copy, nullptr, nullptr, 0, 0), 1u);
  EXPECT_EQ(copy, nullptr);
  EXPECT_EQ(drawables_.CreateSpriteCopy(&copy, &empty_sprite), 1u) << "a sprite without source";
  EXPECT_EQ(drawables_.CreateSpriteCopy(&copy, nullptr), 1u);
  EXPECT_EQ(copy, nullptr);
  EXPECT_EQ(Ids(), (std::vector<uint32_t>{7}));

  screen_.Screen().SetDrawableId(9);
  ASSERT_EQ(drawables_.CreateSpriteCopy(&copy, shown), 0u);
  EXPECT_EQ(copy->GetSourceImage(), &picture_);
  ASSERT_EQ(drawables_.CreateColorBox(&box, 5, 6, 0x80102030, 1, 2), 0u);
  EXPECT_EQ(box->GetColor(), 0x102030u);
  EXPECT_EQ(box->GetOpacity(), 0x80);
  EXPECT_EQ(box->GetWidth(), 5);
  EXPECT_EQ(Ids(), (std::vector<uint32_t>{7, 9, 9}));
  EXPECT_EQ(drawables_.GetDrawables().back().get(), box);
}

TEST_F(ScreenDrawablesTest, DeleteByIdTakesThoseOfTheIdOrWithInvertAllOthers) {
  struct Case {
    bool invert;
    std::vector<uint32_t> left;
  };
  for (const Case& c : {Case{false, {2, 3}}, Case{true, {1, 1}}}) {
    SCOPED_TRACE(c.invert);
    drawables_.DestroyDrawables();
    for (uint32_t id : {1u, 2u, 1u, 3u}) AddSprite(id);
    drawables_.DeleteDrawablesById(1, c.invert);
    EXPECT_EQ(Ids(), c.left);
  }
}

TEST_F(ScreenDrawablesTest, DeletingADrawableEndsTheMotionThatMovesIt) {
  ScopedFakeClock clock;
  CTimerManager timers;
  CSprite* moved = AddSprite(0);
  CColorBox* box = nullptr;
  ASSERT_EQ(drawables_.CreateColorBox(&box, 4, 4, 0xFF000000, 0, 0), 0u);
  for (CDrawable* drawable : {static_cast<CDrawable*>(moved), static_cast<CDrawable*>(box)}) {
    MoveMotionOptions options;
    options.segment_time = 400;
    auto motion = std::make_unique<CMoveMotion>(options);
    ASSERT_EQ(motion->ParsePoints("(40,80,255)"), 0);
    ASSERT_EQ(motion->Start(&timers, drawable), 0);
    motion.release();
  }
  timers.Dispatch(0);
  ASSERT_EQ(timers.GetCount(), 2u);

  ASSERT_EQ(drawables_.DeleteDrawableRef(moved), 0u);
  // Under the address sanitizer a motion left behind would write into the freed sprite here.
  clock.SetMilliseconds(1200);
  timers.Dispatch(0);
  EXPECT_EQ(timers.GetCount(), 1u);
  EXPECT_EQ(box->GetX(), 20) << "the other drawable's motion goes on";
}

}  // namespace

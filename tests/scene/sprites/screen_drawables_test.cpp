// The screen's drawable list: the drawable id stamped, a failing create step that keeps
// nothing, deletion singly and by id, and the motions that end with a deleted drawable.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/time/timer_manager.h"
#include "scene/motions/move_motion.h"
#include "scene/sprites/color_box.h"
#include "scene/sprites/screen_drawables.h"
#include "scene/sprites/sprite.h"
#include "support/fake_clock.h"
#include "support/sprite_device_screen.h"

namespace {

class ScreenDrawablesTest : public testing::Test {
 protected:
  CColorBox* AddBox(uint32_t id) {
    screen_.Screen().SetDrawableId(id);
    CColorBox* box = nullptr;
    EXPECT_EQ(drawables_.CreateColorBox(&box, 4, 4, 0xFF000000, 0, 0), 0u);
    return box;
  }
  std::vector<uint32_t> Ids() const {
    std::vector<uint32_t> ids;
    for (const auto& drawable : drawables_.GetDrawables()) ids.push_back(drawable->GetId());
    return ids;
  }

  SpriteDeviceScreen screen_;
  CScreenDrawables& drawables_ = CScreenDrawables::Of(screen_.Screen());
};

TEST_F(ScreenDrawablesTest, DeletingNullGivesOneAndAnUnlistedDrawableTwo) {
  CColorBox stranger;
  CColorBox* unlisted = &stranger;
  EXPECT_EQ(drawables_.DeleteDrawable(nullptr), 1u);
  EXPECT_EQ(drawables_.DeleteDrawable(&stranger), 2u) << "empty list";
  CColorBox* box = AddBox(0);
  EXPECT_EQ(drawables_.DeleteDrawableRef(unlisted), 2u);
  EXPECT_EQ(unlisted, &stranger);
  EXPECT_EQ(drawables_.DeleteDrawableRef(box), 0u);
  EXPECT_EQ(box, nullptr);
  EXPECT_TRUE(drawables_.GetDrawables().empty());
}

TEST_F(ScreenDrawablesTest, AFailingCreateStepReturnsItsOwnStatusAndKeepsNothing) {
  AddBox(7);
  CSprite empty;
  CSprite* sprite = &empty;
  // The create steps' 1, not the factories' statuses for no memory (3 and 2).
  EXPECT_EQ(drawables_.CreateSprite(&sprite, nullptr, nullptr, 0, 0), 1u);
  EXPECT_EQ(sprite, nullptr);
  EXPECT_EQ(drawables_.CreateSpriteCopy(&sprite, &empty), 1u) << "a sprite without a source";
  EXPECT_EQ(Ids(), (std::vector<uint32_t>{7}));
}

TEST_F(ScreenDrawablesTest, DeleteByIdTakesThoseOfTheIdOrWithInvertAllOthers) {
  for (const bool invert : {false, true}) {
    drawables_.DestroyDrawables();
    for (uint32_t id : {1u, 2u, 1u, 3u}) AddBox(id);
    drawables_.DeleteDrawablesById(1, invert);
    EXPECT_EQ(Ids(), (invert ? std::vector<uint32_t>{1, 1} : std::vector<uint32_t>{2, 3}));
  }
}

TEST_F(ScreenDrawablesTest, DeletingADrawableEndsTheMotionThatMovesIt) {
  ScopedFakeClock clock;
  CTimerManager timers;
  CColorBox* boxes[] = {AddBox(0), AddBox(0)};
  for (CColorBox* box : boxes) {
    MoveMotionOptions options;
    options.segment_time = 400;
    auto motion = std::make_unique<CMoveMotion>(options);
    ASSERT_EQ(motion->ParsePoints("(40,80,255)"), 0);
    ASSERT_EQ(motion->Start(&timers, box), 0);
    motion.release();
  }
  timers.Dispatch(0);
  ASSERT_EQ(drawables_.DeleteDrawableRef(boxes[0]), 0u);
  // Under the address sanitizer a motion left behind would write into the freed box here.
  clock.SetMilliseconds(1200);
  timers.Dispatch(0);
  EXPECT_EQ(timers.GetCount(), 1u);
  EXPECT_EQ(boxes[1]->GetX(), 20) << "the other drawable's motion goes on";
}

}  // namespace

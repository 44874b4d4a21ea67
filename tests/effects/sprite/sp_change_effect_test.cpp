// "sp_change": the swap of mode 0, the old sprite's journey of mode 1, the cross-fade's work
// picture, the resize that turns mode 2 into 3, the vertical correction under resizing, the
// set-up's failures (which leave the old sprite to the caller) and a pause.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "base/numbers/trig_tables.h"
#include "base/time/timer_manager.h"
#include "effects/sprite/sp_change_effect.h"
#include "gfx/images/image.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_list.h"
#include "scene/sprites/sprite.h"
#include "support/fake_clock.h"
#include "support/scoped_pixel_library.h"

namespace {

std::uintptr_t Word(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }

std::uint32_t PixelAt(const CImage& image, std::int32_t x, std::int32_t y) {
  return reinterpret_cast<const std::uint32_t*>(image.GetRowPointer(y))[x];
}

std::uint64_t Checksum(const CImage& image) {
  std::uint64_t sum = 0;
  for (std::int32_t y = 0; y < image.GetHeight(); ++y) {
    for (std::int32_t x = 0; x < image.GetWidth(); ++x) sum = sum * 1000003u + PixelAt(image, x, y);
  }
  return sum;
}

std::unique_ptr<CImage> Picture(std::int32_t width, std::int32_t height, std::uint32_t colour, std::int32_t place_x,
                                std::int32_t place_y) {
  auto image = std::make_unique<CImage>();
  EXPECT_EQ(image->Create(width, height, 32, 0), 0u);
  image->FillRectArgb(colour, nullptr);
  image->SetUserWord0(static_cast<std::uint32_t>(place_x));
  image->SetUserWord1(static_cast<std::uint32_t>(place_y));
  return image;
}

// An 800 x 600 page; the old sprite and its picture are on the heap, as the novel frame hands
// them over.
class SpChangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    ASSERT_EQ(page_.Create(800, 600, 32, 0), 0u);
    ASSERT_EQ(layer_.SetTarget(&page_, false), 0u);
    g_TrigTable = &trig_;
  }
  void TearDown() override {
    timers_.RemoveAll();
    g_TrigTable = nullptr;
  }

  void MakeSprites(std::unique_ptr<CImage> old_picture, std::int32_t old_x, std::int32_t old_y,
                   std::unique_ptr<CImage> new_picture, std::int32_t new_x, std::int32_t new_y) {
    old_picture_ = std::move(old_picture);
    new_picture_ = std::move(new_picture);
    old_sprite_ = std::make_unique<CSprite>();
    ASSERT_EQ(old_sprite_->SetImage(old_picture_.get(), nullptr, old_x, old_y), 0u);
    ASSERT_EQ(new_sprite_.SetImage(new_picture_.get(), nullptr, new_x, new_y), 0u);
    ASSERT_EQ(layer_.GetOwnList().Insert(old_sprite_.get(), 50, 0), 0u);
    ASSERT_EQ(layer_.GetOwnList().Insert(&new_sprite_, 50, 0), 0u);
    old_ = old_sprite_.get();
  }

  // Sets "sp_change" up at 1000 ms (the first update): its Setup result. On success the old
  // sprite and its picture are the effect's.
  std::int32_t Start(const char* path, std::uint8_t mode, bool resize = false, std::uint32_t duration = 1000) {
    effect_ = new CSpChangeEffect;
    effect_->SetOwnerReference(&effect_);
    const std::int32_t result = effect_->Setup(
        &timers_, nullptr,
        PluginArgList{Word(&new_sprite_), Word(old_), Word(path), mode, 60, resize, duration, 0}.View());
    if (result != CEffect::kRunning) {
      delete effect_;
      return result;
    }
    static_cast<void>(old_sprite_.release());
    static_cast<void>(old_picture_.release());
    timers_.Dispatch(1000);
    return result;
  }

  ScopedFakeClock clock_;
  ScopedPixelLibrary library_;
  CTrigTables trig_;
  CImage page_;
  CDrawLayer layer_;
  std::unique_ptr<CImage> old_picture_;
  std::unique_ptr<CImage> new_picture_;
  std::unique_ptr<CSprite> old_sprite_;
  CSprite* old_ = nullptr;
  CSprite new_sprite_;
  CTimerManager timers_;
  CSpChangeEffect* effect_ = nullptr;
};

TEST_F(SpChangeTest, ModeZeroWithAStillPathSwapsTheSpritesAtTheFirstUpdateAndNothingElse) {
  MakeSprites(Picture(40, 20, 0xFFFF0000, 0, 0), 10, 20, Picture(40, 20, 0xFF0000FF, 0, 0), 100, 200);
  ASSERT_EQ(Start("i", CSpChangeEffect::kModeMoveNew), 0);
  EXPECT_FALSE(old_->IsEnabled());
  EXPECT_TRUE(new_sprite_.IsEnabled());
  EXPECT_EQ(effect_->GetMovingSprite(), &new_sprite_);
  EXPECT_EQ(effect_->GetWorkImage(), nullptr);
  for (std::uint32_t now : {1500u, 2000u}) {
    timers_.Dispatch(now);
    EXPECT_EQ(new_sprite_.GetX(), 100) << now;
    EXPECT_EQ(new_sprite_.GetY(), 200) << now;
    EXPECT_EQ(new_sprite_.GetOpacity(), 255) << now;
  }
  EXPECT_EQ(effect_, nullptr) << "ended, the old sprite deleted with it (ASan)";
  EXPECT_TRUE(new_sprite_.IsEnabled());
}

TEST_F(SpChangeTest, ModeOneMovesTheOldSpriteAndTheNewOneTakesOverShiftedByTheirStartDifference) {
  MakeSprites(Picture(100, 50, 0xFFFF0000, 0, 0), 0, 0, Picture(100, 50, 0xFF0000FF, 0, 0), 50, 20);
  ASSERT_EQ(Start("r", CSpChangeEffect::kModeMoveOld), 0);
  EXPECT_TRUE(old_->IsEnabled());
  EXPECT_FALSE(new_sprite_.IsEnabled()) << "hidden until the end";
  timers_.Dispatch(1500);
  EXPECT_EQ(old_->GetX(), 350);
  std::int32_t x = 0;
  std::int32_t y = 0;
  ASSERT_EQ(effect_->GetParam(PluginArgList{Word(&x), Word(&y)}.View()), 0);
  EXPECT_EQ(x, 700 + 50) << "the last key frame shifted by the end offset";
  EXPECT_EQ(y, 0 + 20);
  timers_.Dispatch(2000);
  EXPECT_EQ(effect_, nullptr);
  EXPECT_TRUE(new_sprite_.IsEnabled());
  EXPECT_EQ(new_sprite_.GetX(), 750);
  EXPECT_EQ(new_sprite_.GetY(), 20);
}

// The work picture redone in the test from the steps: cleared lists, image 1, its alpha faded
// outside image 2, image 2 blended at the level.
TEST_F(SpChangeTest, ModeTwoFadesTwoSeparateImagesEachInItsOwnRectangle) {
  MakeSprites(Picture(40, 20, 0xFFFF0000, 0, 0), 10, 10, Picture(40, 20, 0xFF0000FF, 60, 10), 70, 20);
  ASSERT_EQ(Start("i", CSpChangeEffect::kModeCrossFade), 0);
  const CImage* work = effect_->GetWorkImage();
  ASSERT_NE(work, nullptr);
  ASSERT_EQ(work->GetWidth(), 100);
  ASSERT_EQ(work->GetHeight(), 30);
  const CSprite* work_sprite = effect_->GetWorkSprite();
  EXPECT_TRUE(work_sprite->IsEnabled());
  EXPECT_FALSE(old_->IsEnabled());
  EXPECT_EQ(work_sprite->GetX(), 10);
  EXPECT_EQ(work_sprite->GetY(), 10);
  EXPECT_EQ(work_sprite->GetBlendMode(), 2);
  EXPECT_EQ(effect_->GetEndOffsetX(), 60);
  EXPECT_EQ(effect_->GetEndOffsetY(), 10);

  auto red = Picture(40, 20, 0xFFFF0000, 0, 0);
  auto blue = Picture(40, 20, 0xFF0000FF, 0, 0);
  const auto expected_at = [&](std::uint8_t level) {
    CImage expected;
    EXPECT_EQ(expected.Create(100, 30, 32, 0), 0u);
    expected.FillRectArgb(0, nullptr);
    expected.Copy(red.get(), 0, 0, nullptr, false);
    const plat::Rect r1{0, 0, 40, 20};
    expected.AdjustAlpha(255u - level, &r1);
    expected.BlendLevel(blue.get(), level, 60, 10, nullptr);
    return Checksum(expected);
  };
  EXPECT_EQ(Checksum(*work), expected_at(0)) << "T = 0: the old image alone";
  EXPECT_EQ(PixelAt(*work, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(*work, 60, 10), 0u);
  timers_.Dispatch(1500);
  EXPECT_EQ(Checksum(*work), expected_at(127)) << "T = 0.5";
  EXPECT_EQ(PixelAt(*work, 50, 5), 0u) << "between the rectangles nothing";
  // The last update, run by hand so that the picture can still be read.
  EXPECT_EQ(effect_->Update(2000), 1u);
  EXPECT_EQ(Checksum(*work), expected_at(255)) << "T = 1";
  EXPECT_EQ(PixelAt(*work, 0, 0) >> 24, 0u) << "the old image faded out";
  EXPECT_EQ(PixelAt(*work, 60, 10), 0xFF0000FFu) << "the new one in";
  EXPECT_FALSE(work_sprite->IsEnabled());
  EXPECT_TRUE(new_sprite_.IsEnabled());
  EXPECT_EQ(new_sprite_.GetX(), 70) << "the work sprite's end, shifted by the end offset";
  EXPECT_EQ(new_sprite_.GetY(), 20);
}

// Overlapping: image 1 fades only where image 2 does not cover it (the top band and the part
// left of image 2 in the middle band).
TEST_F(SpChangeTest, ModeTwoWithOverlappingImagesFadesOnlyTheUncoveredPartOfTheOldOne) {
  MakeSprites(Picture(40, 20, 0x80FF0000, 0, 0), 0, 0, Picture(40, 20, 0xFF0000FF, 20, 10), 20, 10);
  ASSERT_EQ(Start("i", CSpChangeEffect::kModeCrossFade), 0);
  const CImage* work = effect_->GetWorkImage();
  ASSERT_EQ(work->GetWidth(), 60);
  ASSERT_EQ(work->GetHeight(), 30);
  auto red = Picture(40, 20, 0x80FF0000, 0, 0);
  auto blue = Picture(40, 20, 0xFF0000FF, 0, 0);
  for (std::uint32_t now : {1500u, 1999u}) {
    timers_.Dispatch(now);
    const auto level = static_cast<std::uint8_t>((now - 1000) / 1000.0 * 255);
    CImage expected;
    ASSERT_EQ(expected.Create(60, 30, 32, 0), 0u);
    expected.FillRectArgb(0, nullptr);
    expected.Copy(red.get(), 0, 0, nullptr, false);
    for (const plat::Rect& faded : {plat::Rect{0, 0, 40, 10}, plat::Rect{0, 10, 20, 20}}) {
      expected.AdjustAlpha(255u - level, &faded);
    }
    expected.BlendLevel(blue.get(), level, 20, 10, nullptr);
    EXPECT_EQ(Checksum(*work), Checksum(expected)) << now;
    EXPECT_EQ(PixelAt(*work, 5, 25), 0u) << "the bottom band left of image 2 stays clear";
  }
}

TEST_F(SpChangeTest, ResizingToANarrowerNewSpriteMakesModeThreeFadingFromTheOldImageToTheScaledNewOne) {
  // The old picture 200 wide at placement 300; the new one 100 wide at 350, scaled about x 400
  // to 200 wide at 300: both rectangles coincide.
  MakeSprites(Picture(200, 100, 0xFFFF0000, 300, 0), 300, 100, Picture(100, 50, 0xFF0000FF, 350, 0), 350, 100);
  ASSERT_EQ(Start("i", CSpChangeEffect::kModeCrossFade, true), 0);
  EXPECT_EQ(effect_->GetMode(), CSpChangeEffect::kModeCrossFadeToNarrow);
  const CImage* work = effect_->GetWorkImage();
  ASSERT_NE(work, nullptr);
  EXPECT_EQ(work->GetWidth(), 200);
  EXPECT_EQ(work->GetHeight(), 100);
  EXPECT_EQ(PixelAt(*work, 100, 50), 0xFFFF0000u) << "level 255 at the start: the old wide image";
  const CSprite* work_sprite = effect_->GetWorkSprite();
  EXPECT_DOUBLE_EQ(work_sprite->GetZoom(), 1.0);
  timers_.Dispatch(1500);
  EXPECT_DOUBLE_EQ(work_sprite->GetZoom(), 0.75) << "from 1 towards the width ratio 0.5";
  EXPECT_EQ(effect_->Update(2000), 1u);
  EXPECT_EQ(PixelAt(*work, 100, 50), 0xFF0000FFu) << "level 0 at the end: the scaled new image";
  EXPECT_EQ(PixelAt(*work, 199, 99), 0xFF0000FFu) << "scaled over the whole width and height";
}

TEST_F(SpChangeTest, UnderResizingTheLowerEdgeStaysWhereTheUnscaledSpritesWould) {
  struct Case {
    std::int32_t new_width;
    std::uint32_t now;
    std::int32_t y;
  };
  // Old 100 wide: a new sprite 100 wide keeps the zoom at 1, one 200 wide starts at zoom 0.5.
  for (const Case& c : {Case{100, 1000, 0}, Case{100, 1500, 0}, Case{200, 1000, 300}, Case{200, 1500, 150},
                        Case{200, 1999, 0}}) {
    TearDown();
    SetUp();
    MakeSprites(Picture(100, 600, 0xFFFF0000, 0, 0), 0, 0, Picture(c.new_width, 600, 0xFF0000FF, 0, 0), 0, 0);
    ASSERT_EQ(Start("i", CSpChangeEffect::kModeMoveNew, true), 0);
    timers_.Dispatch(c.now);
    EXPECT_EQ(new_sprite_.GetY(), c.y) << c.new_width << " at " << c.now;
    EXPECT_EQ(static_cast<std::int32_t>(600 * new_sprite_.GetZoom() + 0.5) + new_sprite_.GetY(), 600)
        << "the lower edge at the layer's bottom";
    timers_.RemoveAll();
    layer_.GetOwnList().Remove(&new_sprite_);
  }
}

TEST_F(SpChangeTest, ANewSpriteInNoListGivesOneAndTheOldSpriteStaysTheCallers) {
  MakeSprites(Picture(40, 20, 0xFFFF0000, 0, 0), 10, 20, Picture(40, 20, 0xFF0000FF, 0, 0), 100, 200);
  ASSERT_TRUE(layer_.GetOwnList().Remove(&new_sprite_));
  EXPECT_EQ(Start("i", CSpChangeEffect::kModeCrossFade), CSpChangeEffect::kSetupBadArguments);
  EXPECT_TRUE(new_sprite_.IsEnabled());
  EXPECT_TRUE(old_->IsEnabled());
  EXPECT_EQ(old_->GetX(), 10);
  EXPECT_EQ(old_sprite_.get(), old_) << "still the caller's, deleted by the fixture (ASan)";
  ASSERT_EQ(layer_.GetOwnList().Insert(&new_sprite_, 50, 0), 0u);
  EXPECT_EQ(Start("q", CSpChangeEffect::kModeCrossFade), CSpChangeEffect::kSetupBadPath);
  EXPECT_TRUE(new_sprite_.IsEnabled());
  EXPECT_EQ(old_sprite_.get(), old_);
  EXPECT_EQ(layer_.GetOwnList().Nodes().size(), 2u) << "the work sprite went with the effect";
}

TEST_F(SpChangeTest, APathWithoutMovementIsAtItsEndOfTheCrossFadeAtOnce) {
  MakeSprites(Picture(40, 20, 0xFFFF0000, 0, 0), 0, 0, Picture(40, 20, 0xFF0000FF, 0, 0), 0, 0);
  ASSERT_EQ(Start("F", CSpChangeEffect::kModeCrossFade), 0);
  EXPECT_EQ(effect_, nullptr) << "ended at the first update";
  EXPECT_TRUE(new_sprite_.IsEnabled());
}

TEST_F(SpChangeTest, APauseMovesTheCrossFadeOnWithThePath) {
  MakeSprites(Picture(40, 20, 0xFFFF0000, 0, 0), 0, 0, Picture(40, 20, 0xFF0000FF, 0, 0), 0, 0);
  clock_.SetMilliseconds(1000);
  ASSERT_EQ(Start("r", CSpChangeEffect::kModeCrossFade), 0);
  const CImage* work = effect_->GetWorkImage();
  clock_.SetMilliseconds(1500);
  timers_.Dispatch(1500);
  const std::uint32_t half = PixelAt(*work, 0, 0);
  timers_.PauseAll(-1);
  clock_.SetMilliseconds(1800);
  timers_.Dispatch(1800);
  timers_.ResumeAll(-1);
  timers_.Dispatch(1800);
  EXPECT_EQ(PixelAt(*work, 0, 0), half);
  EXPECT_EQ(effect_->GetWorkSprite()->GetX(), 380) << "(800 - 40) / 2 after half the time";
  timers_.Dispatch(2299);
  EXPECT_NE(effect_, nullptr) << "300 ms later than without the pause";
}

}  // namespace

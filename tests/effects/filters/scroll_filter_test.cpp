// "scroll": where each picture lies for every direction and motion, the kinds that fade, and the
// acceleration's easing.
#include <gtest/gtest.h>

#include "effects/filters/scroll_filter.h"
#include "transition_fixture.h"

namespace {

class ScrollFilterTest : public TransitionFixture {
 protected:
  CScrollFilter& StartScroll(std::uint32_t direction, std::uint32_t kind, const char* acceleration) {
    return dynamic_cast<CScrollFilter&>(
        Start("scroll", {1000, direction, kind, reinterpret_cast<std::uintptr_t>(acceleration)}));
  }
};

struct Placement {
  std::uint32_t direction;
  std::uint32_t motion;
  // Offsets of the old and the new picture at half way (0 where a picture does not move).
  std::int32_t old_dx, old_dy, new_dx, new_dy;
};

// The expected pixel at (x, y): the picture on top that covers it, read at its offset.
std::uint32_t Expected(const Placement& c, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  const auto covers = [&](std::int32_t dx, std::int32_t dy) {
    return x >= dx && x < dx + width && y >= dy && y < dy + height;
  };
  const bool old_covers = covers(c.old_dx, c.old_dy);
  const bool new_covers = covers(c.new_dx, c.new_dy);
  const bool take_new = c.motion == CScrollFilter::kOldSlidesOut ? !old_covers : new_covers;
  if (take_new) return TransitionFixture::Coded(TransitionFixture::kNew, x - c.new_dx, y - c.new_dy);
  return TransitionFixture::Coded(TransitionFixture::kOld, x - c.old_dx, y - c.old_dy);
}

TEST_F(ScrollFilterTest, AtHalfWayEachPictureLiesAtTheOffsetOfItsDirectionAndMotion) {
  constexpr std::int32_t W = kWidth;
  constexpr std::int32_t H = kHeight;
  constexpr std::int32_t pw = W / 2;
  constexpr std::int32_t ph = H / 2;
  const Placement cases[] = {
      {0, 0, 0, 0, pw - W, 0}, {0, 1, pw, 0, 0, 0},  {0, 2, pw, 0, pw - W, 0},
      {1, 0, 0, 0, 0, ph - H}, {1, 1, 0, ph, 0, 0},  {1, 2, 0, ph, 0, ph - H},
      {2, 0, 0, 0, W - pw, 0}, {2, 1, -pw, 0, 0, 0}, {2, 2, -pw, 0, W - pw, 0},
      {3, 0, 0, 0, 0, H - ph}, {3, 1, 0, -ph, 0, 0}, {3, 2, 0, -ph, 0, H - ph},
  };
  for (const Placement& c : cases) {
    SCOPED_TRACE(testing::Message() << "direction " << c.direction << " motion " << c.motion);
    CScrollFilter& scroll = StartScroll(c.direction, c.motion, nullptr);
    scroll.Advance(2000);
    const CImage& work = Frame(scroll, 2500);
    EXPECT_EQ(scroll.Position(), static_cast<std::uint32_t>(c.direction % 2 == 0 ? pw : ph));
    int wrong = 0;
    for (std::int32_t y = 0; y < H; ++y) {
      for (std::int32_t x = 0; x < W; ++x) wrong += Pixel(work, x, y) != Expected(c, x, y, W, H) ? 1 : 0;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(scroll.GetState(), CTransCallback::kStateRunning);
    Frame(scroll, 3000);
    EXPECT_EQ(scroll.GetState(), CTransCallback::kStateFinished);
  }
}

TEST_F(ScrollFilterTest, TheKindsChooseTheMotionAndTheFade) {
  CScrollFilter& four = StartScroll(0, 4, nullptr);
  four.Advance(100);
  EXPECT_TRUE(four.Fading());
  EXPECT_EQ(four.Motion(), CScrollFilter::kOldSlidesOut);
  EXPECT_EQ(four.FadeLevel(), 255) << "the old picture starts opaque";
  four.Advance(600);
  EXPECT_EQ(four.FadeLevel(), 255 - 127);
  // Kind 4 at the end: the old picture gone, the new one copied.
  EXPECT_EQ(Differences(Frame(four, 1100), *back_.GetImage()), 0);

  // Kind 7 draws every frame as kind 3 does.
  for (const std::uint32_t at : {100u, 350u, 600u, 1100u}) {
    CScrollFilter& three = StartScroll(2, 3, nullptr);
    three.Advance(100);
    CImage three_frame;
    ASSERT_EQ(three_frame.Create(kWidth, kHeight, 32, 0), 0u);
    ASSERT_EQ(three_frame.Copy(const_cast<CImage*>(&Frame(three, at)), 0, 0, nullptr, false), 0u);
    EXPECT_TRUE(three.Fading());
    EXPECT_EQ(three.Motion(), CScrollFilter::kNewSlidesIn);
    CScrollFilter& seven = StartScroll(2, 7, nullptr);
    seven.Advance(100);
    EXPECT_EQ(Differences(Frame(seven, at), three_frame), 0) << at;
    EXPECT_EQ(seven.Motion(), CScrollFilter::kNewSlidesIn);
  }
  CScrollFilter& plain = StartScroll(0, 1, nullptr);
  EXPECT_FALSE(plain.Fading());
}

TEST_F(ScrollFilterTest, TheAccelerationEasesTheWay) {
  struct Case {
    const char* acceleration;
    std::uint32_t quarter;  // position (of 32) at 250 ms
    std::uint32_t half;     // at 500 ms
  };
  // t^2: 62 ms of 1000 (a 32nds of 1.98) and 1/4 of the way; 1 - (1 - t)^2: 437 ms (13.98)
  // and 3/4; evenly: 1/4 and 1/2.
  for (const Case& c : {Case{"2", 1, 8}, Case{"-2", 13, 24}, Case{nullptr, 8, 16}, Case{"0", 8, 16}}) {
    SCOPED_TRACE(c.acceleration != nullptr ? c.acceleration : "null");
    CScrollFilter& scroll = StartScroll(0, 0, c.acceleration);
    scroll.Advance(1000);
    scroll.Advance(1250);
    EXPECT_EQ(scroll.Position(), c.quarter);
    scroll.Advance(1500);
    EXPECT_EQ(scroll.Position(), c.half);
    scroll.Advance(2000);
    EXPECT_EQ(scroll.Position(), 32u);
  }
}

}  // namespace

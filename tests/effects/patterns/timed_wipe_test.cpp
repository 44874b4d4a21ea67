// Timed wipes: the factory's refusals and arguments, the step rule (only what is new is drawn,
// the last step completes exactly), each type's geometry, and the owner's finish and stop.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "base/system/app_hooks.h"
#include "base/time/timer_manager.h"
#include "effects/patterns/timed_wipe_host.h"
#include "effects/patterns/timed_wipe_strips.h"
#include "gfx/images/image.h"
#include "pixel/kernels/pixel_tables.h"
#include "support/fake_clock.h"

namespace {

constexpr uint32_t kOld = 0xFF102030;

uint32_t SourcePixel(int32_t x, int32_t y) { return 0xFF000000u | (static_cast<uint32_t>(x) << 12) | y; }

void Paint(CImage& image, uint32_t (*pixel)(int32_t, int32_t)) {
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.GetRowPointer(y));
    for (int32_t x = 0; x < image.GetWidth(); ++x) row[x] = pixel(x, y);
  }
}

uint32_t PixelOf(const CImage& image, int32_t x, int32_t y) {
  return reinterpret_cast<const uint32_t*>(image.GetRowPointer(y))[x];
}

std::vector<uint32_t> Pixels(const CImage& image) {
  std::vector<uint32_t> pixels;
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    for (int32_t x = 0; x < image.GetWidth(); ++x) pixels.push_back(PixelOf(image, x, y));
  }
  return pixels;
}

// Arguments of a source wipe: the whole source at (x, y), copied.
TimedWipeArgs SourceAt(int32_t x, int32_t y, uint32_t mode = 0) {
  return {static_cast<uint32_t>(x), static_cast<uint32_t>(y), mode, 65535, 0, 0, 0, 0};
}
// Arguments of a colour wipe over the whole target.
TimedWipeArgs WholeTargetColour(uint32_t colour_mode, uint8_t r, uint8_t g, uint8_t b) {
  return {65535, 0, 0, 0, colour_mode, r, g, b};
}

class TimedWipeTest : public ::testing::Test {
 protected:
  TimedWipeTest() {
    BuildPixelTables();
    host_.SetTimerManager(&timers_);
    NewPictures(37, 29, 60, 50);
  }

  void NewPictures(int32_t src_width, int32_t src_height, int32_t dst_width, int32_t dst_height) {
    source_.Release();
    target_.Release();
    ASSERT_EQ(source_.Create(src_width, src_height, 32, 0), 0u);
    ASSERT_EQ(target_.Create(dst_width, dst_height, 32, 0), 0u);
    Paint(source_, SourcePixel);
    Paint(target_, [](int32_t, int32_t) { return kOld; });
  }

  CTimedWipe* Start(uint32_t type, uint32_t duration, const TimedWipeArgs& args) {
    return host_.CreateTimedWipe(type, duration, &target_, &source_, args);
  }
  void At(uint32_t elapsed) {
    clock_.SetMilliseconds(kStart + elapsed);
    timers_.Dispatch(kStart + elapsed);
  }

  static constexpr uint32_t kStart = 5000;
  ScopedFakeClock clock_;
  CTimerManager timers_;
  CTimedWipeHost host_;
  CImage source_;
  CImage target_;

 private:
  void SetUp() override { clock_.SetMilliseconds(kStart); }
};

TEST_F(TimedWipeTest, TheFactoryRefusesWithoutCreatingAnything) {
  EXPECT_EQ(Start(22, 100, SourceAt(0, 0)), nullptr);
  EXPECT_EQ(Start(0xFFFFFFFF, 100, SourceAt(0, 0)), nullptr);
  EXPECT_EQ(host_.CreateTimedWipe(2, 100, nullptr, &source_, SourceAt(0, 0)), nullptr);
  EXPECT_EQ(host_.CreateTimedWipe(2, 100, &target_, nullptr, SourceAt(0, 0)), nullptr);
  CTimedWipeHost without_manager;
  EXPECT_EQ(without_manager.CreateTimedWipe(2, 100, &target_, &source_, SourceAt(0, 0)), nullptr);
  EXPECT_EQ(timers_.GetCount(), 0u);
  // A colour type needs no source.
  EXPECT_NE(host_.CreateTimedWipe(8, 100, &target_, nullptr, WholeTargetColour(0, 1, 2, 3)), nullptr);
  EXPECT_EQ(timers_.GetCount(), 1u);
}

int g_lowered = 0;
int g_restored = 0;

TEST_F(TimedWipeTest, EveryWipeHoldsTheLowerPriorityWhileItLives) {
  g_lowered = g_restored = 0;
  g_LowerPriorityHook = [] { return ++g_lowered; };
  g_RestorePriorityHook = [] { return ++g_restored; };
  EXPECT_EQ(Start(30, 100, SourceAt(0, 0)), nullptr);
  CTimedWipe* first = Start(4, 100, SourceAt(0, 0));
  ASSERT_NE(Start(1, 100, TimedWipeArgs{65535}), nullptr);
  EXPECT_EQ(g_lowered, 2);
  EXPECT_EQ(g_restored, 0);
  EXPECT_EQ(host_.StopTimedWipe(first), 0u);
  At(1);
  EXPECT_EQ(g_restored, 1) << "the stopped wipe is gone";
  At(100);
  EXPECT_EQ(g_restored, 2);
  g_LowerPriorityHook = nullptr;
  g_RestorePriorityHook = nullptr;
}

TEST_F(TimedWipeTest, AWipeWhoseImageEndsEndsWithoutDrawing) {
  auto source = std::make_unique<CImage>();
  ASSERT_EQ(source->Create(8, 8, 32, 0), 0u);
  CTimedWipe* wipe = host_.CreateTimedWipe(2, 100, &target_, source.get(), SourceAt(0, 0));
  CTimedWipe* other = Start(3, 100, SourceAt(0, 0));
  ASSERT_NE(wipe, nullptr);
  At(10);
  source.reset();
  EXPECT_EQ(host_.FinishTimedWipe(wipe), 0u);
  At(50);
  EXPECT_FALSE(host_.IsTimedWipeRunning(wipe));
  EXPECT_TRUE(host_.IsTimedWipeRunning(other));
  EXPECT_EQ(PixelOf(target_, 0, 0), kOld);
}

TEST_F(TimedWipeTest, AZeroDurationCompletesOnTheFirstUpdateAfterOneMillisecond) {
  CTimedWipe* wipe = Start(2, 0, SourceAt(0, 0));
  ASSERT_NE(wipe, nullptr);
  EXPECT_EQ(wipe->GetDuration(), 1u);
  At(0);
  EXPECT_TRUE(host_.IsTimedWipeRunning(wipe));
  EXPECT_EQ(PixelOf(target_, 0, 0), kOld);
  At(1);
  EXPECT_EQ(timers_.GetCount(), 0u);
  EXPECT_EQ(PixelOf(target_, 5, 28), SourcePixel(5, 28));
}

TEST_F(TimedWipeTest, TypeTwoOnFiveRowsOpensTwoRowsEachSideAndDrawsTheLastRowAtCompletion) {
  NewPictures(8, 5, 8, 5);
  ASSERT_NE(Start(2, 100, SourceAt(0, 0)), nullptr);
  const auto rows_shown = [&] {
    std::vector<bool> shown;
    for (int32_t y = 0; y < 5; ++y) shown.push_back(PixelOf(target_, 3, y) == SourcePixel(3, y));
    return shown;
  };
  At(49);
  EXPECT_EQ(rows_shown(), (std::vector<bool>{false, false, false, false, false}));
  At(50);
  EXPECT_EQ(rows_shown(), (std::vector<bool>{false, true, true, false, false}));
  At(99);
  EXPECT_EQ(rows_shown(), (std::vector<bool>{false, true, true, false, false}));
  At(100);
  EXPECT_EQ(rows_shown(), (std::vector<bool>{true, true, true, true, true}));
}

TEST_F(TimedWipeTest, TwoUpdatesAtTheSameInstantDrawNothingTheSecondTime) {
  CTimedWipe* wipe = host_.CreateTimedWipe(9, 100, &target_, nullptr, WholeTargetColour(1, 10, 20, 30));
  ASSERT_NE(wipe, nullptr);
  EXPECT_EQ(wipe->Update(kStart + 40), 0u);
  const std::vector<uint32_t> once = Pixels(target_);
  EXPECT_NE(once, std::vector<uint32_t>(once.size(), kOld));
  EXPECT_EQ(wipe->Update(kStart + 40), 0u);
  EXPECT_EQ(Pixels(target_), once);
}

TEST(TimedWipeStripsTest, ACascadeOverFortyColumnsHasThreeBandsTheFirstFullAtSixteen) {
  EXPECT_EQ(WipeFullAmounts(WipeShape::kCascadeFromLeft, 40, 10).rows, 18);
  std::set<int32_t> columns;
  const auto collect = [&](int32_t from, int32_t to) {
    ForEachWipeStrip(WipeShape::kCascadeFromLeft, 40, 10, WipeStep{{from, 0}, {to, 0}, to == 18},
                     [&](const plat::Rect& r) {
                       EXPECT_EQ(r.top, 0);
                       EXPECT_EQ(r.bottom, 10);
                       for (int32_t x = r.left; x < r.right; ++x) EXPECT_TRUE(columns.insert(x).second) << x;
                     });
  };
  collect(0, 16);
  for (int32_t x = 0; x < 16; ++x) EXPECT_TRUE(columns.contains(x)) << x;
  EXPECT_FALSE(columns.contains(16 + 15));  // band 1 is open by 15 columns, band 2 wholly
  EXPECT_EQ(columns.size(), 16u + 15u + 8u);
  collect(16, 17);
  EXPECT_EQ(columns.size(), 40u);
  collect(17, 18);
  EXPECT_EQ(columns.size(), 40u);
}

TEST(TimedWipeStripsTest, BlindsFromTheFarEdgeOpenTheirPartialBandOnlyToItsSize) {
  std::set<int32_t> rows;
  ForEachWipeStrip(WipeShape::kBlindsFromBottom, 4, 20, WipeStep{{0, 0}, {10, 0}, false},
                   [&](const plat::Rect& r) {
                     for (int32_t y = r.top; y < r.bottom; ++y) rows.insert(y);
                   });
  // Band 0 is rows 4..19 opening upward from 19; band 1 is rows 0..3, opening up from row 3.
  EXPECT_EQ(rows, (std::set<int32_t>{0, 1, 2, 3, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
}

TEST_F(TimedWipeTest, AColourWipeWithMode300FillsAtAlpha128) {
  CImage expected;
  ASSERT_EQ(expected.Duplicate(&target_, 0), 0u);
  expected.FillColor(200, 100, 50, 128, nullptr);
  ASSERT_NE(host_.CreateTimedWipe(8, 100, &target_, nullptr, WholeTargetColour(300, 200, 100, 50)), nullptr);
  At(100);
  EXPECT_EQ(Pixels(target_), Pixels(expected));
}

TEST_F(TimedWipeTest, FinishingAWipeTheManagerNoLongerHoldsChangesNothing) {
  CTimedWipe* wipe = Start(3, 100, SourceAt(0, 0));
  ASSERT_NE(wipe, nullptr);
  At(30);
  EXPECT_EQ(host_.StopTimedWipe(wipe), 0u);
  EXPECT_FALSE(host_.IsTimedWipeRunning(wipe));
  const std::vector<uint32_t> stopped = Pixels(target_);
  EXPECT_EQ(host_.FinishTimedWipe(wipe), 0u);
  EXPECT_EQ(host_.StopTimedWipe(wipe), 0u);
  EXPECT_EQ(Pixels(target_), stopped);
  CTimedWipeHost without_manager;
  EXPECT_EQ(without_manager.FinishTimedWipe(nullptr), 1u);
  EXPECT_EQ(without_manager.StopTimedWipe(nullptr), 1u);
  EXPECT_FALSE(without_manager.IsTimedWipeRunning(nullptr));
}

TEST_F(TimedWipeTest, AfterFinishingADarkeningWipeTheNextDispatchChangesNoPixel) {
  CTimedWipe* wipe = Start(0, 1000, TimedWipeArgs{65535, 0, 0, 0});
  ASSERT_NE(wipe, nullptr);
  At(400);
  EXPECT_EQ(host_.FinishTimedWipe(wipe), 0u);
  EXPECT_EQ(PixelOf(target_, 0, 0), 0xFF000000u);
  Paint(target_, [](int32_t, int32_t) { return kOld; });
  At(2000);
  EXPECT_EQ(PixelOf(target_, 0, 0), kOld);
  EXPECT_EQ(timers_.GetCount(), 0u);
}

TEST_F(TimedWipeTest, ABrighteningWipeStepsOnItsOwnPeriodAndEndsWhite) {
  ASSERT_NE(Start(1, 512, TimedWipeArgs{10, 5, 4, 3}), nullptr);
  At(1);
  EXPECT_EQ(PixelOf(target_, 10, 5), kOld);  // due every 2 ms
  At(256);
  EXPECT_EQ(PixelOf(target_, 10, 5), 0xFF102030u + 0x7F7F7F);
  EXPECT_EQ(PixelOf(target_, 14, 5), kOld);
  At(512);
  EXPECT_EQ(PixelOf(target_, 12, 7), 0xFFFFFFFFu);
  EXPECT_EQ(PixelOf(target_, 12, 8), kOld);
}

TEST_F(TimedWipeTest, APauseShiftsTheWipesStartByThePausedSpan) {
  CTimedWipe* wipe = Start(5, 100, SourceAt(2, 3));
  ASSERT_NE(wipe, nullptr);
  At(20);
  timers_.PauseTask(wipe);
  clock_.SetMilliseconds(kStart + 520);
  timers_.ResumeTask(wipe);
  EXPECT_EQ(wipe->GetStart(), kStart + 500);
  At(590);
  EXPECT_TRUE(host_.IsTimedWipeRunning(wipe));
  At(600);
  EXPECT_FALSE(host_.IsTimedWipeRunning(wipe));
}

// Every strip type, stepped every 1, 16 or 333 ms or once, shows the same picture wherever two
// of those runs meet and ends on the whole copy or fill.
TEST_F(TimedWipeTest, StripTypesAreTheSameAtEveryFrameRate) {
  for (uint32_t type = 2; type < kTimedWipeTypeCount; ++type) {
    const bool colour = type >= 8 && type <= 13;
    const TimedWipeArgs args = colour ? TimedWipeArgs{5, 4, 33, 27, 2, 40, 50, 60} : SourceAt(11, 9, type % 2);
    const auto run = [&](uint32_t step) {
      std::vector<std::vector<uint32_t>> pictures;
      NewPictures(37, 29, 60, 50);
      clock_.SetMilliseconds(kStart);
      if (Start(type, 1000, args) == nullptr) ADD_FAILURE() << type;
      for (uint32_t t = step; t < 1000 + step; t += step) {
        At(std::min(t, 1000u));
        pictures.push_back(Pixels(target_));
      }
      return pictures;
    };
    const auto by_ms = run(1);
    const auto by_frame = run(16);
    const auto by_third = run(333);
    const auto at_once = run(1000);
    for (size_t i = 0; i < by_frame.size(); ++i) EXPECT_EQ(by_frame[i], by_ms[std::min<size_t>((i + 1) * 16 - 1, 999)]);
    for (size_t i = 0; i < by_third.size(); ++i) EXPECT_EQ(by_third[i], by_ms[std::min<size_t>((i + 1) * 333 - 1, 999)]);
    ASSERT_EQ(at_once.size(), 1u);
    EXPECT_EQ(at_once[0], by_ms.back()) << type;

    CImage expected;
    ASSERT_EQ(expected.Create(60, 50, 32, 0), 0u);
    Paint(expected, [](int32_t, int32_t) { return kOld; });
    if (colour) {
      const plat::Rect area{5, 4, 38, 31};
      expected.SubtractColor(40, 50, 60, &area);
    } else if (type % 2 == 0) {
      expected.Copy(&source_, 11, 9, nullptr, false);
    } else {
      expected.AlphaBlend(&source_, 11, 9, nullptr, false);
    }
    EXPECT_EQ(at_once[0], Pixels(expected)) << type;
    EXPECT_EQ(timers_.GetCount(), 0u) << type;
  }
}

}  // namespace

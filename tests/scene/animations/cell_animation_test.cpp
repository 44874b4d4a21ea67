// Picture parts and the lip-sync task against a fake clock: the cells each mode shows run by
// run, the random mode's draws, the end of a counted part, and a mouth that follows a voice.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "base/time/timer_manager.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/animations/cell_sheet.h"
#include "scene/animations/lip_sync_task.h"
#include "scene/animations/picture_part.h"
#include "scene/animations/voice_loudness.h"
#include "support/anim_test_pictures.h"
#include "support/fake_clock.h"

namespace {

constexpr int32_t kCells = 4;
constexpr int32_t kFrameTime = 100;
constexpr int32_t kX = 10;
constexpr int32_t kY = 5;

class CellAnimationTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegisterElgDecoder(host_), 0u);
    saved_host_ = g_GllHost;
    g_GllHost = &host_;
    const std::vector<uint8_t> elg = CellStripElg(kCells, 8, 6);
    ASSERT_EQ(strip_.LoadFile32(nullptr, elg.data(), static_cast<uint32_t>(elg.size()), 0), 0u);
    ASSERT_EQ(target_.Create(60, 30, 32, 0), 0u);
    target_.FillRectArgb(0xFF000000, nullptr);
  }
  void TearDown() override { g_GllHost = saved_host_; }

  void AttachSheet(uint8_t option) {
    CellSheetSetup setup;
    setup.cell_count = kCells;
    setup.frame_time = kFrameTime;
    setup.target = &target_;
    setup.x = kX;
    setup.y = kY;
    setup.option = option;
    ASSERT_EQ(sheet_->Attach(&strip_, setup), 0u);
  }
  // The cell the target shows; -1 for none.
  int32_t ShownCell() const {
    const uint32_t pixel = target_.GetPixel(kX + 1, kY + 1) & 0xFFFFFF;
    for (int32_t cell = 0; cell < kCells; ++cell) {
      if (CellColour(cell) == pixel) return cell;
    }
    return -1;
  }
  // The cells shown at each further multiple of the frame time, from the first pass on.
  std::vector<int32_t> CellsOver(int32_t frames) {
    std::vector<int32_t> cells;
    for (int32_t frame = 0; frame < frames; ++frame) {
      clock_.SetMilliseconds(1000 + elapsed_);
      timers_.Dispatch(0);
      cells.push_back(ShownCell());
      elapsed_ += kFrameTime;
    }
    return cells;
  }

  uint32_t elapsed_ = 0;
  ScopedFakeClock clock_;
  CTimerManager timers_;
  CImageLoaderManager host_;
  CImageLoaderManager* saved_host_ = nullptr;
  CImage strip_;
  CImage target_;
  RefPtr<CCellSheet> sheet_ = MakeRef<CCellSheet>();
};

// A back-and-forth run lasts 2 x cells - 1 frame times, so the first cell is shown twice where
// two runs meet.
struct RunCase {
  const char* name;
  uint8_t option;
  std::vector<int32_t> cells;
};

class PicturePartRunTest : public CellAnimationTest, public testing::WithParamInterface<RunCase> {};

TEST_P(PicturePartRunTest, ShowsTheCellsOfItsModeRunAfterRun) {
  AttachSheet(GetParam().option);
  auto part = std::make_unique<CPicturePart>();
  ASSERT_EQ(part->Setup(&timers_, sheet_.get(), nullptr, {}), 0);
  part.release();
  EXPECT_EQ(CellsOver(static_cast<int32_t>(GetParam().cells.size())), GetParam().cells);
}

INSTANTIATE_TEST_SUITE_P(Modes, PicturePartRunTest,
                         testing::Values(RunCase{"forward", 0, {0, 1, 2, 3, 0, 1, 2, 3, 0}},
                                         RunCase{"back_and_forth", 1, {0, 1, 2, 3, 2, 1, 0, 0, 1, 2, 3, 2, 1, 0}}),
                         [](const auto& test) { return std::string(test.param.name); });

// With a generator of the caller's (a fixed seed) or, without a random wait range, of its own.
TEST_F(CellAnimationTest, TheRandomModeNeverShowsACellTwiceInARow) {
  AttachSheet(2);
  CSubtractiveGenerator generator(4242);
  for (CSubtractiveGenerator* given : {&generator, static_cast<CSubtractiveGenerator*>(nullptr)}) {
    PicturePartSettings settings;
    settings.generator = given;
    auto part = std::make_unique<CPicturePart>();
    ASSERT_EQ(part->Setup(&timers_, sheet_.get(), nullptr, settings), 0);
    part.release();
    const std::vector<int32_t> cells = CellsOver(200);
    for (size_t i = 1; i < cells.size(); ++i) ASSERT_NE(cells[i], cells[i - 1]) << "at frame " << i;
    EXPECT_EQ(std::set<int32_t>(cells.begin(), cells.end()).size(), static_cast<size_t>(kCells));
    timers_.RemoveAll();
  }
}

TEST_F(CellAnimationTest, ACountedPartEndsOnTheRestFrameAndAWaitHoldsTheLastCell) {
  AttachSheet(0);
  PicturePartSettings settings;
  settings.repeats = 2;
  settings.wait = 2 * kFrameTime;
  auto part = std::make_unique<CPicturePart>();
  CPicturePart* running = part.get();
  running->SetOwnerReference(&running);
  ASSERT_EQ(part->Setup(&timers_, sheet_.get(), nullptr, settings), 0);
  part.release();
  // One run, the wait on the last cell, the second run, then the rest frame.
  EXPECT_EQ(CellsOver(10), std::vector<int32_t>({0, 1, 2, 3, 3, 3, 0, 1, 2, 3}));
  EXPECT_NE(running, nullptr);
  EXPECT_EQ(CellsOver(1).back(), 0) << "the rest frame";
  EXPECT_EQ(running, nullptr);
}

TEST_F(CellAnimationTest, ASheetReleasedUnderAPartEndsIt) {
  AttachSheet(0);
  auto part = std::make_unique<CPicturePart>();
  CPicturePart* running = part.get();
  running->SetOwnerReference(&running);
  ASSERT_EQ(part->Setup(&timers_, sheet_.get(), nullptr, {}), 0);
  part.release();
  EXPECT_EQ(CellsOver(2).back(), 1);
  sheet_->Release();
  CellsOver(1);
  EXPECT_EQ(running, nullptr);
}

class FakeVoice : public IVoiceLoudness {
 public:
  bool HoldsData() override { return holds_data; }
  bool IsPlaying() override { return playing; }
  int32_t LoudnessNow(int32_t steps) override { return loudness < steps ? loudness : steps - 1; }

  bool holds_data = true;
  bool playing = true;
  int32_t loudness = 0;
};

TEST_F(CellAnimationTest, LipSyncFollowsTheVoiceAndRestsWhenItStops) {
  AttachSheet(0);
  FakeVoice voice;
  {
    CLipSyncTask refused;
    voice.holds_data = false;
    EXPECT_EQ(refused.Setup(&timers_, sheet_.get(), &voice), CLipSyncTask::kBadArgument);
    voice.holds_data = true;
    voice.playing = false;
    EXPECT_EQ(refused.Setup(&timers_, sheet_.get(), &voice), CLipSyncTask::kNotPlaying);
    EXPECT_EQ(refused.Setup(&timers_, nullptr, &voice), CLipSyncTask::kBadArgument);
    voice.playing = true;
  }
  auto task = std::make_unique<CLipSyncTask>();
  CLipSyncTask* running = task.get();
  running->SetOwnerReference(&running);
  ASSERT_EQ(task->Setup(&timers_, sheet_.get(), &voice), 0);
  task.release();
  std::vector<int32_t> cells;
  for (const int32_t loudness : {2, 3, 1, 9}) {
    voice.loudness = loudness;
    cells.push_back(CellsOver(1).back());
  }
  EXPECT_EQ(cells, std::vector<int32_t>({2, 3, 1, 3}));
  voice.loudness = 2;
  voice.playing = false;
  EXPECT_EQ(CellsOver(1).back(), 0) << "the rest frame";
  EXPECT_EQ(running, nullptr);
}

}  // namespace

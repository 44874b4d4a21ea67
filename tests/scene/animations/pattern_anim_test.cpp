// Pattern animations against a fake clock: the frame each update shows, with and without
// catching up; what the end of a pattern does by repeats and chains; and a file that leaves its
// list while another animation still plays it.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "anim_file_writer.h"
#include "base/time/timer_manager.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/animations/pattern_anim_task.h"
#include "scene/animations/resource_list.h"
#include "scene/drawables/draw_layer.h"
#include "support/anim_test_pictures.h"
#include "support/data_files_fixture.h"
#include "support/fake_clock.h"
#include "support/scoped_pixel_library.h"

namespace {

using kvxtools::kEndOfEntry;
using kvxtools::PatternFrame;

constexpr uint32_t kWait = 100;

// Pattern 0: pictures 0, 1, 2, 3 at x = 10 x picture; pattern 1: picture 3 alone; pattern 2 empty.
kvxtools::DagFileSpec FourPictures() {
  kvxtools::DagFileSpec spec;
  spec.entry_count = 3;
  for (int16_t i = 0; i < 4; ++i) spec.frames.push_back(PatternFrame(i, kWait, static_cast<int16_t>(10 * i), 2));
  spec.frames.push_back(kEndOfEntry);
  spec.frames.push_back(PatternFrame(3, kWait));
  spec.frames.push_back(kEndOfEntry);
  spec.frames.push_back(kEndOfEntry);
  for (uint32_t i = 0; i < 4; ++i) spec.pictures.push_back({SolidElg(4, 4, CellColour(static_cast<int32_t>(i)))});
  return spec;
}

class PatternAnimTest : public test_support::DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    ASSERT_EQ(RegisterElgDecoder(host_), 0u);
    saved_host_ = g_GllHost;
    g_GllHost = &host_;
    ASSERT_EQ(file_->LoadFromMemory(kvxtools::WriteDag(FourPictures()), false), 0u);
  }
  void TearDown() override {
    g_GllHost = saved_host_;
    DataFilesTest::TearDown();
  }

  CPatternAnimTask* Start(const PatternAnimOptions& options, CDagFile* file = nullptr) {
    auto task = std::make_unique<CPatternAnimTask>();
    EXPECT_EQ(task->Start(&timers_, &layer_, file != nullptr ? file : file_.get(), options), 0u);
    CPatternAnimTask* started = task.release();
    timers_.Dispatch(0);
    return started;
  }
  // The picture the task shows `elapsed` ms after its first pass; -1 when it has ended.
  int32_t ShownAt(CPatternAnimTask*& task, uint32_t elapsed) {
    clock_.SetMilliseconds(1000 + elapsed);
    timers_.Dispatch(0);
    if (task == nullptr) return -1;
    for (uint32_t i = 0; i < file_->GetPictureCount(); ++i) {
      if (task->GetSprite().GetSourceImage() == file_->GetPicture(static_cast<int32_t>(i))) return static_cast<int32_t>(i);
    }
    return -2;
  }

  ScopedPixelLibrary library_;
  ScopedFakeClock clock_;
  CImageLoaderManager host_;
  CImageLoaderManager* saved_host_ = nullptr;
  CDrawLayer layer_;
  RefPtr<CDagFile> file_ = MakeRef<CDagFile>();
  // Ends first, deleting the animations (without writing to the tests' variables) while their
  // layer is still there.
  CTimerManager timers_;
};

struct PlayCase {
  const char* name;
  PatternAnimOptions options;
  std::vector<uint32_t> times;
  std::vector<int32_t> shown;
};

PatternAnimOptions Options(int32_t repeats, bool catch_up, bool finish_when_held = false) {
  PatternAnimOptions options;
  options.repeats = repeats;
  options.catch_up = catch_up;
  options.finish_when_held = finish_when_held;
  return options;
}

class PatternPlayTest : public PatternAnimTest, public testing::WithParamInterface<PlayCase> {};

TEST_P(PatternPlayTest, ShowsTheFramesTheOptionsAskFor) {
  CPatternAnimTask* task = Start(GetParam().options);
  task->SetOwnerReference(&task);
  std::vector<int32_t> shown;
  for (const uint32_t time : GetParam().times) shown.push_back(ShownAt(task, time));
  EXPECT_EQ(shown, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Options, PatternPlayTest,
    testing::Values(PlayCase{"forever", Options(-1, false), {100, 200, 300, 400, 500}, {1, 2, 3, 0, 1}},
                    // An update 350 ms late: one frame on without catching up, the due one with it.
                    PlayCase{"late", Options(-1, false), {350, 450}, {1, 2}},
                    PlayCase{"late_caught_up", Options(-1, true), {350, 450}, {3, 0}},
                    PlayCase{"caught_up_after_a_long_pause", Options(-1, true), {1250}, {0}},
                    PlayCase{"once_then_held", Options(0, true), {350, 400, 5000, 9000}, {3, 3, 3, 3}},
                    PlayCase{"held_then_finished", Options(0, true, true), {350, 400, 401}, {3, 3, -1}},
                    PlayCase{"two_runs", Options(2, true), {350, 450, 750, 800}, {3, 0, 3, -1}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(PatternAnimTest, AChainGoesOnWithTheNextPatternAndEndsWith2WhereThereIsNone) {
  PatternAnimOptions options;
  options.chain = true;
  options.catch_up = true;
  CPatternAnimTask* task = Start(options);
  task->SetOwnerReference(&task);
  EXPECT_EQ(ShownAt(task, 400), 3);
  EXPECT_EQ(task->GetPattern(), 1);
  EXPECT_EQ(task->GetCurrentFrame(), 5u);

  options.pattern = 1;
  CPatternAnimTask* last = Start(options);
  EXPECT_EQ(last->Update(1000 + 400 + kWait), CPatternAnimTask::kChainEnded) << "pattern 2 is empty";
  EXPECT_EQ(last->GetSprite().GetOwnerList(), nullptr) << "the sprite left the layer";
}

TEST_F(PatternAnimTest, AFileReleasedByOneAnimationStaysValidForAnotherThatPlaysIt) {
  const std::vector<uint8_t> bytes = kvxtools::WriteDag(FourPictures());
  game_.WriteFile("SHARED.DAG", std::string(bytes.begin(), bytes.end()));
  CDagFile* shared = nullptr;
  ASSERT_EQ(g_AnimFiles.Load(&shared, game_.EnginePath("SHARED.DAG").c_str(), false), 0u);
  PatternAnimOptions options;
  options.release = true;
  CPatternAnimTask* first = Start(options, shared);
  CPatternAnimTask* second = Start(options, shared);
  second->SetOwnerReference(&second);
  EXPECT_EQ(shared->GetRefCount(), 2u) << "the list and both animations hold it";

  ASSERT_TRUE(timers_.Remove(first));
  timers_.Dispatch(0);
  EXPECT_FALSE(g_AnimFiles.Contains(shared)) << "the release took it out of the list";
  EXPECT_EQ(shared->GetRefCount(), 0u) << "the second animation holds it alone";
  EXPECT_EQ(g_AnimFiles.Release(shared), CResourceList::kUnknownHandle);

  clock_.SetMilliseconds(1000 + 150);
  timers_.Dispatch(0);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->GetSprite().GetSourceImage(), shared->GetPicture(1));
}

}  // namespace

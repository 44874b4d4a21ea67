// Built-in 539: a lip-sync task over a cell sheet and a script's static sound buffer, which it
// reads only while the buffer lives: a buffer the script destroys ends the task.
#include "builtins/cell_sheet_builtins.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builtins/script_task.h"
#include "gfx/images/image.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/animations/resource_list.h"
#include "sound_builtins_fixture.h"
#include "support/anim_test_pictures.h"
#include "support/fake_clock.h"

namespace {

class LipSyncBuiltinTest : public sound_builtins_test::SoundBuiltinsTest {
 protected:
  void SetUp() override {
    SoundBuiltinsTest::SetUp();
    ASSERT_EQ(RegisterElgDecoder(pictures_), 0u);
    g_GllHost = &pictures_;
    g_PausableTimerManager = &parts_;
    const std::vector<std::uint8_t> strip = CellStripElg(4, 8, 6);
    game_.WriteFile("ANIM/MOUTH.ELG", std::string(strip.begin(), strip.end()));
    ASSERT_EQ(target_.Create(20, 10, 32, 0), 0u);
    sheet_ = Call(532, {Text("ANIM\\MOUTH.ELG"), 4, 50, 0, target_.ScriptHandle(handles_), 0, 0, 0, 0, 65535});
    ASSERT_NE(sheet_, 0u);
  }
  void TearDown() override {
    parts_.RemoveAll();
    g_CellSheets.ReleaseAll();
    g_PausableTimerManager = nullptr;
    g_GllHost = nullptr;
    SoundBuiltinsTest::TearDown();
  }

  ScopedFakeClock clock_;
  CImageLoaderManager pictures_;
  CTimerManager parts_;
  CImage target_;
  std::uint32_t sheet_ = 0;
};

TEST_F(LipSyncBuiltinTest, TheTaskFollowsAPlayingStaticBufferAndEndsWithIt) {
  const std::uint32_t stream = Call(605, {Text("BGM\\OLD.PCM")});
  const std::uint32_t sound = Call(603, {Text("SE\\HIT.PCM"), 0});
  ASSERT_NE(stream, 0u);
  ASSERT_NE(sound, 0u);
  EXPECT_EQ(Call(539, {sheet_, stream}), 0u) << "a stream is refused";
  EXPECT_EQ(Call(539, {sheet_, sound}), 0u) << "not playing";
  EXPECT_EQ(Call(539, {0, sound}), 0u);
  ASSERT_EQ(Call(608, {sound}), 0u);
  const std::uint32_t task = Call(539, {sheet_, sound});
  ASSERT_NE(task, 0u);
  EXPECT_EQ(TaskOfHandle(handles_, task)->GetTypeId(), kTimedTaskLipSync);
  parts_.Dispatch(0);
  EXPECT_NE(TaskOfHandle(handles_, task), nullptr);

  // The script destroys the buffer under the running task.
  EXPECT_EQ(Call(607, {Cell(sound)}), 0u);
  clock_.SetMilliseconds(clock_.PreciseMilliseconds() + 100);
  parts_.Dispatch(0);
  EXPECT_EQ(TaskOfHandle(handles_, task), nullptr);
  EXPECT_EQ(static_cast<std::uint32_t>(target_.GetPixel(1, 1)) & 0xFFFFFF, CellColour(0)) << "the rest frame";
}

}  // namespace

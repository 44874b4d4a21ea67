// A mouth that follows a character's voice played through the sound channels: the voice of a
// listed character keeps its loudness envelope, and the lip-sync task shows the cell of the
// loudness at the play position.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/sound/audio_device.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/animations/cell_sheet.h"
#include "scene/animations/lip_sync_task.h"
#include "scene/animations/voice_loudness.h"
#include "sound/voice_table.h"
#include "support/anim_test_pictures.h"
#include "support/sound_channels_fixture.h"
#include "support/voiced_channels.h"

namespace {

constexpr int32_t kCells = 4;
constexpr int32_t kFrameTime = 100;
constexpr uint32_t kQuietFrames = 3200;  // one sample per output frame

class LipSyncVoiceTest : public test_support::SoundChannelsTest {
 protected:
  void SetUp() override {
    SoundChannelsTest::SetUp();
    channels_ = std::make_unique<test_support::VoicedChannels>();
    channels_->SetTaskManager(&timer_);
    ASSERT_EQ(RegisterElgDecoder(pictures_), 0u);
    g_GllHost = &pictures_;
    const std::vector<uint8_t> elg = CellStripElg(kCells, 8, 6);
    ASSERT_EQ(strip_.LoadFile32(nullptr, elg.data(), static_cast<uint32_t>(elg.size()), 0), 0u);
    ASSERT_EQ(target_.Create(20, 10, 32, 0), 0u);
    CellSheetSetup setup;
    setup.cell_count = kCells;
    setup.frame_time = kFrameTime;
    setup.target = &target_;
    ASSERT_EQ(sheet_->Attach(&strip_, setup), 0u);
  }
  void TearDown() override {
    g_GllHost = saved_pictures_;
    SoundChannelsTest::TearDown();
  }
  int32_t ShownCell() const {
    const uint32_t pixel = target_.GetPixel(1, 1) & 0xFFFFFF;
    for (int32_t cell = 0; cell < kCells; ++cell) {
      if (CellColour(cell) == pixel) return cell;
    }
    return -1;
  }

  CImageLoaderManager pictures_;
  CImageLoaderManager* saved_pictures_ = g_GllHost;
  CImage strip_;
  CImage target_;
  RefPtr<CCellSheet> sheet_ = MakeRef<CCellSheet>();
};

TEST_F(LipSyncVoiceTest, TheMouthFollowsTheLoudnessOfAListedCharactersVoice) {
  // 8-bit samples: silence, then a loud swing, then silence again.
  std::vector<uint8_t> pcm(kQuietFrames, 128);
  for (uint32_t i = 0; i < kQuietFrames; ++i) pcm.push_back(i % 2 == 0 ? 228 : 28);
  pcm.insert(pcm.end(), kQuietFrames, 128);
  game_.WriteFile("VOICE/V01.PCM", test_support::MakeFakePcmFile({8, 1, plat::AudioDevice::kDefaultRate, pcm}));
  ASSERT_EQ(channels_->SetChannelCount(1), 0u);
  ASSERT_EQ(channels_->SetChannelClass(0, CSoundChannelManager::kVoiceClass), 0u);
  const int32_t listed[] = {0};
  ASSERT_EQ(channels_->PlayCharacterVoice(0, "V01", 1, listed), 0);
  ASSERT_EQ(channels_->PlayChannel(0, false), 0);
  CStaticSoundLoudness voice(channels_->GetChannel(0)->buffer);
  auto task = std::make_unique<CLipSyncTask>();
  ASSERT_EQ(task->Setup(&timer_, sheet_.get(), &voice), 0);
  task.release();

  std::vector<int32_t> cells;
  for (const uint32_t frames : {100u, kQuietFrames, kQuietFrames}) {
    std::vector<int16_t> mix(2 * frames);
    sound_.backend.last_device->Mix(mix.data(), frames);
    Tick(kFrameTime);
    cells.push_back(ShownCell());
  }
  EXPECT_EQ(cells, (std::vector<int32_t>{0, kCells - 1, 0}));
}

}  // namespace

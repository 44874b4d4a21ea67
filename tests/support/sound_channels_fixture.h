// A channel manager over fake sound devices, with a fake clock and its own timer manager, and
// sounds of a tenth of a second to a second in the fake PCM format.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sound/sound_channel_manager.h"
#include "support/data_files_fixture.h"
#include "support/fake_clock.h"
#include "support/fake_sound_system.h"

namespace test_support {

class SoundChannelsTest : public DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    for (const char* name : {"BGM/OLD.PCM", "BGM/NEW.PCM", "BGM/INTRO.PCM", "VOICE/A01.PCM", "SE/HIT.PCM"}) {
      game_.WriteFile(name, MakeFakePcmFile({16, 1, 22050, std::vector<uint8_t>(44100, 1)}));
    }
    channels_ = std::make_unique<CSoundChannelManager>();
    channels_->SetTaskManager(&timer_);
  }
  void TearDown() override {
    channels_.reset();
    DataFilesTest::TearDown();
  }

  // Moves the clock on and runs the due tasks.
  void Tick(uint32_t milliseconds) {
    clock_.Advance(milliseconds);
    timer_.Dispatch(0);
  }
  BgmSlot& Bgm() { return channels_->CurrentBgm(); }
  std::string BgmFile() { return Bgm().file.value_or("(none)"); }

  FakeSoundSystem sound_;
  ScopedFakeClock clock_;
  CTimerManager timer_;
  std::unique_ptr<CSoundChannelManager> channels_;
};

}  // namespace test_support

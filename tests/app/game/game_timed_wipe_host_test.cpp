// The game's device initialisation publishes its timed-wipe owner on the second timer manager,
// and the game's end takes it back.
#include <gtest/gtest.h>

#include "app/game/game_app.h"
#include "effects/patterns/timed_wipe_host.h"
#include "support/fake_audio_backend.h"
#include "support/single_thread_game.h"

namespace {

using test_support::SingleThreadGame;

TEST(GameTimedWipeHostTest, DeviceInitialisationPublishesTheWipeOwnerOnThePausableManager) {
  FakeAudioBackend backend;
  {
    SingleThreadGame game;
    EXPECT_EQ(g_TimedWipeHost, nullptr);
    ASSERT_EQ(game.InitDevices(), 0);
    ASSERT_NE(g_TimedWipeHost, nullptr);
    EXPECT_EQ(g_TimedWipeHost->GetTimerManager(), &game.GetPausableTimerManager());
    EXPECT_EQ(g_TimedWipeHost->GetTimerManager(), g_PausableTimerManager);
  }
  EXPECT_EQ(g_TimedWipeHost, nullptr);
}

}  // namespace

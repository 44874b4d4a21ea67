// The game binds its pixel-routine library at device initialisation and unbinds it when it ends.
#include <gtest/gtest.h>

#include "app/game/game_app.h"
#include "support/single_thread_game.h"
#include "gfx/images/pixel_library.h"
#include "support/fake_audio_backend.h"

namespace {

using test_support::SingleThreadGame;

TEST(GamePixelLibraryTest, DeviceInitialisationBindsTheLibraryUntilTheGameEnds) {
  FakeAudioBackend backend;
  {
    SingleThreadGame game;
    EXPECT_EQ(g_PixelLib, nullptr);
    ASSERT_EQ(game.InitDevices(), 0);
    ASSERT_NE(g_PixelLib, nullptr);
    EXPECT_EQ(ActivePixelLib(), g_PixelLib);
    EXPECT_NE(g_PixelLib->Routines().blend, nullptr);
  }
  EXPECT_EQ(g_PixelLib, nullptr);
}

}  // namespace

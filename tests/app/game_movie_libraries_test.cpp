// The game loads its movie library at device initialisation when switch 7 is on, publishes it
// with its data-file layer, and at the program's end deletes the movie players before it frees
// the library.
#include <gtest/gtest.h>

#include "app/game_app.h"
#include "support/single_thread_game.h"
#include "scene/dshow_library.h"
#include "scene/movie_players.h"
#include "support/fake_audio_backend.h"

namespace {

using test_support::SingleThreadGame;

TEST(GameMovieLibrariesTest, WithoutADisplayCanvasThePrimitiveLibraryIsPublishedUntilTheGameEnds) {
  FakeAudioBackend backend;
  {
    SingleThreadGame game;
    ASSERT_EQ(game.InitDevices(), 0);
    ASSERT_NE(g_DShowPrimLib, nullptr);
    EXPECT_TRUE(g_DShowPrimLib->IsLoaded());
    EXPECT_EQ(g_DShowSpriteLib, nullptr);
    EXPECT_NE(g_DShowDataFiles, nullptr);
    g_MovieSprite = std::make_unique<CDShowSprite>();
  }
  EXPECT_EQ(g_DShowPrimLib, nullptr);
  EXPECT_EQ(g_DShowDataFiles, nullptr);
  EXPECT_EQ(g_MovieSprite, nullptr) << "the players go with the game";
}

TEST(GameMovieLibrariesTest, SwitchSevenOffLoadsNoLibrary) {
  FakeAudioBackend backend;
  SingleThreadGame game;
  game.GetGameSwitches()[kSwitchMovieLibraries] = 0;
  ASSERT_EQ(game.InitDevices(), 0);
  EXPECT_EQ(g_DShowPrimLib, nullptr);
  EXPECT_EQ(g_DShowSpriteLib, nullptr);
}

TEST(GameMovieLibrariesTest, TheFirstExitHookDeletesTheMoviePlayers) {
  FakeAudioBackend backend;
  SingleThreadGame game;
  g_MoviePrim = std::make_unique<CDShowPrim>();
  g_MovieSprite = std::make_unique<CDShowSprite>();
  game.OnExitBegin(0);
  EXPECT_EQ(g_MoviePrim, nullptr);
  EXPECT_EQ(g_MovieSprite, nullptr);
}

}  // namespace

// The game loads its movie libraries at device initialisation when switch 7 is on, publishes
// them with its data-file layer (the window movie library also with the screen), lets the
// window movie read its events on the movie notification, deletes the movie players before its
// window goes, and at the program's end before it frees the libraries.
#include <gtest/gtest.h>

#include <deque>

#include "app/game/game_app.h"
#include "support/single_thread_game.h"
#include "scene/movies/dshow_library.h"
#include "scene/movies/movie_players.h"
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
    ASSERT_NE(g_DShowMovieLib, nullptr) << "the window movie library is loaded in either case";
    EXPECT_TRUE(g_DShowMovieLib->IsLoaded());
    EXPECT_EQ(g_DShowScreen, &game.GetScreenManager());
    g_MovieSprite = std::make_unique<CDShowSprite>();
    g_Movie = std::make_unique<CDShowMovie>();
  }
  EXPECT_EQ(g_DShowPrimLib, nullptr);
  EXPECT_EQ(g_DShowMovieLib, nullptr);
  EXPECT_EQ(g_DShowScreen, nullptr);
  EXPECT_EQ(g_DShowDataFiles, nullptr);
  EXPECT_EQ(g_MovieSprite, nullptr) << "the players go with the game";
  EXPECT_EQ(g_Movie, nullptr);
}

TEST(GameMovieLibrariesTest, SwitchSevenOffLoadsNoLibrary) {
  FakeAudioBackend backend;
  SingleThreadGame game;
  game.GetGameSwitches()[kSwitchMovieLibraries] = 0;
  ASSERT_EQ(game.InitDevices(), 0);
  EXPECT_EQ(g_DShowPrimLib, nullptr);
  EXPECT_EQ(g_DShowSpriteLib, nullptr);
  EXPECT_EQ(g_DShowMovieLib, nullptr);
}

// A movie object holding queued events, as the library queues them from its thread, that counts
// the display changes it is told of and whether the lock it expects was held then.
struct FakeMovieObject {
  KvxMovieObject base;
  std::deque<int32_t> events;
  int releases = 0;
  const CCriticalSection* expected_lock = nullptr;
  int display_changes = 0;
  int display_changes_locked = 0;
};

FakeMovieObject& Fake(KvxMovieObject* self) { return *reinterpret_cast<FakeMovieObject*>(self); }

constexpr KvxMovieObjectFunctions kFakeFunctions = [] {
  KvxMovieObjectFunctions functions{};
  functions.release = [](KvxMovieObject* self) { ++Fake(self).releases; };
  functions.next_event = [](KvxMovieObject* self, int32_t* code, int64_t* first, int64_t* second) {
    std::deque<int32_t>& events = Fake(self).events;
    if (events.empty()) return 1;
    *code = events.front();
    *first = *second = 0;
    events.pop_front();
    return 0;
  };
  functions.display_changed = [](KvxMovieObject* self) {
    FakeMovieObject& fake = Fake(self);
    ++fake.display_changes;
    if (fake.expected_lock != nullptr && fake.expected_lock->IsOwnedByCurrentThread()) ++fake.display_changes_locked;
    return 0;
  };
  return functions;
}();

TEST(GameMovieLibrariesTest, TheMovieNotificationReadsEachPendingEventOnce) {
  FakeAudioBackend backend;
  SingleThreadGame game;
  MessageBlock block;
  EXPECT_EQ(game.OnMovieNotify(block), 0) << "no movie: nothing to read";
  FakeMovieObject fake{{&kFakeFunctions}, {KVX_MOVIE_EVENT_COMPLETE, 7}};
  g_Movie = std::make_unique<CDShowMovie>();
  *g_Movie->Place() = &fake.base;
  EXPECT_EQ(game.OnMovieNotify(block), 0);
  EXPECT_TRUE(fake.events.empty());
  EXPECT_EQ(g_Movie->GetEndEvents(), 1);
  fake.events.push_back(KVX_MOVIE_EVENT_COMPLETE);
  EXPECT_EQ(game.OnMovieNotify(block), 0);
  EXPECT_EQ(g_Movie->GetEndEvents(), 2);
  EXPECT_EQ(game.OnMovieNotify(block), 0);
  EXPECT_EQ(g_Movie->GetEndEvents(), 2) << "an event read is not read again";
  g_Movie.reset();
  EXPECT_EQ(fake.releases, 1);
}

TEST(GameMovieLibrariesTest, ADisplayChangeReachesTheWindowMovieUnderTheApplicationLockThenTheFramework) {
  FakeAudioBackend backend;
  SingleThreadGame game;
  MessageBlock block;
  block.wparam = 32;
  block.lparam = plat::MakeLParam(1920, 1080);
  FakeMovieObject fake{{&kFakeFunctions}, {}};
  fake.expected_lock = &game.GetAppLock();
  g_Movie = std::make_unique<CDShowMovie>();
  *g_Movie->Place() = &fake.base;
  ASSERT_EQ(game.GetMonitorList(), nullptr);
  EXPECT_EQ(game.OnDisplayChange(block), 0);
  EXPECT_EQ(fake.display_changes, 1);
  EXPECT_EQ(fake.display_changes_locked, 1);
  EXPECT_NE(game.GetMonitorList(), nullptr) << "the framework listed the displays again";
  g_Movie.reset();
  EXPECT_EQ(game.OnDisplayChange(block), 0) << "without a movie only the framework's handler runs";
}

TEST(GameMovieLibrariesTest, TheFirstExitHookDeletesTheMoviePlayers) {
  FakeAudioBackend backend;
  SingleThreadGame game;
  g_MoviePrim = std::make_unique<CDShowPrim>();
  g_MovieSprite = std::make_unique<CDShowSprite>();
  g_Movie = std::make_unique<CDShowMovie>();
  game.OnExitBegin(0);
  EXPECT_EQ(g_MoviePrim, nullptr);
  EXPECT_EQ(g_MovieSprite, nullptr);
  EXPECT_EQ(g_Movie, nullptr);
}

// Their threads paint into the window or into surfaces that go with it: the window's end
// (WM_DESTROY comes before it goes) ends them first.
TEST(GameMovieLibrariesTest, TheWindowsEndDeletesTheMoviePlayersBeforeTheWindowGoes) {
  FakeAudioBackend backend;
  SingleThreadGame game;
  g_MoviePrim = std::make_unique<CDShowPrim>();
  g_MovieSprite = std::make_unique<CDShowSprite>();
  g_Movie = std::make_unique<CDShowMovie>();
  MessageBlock block;
  EXPECT_EQ(game.OnDestroy(block), 0);
  EXPECT_EQ(g_MoviePrim, nullptr);
  EXPECT_EQ(g_MovieSprite, nullptr);
  EXPECT_EQ(g_Movie, nullptr);
}

TEST(GameMovieLibrariesTest, LeavingTheFullScreenDeletesOnlyTheWindowMovie) {
  FakeAudioBackend backend;
  SingleThreadGame game;
  g_MovieSprite = std::make_unique<CDShowSprite>();
  g_Movie = std::make_unique<CDShowMovie>();
  game.OnDeactivateFullScreen();
  EXPECT_EQ(g_Movie, nullptr);
  EXPECT_NE(g_MovieSprite, nullptr);
  DeleteMoviePlayers();
}

}  // namespace

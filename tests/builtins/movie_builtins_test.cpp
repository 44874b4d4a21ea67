// Built-ins 632 to 651 over stand-in movie objects placed in real players: the order of
// preference, the results without a player, the unit and rate conversions, the movie state byte
// of the window movie and the looping of each player at its end.
#include "builtins/movie_builtins.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "builtin_call.h"
#include "scene/movies/movie_players.h"
#include "support/fake_app_services.h"
#include "support/log_capture.h"

namespace {

// What a stand-in movie object was asked, and what it answers.
struct PlayerRecord {
  std::vector<std::string> calls;
  int32_t status = 0;
  int32_t state = -1;  // -1: the state query writes nothing
  int64_t position = 0;
  int64_t duration = 0;
  int64_t seek = 0;
  double rate = 0;
  double rate2 = 0;
  int32_t rect[4]{};
  int32_t ended = 0;                 // what the end query answers
  std::deque<int32_t> events;        // the window movie's queued event codes
  std::vector<int32_t> visibility;   // what the window movie was told to show
  bool released = false;
};

template <typename Object>
struct StandIn {
  Object object;  // first: the library's functions receive its address
  PlayerRecord record;
};

template <typename Object>
PlayerRecord& RecordOf(Object* self) {
  return reinterpret_cast<StandIn<Object>*>(self)->record;
}

template <typename Object>
int32_t Note(Object* self, const char* call) {
  RecordOf(self).calls.emplace_back(call);
  return RecordOf(self).status;
}

template <typename Object>
int32_t WriteState(Object* self, int32_t* state) {
  if (RecordOf(self).state >= 0) *state = RecordOf(self).state;
  return Note(self, "state");
}

// The operations both kinds of movie object have, at their own places in each table.
template <typename Self, typename Functions>
Functions SharedFunctions() {
  Functions f{};
  f.release = [](Self* self) { RecordOf(self).released = true; };
  f.play = [](Self* self) { return Note(self, "play"); };
  f.pause = [](Self* self) { return Note(self, "pause"); };
  f.restart = [](Self* self) { return Note(self, "restart"); };
  f.stop = [](Self* self) { return Note(self, "stop"); };
  f.get_position = [](Self* self, int64_t* units) {
    *units = RecordOf(self).position;
    return Note(self, "position");
  };
  f.seek = [](Self* self, int64_t units) {
    RecordOf(self).seek = units;
    return Note(self, "seek");
  };
  f.get_duration = [](Self* self, int64_t* units) {
    *units = RecordOf(self).duration;
    return Note(self, "duration");
  };
  f.get_state = WriteState<Self>;
  f.set_volume = [](Self* self, int32_t) { return Note(self, "volume"); };
  f.set_rate = [](Self* self, double rate) {
    RecordOf(self).rate = rate;
    return Note(self, "rate");
  };
  f.set_rate2 = [](Self* self, double rate) {
    RecordOf(self).rate2 = rate;
    return Note(self, "rate2");
  };
  return f;
}

const KvxMovieControlFunctions kControlFunctions = [] {
  auto f = SharedFunctions<KvxMovieControl, KvxMovieControlFunctions>();
  f.get_width = [](KvxMovieControl*) { return 64; };
  f.get_height = [](KvxMovieControl*) { return 48; };
  f.current_buffer = [](KvxMovieControl*) { return -1; };
  f.is_ended = [](KvxMovieControl* self) { return RecordOf(self).ended; };
  return f;
}();

const KvxMovieObjectFunctions kMovieFunctions = [] {
  auto f = SharedFunctions<KvxMovieObject, KvxMovieObjectFunctions>();
  f.set_display_rect = [](KvxMovieObject* self, const int32_t* rect) {
    std::copy(rect, rect + 4, RecordOf(self).rect);
    return Note(self, "rect");
  };
  f.set_visible = [](KvxMovieObject* self, int32_t visible) {
    RecordOf(self).visibility.push_back(visible);
    return RecordOf(self).status;
  };
  f.is_ended = [](KvxMovieObject* self) {
    Note(self, "ended");
    return RecordOf(self).ended;
  };
  f.next_event = [](KvxMovieObject* self, int32_t* code, int64_t*, int64_t*) {
    std::deque<int32_t>& events = RecordOf(self).events;
    if (events.empty()) return 1;
    *code = events.front();
    events.pop_front();
    return 0;
  };
  f.draws_into_window = [](KvxMovieObject*) { return 0; };
  return f;
}();

class MovieBuiltinsTest : public testing::Test, public builtin_test::BuiltinCaller {
 protected:
  void TearDown() override { DeleteMoviePlayers(); }

  // The players own their objects until they are deleted; the stand-ins outlive them.
  PlayerRecord& OpenPrim() {
    g_MoviePrim = std::make_unique<CDShowPrim>();
    *g_MoviePrim->Control().Place() = &prim_.object;
    return prim_.record;
  }
  PlayerRecord& OpenSprite() {
    g_MovieSprite = std::make_unique<CDShowSprite>();
    *g_MovieSprite->Control().Place() = &sprite_.object;
    return sprite_.record;
  }
  PlayerRecord& OpenWindowMovie() {
    g_Movie = std::make_unique<CDShowMovie>();
    *g_Movie->Place() = &movie_.object;
    return movie_.record;
  }
  std::uint32_t Call(std::uint32_t id, std::initializer_list<std::uint32_t> words = {}) {
    return BuiltinCaller::Call(id, words);
  }

  test_support::FakeAppServices app_;
  StandIn<KvxMovieControl> prim_{{&kControlFunctions}, {}};
  StandIn<KvxMovieControl> sprite_{{&kControlFunctions}, {}};
  StandIn<KvxMovieObject> movie_{{&kMovieFunctions}, {}};
};

constexpr std::uint32_t kNone = 0xFFFFFFFF;

TEST_F(MovieBuiltinsTest, WithoutAPlayerControlsAnswerMinusOneAndQueriesZero) {
  struct Row {
    std::uint32_t id;
    std::uint32_t expected;
  };
  for (const Row row : {Row{635, kNone}, {636, kNone}, {637, kNone}, {638, kNone}, {639, kNone}, {643, kNone},
                        {646, kNone}, {649, kNone}, {650, kNone}, {640, 0}, {641, 0}, {642, 0}, {644, 0},
                        {645, 0}, {633, 0}, {634, 0}, {647, 2}, {648, 2}}) {
    EXPECT_EQ(Call(row.id, {10, 20, 30, 40}), row.expected) << "id " << row.id;
  }
  EXPECT_EQ(app_.movie_state, 0);
}

TEST_F(MovieBuiltinsTest, ThePrimComesFirstAndTheWindowMovieIsLeftAlone) {
  PlayerRecord& prim = OpenPrim();
  PlayerRecord& movie = OpenWindowMovie();
  prim.status = 7;
  for (const std::uint32_t id : {635u, 636u, 637u, 638u, 643u, 649u, 650u}) {
    EXPECT_EQ(Call(id, {0x10000}), 7u) << "id " << id;
  }
  Call(640);
  Call(644);
  Call(645);
  Call(646, {128});
  EXPECT_EQ(Call(639, {1, 2, 3, 4}), 0u);
  EXPECT_EQ(prim.calls, (std::vector<std::string>{"play", "stop", "pause", "restart", "seek", "rate", "rate2",
                                                  "position", "duration", "state", "volume"}));
  EXPECT_TRUE(movie.calls.empty());
  EXPECT_EQ(app_.movie_state, 0);
}

TEST_F(MovieBuiltinsTest, TheSpriteComesBeforeTheWindowMovie) {
  PlayerRecord& sprite = OpenSprite();
  PlayerRecord& movie = OpenWindowMovie();
  sprite.state = 1;
  EXPECT_EQ(Call(635), 0u);
  EXPECT_TRUE(g_MovieSprite->IsEnabled());
  EXPECT_EQ(Call(645), 1u);
  EXPECT_EQ(Call(636), 0u);
  EXPECT_FALSE(g_MovieSprite->IsEnabled());
  EXPECT_EQ(sprite.calls, (std::vector<std::string>{"play", "state", "stop"}));
  EXPECT_TRUE(movie.calls.empty());
}

TEST_F(MovieBuiltinsTest, PlayShowsThePrimAndStopHidesIt) {
  OpenPrim();
  g_MoviePrim->SetEnabled(0);
  Call(638);
  EXPECT_EQ(g_MoviePrim->IsEnabled(), 1);
  Call(636);
  EXPECT_EQ(g_MoviePrim->IsEnabled(), 0);
  Call(635);
  EXPECT_EQ(g_MoviePrim->IsEnabled(), 1);
  Call(637);
  EXPECT_EQ(g_MoviePrim->IsEnabled(), 1) << "pausing leaves it shown";
}

TEST_F(MovieBuiltinsTest, TheStateIsThreeWhenThePlayerWritesNone) {
  OpenPrim();
  EXPECT_EQ(Call(645), 3u);
  DeleteMoviePlayers();
  PlayerRecord& movie = OpenWindowMovie();
  EXPECT_EQ(Call(645), 3u);
  movie.state = 0;
  EXPECT_EQ(Call(645), 0u);
}

TEST_F(MovieBuiltinsTest, RatesAreSixteenDotSixteen) {
  PlayerRecord& prim = OpenPrim();
  Call(649, {0x18000});
  EXPECT_EQ(prim.rate, 1.5);
  Call(650, {0xFFFF0000});
  EXPECT_EQ(prim.rate2, 65535.0);
  Call(649, {0xFFFF0000});
  EXPECT_EQ(prim.rate, -1.0) << "id 649 reads its word as signed";
  DeleteMoviePlayers();
  PlayerRecord& movie = OpenWindowMovie();
  Call(649, {0x8000});
  Call(650, {0x20000});
  EXPECT_EQ(movie.rate, 0.5);
  EXPECT_EQ(movie.rate2, 2.0);
}

TEST_F(MovieBuiltinsTest, TimesAreMillisecondsBothWays) {
  PlayerRecord& prim = OpenPrim();
  prim.position = 25'009'999;
  prim.duration = -15'000;
  EXPECT_EQ(Call(640), 2500u);
  EXPECT_EQ(static_cast<int32_t>(Call(644)), -1) << "signed division toward zero";
  Call(643, {static_cast<std::uint32_t>(-5)});
  EXPECT_EQ(prim.seek, -50'000);
  Call(643, {0x7FFFFFFF});
  EXPECT_EQ(prim.seek, int64_t{0x7FFFFFFF} * 10'000) << "no 32-bit overflow";
  DeleteMoviePlayers();
  PlayerRecord& movie = OpenWindowMovie();
  movie.duration = 30'000'000;
  EXPECT_EQ(Call(644), 3000u);
  Call(643, {1234});
  EXPECT_EQ(movie.seek, 12'340'000);
}

TEST_F(MovieBuiltinsTest, TheWindowMovieStateByteFollowsSuccessfulStartsAndStops) {
  PlayerRecord& movie = OpenWindowMovie();
  movie.state = 2;
  EXPECT_EQ(Call(635), 0u);
  EXPECT_EQ(app_.movie_state, 3);
  movie.status = 5;
  EXPECT_EQ(Call(636), 5u);
  EXPECT_EQ(app_.movie_state, 3) << "a failed stop keeps the byte";
  movie.status = 0;
  EXPECT_EQ(Call(636), 0u);
  EXPECT_EQ(app_.movie_state, 0);
  movie.state = 1;
  EXPECT_EQ(Call(638), 0u);
  EXPECT_EQ(app_.movie_state, 2);
  movie.status = 4;
  app_.movie_state = 0;
  EXPECT_EQ(Call(635), 4u);
  EXPECT_EQ(app_.movie_state, 0) << "a failed start leaves the byte";
  EXPECT_EQ(Call(637), 4u);
  EXPECT_EQ(movie.calls.back(), "pause");
}

TEST_F(MovieBuiltinsTest, TheRectangleGoesToEachPlayerInItsForm) {
  OpenPrim();
  EXPECT_EQ(Call(639, {10, 20, 74, 68}), 0u);
  EXPECT_EQ(g_MoviePrim->GetX(), 10);
  EXPECT_EQ(g_MoviePrim->GetY(), 20);
  DeleteMoviePlayers();
  PlayerRecord& movie = OpenWindowMovie();
  movie.status = 9;
  EXPECT_EQ(Call(639, {10, 20, 74, 68}), 9u);
  EXPECT_EQ(std::vector<int32_t>(movie.rect, movie.rect + 4), (std::vector<int32_t>{10, 20, 74, 68}));
}

TEST_F(MovieBuiltinsTest, CloseDeletesEveryPlayerAndClearsTheStateByte) {
  PlayerRecord& prim = OpenPrim();
  PlayerRecord& sprite = OpenSprite();
  PlayerRecord& movie = OpenWindowMovie();
  app_.movie_state = 3;
  EXPECT_EQ(Call(633), 0u);
  EXPECT_EQ(g_MoviePrim, nullptr);
  EXPECT_EQ(g_MovieSprite, nullptr);
  EXPECT_EQ(g_Movie, nullptr);
  EXPECT_TRUE(prim.released && sprite.released && movie.released);
  EXPECT_EQ(app_.movie_state, 0);
  EXPECT_EQ(Call(635), kNone);
}

TEST_F(MovieBuiltinsTest, TheWindowMovieIsUsedUnderTheMovieLock) {
  PlayerRecord& movie = OpenWindowMovie();
  static CCriticalSection* lock = nullptr;
  static bool held = false;
  lock = &app_.movie_lock;
  KvxMovieObjectFunctions checking = kMovieFunctions;
  checking.pause = [](KvxMovieObject*) {
    held = lock->IsOwnedByCurrentThread();
    return 0;
  };
  checking.is_ended = [](KvxMovieObject*) {
    held = lock->IsOwnedByCurrentThread();
    return 0;
  };
  checking.set_visible = [](KvxMovieObject*, int32_t) {
    held = lock->IsOwnedByCurrentThread();
    return 0;
  };
  movie_.object.functions = &checking;
  for (const std::uint32_t id : {637u, 647u, 648u}) {
    held = false;
    Call(id, {1});
    EXPECT_TRUE(held) << "id " << id;
  }
  EXPECT_FALSE(app_.movie_lock.IsOwnedByCurrentThread());
  DeleteMoviePlayers();
  EXPECT_TRUE(movie.released);
}

// Without movie libraries every open fails with status 1 and leaves the unopened player.
TEST_F(MovieBuiltinsTest, OpeningReplacesAndClosesThePlayerItWouldOverwrite) {
  PlayerRecord& first = OpenPrim();
  EXPECT_EQ(Call(632, {Text("CLIP.AVI"), 0, 0}), 1u);
  EXPECT_TRUE(first.released);
  ASSERT_NE(g_MoviePrim, nullptr);
  EXPECT_EQ(g_MovieSprite, nullptr);
  EXPECT_EQ(g_Movie, nullptr);

  PlayerRecord& movie = OpenWindowMovie();
  app_.movie_state = 3;
  EXPECT_EQ(Call(632, {Text("CLIP.AVI"), 1}), 1u);
  EXPECT_TRUE(movie.released);
  ASSERT_NE(g_Movie, nullptr);
  EXPECT_FALSE(g_Movie->IsOpen());
  EXPECT_EQ(app_.movie_state, 0) << "the replaced window movie no longer plays";
  EXPECT_EQ(Call(633), 0u);
  EXPECT_EQ(g_MoviePrim, nullptr);
  EXPECT_EQ(g_Movie, nullptr);
}

TEST_F(MovieBuiltinsTest, TheMovieSpriteSwitchChoosesTheEmbeddedPlayer) {
  app_.movie_sprite = true;
  PlayerRecord& first = OpenSprite();
  EXPECT_EQ(Call(632, {Text("CLIP.AVI"), 0, 5}), 1u);
  EXPECT_TRUE(first.released);
  EXPECT_NE(g_MovieSprite, nullptr);
  EXPECT_EQ(g_MoviePrim, nullptr);
  DeleteMoviePlayers();
  app_.movie_sprite = false;
  EXPECT_EQ(Call(632, {Text("CLIP.AVI"), 0, 5}), 1u);
  EXPECT_NE(g_MoviePrim, nullptr);
  EXPECT_EQ(g_MovieSprite, nullptr);
}

TEST_F(MovieBuiltinsTest, TheMovieSpriteIsADrawableForTheScriptsUntilItIsClosed) {
  EXPECT_EQ(Call(651), 0u);
  OpenPrim();
  EXPECT_EQ(Call(651), 0u) << "only a sprite has a drawable";
  OpenSprite();
  const std::uint32_t handle = Call(651);
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(Call(651), handle);
  EXPECT_EQ(Handles().Get<CDrawable>(handle), g_MovieSprite.get());
  Call(633);
  EXPECT_EQ(Handles().Get<CDrawable>(handle), nullptr);
}

// The item and the sprite answer the end their control reports by playing again when looping,
// else by stopping; whatever word sets the flag, non-zero loops.
TEST_F(MovieBuiltinsTest, TheLoopFlagDecidesWhatTheEmbeddedPlayerDoesAtItsEnd) {
  struct Row {
    bool sprite;
    std::uint32_t flag;
    const char* at_end;
  };
  for (const Row row : {Row{false, 1, "play"}, {false, 0, "stop"}, {false, 255, "play"}, {true, 1, "play"},
                        {true, 0, "stop"}, {true, 0x80000000, "play"}}) {
    SCOPED_TRACE(std::string(row.sprite ? "sprite " : "prim ") + std::to_string(row.flag));
    PlayerRecord& player = row.sprite ? OpenSprite() : OpenPrim();
    PlayerRecord& movie = OpenWindowMovie();
    CMovieControl& control = row.sprite ? g_MovieSprite->Control() : g_MoviePrim->Control();
    EXPECT_EQ(Call(634, {row.flag == 0 ? 1u : 0u}), 0u);
    EXPECT_EQ(Call(634, {row.flag}), 0u);
    EXPECT_EQ(control.IsLoop(), row.flag != 0);
    EXPECT_FALSE(g_Movie->IsLoop()) << "the window movie comes last";
    player.calls.clear();
    control.HandleEnd();
    player.ended = 1;
    control.HandleEnd();
    control.HandleEnd();
    EXPECT_EQ(player.calls, std::vector<std::string>{row.at_end}) << "once for each end";
    EXPECT_TRUE(movie.calls.empty());
    DeleteMoviePlayers();
    player = PlayerRecord{};
    movie = PlayerRecord{};
  }
}

TEST_F(MovieBuiltinsTest, ALoopingWindowMoviePlaysAgainAtEachEndItReads) {
  PlayerRecord& movie = OpenWindowMovie();
  app_.movie_state = 3;
  EXPECT_EQ(Call(634, {255}), 0u);
  EXPECT_TRUE(g_Movie->IsLoop());
  movie.events = {7, KVX_MOVIE_EVENT_COMPLETE};
  EXPECT_EQ(g_Movie->DrainEvents(), 2);
  EXPECT_EQ(movie.calls, std::vector<std::string>{"restart"});
  EXPECT_EQ(movie.visibility, std::vector<int32_t>{1}) << "the frames are shown again";
  movie.events = {KVX_MOVIE_EVENT_COMPLETE};
  g_Movie->DrainEvents();
  EXPECT_EQ(movie.calls, (std::vector<std::string>{"restart", "restart"})) << "the second end too";
  movie.events = {KVX_MOVIE_EVENT_COMPLETE, KVX_MOVIE_EVENT_COMPLETE};
  g_Movie->DrainEvents();
  EXPECT_EQ(movie.calls.size(), 3u) << "two ends read at once start the movie over once";
  EXPECT_EQ(g_Movie->GetEndEvents(), 4);
  EXPECT_EQ(app_.movie_state, 3) << "the movie plays on";

  EXPECT_EQ(Call(634, {0}), 0u);
  movie.events = {KVX_MOVIE_EVENT_COMPLETE};
  g_Movie->DrainEvents();
  EXPECT_EQ(movie.calls.size(), 3u) << "without the flag the movie stays at its end";
  g_Movie->SetLoop(true);
  g_Movie->Reset();
  EXPECT_FALSE(g_Movie->IsLoop()) << "a movie opened anew does not loop";
}

// 647 and 648 look at the window movie alone, even when an item or sprite comes before it.
TEST_F(MovieBuiltinsTest, TheEndQueryAndTheFrameSwitchReachOnlyTheWindowMovie) {
  PlayerRecord& prim = OpenPrim();
  EXPECT_EQ(Call(647), 2u);
  EXPECT_EQ(Call(648, {1}), 2u);
  PlayerRecord& movie = OpenWindowMovie();
  EXPECT_EQ(Call(647), 0u);
  movie.ended = 1;
  EXPECT_EQ(Call(647), 1u);
  for (const std::uint32_t value : {0u, 1u, 255u}) EXPECT_EQ(Call(648, {value}), 0u);
  movie.status = 6;
  EXPECT_EQ(Call(648, {0xFFFFFFFF}), 6u) << "the movie object's result";
  EXPECT_EQ(movie.visibility, (std::vector<int32_t>{0, 1, 255, -1})) << "the word goes unchanged";
  EXPECT_EQ(movie.calls, (std::vector<std::string>{"ended", "ended"}));
  EXPECT_TRUE(prim.calls.empty());
  DeleteMoviePlayers();
  g_Movie = std::make_unique<CDShowMovie>();
  EXPECT_EQ(Call(647), kNone) << "a window movie that never opened";
  EXPECT_EQ(Call(648, {1}), kNone);
}

TEST_F(MovieBuiltinsTest, EveryMovieRowRunsOnZeroWordsWithoutANotBuiltLine) {
  LogCapture log;
  for (std::uint32_t id = 632; id <= 651; ++id) {
    SCOPED_TRACE(id);
    EXPECT_EQ(GameBuiltins()[id - kFirstGameBuiltin].id, id);
    Call(id, {0, 0, 0, 0});
  }
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
}

}  // namespace

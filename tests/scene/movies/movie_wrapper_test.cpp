// The movie wrappers without a movie playing: the media types of archive entries, the volume
// scale, the open statuses, the loaders' refusals, the end handling of a control object and the
// stream that a refusing library is handed.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/files/data_file_layer.h"
#include "gfx/images/pixel_library.h"
#include "platform/files/special_folders.h"
#include "scene/movies/dshow_library.h"
#include "scene/movies/dshow_prim.h"
#include "scene/movies/dshow_sprite.h"
#include "scene/movies/movie_control.h"
#include "scene/movies/movie_open.h"
#include "scene/movies/movie_players.h"
#include "support/scoped_pixel_library.h"

namespace {

TEST(MovieMediaTypeTest, ArchiveEntriesAreTypedByTheirExtensionInAnyCase) {
  const struct {
    const char* name;
    int32_t type;
  } typed[] = {{"A.MPG", 0}, {"a.mpeg", 0}, {"OP.Mpv", 1}, {"VIDEO\\B.DAT", 2}, {"c.avi", 3},
               {"d.MOV", 4}, {"e.mp4", 4},  {"f.wmv", 6},  {"g.ASF", 6},        {"h.wma", 6}};
  for (const auto& entry : typed) {
    ASSERT_TRUE(MovieMediaType(entry.name).has_value()) << entry.name;
    EXPECT_EQ(*MovieMediaType(entry.name), entry.type) << entry.name;
  }
  for (const char* refused : {"a.ogg", "b.mp3", "noextension", "DIR.MPG\\file", "c.mpg2", ""}) {
    EXPECT_FALSE(MovieMediaType(refused).has_value()) << refused;
  }
}

TEST(MovieVolumeTest, LevelsBecomeHundredthsOfADecibel) {
  const struct {
    int32_t level;
    int32_t hundredths;
    int32_t kept_level;
  } cases[] = {{256, 0, 256}, {128, -636, 128}, {1, -5029, 1},    {300, 0, 256},
               {0, -10000, 0}, {-7, -10000, 0}, {64, -2146, 64}, {192, -79, 192}};
  for (const auto& entry : cases) {
    int32_t level = entry.level;
    EXPECT_EQ(MovieVolumeHundredths(level), entry.hundredths) << entry.level;
    EXPECT_EQ(level, entry.kept_level) << entry.level;
  }
}

// A control object that counts the calls the end handling makes.
struct FakeControl {
  KvxMovieControl base;
  int32_t ended = 0;
  int plays = 0;
  int stops = 0;
  int releases = 0;
};

FakeControl& Fake(KvxMovieControl* self) { return *reinterpret_cast<FakeControl*>(self); }

constexpr KvxMovieControlFunctions kFakeFunctions = [] {
  KvxMovieControlFunctions functions{};
  functions.release = [](KvxMovieControl* self) { ++Fake(self).releases; };
  functions.play = [](KvxMovieControl* self) {
    ++Fake(self).plays;
    return 0;
  };
  functions.stop = [](KvxMovieControl* self) {
    ++Fake(self).stops;
    return 0;
  };
  functions.is_ended = [](KvxMovieControl* self) { return Fake(self).ended; };
  return functions;
}();

TEST(MovieControlTest, WithoutAnObjectCommandsGiveMinusOneAndQueriesZero) {
  CMovieControl control;
  int64_t units = 5;
  int32_t state = 5;
  int32_t level = 128;
  EXPECT_EQ(control.Play(), -1);
  EXPECT_EQ(control.Pause(), -1);
  EXPECT_EQ(control.Restart(), -1);
  EXPECT_EQ(control.Stop(), -1);
  EXPECT_EQ(control.Seek(10), -1);
  EXPECT_EQ(control.GetState(&state), -1);
  EXPECT_EQ(control.SetRate(1.0), -1);
  EXPECT_EQ(control.SetRate2(1.0), -1);
  EXPECT_EQ(control.SetVolume(level), -1);
  EXPECT_EQ(control.GetPosition(&units), 0);
  EXPECT_EQ(control.GetDuration(&units), 0);
  EXPECT_EQ(control.GetCurrentBuffer(), -1);
  EXPECT_FALSE(control.IsEnded());
}

TEST(MovieControlTest, EachEndIsAnsweredOnceByReplayWhenLoopingAndByStopOtherwise) {
  for (const bool loop : {true, false}) {
    FakeControl fake{{&kFakeFunctions}};
    {
      CMovieControl control;
      *control.Place() = &fake.base;
      control.SetLoop(loop);
      control.HandleEnd();
      EXPECT_EQ(fake.plays + fake.stops, 0) << "no end reported yet";
      fake.ended = 1;
      control.HandleEnd();
      control.HandleEnd();
      EXPECT_EQ(fake.plays, loop ? 1 : 0);
      EXPECT_EQ(fake.stops, loop ? 0 : 1);
      fake.ended = 0;
      control.HandleEnd();
      fake.ended = 1;
      control.HandleEnd();
      EXPECT_EQ(fake.plays, loop ? 2 : 0) << "a new end after the mark was cleared";
      EXPECT_EQ(fake.stops, loop ? 0 : 2);
    }
    EXPECT_EQ(fake.releases, 1) << "the wrapper releases the object";
  }
}

// A data-file layer that holds every name in an archive and counts the streams it hands out
// that are still alive.
class CountingLayer final : public IDataFileLayer {
 public:
  class Stream final : public CReadStream {
   public:
    Stream(int& alive, std::vector<uint8_t> bytes) : alive_(alive), bytes_(std::move(bytes)) { ++alive_; }
    ~Stream() override { --alive_; }
    uint32_t GetSize() const override { return static_cast<uint32_t>(bytes_.size()); }
    uint32_t Tell() const override { return position_; }
    unsigned SeekBegin(uint32_t position) override {
      position_ = std::min(position, GetSize());
      return 0;
    }
    unsigned SeekCurrent(int32_t delta) override { return SeekBegin(static_cast<uint32_t>(position_ + delta)); }
    unsigned SeekEnd(uint32_t distance) override { return SeekBegin(GetSize() - std::min(distance, GetSize())); }
    uint32_t Read(void* buffer, uint32_t count) override {
      const uint32_t taken = std::min(count, GetSize() - position_);
      std::memcpy(buffer, bytes_.data() + position_, taken);
      position_ += taken;
      return taken;
    }

   private:
    int& alive_;
    std::vector<uint8_t> bytes_;
    uint32_t position_ = 0;
  };

  RefPtr<CReadStream> OpenStream(const char*, char*, int*, bool) override {
    return RefPtr<CReadStream>(new Stream(alive, std::vector<uint8_t>(4096, 0x5A)));
  }
  unsigned ReadFile(const char*, CReadTarget&, char*) override { return 3; }
  unsigned FindFile(char*, const char*, plat::FindData*) const override { return 3; }
  int LocateFile(char*, const char* name, plat::FindData*) const override {
    return std::strcmp(name, "MISSING.AVI") == 0 ? 2 : -1;
  }
  unsigned ReadArchiveEntry(int32_t, int32_t, const char*, CReadTarget&, char*) override { return 3; }

  int alive = 0;
};

class MovieOpenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::optional<std::string> folder = plat::ProgramFolder();
    ASSERT_TRUE(folder.has_value());
    folder_ = *folder;
    ASSERT_TRUE(sprite_library_.Load(folder_.c_str(), kDShowSpriteLibrary));
  }

  std::string folder_;
  CDShowLibrary sprite_library_;
  CountingLayer files_;
};

TEST_F(MovieOpenTest, WithoutALoadedLibraryOpenGivesOne) {
  CDShowLibrary empty;
  ScopedPixelLibrary pixels;
  CDShowSprite sprite(&empty);
  EXPECT_EQ(sprite.Open("A.AVI", 0, 0, &files_), kMovieNoLibrary);
  CDShowSprite published;
  EXPECT_EQ(published.Open("A.AVI", 0, 0, &files_), kMovieNoLibrary) << "none published";
  CDShowPrim prim(&empty);
  EXPECT_EQ(prim.Open(nullptr, "A.AVI", 0, 0, &files_), kMovieNoLibrary);
  EXPECT_EQ(files_.alive, 0);
}

TEST_F(MovieOpenTest, LoadersRefuseAMissingFileAMissingCreatorAndAnotherVersion) {
  CDShowLibrary library;
  EXPECT_FALSE(library.Load(folder_.c_str(), {"DS_NONE.DLL", "GetDShowGdiSpriteCtrl", KVX_DS_SPRITE_VERSION}));
  EXPECT_FALSE(library.Load(folder_.c_str(), {"DS_PRIM.DLL", "GetDShowGdiSpriteCtrl", KVX_DS_PRIM_VERSION}));
  EXPECT_FALSE(library.Load(folder_.c_str(), {"DS_SPRITE.DLL", "GetDShowGdiSpriteCtrl", KVX_DS_PRIM_VERSION}));
  EXPECT_FALSE(library.IsLoaded());
  EXPECT_EQ(library.GetControlCreator(), nullptr);
  EXPECT_TRUE(library.Load(folder_.c_str(), kDShowPrimLibrary));
  EXPECT_NE(library.GetControlCreator(), nullptr);
}

TEST_F(MovieOpenTest, OpenStatusesTellWhatIsMissing) {
  CDShowSprite sprite(&sprite_library_);
  EXPECT_EQ(sprite.Open("A.AVI", 0, 0, &files_), kMovieBadArguments) << "no pixel library";
  ScopedPixelLibrary pixels;
  EXPECT_EQ(sprite.Open(nullptr, 0, 0, &files_), kMovieBadArguments);
  EXPECT_EQ(sprite.Open("A.AVI", 0, 0, nullptr), kMovieBadArguments) << "no layer published";
  EXPECT_EQ(sprite.Open("A.TXT", 0, 0, &files_), kMovieUnsupportedType);
  EXPECT_EQ(sprite.Open("MISSING.AVI", 0, 0, &files_), kMovieNotFound);
  CDShowPrim prim(&sprite_library_);
  EXPECT_EQ(prim.Open(nullptr, "A.AVI", 0, 0, &files_), kMovieBadArguments) << "no screen";
  EXPECT_EQ(files_.alive, 0);
}

TEST_F(MovieOpenTest, ALibraryThatRefusesTheMovieReleasesTheStreamItWasGiven) {
  ScopedPixelLibrary pixels;
  CDShowSprite sprite(&sprite_library_);
  EXPECT_EQ(sprite.Open("NOISE.AVI", 0, 0, &files_), kMovieRefused);
  EXPECT_EQ(files_.alive, 0);
  EXPECT_FALSE(sprite.Control().IsOpen());
  CImage target;
  ASSERT_EQ(target.Create(8, 8, 32, 0), 0u);
  EXPECT_EQ(sprite.Draw(&target, nullptr, nullptr), CDShowSprite::kNothingToDraw);
  EXPECT_EQ(sprite.SetVolume(128), -1);
  EXPECT_EQ(sprite.GetVolume(), 128);
}

TEST(MoviePlayersTest, TheVolumeGoesToThePrimitiveBeforeTheSprite) {
  EXPECT_EQ(SetMoviePlayerVolume(100), -1) << "no player";
  g_MovieSprite = std::make_unique<CDShowSprite>();
  SetMoviePlayerVolume(100);
  EXPECT_EQ(g_MovieSprite->GetVolume(), 100);
  g_MoviePrim = std::make_unique<CDShowPrim>();
  SetMoviePlayerVolume(300);
  EXPECT_EQ(g_MoviePrim->GetVolume(), 256) << "the level is held at 256";
  EXPECT_EQ(g_MovieSprite->GetVolume(), 100);
  DeleteMoviePlayers();
  EXPECT_EQ(g_MoviePrim, nullptr);
  EXPECT_EQ(g_MovieSprite, nullptr);
}

}  // namespace

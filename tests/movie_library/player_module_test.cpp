// The movie libraries load their player module (and with it FFmpeg) with their first movie, not
// when the program loads them: copies of the libraries in a folder of their own show when their
// module comes in. Without the module a movie fails as it does without the movie library, and
// the log says why once.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gfx/images/image.h"
#include "platform/files/host_path.h"
#include "platform/files/special_folders.h"
#include "scene/movies/dshow_library.h"
#include "scene/movies/dshow_movie.h"
#include "scene/movies/dshow_prim.h"
#include "scene/movies/dshow_sprite.h"
#include "scene/movies/movie_open.h"
#include "support/fake_sound_system.h"
#include "support/log_capture.h"
#include "support/movie_clip_fixture.h"
#include "support/sound_pump.h"
#include "support/sprite_device_screen.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kPlayerModule = "movie_player.so";

class PlayerModuleTest : public test_support::MovieClipTest {
 protected:
  // Copies the named files of the program folder into a folder of the game's; its host path.
  std::string CopyOfLibraries(const std::vector<std::string>& names) {
    const fs::path program_folder = plat::ToHostPath(*plat::ProgramFolder()).value();
    const fs::path folder = fs::path(game_.HostPath()) / "LIBRARIES";
    fs::create_directories(folder);
    for (const std::string& name : names) fs::copy_file(program_folder / name, folder / name);
    return folder.string() + "/";
  }

  static bool IsLoaded(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr) dlclose(handle);
    return handle != nullptr;
  }

  test_support::FakeSoundSystem sound_;
  // The movie keeps to its sound, which must play.
  test_support::SoundPump pump_{sound_.backend.last_device};
};

TEST_F(PlayerModuleTest, TheFirstMovieLoadsThePlayerModuleAndPlays) {
  const std::string folder = CopyOfLibraries({"DS_SPRITE.DLL", kPlayerModule});
  CDShowLibrary library;
  ASSERT_TRUE(library.Load(plat::ToEnginePath(folder).c_str(), kDShowSpriteLibrary));
  EXPECT_FALSE(IsLoaded(folder + kPlayerModule)) << "loading the movie library leaves its player out";

  CDShowSprite sprite(&library);
  ASSERT_EQ(sprite.Open(kArchivedClip, 0, 0, nullptr), kMovieOpened);
  EXPECT_TRUE(IsLoaded(folder + kPlayerModule));
  EXPECT_EQ(sprite.GetMovieWidth(), 64);
  ASSERT_EQ(sprite.Control().Play(), 0);
  ASSERT_TRUE(WaitFor([&] { return sprite.Control().IsEnded(); })) << "the end is never reported";
  CImage target;
  ASSERT_EQ(target.Create(64, 48, 32, 0), 0u);
  ASSERT_EQ(sprite.Draw(&target, nullptr, nullptr), 0u);
  EXPECT_NE(target.GetPixel(32, 24) & 0xFFFFFF, 0u) << "the last picture is drawn";
}

TEST_F(PlayerModuleTest, WithoutThePlayerModuleEveryKindOfMovieFailsAsWithoutItsLibraryAndTheLogSaysWhyOnce) {
  const std::string folder = CopyOfLibraries({"DS_SPRITE.DLL", "DS_PRIM.DLL", "DS_MOVIE.DLL"});
  const std::string engine_folder = plat::ToEnginePath(folder);
  CDShowLibrary sprite_library;
  CDShowLibrary prim_library;
  CDShowLibrary movie_library;
  ASSERT_TRUE(sprite_library.Load(engine_folder.c_str(), kDShowSpriteLibrary)) << "the libraries load alone";
  ASSERT_TRUE(prim_library.Load(engine_folder.c_str(), kDShowPrimLibrary));
  ASSERT_TRUE(movie_library.Load(engine_folder.c_str(), kDShowMovieLibrary));
  SpriteDeviceScreen device;
  LogCapture log;
  for (int attempt = 0; attempt < 2; ++attempt) {
    CDShowSprite sprite(&sprite_library);
    EXPECT_EQ(sprite.Open(kArchivedClip, 0, 0, nullptr), kMovieNoLibrary);
    EXPECT_FALSE(sprite.Control().IsOpen());
    CDShowPrim prim(&prim_library);
    EXPECT_EQ(prim.Open(&device.Screen(), kLooseClip, 0, 0, nullptr), kMovieNoLibrary);
    CDShowMovie movie(&movie_library);
    EXPECT_EQ(movie.Open(0, kArchivedClip, nullptr, nullptr), kMovieNoLibrary);
    EXPECT_FALSE(movie.IsOpen());
  }
  int reasons = 0;
  for (const std::string& line : log.Lines()) {
    if (line.starts_with("movie library: cannot load the movie player") &&
        line.find(folder + kPlayerModule) != std::string::npos) {
      ++reasons;
    }
  }
  EXPECT_EQ(reasons, 3) << "each library says once why its movies fail";
}

}  // namespace

#include "support/movie_clip_fixture.h"

#include <cstdlib>
#include <thread>

#include "platform/files/special_folders.h"
#include "resource/archives/dpk_decoder.h"

namespace test_support {

size_t LoudSamples(const std::string& sound) {
  size_t loud = 0;
  for (size_t i = 0; i + 1 < sound.size(); i += 2) {
    const auto sample = static_cast<int16_t>(static_cast<uint8_t>(sound[i]) | (static_cast<uint8_t>(sound[i + 1]) << 8));
    if (std::abs(sample) > 4000) ++loud;
  }
  return loud;
}

void MovieClipTest::SetUp() {
  DpkTest::SetUp();
  std::string error;
  ASSERT_TRUE(kvxtools::WriteMovieClip(game_.HostPath() + kLooseClip, clip_, error)) << error;
  const std::string clip = game_.ReadFile(kLooseClip);
  kvxtools::DpkWriter writer(Options());
  writer.Add(kArchivedClip, clip);
  Write(writer, "MOVIE.DPK");
  ASSERT_EQ(RegisterDpkDecoder(*files_), 0u);
  ASSERT_EQ(files_->MountArchive("MOVIE.DPK", -2, 0, true, nullptr), 0u);
  const std::optional<std::string> program_folder = plat::ProgramFolder();
  ASSERT_TRUE(program_folder.has_value());
  ASSERT_TRUE(sprite_library_.Load(program_folder->c_str(), kDShowSpriteLibrary));
  ASSERT_TRUE(prim_library_.Load(program_folder->c_str(), kDShowPrimLibrary));
  ASSERT_TRUE(movie_library_.Load(program_folder->c_str(), kDShowMovieLibrary));
  g_DShowSpriteLib = &sprite_library_;
  g_DShowPrimLib = &prim_library_;
  g_DShowMovieLib = &movie_library_;
  g_DShowDataFiles = files_.get();
  SetPixelLib(&pixel_library_);
}

void MovieClipTest::TearDown() {
  SetPixelLib(nullptr);
  g_DShowDataFiles = nullptr;
  g_DShowPrimLib = nullptr;
  g_DShowSpriteLib = nullptr;
  g_DShowMovieLib = nullptr;
  DpkTest::TearDown();
}

std::string MovieClipTest::WriteFlashClip(const std::string& name, kvxtools::MovieClipFormat format, int frames) {
  kvxtools::MovieClipOptions options;
  options.format = format;
  options.frames = frames;
  options.frames_per_second = 25;
  options.flashes = true;
  std::string error;
  if (kvxtools::WriteMovieClip(game_.HostPath() + name, options, error)) return "";
  EXPECT_EQ(error.rfind("no ", 0), 0u) << error;
  return "the installed FFmpeg cannot write " + kvxtools::MovieClipFormatName(format) + ": " + error;
}

bool MovieClipTest::WaitFor(const std::function<bool()>& condition) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace test_support

// Libraries opened at their first use: every entry point is looked up at once, a library that
// cannot be used is reported once and stays unused, and the engine's own such libraries (fonts,
// text shaping, Ogg Vorbis) serve their first use and the next.
#include "platform/files/on_demand_library.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ogg_writer.h"
#include "platform/fonts/font_face.h"
#include "platform/sound/vorbis_file.h"
#include "support/log_capture.h"

namespace {

// A library every test machine has, with one entry point it exports and two it does not.
constexpr const char* kPresentLibrary = "libz.so.1";
struct ZlibVersion {
  const char* (*zlibVersion)();
};
struct ZlibWithGaps {
  const char* (*zlibVersion)();
  void (*kestrune_no_such_entry)();
  void (*kestrune_nor_this_one)();
};

// Whether the library (by its versioned name, which the file's own name extends) is loaded.
bool IsMapped(const std::string& library) {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    if (line.find("/" + library) != std::string::npos) return true;
  }
  return false;
}

TEST(OnDemandLibraryTest, AMissingLibraryIsReportedOnceAndNeverTriedAgain) {
  LogCapture log;
  plat::OnDemandLibrary<ZlibVersion> library("libkestrune-not-installed.so.0", {"zlibVersion"}, "nothing works");
  EXPECT_EQ(library.Get(), nullptr);
  EXPECT_EQ(library.Get(), nullptr);
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_TRUE(log.Last().starts_with("cannot load libkestrune-not-installed.so.0 (")) << log.Last();
  EXPECT_TRUE(log.Last().ends_with("); nothing works")) << log.Last();
}

TEST(OnDemandLibraryTest, ALibraryLackingEntryPointsNamesThemAllAndIsNotUsed) {
  LogCapture log;
  plat::OnDemandLibrary<ZlibWithGaps> library(
      kPresentLibrary, {"zlibVersion", "kestrune_no_such_entry", "kestrune_nor_this_one"}, "nothing works");
  EXPECT_EQ(library.Get(), nullptr);
  EXPECT_EQ(library.Get(), nullptr);
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_EQ(log.Last(), "libz.so.1 lacks kestrune_no_such_entry, kestrune_nor_this_one; nothing works");
}

TEST(OnDemandLibraryTest, TheFirstUsesFromManyThreadsShareOneTableThatCallsTheLibrary) {
  LogCapture log;
  plat::OnDemandLibrary<ZlibVersion> library(kPresentLibrary, {"zlibVersion"}, "nothing works");
  std::vector<const ZlibVersion*> tables(8, nullptr);
  std::vector<std::thread> threads;
  for (const ZlibVersion*& table : tables) threads.emplace_back([&] { table = library.Get(); });
  for (std::thread& thread : threads) thread.join();
  ASSERT_NE(tables[0], nullptr);
  for (const ZlibVersion* table : tables) EXPECT_EQ(table, tables[0]);
  EXPECT_TRUE(std::string(tables[0]->zlibVersion()).starts_with("1.")) << "the address is the library's function";
  EXPECT_TRUE(IsMapped(kPresentLibrary));
  EXPECT_TRUE(log.Lines().empty());
}

// The bytes of a made sound, read by a VorbisFile.
class MemorySource final : public plat::VorbisSource {
 public:
  explicit MemorySource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  std::size_t ReadBytes(void* buffer, std::size_t bytes) override {
    const std::size_t count = std::min(bytes, bytes_.size() - at_);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), count, static_cast<std::uint8_t*>(buffer));
    at_ += count;
    return count;
  }
  int SeekBytes(std::int64_t offset, int whence) override {
    const std::int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<std::int64_t>(at_)
                                                                          : static_cast<std::int64_t>(bytes_.size());
    if (base + offset < 0 || base + offset > static_cast<std::int64_t>(bytes_.size())) return -1;
    at_ = static_cast<std::size_t>(base + offset);
    return 0;
  }
  std::int64_t TellBytes() override { return static_cast<std::int64_t>(at_); }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

// Decodes the whole of a made one-second sound: the sample frames read.
std::int64_t DecodedFrames() {
  MemorySource source(EncodeOggVorbis(MakeSine(22050, 1, 22050, 440), 1, 22050));
  plat::VorbisFile file;
  if (!file.Open(source)) return -1;
  std::vector<char> pcm(4096);
  std::int64_t bytes = 0;
  for (long got = 0; (got = file.ReadPcm16(pcm.data(), static_cast<int>(pcm.size()))) > 0;) bytes += got;
  return bytes / 2;
}

TEST(OnDemandLibraryTest, OggVorbisIsOpenedByTheFirstSoundAndServesTheNext) {
  LogCapture log;
  EXPECT_EQ(DecodedFrames(), 22050);
  EXPECT_TRUE(IsMapped("libvorbisfile.so.3"));
  EXPECT_EQ(DecodedFrames(), 22050);
  EXPECT_TRUE(log.Lines().empty()) << log.Last();
}

// Draws the ink of "あ" (Shift-JIS 0x82A0) in the face the name resolves to: the inked pixels.
int InkOf(const std::string& face_name) {
  const std::unique_ptr<plat::IFontFace> face = plat::OpenFontFace({face_name, -16});
  if (face == nullptr) return -1;
  const std::optional<plat::GlyphBitmap> glyph = face->Glyph(0x82A0, plat::GlyphBitmapFormat::kGray65, 1);
  if (!glyph) return -1;
  return static_cast<int>(std::count_if(glyph->bits.begin(), glyph->bits.end(), [](std::uint8_t v) { return v > 0; }));
}

TEST(OnDemandLibraryTest, TheFontLibrariesAreOpenedByTheFirstFaceAndServeTheNext) {
  LogCapture log;
  const std::string gothic = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";  // "ＭＳ ゴシック"
  const int ink = InkOf(gothic);
  EXPECT_GT(ink, 20);
  EXPECT_TRUE(IsMapped("libfreetype.so.6"));
  EXPECT_TRUE(IsMapped("libfontconfig.so.1"));
  EXPECT_EQ(InkOf(gothic), ink);
  // A vertical face opens the shaping library for its vertical forms.
  EXPECT_GT(InkOf("@" + gothic), 20);
  EXPECT_TRUE(IsMapped("libharfbuzz.so.0"));
  EXPECT_TRUE(log.Lines().empty()) << log.Last();
}

}  // namespace

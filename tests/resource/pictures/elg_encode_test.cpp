// The elg_encode command, run as built: PNG and PPM pictures become ELG pictures that the
// decoder reads back.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/numbers/little_endian.h"
#include "elg_test_target.h"
#include "resource/pictures/elg_decoder.h"
#include "support/temp_game_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

void AppendBe32(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void AppendChunk(Bytes& png, const char* type, const Bytes& data) {
  AppendBe32(png, static_cast<std::uint32_t>(data.size()));
  Bytes body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  png.insert(png.end(), body.begin(), body.end());
  AppendBe32(png, Crc32(body.data(), body.size()));
}

// An RGBA PNG of `rgba` (top-down) whose pixel data is one stored deflate block.
Bytes MakePng(std::uint32_t width, std::uint32_t height, const Bytes& rgba) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  AppendBe32(header, width);
  AppendBe32(header, height);
  header.insert(header.end(), {8, 6, 0, 0, 0});
  AppendChunk(png, "IHDR", header);
  Bytes raw;
  for (std::uint32_t y = 0; y < height; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), rgba.begin() + y * width * 4, rgba.begin() + (y + 1) * width * 4);
  }
  Bytes zlib = {0x78, 0x01, 0x01};
  const auto length = static_cast<std::uint16_t>(raw.size());
  zlib.insert(zlib.end(), {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                           static_cast<std::uint8_t>(~length), static_cast<std::uint8_t>(~length >> 8)});
  zlib.insert(zlib.end(), raw.begin(), raw.end());
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (const std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  AppendBe32(zlib, b << 16 | a);
  AppendChunk(png, "IDAT", zlib);
  AppendChunk(png, "IEND", {});
  return png;
}

class ElgEncodeTest : public ::testing::Test {
 protected:
  int Run(const std::string& arguments, std::string& output) {
    const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
    EXPECT_NE(tools, nullptr) << "KESTRUNE_TOOLS_DIR names the folder of the built tools";
    if (tools == nullptr) return -1;
    const std::string log = folder_.HostPath() + "encode.log";
    const std::string command = std::string(tools) + "/elg_encode " + arguments + " > '" + log + "' 2>&1";
    const int status = std::system(command.c_str());
    output = folder_.ReadFile("encode.log");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Quoted(const std::string& relative) const { return "'" + folder_.HostPath() + relative + "'"; }
  void Write(const std::string& relative, const Bytes& bytes) const {
    folder_.WriteFile(relative, std::string(bytes.begin(), bytes.end()));
  }
  Bytes Read(const std::string& relative) const {
    const std::string text = folder_.ReadFile(relative);
    return {text.begin(), text.end()};
  }

  test_support::TempGameFolder folder_;
};

TEST_F(ElgEncodeTest, PngWithAlphaBecomesA32BitPicture) {
  const Bytes rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 10, 20, 30, 40, 10, 20, 30, 40, 1, 2, 3, 4};
  Write("in.png", MakePng(3, 2, rgba));
  std::string output;
  ASSERT_EQ(Run(Quoted("in.png") + " " + Quoted("out.elg"), output), 0) << output;
  const Bytes elg = Read("out.elg");
  ElgTestTarget target;
  CElgDecoder decoder;
  ASSERT_EQ(decoder.Load(elg.data(), elg.size(), &ElgTestTarget::Create, &target, 0, nullptr, nullptr), 0);
  EXPECT_EQ(target.alpha, 1u);
  Bytes expected;
  for (std::size_t i = 0; i < rgba.size(); i += 4) {
    expected.insert(expected.end(), {rgba[i + 2], rgba[i + 1], rgba[i], rgba[i + 3]});
  }
  EXPECT_EQ(target.Rows(), expected);
}

TEST_F(ElgEncodeTest, PpmBecomesAnEightBitPictureWithUserValues) {
  std::string ppm = "P6\n# made by the test\n2 2\n255\n";
  ppm += std::string("\x10\x20\x30\x10\x20\x30\xFF\x00\x00\x10\x20\x30", 12);
  folder_.WriteFile("in.ppm", ppm);
  std::string output;
  ASSERT_EQ(Run("--depth=8 --form=origin --values=3,-4 " + Quoted("in.ppm") + " " + Quoted("out.elg"), output), 0)
      << output;
  const Bytes elg = Read("out.elg");
  CElgDecoder decoder;
  ElgTestTarget target;
  ASSERT_EQ(decoder.Load(elg.data(), elg.size(), &ElgTestTarget::Create, &target, 1, nullptr, nullptr), 0);
  EXPECT_EQ(target.Rows(), (Bytes{0, 0, 1, 0}));
  EXPECT_EQ(LoadLe32(&target.palette[0]) & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(LoadLe32(&target.palette[4]) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(decoder.GetUserValue0(), 3);
  EXPECT_EQ(decoder.GetUserValue1(), -4);
}

TEST_F(ElgEncodeTest, GreyPicturesKeepTheirLevelsAsIndices) {
  const Bytes rgba = {0, 0, 0, 255, 128, 128, 128, 255, 255, 255, 255, 0, 128, 128, 128, 255};
  Write("mask.png", MakePng(2, 2, rgba));
  std::string output;
  ASSERT_EQ(Run("--grey " + Quoted("mask.png") + " " + Quoted("mask.elg"), output), 0) << output;
  const Bytes elg = Read("mask.elg");
  CElgDecoder decoder;
  ElgTestTarget target;
  ASSERT_EQ(decoder.Load(elg.data(), elg.size(), &ElgTestTarget::Create, &target, 1, nullptr, nullptr), 0);
  EXPECT_EQ(target.bits_per_pixel, 8u);
  EXPECT_EQ(target.Rows(), (Bytes{0, 128, 255, 128}));
  EXPECT_EQ(LoadLe32(&target.palette[4 * 128]) & 0xFFFFFF, 0x808080u);
  EXPECT_EQ(LoadLe32(&target.palette[4 * 255]) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(Run("--grey --depth=24 " + Quoted("mask.png") + " " + Quoted("other.elg"), output), 2);
}

TEST_F(ElgEncodeTest, BadInputIsRefused) {
  folder_.WriteFile("bad.png", "not a picture");
  std::string output;
  EXPECT_EQ(Run(Quoted("bad.png") + " " + Quoted("out.elg"), output), 1);
  EXPECT_NE(output.find("error"), std::string::npos) << output;
  EXPECT_FALSE(folder_.Exists("out.elg"));
  EXPECT_EQ(Run("--depth=12 " + Quoted("bad.png") + " " + Quoted("out.elg"), output), 2);
}

}  // namespace

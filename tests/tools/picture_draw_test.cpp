// The picture_draw command, run as built: its shapes land on the pixels they name, in order, its
// text is centred where it is asked and laid over the picture, and bad shapes are refused without
// a picture.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "built_tool.h"

namespace {

class PictureDrawTest : public BuiltToolTest {
 protected:
  // The written picture as 0xAARRGGBB pixels, rows top down; empty when it cannot be read.
  std::vector<std::uint32_t> Read(const std::string& name, std::uint32_t& width) {
    const std::string file = folder_.ReadFile(name);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, file.data(), file.size()) == 0) return {};
    image.format = PNG_FORMAT_BGRA;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(image.width) * image.height);
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) return {};
    width = image.width;
    return pixels;
  }
};

TEST_F(PictureDrawTest, ShapesPaintTheirPixelsInOrder) {
  std::string output;
  ASSERT_EQ(Run("picture_draw", Path("out.png") +
                                    " 20x10 rect=-2,-2,6,5,80112233 gradient=10,0,1,10,FF000000,FF0000FF "
                                    "ellipse=15,5,3,2,00AABBCC rect=19,9,5,5,445566",
                output),
            0)
      << output;
  std::uint32_t width = 0;
  const std::vector<std::uint32_t> pixels = Read("out.png", width);
  ASSERT_EQ(pixels.size(), 200u);
  const auto at = [&](std::uint32_t x, std::uint32_t y) { return pixels[y * width + x]; };
  EXPECT_EQ(at(0, 0), 0x80112233u) << "clipped at the picture's corner";
  EXPECT_EQ(at(3, 2), 0x80112233u);
  EXPECT_EQ(at(4, 2), 0u) << "untouched pixels stay transparent black";
  EXPECT_EQ(at(3, 3), 0u);
  EXPECT_EQ(at(10, 0), 0xFF000000u) << "the gradient's top row";
  EXPECT_EQ(at(10, 9), 0xFF0000FFu) << "and its bottom row";
  EXPECT_EQ(at(10, 3), 0xFF000055u);
  EXPECT_EQ(at(15, 5), 0x00AABBCCu) << "a shape replaces alpha too";
  EXPECT_EQ(at(18, 5), 0x00AABBCCu) << "the ellipse's end";
  EXPECT_EQ(at(18, 4), 0u) << "beside the ellipse";
  EXPECT_EQ(at(19, 9), 0xFF445566u) << "six digits are opaque";
}

// The box of the pixels that differ from the picture's first pixel: left, top, right, bottom.
struct TextInkBox {
  std::uint32_t left = ~0u, top = ~0u, right = 0, bottom = 0;
};

TEST_F(PictureDrawTest, TextIsCentredOnItsPointAndLaidOverThePicture) {
  std::string output;
  std::uint32_t width = 0;
  const auto draw = [&](const std::string& text) {
    EXPECT_EQ(Run("picture_draw", Path("text.png") + " 120x40 fill=FF203040 'text=60,20,16,FFFFFFFF," + text + "'", output),
              0)
        << output;
    return Read("text.png", width);
  };
  const auto ink_box = [&](const std::vector<std::uint32_t>& pixels) {
    TextInkBox box;
    for (std::uint32_t i = 0; i < pixels.size(); ++i) {
      if (pixels[i] == pixels[0]) continue;
      box = {std::min(box.left, i % width), std::min(box.top, i / width), std::max(box.right, i % width),
             std::max(box.bottom, i / width)};
    }
    return box;
  };
  const std::vector<std::uint32_t> pixels = draw("名前,H");
  ASSERT_EQ(pixels.size(), 4800u);
  const TextInkBox box = ink_box(pixels);
  EXPECT_NEAR((box.left + box.right) / 2.0, 60.0, 2.0) << "centred across";
  EXPECT_NEAR((box.top + box.bottom) / 2.0, 20.0, 3.0) << "and down";
  EXPECT_GE(box.bottom - box.top, 10u) << "letters of about 16 pixels";
  bool full = false;
  bool smoothed = false;
  for (const std::uint32_t pixel : pixels) {
    full = full || pixel == 0xFFFFFFFFu;
    smoothed = smoothed || (pixel != 0xFFFFFFFFu && pixel != pixels[0]);
  }
  EXPECT_TRUE(full) << "the text's colour where a glyph covers a pixel";
  EXPECT_TRUE(smoothed) << "blended with the picture at the glyphs' edges";
  const TextInkBox without_comma = ink_box(draw("名前H"));
  EXPECT_GT(box.right - box.left, without_comma.right - without_comma.left) << "the comma belongs to the text";
}

TEST_F(PictureDrawTest, BadShapesAreRefused) {
  std::string output;
  for (const char* arguments : {" 4x4 rect=0,0,1", " 4x4 star=1,1", " 4x4 fill=12345", " 4x4 fill=GG0000",
                                " 4x4 ellipse=1,1,0,1,FF000000", " 0x4 fill=000000", " 4 fill=000000",
                                " 4x4 text=1,1,16,FF000000", " 4x4 text=1,1,2,FF000000,a"}) {
    EXPECT_EQ(Run("picture_draw", Path("bad.png") + arguments, output), 1) << arguments;
    EXPECT_NE(output.find("error"), std::string::npos) << output;
  }
  EXPECT_FALSE(folder_.Exists("bad.png"));
  EXPECT_EQ(Run("picture_draw", Path("bad.png"), output), 2);
}

}  // namespace

// A slot's background animation in a real window (run under Xvfb) on a fake clock: the frames
// of an animation-data file show on the front page in turn, a small cell at its record's place
// over the frame before it. The frames are written as PNG pictures.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "anim_file_writer.h"
#include "novel/frame/vov_window_fixture.h"
#include "novel/page/vov_page_fixture.h"

namespace {

constexpr std::int32_t kWidth = 800;
constexpr std::int32_t kHeight = 600;
constexpr std::uint32_t kGreen = 0x00C000;
constexpr std::uint32_t kBlue = 0x0000C0;
constexpr std::uint32_t kRed = 0xC00000;

class BgAnimeGuiTest : public NovelWindowTest {
 protected:
  BgAnimeGuiTest() : NovelWindowTest("background animation test") {}
  void SetUp() override {
    NovelWindowTest::SetUp();
    game_.WriteFile("ANIME/GREEN.ELG", page_test::Picture(kWidth, kHeight, 0xFF000000 | kGreen));
    game_.WriteFile("ANIME/BLUE.ELG", page_test::Picture(kWidth, kHeight, 0xFF000000 | kBlue));
    game_.WriteFile("ANIME/RED.ELG", page_test::Picture(100, 50, 0xFF000000 | kRed));
    kvxtools::DadFileSpec spec;
    spec.header = {0x20, 0x03, 0x58, 0x02};  // 800 x 600
    // Green, the red cell at (300, 200) over it, then blue.
    spec.frames = {kvxtools::PatternFrame(0, 100), kvxtools::PatternFrame(2, 100, 300, 200),
                   kvxtools::PatternFrame(1, 100)};
    spec.references = {{"GREEN.ELG"}, {"BLUE.ELG"}, {"RED.ELG"}};
    const std::vector<std::uint8_t> bytes = kvxtools::WriteDad(spec);
    game_.WriteFile("PARK.DAD", std::string(bytes.begin(), bytes.end()));
  }
  static std::uint32_t At(const std::vector<std::uint32_t>& shown, std::int32_t x, std::int32_t y) {
    return shown[static_cast<std::size_t>(y * kWidth + x)] & 0xFFFFFF;
  }
};

TEST_F(BgAnimeGuiTest, TheFramesShowOnTheFrontPageInTurnUntilStopped) {
  CVovPage& page = novel_->Page();
  // Entry 0 from its first frame; the loop flag is not given by the slots.
  ASSERT_EQ(page.LoadBgAnime("PARK.DAD", 0, 0, 0), 0);
  ASSERT_EQ(page.ControlBgAnime(0, 1, 0, 0), 0);
  const std::vector<std::uint32_t> first = FrameAt(0, "bg_anime_0ms.png");
  EXPECT_EQ(At(first, 10, 10), kGreen);
  EXPECT_EQ(At(first, 350, 225), kGreen);

  const std::vector<std::uint32_t> second = FrameAt(100, "bg_anime_100ms.png");
  EXPECT_EQ(At(second, 300, 200), kRed) << "the cell's top-left at (300, 200)";
  EXPECT_EQ(At(second, 399, 249), kRed) << "its bottom-right";
  EXPECT_EQ(At(second, 299, 200), kGreen) << "the frame before it around the cell";
  EXPECT_EQ(At(second, 400, 249), kGreen);
  EXPECT_EQ(At(second, 300, 250), kGreen);

  const std::vector<std::uint32_t> third = FrameAt(200, "bg_anime_200ms.png");
  EXPECT_EQ(At(third, 10, 10), kBlue);
  EXPECT_EQ(At(third, 350, 225), kBlue);

  // Without the loop flag the last frame stays; the stop command takes the frames off the page.
  EXPECT_EQ(At(FrameAt(400, "bg_anime_400ms.png"), 10, 10), kBlue);
  ASSERT_EQ(page.ControlBgAnime(0, 4, 0, 0), 0);
  EXPECT_EQ(At(FrameAt(500, "bg_anime_stopped.png"), 10, 10), 0u) << "the layer's colour";
}

}  // namespace

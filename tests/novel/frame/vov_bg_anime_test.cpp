// The background animation of a slot: LoadBgAnime makes "bg_anime" on the slot's page, the
// slot's controls drive it, and a load plays a recorded animation again.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "anim_file_writer.h"
#include "base/numbers/byte_cursor.h"
#include "effects/background/bg_anime_effect.h"
#include "effects/framework/background_canvas.h"
#include "support/log_capture.h"
#include "vov_frame_fixture.h"

namespace {

constexpr std::uint32_t kFirstCell = 0xFF00C000;
constexpr std::uint32_t kSecondCell = 0xFFC00000;

class BgAnimeSlotTest : public vov_test::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    game_.WriteFile("ANIME/GREEN.ELG", page_test::Picture(CVovPage::kWidth, CVovPage::kHeight, kFirstCell));
    game_.WriteFile("ANIME/RED.ELG", page_test::Picture(CVovPage::kWidth, CVovPage::kHeight, kSecondCell));
    kvxtools::DadFileSpec spec;
    spec.header = {0x20, 0x03, 0x58, 0x02};  // 800 x 600
    spec.frames = {kvxtools::PatternFrame(0, 100), kvxtools::PatternFrame(1, 100)};
    spec.references = {{"GREEN.ELG"}, {"RED.ELG"}};
    const std::vector<std::uint8_t> bytes = kvxtools::WriteDad(spec);
    game_.WriteFile("PARK.DAD", std::string(bytes.begin(), bytes.end()));
  }
  CVovPage& Page() { return frame_->Page(); }
  CBgAnimeEffect* Anime() { return dynamic_cast<CBgAnimeEffect*>(Page().Bg(0).anime_effect); }
  std::int32_t AnimeState() { return Anime()->GetParam(PluginArgList{CBgAnimeEffect::kQueryState}.View()); }
  std::uint32_t ShownPixel() {
    const CImage* shown = LayerBackground(Page().Layer(0));
    return shown != nullptr ? page_test::PixelOf(*shown, 400, 300) : 0;
  }
  // A scenario loaded, then the page's state saved and loaded into a new frame, after `before`.
  void SaveAndLoadAgain(const std::function<void()>& before) {
    kvxtools::TobBuilder builder;
    builder.Text("x");
    builder.Command(16);
    Load(builder);
    before();
    ByteWriter out;
    ASSERT_EQ(frame_->Save(out, false), 0u);
    const std::vector<std::uint8_t> saved = out.Take();
    frame_.reset();
    frame_ = std::make_unique<CVovFrame>(*host_);
    ASSERT_EQ(frame_->InitMessageWindow(nullptr, &World().root), 0u);
    ByteReader in(saved);
    ASSERT_EQ(frame_->Load(in, true), 0u);
    EXPECT_EQ(Anime(), nullptr);
    ASSERT_EQ(frame_->PreparePage(true), 0);
  }
};

TEST_F(BgAnimeSlotTest, LoadBgAnimeMakesTheAnimationAndItsStartShowsTheCellsOnThePage) {
  ASSERT_EQ(Page().LoadBgAnime("PARK.DAD", 0, 0, 0), 0);
  ASSERT_NE(Anime(), nullptr);
  EXPECT_EQ(AnimeState(), CBgAnimeEffect::kPrepared);
  ASSERT_EQ(Page().ControlBgAnime(0, CBgAnimeEffect::kStart, 0, 0), 0);
  EXPECT_EQ(Page().Bg(0).anime_state, 1u);
  EXPECT_EQ(LayerBackground(Page().Layer(0)), &Anime()->GetFrameImage());
  EXPECT_EQ(ShownPixel(), kFirstCell);
  ASSERT_EQ(frame_->WaitFixed(150), 0);
  EXPECT_EQ(ShownPixel(), kSecondCell);
  // A view change stops it and takes its frames off the page.
  ASSERT_EQ(Page().SetBgArea(0, 0, 400, 300, 0), 0);
  EXPECT_EQ(AnimeState(), CBgAnimeEffect::kStopped);
  EXPECT_EQ(LayerBackground(Page().Layer(0)), nullptr);
}

TEST_F(BgAnimeSlotTest, TheAnimationEndsWithThePage) {
  ASSERT_EQ(Page().LoadBgAnime("PARK.DAD", 0, 0, 0), 0);
  ASSERT_EQ(Page().ControlBgAnime(0, CBgAnimeEffect::kStart, 0, 0), 0);
  ASSERT_NE(Anime(), nullptr);
  frame_->ResetPage();
  EXPECT_EQ(Anime(), nullptr);
  EXPECT_TRUE(Page().Bg(0).anime_name.empty());
  EXPECT_EQ(LayerBackground(Page().Layer(0)), nullptr);
}

TEST_F(BgAnimeSlotTest, ALoadPlaysARecordedAnimationAgain) {
  LogCapture log;
  SaveAndLoadAgain([&] {
    ASSERT_EQ(Page().LoadBgAnime("PARK.DAD", 0, 0, 0), 0);
    ASSERT_EQ(Page().ControlBgAnime(0, CBgAnimeEffect::kStart, 0, 0), 0);
  });
  ASSERT_NE(Anime(), nullptr) << "the animation is made again";
  EXPECT_EQ(Page().Bg(0).anime_name, "PARK.DAD");
  EXPECT_EQ(AnimeState(), CBgAnimeEffect::kPlaying);
  EXPECT_EQ(ShownPixel(), kFirstCell);
  ASSERT_EQ(frame_->WaitFixed(150), 0);
  EXPECT_EQ(ShownPixel(), kSecondCell);
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
}

TEST_F(BgAnimeSlotTest, ALoadLeavesAnAnimationThatWasNotPlayingSelectedOnly) {
  SaveAndLoadAgain([&] { ASSERT_EQ(Page().LoadBgAnime("PARK.DAD", 0, 0, 0), 0); });
  ASSERT_NE(Anime(), nullptr);
  EXPECT_EQ(AnimeState(), CBgAnimeEffect::kPrepared);
  EXPECT_NE(LayerBackground(Page().Layer(0)), &Anime()->GetFrameImage());
}

}  // namespace

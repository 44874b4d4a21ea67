// The novel page in a real window (under Xvfb): a background and a character picture loaded by
// scenario opcodes on the front page, presented and read back: the character's red stripe at
// each position, and the background inverted by its filter.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "novel/frame/vov_frame.h"
#include "support/fake_app_services.h"
#include "support/layer_window_test.h"
#include "support/png_file.h"
#include "support/scoped_pixel_library.h"
#include "support/sob_test_files.h"
#include "support/test_window.h"
#include "tob_builder.h"
#include "vov_page_fixture.h"

namespace {

using kvxtools::TobBuilder;
using kvxtools::TobOperand;

constexpr std::int32_t kWidth = 800;
constexpr std::int32_t kHeight = 600;
constexpr std::uint32_t kBackground = 0xFF204060;
constexpr std::uint32_t kStripe = 0xFFFF0000;
constexpr std::int32_t kProbeY = 300;

TobOperand V(std::int32_t value) { return TobOperand::Value(static_cast<std::uint32_t>(value)); }

class VovPageGuiTest : public LayerWindowFilesTestBase {
 protected:
  VovPageGuiTest() : LayerWindowFilesTestBase("novel page test", kWidth, kHeight) {}
  void SetUp() override {
    LayerWindowFilesTestBase::SetUp();
    app_.game_screen = {kWidth, kHeight};
    game_.WriteFile("BG01.ELG", page_test::Picture(kWidth, kHeight, kBackground));
    game_.WriteFile("CHR.ELG", page_test::Picture(kWidth, kHeight, 0x00000000, 400, kStripe));
    host_ = std::make_unique<CScriptHost>();
    frame_page_ = std::make_unique<CVovFrame>(*host_);
    ASSERT_EQ(frame_page_->InitPageImage(nullptr), 0u);
    screen_->SetFrameImage(dynamic_cast<CImageCanvasBase*>(frame_page_->Page().PageImage()));
  }
  void TearDown() override {
    screen_->SetFrameImage(&frame_);
    frame_page_.reset();
    host_.reset();
    LayerWindowFilesTestBase::TearDown();
  }
  void Run(const TobBuilder& builder) {
    game_.WriteFile("SCRIPT/MAIN.TOB", sob_test::AsText(builder.Build()));
    frame_page_->ResetScripts();
    ASSERT_EQ(frame_page_->LoadMainScript("MAIN"), 0u);
    ASSERT_EQ(frame_page_->RunScript(), 0);
  }
  std::vector<std::uint32_t> Show(const std::string& picture) {
    EXPECT_EQ(screen_->UpdateScreen(), 0u);
    std::vector<std::uint32_t> shown = ShownPixels(*window_, kWidth, kHeight);
    EXPECT_TRUE(WritePng(picture, shown, kWidth, kHeight));
    return shown;
  }
  static std::uint32_t At(const std::vector<std::uint32_t>& shown, std::int32_t x) {
    return shown.size() == static_cast<std::size_t>(kWidth * kHeight) ? shown[kProbeY * kWidth + x] | 0xFF000000 : 0;
  }

  ScopedPixelLibrary library_;
  test_support::FakeAppServices app_;
  std::unique_ptr<CScriptHost> host_;
  std::unique_ptr<CVovFrame> frame_page_;
};

TEST_F(VovPageGuiTest, TheStripeStandsWhereThePositionPutsIt) {
  TobBuilder load;
  load.Command(35, {TobOperand::String("BG01.ELG"), V(0)});
  load.Command(73, {V(0), TobOperand::String("CHR.ELG"), V(0), V(0), V(0)});
  Run(load);
  std::vector<std::uint32_t> shown = Show("novel_page_centre.png");
  EXPECT_EQ(At(shown, 400), kStripe);
  EXPECT_EQ(At(shown, 200), kBackground);

  struct Case {
    std::int32_t position;
    std::int32_t x;
    const char* picture;
  };
  for (const Case& c : {Case{1, 200, "novel_page_left.png"}, Case{2, 600, "novel_page_right.png"},
                        Case{0, 400, "novel_page_centre_again.png"}}) {
    TobBuilder place;
    place.Command(76, {V(0), V(c.position), V(0), V(0), V(0)});
    Run(place);
    shown = Show(c.picture);
    EXPECT_EQ(At(shown, c.x), kStripe) << c.position;
    EXPECT_EQ(At(shown, c.x + 1), kBackground) << c.position;
    EXPECT_EQ(At(shown, c.x == 400 ? 200 : 400), kBackground) << c.position;
  }

  TobBuilder negative;
  negative.Command(38, {V(3), V(0), V(0), V(0), V(0)});
  Run(negative);
  shown = Show("novel_page_negative.png");
  EXPECT_EQ(At(shown, 100), kBackground ^ 0x00FFFFFF);
  EXPECT_EQ(At(shown, 400), kStripe);
}

}  // namespace

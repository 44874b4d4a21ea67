// The choice screen over a prepared page in a real window (under Xvfb): once the list has faded
// in, the panel's colour reads back just inside its top-left corner and the first item's picture
// at its place; a click on the second item writes 1 through configuration word 1. Written to
// choice_screen.png.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "novel/frame/vov_frame.h"
#include "novel/frame/vov_frame_fixture.h"
#include "novel/frame/vov_wait_world.h"
#include "script/script_host.h"
#include "support/layer_window_test.h"
#include "support/png_file.h"
#include "support/scoped_pixel_library.h"
#include "support/test_window.h"
#include "vov_select_screen_files.h"

namespace {

constexpr std::int32_t kWidth = 800;
constexpr std::int32_t kHeight = 600;
constexpr plat::Point kPanelCorner{17, 13};
constexpr plat::Point kFirstItem{57, 247};

class ChoiceScreenGuiTest : public LayerWindowFilesTestBase {
 protected:
  ChoiceScreenGuiTest() : LayerWindowFilesTestBase("choice screen test", kWidth, kHeight) {}
  void SetUp() override {
    LayerWindowFilesTestBase::SetUp();
    world_ = std::make_unique<vov_test::WaitWorld>();
    effects_ = std::make_unique<vov_test::EffectHosts>();
    message_test::WriteWindowPictures(game_, 0xFF203040, 0xFF405060);
    message_test::WriteButtonFile(game_);
    select_test::WriteSelectScreenFiles(game_);
    host_ = std::make_unique<CScriptHost>();
    novel_ = std::make_unique<CVovFrame>(*host_);
    ASSERT_EQ(novel_->InitMessageWindow(nullptr, &world_->root), 0u);
    screen_->SetFrameImage(dynamic_cast<CImageCanvasBase*>(novel_->Page().PageImage()));
    ASSERT_EQ(novel_->PreparePage(false), 0);
  }
  void TearDown() override {
    screen_->SetFrameImage(&frame_);
    novel_.reset();
    host_.reset();
    effects_.reset();
    world_.reset();
    LayerWindowFilesTestBase::TearDown();
  }

  ScopedPixelLibrary library_;
  std::unique_ptr<vov_test::WaitWorld> world_;
  std::unique_ptr<vov_test::EffectHosts> effects_;
  std::unique_ptr<CScriptHost> host_;
  std::unique_ptr<CVovFrame> novel_;
};

TEST_F(ChoiceScreenGuiTest, ThePanelAndTheFirstItemShowAndAClickOnTheSecondWritesOne) {
  for (const char* text : {"one", "two", "three"}) {
    CListPart::ItemSetup setup;
    setup.text = text;
    novel_->ChoiceList().AddMenuItem(setup);
  }
  novel_->SetChoiceCount(3);
  ScriptMemory& memory = host_->Memory();
  // The three choices' script variables, none of which the host has: each reads as 0.
  const std::uint32_t variables = memory.Allocate(12, true);
  const std::uint32_t picked = memory.Allocate(4, true);
  memory.SetWord(picked, 99);
  novel_->SetConfigWord(1, picked);

  std::vector<std::uint32_t> shown;
  world_->player = [&](int frame) {
    if (frame == 20) {
      EXPECT_EQ(screen_->UpdateScreen(), 0u);
      shown = ShownPixels(*window_, kWidth, kHeight);
      EXPECT_TRUE(WritePng("choice_screen.png", shown, kWidth, kHeight));
    }
    if (frame == 22) world_->pointer.at = {kFirstItem.x + 50, kFirstItem.y + select_test::kItemHeight + 20};
    world_->ClickAt(frame, 22);
  };
  EXPECT_EQ(novel_->RunChoiceScreen(variables, 0, 0, 1, 0), 0);
  ASSERT_EQ(shown.size(), static_cast<std::size_t>(kWidth * kHeight));
  const auto at = [&](plat::Point point) { return shown[static_cast<std::size_t>(point.y * kWidth + point.x)] | 0xFF000000; };
  EXPECT_EQ(at({kPanelCorner.x + 1, kPanelCorner.y + 1}), select_test::kPanelColour);
  EXPECT_NE(at({kPanelCorner.x - 1, kPanelCorner.y - 1}), select_test::kPanelColour);
  EXPECT_EQ(at({kFirstItem.x + 1, kFirstItem.y + 1}), select_test::kItemColour);
  EXPECT_NE(at({kFirstItem.x - 1, kFirstItem.y + 1}), select_test::kItemColour);
  EXPECT_EQ(memory.Word(picked), 1u);
}

}  // namespace

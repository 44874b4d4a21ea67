// The message box's fonts: set up without opening a face, opened together on the first use of
// any of them (the box, a notice, the tooltip or an accessor), and at once when set up again.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "gfx/display/image_canvas.h"
#include "pixel/kernels/pixel_tables.h"
#include "support/fake_font_face.h"
#include "support/fake_screen_transition.h"
#include "ui/dialogs/game_message_box.h"
#include "ui/gui/gui_root_window.h"

namespace {

constexpr int kFontCount = 3;

class MessageBoxFontsTest : public testing::Test {
 protected:
  void TearDown() override { GuiRootWindow().SetTooltipFont(nullptr); }

  std::shared_ptr<FakeFontFaceLog> log_ = std::make_shared<FakeFontFaceLog>();
  CMessageBox box_{FakeFontFace::Factory(log_)};
};

TEST_F(MessageBoxFontsTest, EachFirstUseOpensTheThreeFacesOnce) {
  const std::function<void(CMessageBox&)> first_uses[] = {
      [](CMessageBox& box) { EXPECT_TRUE(box.GetBoxFont().IsReady()); },
      [](CMessageBox& box) { EXPECT_TRUE(box.TooltipFont().IsReady()); },
      [](CMessageBox& box) {
        EXPECT_EQ(box.Show(0, "text", CMessageBox::kCentred, 0, -1, nullptr), CMessageBox::kNoWindow);
      },
      [](CMessageBox& box) { box.ShowNotice("notice"); },
  };
  for (const auto& use : first_uses) {
    auto log = std::make_shared<FakeFontFaceLog>();
    CMessageBox box(FakeFontFace::Factory(log));
    box.Setup();
    EXPECT_EQ(log->opened, 0);
    use(box);
    // A notice's text may make its font again: what counts is that the first use made all three.
    const int opened = log->opened;
    EXPECT_GE(opened, kFontCount);
    EXPECT_TRUE(box.GetTooltipFont().IsReady());
    EXPECT_TRUE(box.GetNoticeFont().IsReady());
    EXPECT_TRUE(box.GetBoxFont().IsReady());
    EXPECT_EQ(log->opened, opened);
    GuiRootWindow().SetTooltipFont(nullptr);
  }
}

TEST_F(MessageBoxFontsTest, TheRootWindowReadiesTheTooltipFontBeforeItsTooltip) {
  BuildPixelTables();
  box_.Setup();
  FakeDrawLayers layers;
  CImageCanvasEx part;
  ASSERT_EQ(part.Create(320, 240, 32, CImagePart::kLayer), 0u);
  CGuiRootWindow& root = GuiRootWindow();
  root.SetTooltipLayer(&part);
  root.ShowTooltip("tip", 10, 10);
  EXPECT_EQ(log_->opened, kFontCount);
  EXPECT_TRUE(root.IsTooltipVisible());
  root.HideTooltip();
  root.SetTooltipLayer(nullptr);
}

TEST_F(MessageBoxFontsTest, ASecondSetUpRemakesOpenedFontsAtOnce) {
  box_.Setup();
  box_.Setup();
  EXPECT_EQ(log_->opened, 0);
  const int32_t tooltip_height = box_.TooltipFont().logical_font().height;
  box_.TooltipFont().SetFont(30, 0, 0, "other");
  EXPECT_EQ(log_->opened, kFontCount + 1);
  box_.Setup();
  EXPECT_EQ(log_->opened, 2 * kFontCount + 1);
  EXPECT_EQ(box_.GetTooltipFont().logical_font().height, tooltip_height);
  EXPECT_EQ(log_->opened, 2 * kFontCount + 1);
}

}  // namespace

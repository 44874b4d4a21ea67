// The page's opcodes run from a scenario: operands reach the slots, the sprite of opcode 73 keeps
// or takes its place, opcode 80 clears groups, and opcodes 88 and 89 forget the last BG tone.
#include <gtest/gtest.h>

#include <memory>

#include "gfx/display/image_canvas.h"
#include "gfx/image_operations/image_part.h"
#include "novel/frame/vov_frame.h"
#include "novel/page/vov_page_fixture.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_list.h"
#include "scene/sprites/sprite.h"
#include "support/fake_app_services.h"
#include "support/sob_test_files.h"
#include "tob_builder.h"
#include "ui/gui/gui_root_window.h"
#include "ui/widget_manager/widget_manager.h"

namespace {

using kvxtools::TobBuilder;
using kvxtools::TobOperand;
using page_test::Picture;

TobOperand V(std::int32_t value) { return TobOperand::Value(static_cast<std::uint32_t>(value)); }

class VovPageOpcodesTest : public sob_test::ScriptFilesTest {
 protected:
  void SetUp() override {
    ScriptFilesTest::SetUp();
    graphics_ = std::make_unique<page_test::PageGraphics>();
    frame_ = std::make_unique<CVovFrame>(host_);
    ASSERT_EQ(frame_->InitPageImage(nullptr), 0u);
    game_.WriteFile("CHR.ELG", Picture(40, 100, 0xFF808080, -1, 0, 20, 80));
    game_.WriteFile("CHR2.ELG", Picture(40, 100, 0xFF808080, -1, 0, 20, 80));
    game_.WriteFile("BG01.ELG", Picture(16, 8, 0xFF102030));
  }
  void TearDown() override {
    frame_.reset();
    graphics_.reset();
  }
  std::int32_t Run(const TobBuilder& builder) {
    game_.WriteFile("SCRIPT/MAIN.TOB", sob_test::AsText(builder.Build()));
    frame_->ResetScripts();
    EXPECT_EQ(frame_->LoadMainScript("MAIN"), 0u);
    return frame_->RunScript();
  }
  CVovPage& Page() { return frame_->Page(); }

  test_support::FakeAppServices app_;
  CScriptHost host_;
  std::unique_ptr<page_test::PageGraphics> graphics_;
  std::unique_ptr<CVovFrame> frame_;
};

TEST_F(VovPageOpcodesTest, ThePageImageIsTheGameScreensSize) {
  const CImage* image = Page().PageImage()->GetImage();
  EXPECT_EQ(image->GetWidth(), app_.GameScreenSize().x);
  EXPECT_EQ(image->GetHeight(), app_.GameScreenSize().y);
  ASSERT_NE(Page().Part(1), nullptr);
  EXPECT_NE(Page().Layer(1), Page().Layer(0));
}

// The front page the frame makes keeps a draw list beside its layer, painted over the page's
// own: what lies there at priority 100 (a notice) covers what lies in the own list at 10000 (the
// message window), and stays with the page when the layers change places.
TEST_F(VovPageOpcodesTest, TheFrontPagesAttachedListIsPaintedOverItsOwn) {
  CImage window_picture;
  CImage notice_picture;
  ASSERT_EQ(window_picture.Create(40, 20, 32, 0), 0u);
  ASSERT_EQ(notice_picture.Create(10, 10, 32, 0), 0u);
  window_picture.FillRectArgb(0xFF102040, nullptr);
  notice_picture.FillRectArgb(0xFFFFF000, nullptr);
  for (const bool swapped : {false, true}) {
    SCOPED_TRACE(swapped ? "after the layers changed places" : "as made");
    if (swapped) Page().PageImage()->SwapLayers(*Page().Part(1));
    CDrawLayer* layer = Page().Layer(0);
    ASSERT_NE(layer, nullptr);
    ASSERT_NE(layer->GetAttachedList(), nullptr);
    CSprite window;
    CSprite notice;
    ASSERT_EQ(window.SetImage(&window_picture, nullptr, 0, 0), 0u);
    ASSERT_EQ(notice.SetImage(&notice_picture, nullptr, 4, 4), 0u);
    ASSERT_EQ(layer->GetOwnList().Insert(&window, 10000, 0), 0u);
    ASSERT_EQ(layer->GetAttachedList()->Insert(&notice, 100, 0), 0u);
    layer->Repaint();
    const CImage* page = Page().PageImage()->GetImage();
    const auto pixel = [&](std::int32_t x, std::int32_t y) {
      return reinterpret_cast<const std::uint32_t*>(page->GetRowPointer(y))[x] | 0xFF000000u;
    };
    EXPECT_EQ(pixel(6, 6), 0xFFFFF000u) << "the notice";
    EXPECT_EQ(pixel(30, 6), 0xFF102040u) << "the window beside it";
  }
}

TEST_F(VovPageOpcodesTest, AGivenPartMustHoldAPicture) {
  CImageCanvasEx empty;
  EXPECT_EQ(frame_->InitPageImage(&empty), CVovPage::kPageImageUnusable);
  CImageCanvasEx given;
  ASSERT_EQ(given.Create(32, 24, 32, CImagePart::kLayer), 0u);
  ASSERT_EQ(frame_->InitPageImage(&given), 0u);
  EXPECT_EQ(Page().PageImage(), &given);
  EXPECT_NE(Page().Layer(0), nullptr);
  EXPECT_EQ(Page().Layer(1), nullptr);  // a part without partner has no back page
  EXPECT_EQ(Page().LoadSprite(0, "CHR.ELG", true, 0), 0);  // loaded, but shown nowhere
  Page().ReleasePageImage();
}

// A script that drew its widgets and tooltips on the page (as a settings screen does) is not left
// pointing at the page's images once they go.
TEST_F(VovPageOpcodesTest, TheWidgetsLayerAndTheTooltipsPartLetGoOfThePageImagesThatGo) {
  CImageCanvasEx other;
  ASSERT_EQ(other.Create(32, 24, 32, CImagePart::kLayer), 0u);
  for (std::uint32_t page : {0u, 1u}) {
    g_WidgetManager.SetLayer(Page().Layer(page));
    GuiRootWindow().SetTooltipLayer(Page().Part(page));
    Page().ReleasePageImage();
    EXPECT_EQ(g_WidgetManager.GetLayer(), nullptr) << page;
    EXPECT_EQ(GuiRootWindow().GetTooltipPart(), nullptr) << page;
    ASSERT_EQ(frame_->InitPageImage(nullptr), 0u);
  }
  // Another part's layer stays.
  g_WidgetManager.SetLayer(dynamic_cast<CDrawLayer*>(other.GetLayer()));
  GuiRootWindow().SetTooltipLayer(&other);
  Page().ReleasePageImage();
  EXPECT_EQ(g_WidgetManager.GetLayer(), other.GetLayer());
  EXPECT_EQ(GuiRootWindow().GetTooltipPart(), &other);
  g_WidgetManager.SetLayer(nullptr);
  GuiRootWindow().SetTooltipLayer(nullptr);
}

TEST_F(VovPageOpcodesTest, BackgroundOpcodesReachTheirSlot) {
  TobBuilder builder;
  builder.Command(35, {TobOperand::String("BG01.ELG"), V(1)});
  builder.Command(40, {V(3), V(4), V(1)});
  builder.Command(37, {V(0x00ABCDEF), V(0)});
  EXPECT_EQ(Run(builder), 0);
  EXPECT_EQ(Page().Bg(1).name, "BG01.ELG");
  EXPECT_NE(Page().Bg(1).image, nullptr);
  EXPECT_EQ(Page().Bg(1).offset_x, 3);
  EXPECT_EQ(Page().Bg(1).offset_y, 4);
  EXPECT_EQ(Page().Bg(0).color, 0x00ABCDEFu);
}

TEST_F(VovPageOpcodesTest, ANegativePositionKeepsAUsedSpritesPlace) {
  TobBuilder first;
  first.Command(73, {V(1), TobOperand::String("CHR.ELG"), V(2), V(0), V(0)});
  first.Command(73, {V(2), TobOperand::String("CHR.ELG"), V(-1), V(0), V(0)});  // free: the centre
  first.Command(73, {V(9), TobOperand::String("CHR.ELG"), V(-1), V(0), V(0)});  // outside the group
  ASSERT_EQ(Run(first), 0);
  EXPECT_EQ(Page().Sprite(1, false, 0)->x, 600);
  EXPECT_EQ(Page().Sprite(2, false, 0)->x, 400);
  EXPECT_EQ(Page().Sprite(2, false, 0)->y, 600);

  TobBuilder again;
  again.Command(77, {V(1), V(-50), V(0), V(0), V(0)});
  again.Command(73, {V(1), TobOperand::String("CHR2.ELG"), V(-1), V(0), V(0)});
  ASSERT_EQ(Run(again), 0);
  const SpriteRecord& kept = *Page().Sprite(1, false, 0);
  EXPECT_EQ(kept.name, "CHR2.ELG");
  EXPECT_EQ(kept.x, 600 - 50);  // where opcode 77 left it: 50 pixels left of the right place
  ASSERT_NE(kept.sprite, nullptr);
  EXPECT_EQ(kept.sprite->GetX(), kept.x - kept.ref_x);
}

TEST_F(VovPageOpcodesTest, ClearingEveryGroupAndTheOrder) {
  TobBuilder builder;
  builder.Command(73, {V(0), TobOperand::String("CHR.ELG"), V(0), V(1), V(1)});
  builder.Command(73, {V(0), TobOperand::String("CHR.ELG"), V(0), V(1), V(0)});
  builder.Command(73, {V(0), TobOperand::String("CHR.ELG"), V(0), V(1), V(2)});
  builder.Command(79, {V(0), V(1), V(0)});
  ASSERT_EQ(Run(builder), 0);
  EXPECT_EQ(Page().Sprite(0, true, 0)->priority, 20500u);
  TobBuilder clear;
  clear.Command(80, {V(1), V(-1)});
  ASSERT_EQ(Run(clear), 0);
  for (std::int32_t group : {1, 0, 2}) EXPECT_EQ(Page().Sprite(0, true, group)->sprite, nullptr) << group;
}

TEST_F(VovPageOpcodesTest, PageFlagsForgetTheLastTone) {
  frame_->SetLastBgTone(2);
  TobBuilder builder;
  builder.Command(88, {V(1)});
  builder.Command(72, {V(1)});
  ASSERT_EQ(Run(builder), 0);
  EXPECT_TRUE(frame_->PageFlag(0));
  EXPECT_FALSE(frame_->PageFlag(1));
  EXPECT_EQ(frame_->LastBgTone(), -1);
  EXPECT_TRUE(Page().SpriteTint());
  frame_->SetLastBgTone(1);
  TobBuilder second;
  second.Command(89, {V(1)});
  ASSERT_EQ(Run(second), 0);
  EXPECT_TRUE(frame_->PageFlag(1));
  EXPECT_EQ(frame_->LastBgTone(), -1);
}

TEST_F(VovPageOpcodesTest, TheZoomAreaNeedsItsEffect) {
  ASSERT_EQ(Page().LoadBg("BG01.ELG", 0), 0);
  EXPECT_EQ(Page().SetBgZoomArea(400, 300, "2.0", 0), CVovPage::kEffectMissing);
}

}  // namespace

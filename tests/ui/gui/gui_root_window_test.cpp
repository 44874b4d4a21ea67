// The root window's bindings: cursor modes, GUI sounds, command ids, and the tooltip drawn on
// its part and placed beside the pointer (flipped above it near the bottom).
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "base/input/input_manager.h"
#include "gfx/display/image_canvas.h"
#include "gui_test_support.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "support/fake_font_face.h"
#include "support/fake_screen_transition.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_root_window.h"
#include "sound/sound_channel_manager.h"

namespace {

using gui_test::LoggingElement;

using FakeApplication = gui_test::FakeGuiApplication;

class GuiRootWindowTest : public testing::Test {
 protected:
  static constexpr int32_t kLayerWidth = 640;
  static constexpr int32_t kLayerHeight = 480;

  void SetUp() override {
    BuildPixelTables();
    ASSERT_EQ(part_.Create(kLayerWidth, kLayerHeight, 32, CImagePart::kLayer), 0u);
    font_ = std::make_unique<CFont>(FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>()));
    ASSERT_EQ(font_->SetFont(16, 0, 0, "face"), 0u);
    font_->text_color = Rgb{0, 0, 0};
    window_.SetTooltipLayer(&part_);
    window_.SetTooltipFont(font_.get());
    window_.SetTooltipMode(true, 100, 0);
    tipped_.SetText("ab");
    window_.AddChild(&tipped_, -1);
  }

  // Rests the pointer at the point until the tooltip is due.
  void RestAt(plat::Point point) {
    application_.pointer = point;
    window_.ProcessInput(time_ += 10);
    window_.ProcessInput(time_ += 100);
  }

  std::pair<int32_t, int32_t> Place() const {
    const plat::Point place = window_.GetTooltipPosition();
    return {place.x, place.y};
  }

  FakeDrawLayers layers_;
  FakeApplication application_;
  CImageCanvasEx part_;
  std::unique_ptr<CFont> font_;
  std::vector<std::string> log_;
  LoggingElement tipped_{"t", log_, plat::Rect{0, 0, kLayerWidth, kLayerHeight}};
  CGuiRootWindow window_;
  uint32_t time_ = 1000;
};

TEST_F(GuiRootWindowTest, CursorModesSetTheShapeAndTheTooltipOffset) {
  CInputManager input;
  input.Create(kInputMethodMessages, kInputMethodMessages);
  g_Mouse = input.GetMouse();
  struct Row {
    int32_t mode;
    int32_t offset_y;
    int index;
    int resource;
  };
  constexpr Row kRows[] = {{1, 24, 0, 120}, {2, 20, 0, 0}, {3, 22, 5, 0}, {4, 9, 3, 0},
                           {5, 4, 0, 121},  {6, 22, 7, 0}, {0, 20, 0, 0}};
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.mode);
    EXPECT_TRUE(window_.SetCursorMode(row.mode));
    EXPECT_EQ(window_.GetCursorMode(), row.mode);
    EXPECT_EQ(window_.GetTooltipOffsetY(), row.offset_y);
    EXPECT_EQ(g_Mouse->GetCursorIndex(), row.index);
    EXPECT_EQ(g_Mouse->GetCursorResource(), row.resource);
  }
  EXPECT_TRUE(window_.SetCursorMode(2));
  EXPECT_EQ(window_.GetTooltipOffsetY(), 20);
  EXPECT_FALSE(window_.SetCursorMode(7));
  EXPECT_FALSE(window_.SetCursorMode(-1));
  EXPECT_EQ(window_.GetCursorMode(), 2);
  g_Mouse = nullptr;
}

// Channels that do not exist answer 1 from the manager; requests that never reach it give -2.
TEST_F(GuiRootWindowTest, SoundsGoToTheChannelsAndStandardOnesNeedTheirIds) {
  constexpr int32_t kBadChannel = 1;
  EXPECT_EQ(window_.PlaySound(nullptr, 3, 0, 0), CGuiRootWindow::kNoSound);
  CSoundChannelManager channels;
  window_.SetSoundChannels(&channels);
  EXPECT_EQ(window_.PlaySound(nullptr, 3, 0, 0), kBadChannel);
  EXPECT_EQ(window_.PlaySound(nullptr, CGuiWindow::kSoundDecide, 0, 0), CGuiRootWindow::kNoSound);
  window_.SetStandardSounds(11, 12, -1);
  EXPECT_EQ(window_.PlaySound(nullptr, CGuiWindow::kSoundDecide, 0, 0), kBadChannel);
  EXPECT_EQ(window_.PlaySound(nullptr, CGuiWindow::kSoundEnter, 0, 0), kBadChannel);
  EXPECT_EQ(window_.PlaySound(nullptr, CGuiWindow::kSoundLeave, 0, 0), CGuiRootWindow::kNoSound);
  EXPECT_EQ(window_.PlaySound(nullptr, -5, 0, 0), CGuiRootWindow::kNoSound);
  // -1 is neither a sound nor a standard one, with every standard sound set.
  window_.SetStandardSounds(11, 12, 13);
  EXPECT_EQ(window_.PlaySound(nullptr, CGuiWindow::kSoundLeave, 0, 0), kBadChannel);
  EXPECT_EQ(window_.PlaySound(nullptr, -1, 0, 0), CGuiRootWindow::kNoSound);
}

TEST_F(GuiRootWindowTest, TheLatestCommandIdIsKeptUntilTaken) {
  tipped_.SetId(5);
  window_.GetCommandListener().OnClick(&tipped_, 0);
  window_.OnCommand(8);
  EXPECT_EQ(window_.TakeCommandId(), 8);
  EXPECT_EQ(window_.TakeCommandId(), -1);
  window_.GetCommandListener().OnClick(&tipped_, 0);
  window_.Reset();
  EXPECT_EQ(window_.GetCommandId(), -1);
}

TEST_F(GuiRootWindowTest, EachInputStepTicksTheEnabledActiveChildrenEvenOneThatLeaves) {
  LoggingElement leaving("leaving", log_);
  LoggingElement disabled("disabled", log_);
  LoggingElement hidden("hidden", log_);
  leaving.leave_on_tick = true;
  disabled.SetEnabled(false);
  hidden.SetActive(false);
  window_.AddChild(&leaving, 0);
  window_.AddChild(&disabled, -1);
  window_.AddChild(&hidden, -1);
  window_.ProcessInput(time_);
  EXPECT_EQ(log_, (std::vector<std::string>{"leaving: tick", "t: tick"}));
  EXPECT_EQ(leaving.GetOwner(), nullptr);
}

TEST_F(GuiRootWindowTest, IsOverButtonAsksOnlyButtons) {
  EXPECT_FALSE(window_.IsOverButton(10, 10));
  tipped_.type = 1;
  tipped_.SetEnabled(false);
  EXPECT_TRUE(window_.IsOverButton(10, 10));
}

TEST_F(GuiRootWindowTest, TheTooltipIsFramedShadowedAndFollowsThePointer) {
  RestAt({100, 100});
  ASSERT_TRUE(window_.IsTooltipVisible());
  const CImage& tip = window_.GetTooltipImage();
  TextSize size;
  int32_t offset_x = 0;
  int32_t offset_y = 0;
  ASSERT_GT(font_->MeasureText("ab", &size, &offset_x, &offset_y, 1, nullptr), 0);
  const int32_t w = size.cx + 10;
  const int32_t h = size.cy + 10;
  ASSERT_EQ(tip.GetWidth(), w);
  ASSERT_EQ(tip.GetHeight(), h);
  EXPECT_EQ(tip.GetPixel(0, 0), 0xFF445F97u);
  EXPECT_EQ(tip.GetPixel(w - 5, h - 5), 0xFF445F97u);
  EXPECT_EQ(tip.GetPixel(w - 6, 1), 0xD0FFFFE1u);
  EXPECT_EQ(tip.GetPixel(w - 1, 0), 0u);
  EXPECT_EQ(tip.GetPixel(w - 1, h - 1), 0x80000000u);
  EXPECT_EQ(tip.GetPixel(0, h - 1), 0u);
  EXPECT_EQ(tip.GetPixel(4, h - 1), 0x80000000u);
  EXPECT_EQ(Place(), (std::pair<int32_t, int32_t>{100, 122}));

  application_.pointer = {130, 140};  // within the same child: the tooltip stays and follows
  window_.ProcessInput(time_ += 10);
  EXPECT_TRUE(window_.IsTooltipVisible());
  EXPECT_EQ(Place(), (std::pair<int32_t, int32_t>{130, 162}));
}

TEST_F(GuiRootWindowTest, NearTheEdgesTheTooltipFlipsAboveAndStaysOnThePart) {
  RestAt({kLayerWidth - 5, kLayerHeight - 10});
  ASSERT_TRUE(window_.IsTooltipVisible());
  const CImage& tip = window_.GetTooltipImage();
  EXPECT_EQ(Place(), (std::pair<int32_t, int32_t>{kLayerWidth - tip.GetWidth(), kLayerHeight - 10 - tip.GetHeight()}));
}

TEST_F(GuiRootWindowTest, NoTooltipWithoutAFontOrALayeredPart) {
  window_.SetTooltipFont(nullptr);
  RestAt({10, 10});
  EXPECT_FALSE(window_.IsTooltipVisible());
  window_.SetTooltipFont(font_.get());
  window_.SetTooltipMode(false, 100, 0);
  RestAt({20, 20});
  EXPECT_FALSE(window_.IsTooltipVisible());
}

}  // namespace

namespace {

// With the scene's own layers the tooltip shows through a sprite on top of the part's attached
// list: painted by the repaint where it was placed, following the pointer, gone when hidden.
TEST(GuiRootWindowSpriteTest, TheTooltipSpriteIsListedOnTopAndPaintedWhereTheTooltipIs) {
  BuildPixelTables();
  CPixelLibrary library;
  SetPixelLib(&library);
  CDrawLayerFactory factory;
  g_DrawLayerFactory = &factory;
  FakeApplication application;
  CImageCanvasEx part;
  ASSERT_EQ(part.Create(320, 240, 32, CImagePart::kLayerAndDrawList), 0u);
  auto* layer = dynamic_cast<CDrawLayer*>(part.GetLayer());
  ASSERT_NE(layer, nullptr);
  layer->SetBackgroundColor(0xFF102030, true);
  CFont font(FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>()));
  ASSERT_EQ(font.SetFont(16, 0, 0, "face"), 0u);
  std::vector<std::string> log;
  LoggingElement tipped{"t", log, plat::Rect{0, 0, 320, 240}};
  tipped.SetText("ab");
  CGuiRootWindow window;
  window.AddChild(&tipped, -1);
  window.SetTooltipLayer(&part);
  window.SetTooltipFont(&font);
  window.SetTooltipMode(true, 100, 0);
  application.pointer = {50, 60};
  window.ProcessInput(1000);
  window.ProcessInput(1100);
  ASSERT_TRUE(window.IsTooltipVisible());

  const CSprite& sprite = window.GetTooltipSprite();
  auto* list = dynamic_cast<CDrawList*>(part.GetList());
  ASSERT_EQ(sprite.GetOwnerList(), list);
  EXPECT_EQ(list->Nodes().front().drawable, &sprite);
  EXPECT_EQ(list->Nodes().front().priority, 0u);
  EXPECT_EQ(list->Nodes().front().tag, 255u);
  EXPECT_EQ(sprite.GetBlendMode(), 2);
  EXPECT_TRUE(sprite.IsEnabled());
  const CImage& tip = window.GetTooltipImage();
  const plat::Rect& bounds = *sprite.GetBoundsPtr();
  EXPECT_EQ((std::vector<int32_t>{bounds.left, bounds.top, bounds.right, bounds.bottom}),
            (std::vector<int32_t>{50, 82, 50 + tip.GetWidth(), 82 + tip.GetHeight()}));
  ASSERT_EQ(layer->Repaint(), 0);
  const CImage& shown = *part.GetImage();
  EXPECT_EQ(shown.GetPixel(50, 82) & 0xFFFFFF, 0x445F97u);
  EXPECT_EQ(shown.GetPixel(49, 82) & 0xFFFFFF, 0x102030u);

  application.pointer = {70, 90};
  window.ProcessInput(1110);
  EXPECT_EQ(sprite.GetBoundsPtr()->left, 70);
  EXPECT_EQ(sprite.GetBoundsPtr()->top, 112);
  window.HideTooltipImage();
  EXPECT_FALSE(sprite.IsEnabled());
  ASSERT_EQ(layer->Repaint(), 0);
  EXPECT_EQ(shown.GetPixel(70, 112) & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(shown.GetPixel(50, 82) & 0xFFFFFF, 0x102030u);

  window.SetTooltipLayer(nullptr);
  EXPECT_EQ(sprite.GetOwnerList(), nullptr);
  g_DrawLayerFactory = nullptr;
  SetPixelLib(nullptr);
}

}  // namespace

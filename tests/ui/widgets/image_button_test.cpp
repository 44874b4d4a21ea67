// The image button's and the coloured push button's shared state machine (hover, mouse press
// and release, the decide action and its 100 ms pressed flash), the frames of a strip, and the
// label button's bevelled face, driven by a test window with message-fed devices and a fake clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pixel/kernels/pixel_tables.h"
#include "support/fake_clock.h"
#include "support/fake_font_face.h"
#include "support/scoped_pixel_library.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_test_support.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/push_button.h"

namespace {

using gui_test::MakeStrip;
using gui_test::TestDrawList;
using gui_test::TestWindow;

constexpr uint32_t kVkReturn = 0x0D;
constexpr int32_t kFrameWidth = 30;
constexpr int32_t kFrameHeight = 20;
constexpr int32_t kId = 7;

class ImageButtonTest : public testing::Test {
 protected:
  // A button made from a strip at (100, 50), in the window, with command id 7.
  CImageButton& AddStripButton(bool has_pressed_frame, bool has_disabled_frame) {
    const int32_t frames = 2 + has_pressed_frame + has_disabled_frame;
    MakeStrip(strip_, frames, kFrameWidth, kFrameHeight);
    EXPECT_EQ(button_.CreateFromImage(&list_, 3, &strip_, has_disabled_frame, has_pressed_frame, 100, 50, 0, 255, 9),
              0u);
    button_.SetId(kId);
    EXPECT_EQ(window_.AddChild(&button_, -1), 0u);
    return button_;
  }
  int32_t Frame(plat::Point pointer) {
    window_.pointer = pointer;
    return window_.ProcessInput(clock_.PreciseMilliseconds());
  }

  ScopedFakeClock clock_;
  ScopedPixelLibrary pixels_;
  TestWindow window_;
  TestDrawList list_;
  CImage strip_;
  CImageButton button_;
};

TEST_F(ImageButtonTest, DecideFiresAtOnceOnTwoFramesAndAfterTheFlashOnThree) {
  for (const bool has_pressed_frame : {false, true}) {
    SCOPED_TRACE(has_pressed_frame);
    TestWindow window;
    CImageButton button;
    MakeStrip(strip_, 2 + has_pressed_frame, kFrameWidth, kFrameHeight);
    ASSERT_EQ(button.CreateFromImage(&list_, 3, &strip_, false, has_pressed_frame, 0, 0, 0, 255, 0), 0u);
    EXPECT_EQ(button.GetWidth(), kFrameWidth);
    button.SetId(kId);
    window.AddChild(&button, -1);
    ASSERT_EQ(window.SetFocusTo(&button), 0);
    EXPECT_EQ(button.GetShownFrame(), 1);
    window.PressKeys({kVkReturn});
    EXPECT_EQ(window.ProcessInput(clock_.PreciseMilliseconds()), CGuiWindow::kInputFocusedChild);
    if (!has_pressed_frame) {
      EXPECT_EQ(window.commands, std::vector<int32_t>{kId});
      EXPECT_EQ(button.GetState(), CImageButtonBase::kHot);
      continue;
    }
    EXPECT_TRUE(window.commands.empty());
    EXPECT_EQ(button.GetShownFrame(), 2);
    window.PressKeys({});
    clock_.Advance(100);
    window.ProcessInput(clock_.PreciseMilliseconds());
    EXPECT_TRUE(window.commands.empty());
    clock_.Advance(1);
    window.ProcessInput(clock_.PreciseMilliseconds());
    EXPECT_EQ(window.commands, std::vector<int32_t>{kId});
    EXPECT_EQ(button.GetShownFrame(), 1);
    EXPECT_EQ(window.sounds, (std::vector<std::string>{"- -3", "- -4"}));
  }
}

TEST_F(ImageButtonTest, MouseFiresOnReleaseOverTheButtonOnly) {
  for (const bool release_inside : {true, false}) {
    SCOPED_TRACE(release_inside);
    AddStripButton(true, false);
    Frame({0, 0});
    Frame({110, 60});
    EXPECT_EQ(button_.GetState(), CImageButtonBase::kHot);
    window_.SetLeftButton(true);
    EXPECT_EQ(Frame({110, 60}), CGuiWindow::kInputMouseButton);
    EXPECT_EQ(button_.GetShownFrame(), 2);
    if (!release_inside) Frame({10, 10});
    window_.SetLeftButton(false);
    Frame(window_.pointer);
    EXPECT_EQ(window_.commands, release_inside ? std::vector<int32_t>{kId} : std::vector<int32_t>{});
    EXPECT_EQ(button_.GetState(), release_inside ? CImageButtonBase::kHot : CImageButtonBase::kNormal);
    window_.RemoveChild(&button_);
    window_.commands.clear();
  }
}

// A screen pushes a level over the button, runs its own input steps and goes, most often deleting
// its widgets before it pops; the pointer never moves: the button under it is hot again at the
// first step after the pop and takes the next click.
TEST_F(ImageButtonTest, AfterAScreensLevelIsPoppedTheButtonUnderAStillPointerTakesTheClick) {
  AddStripButton(true, false);
  const plat::Point on_the_button{110, 60};
  for (const bool deleted_before_the_pop : {true, false}) {
    SCOPED_TRACE(deleted_before_the_pop);
    Frame(on_the_button);
    ASSERT_EQ(button_.GetState(), CImageButtonBase::kHot);
    ASSERT_EQ(window_.PushModalLevel(), 0u);
    EXPECT_EQ(button_.GetState(), CImageButtonBase::kNormal);
    std::vector<std::string> log;
    auto screen = std::make_unique<gui_test::LoggingElement>("screen", log, plat::Rect{0, 0, 800, 600});
    window_.AddChild(screen.get(), -1);
    Frame(on_the_button);
    EXPECT_EQ(window_.GetHovered(), screen.get());
    if (deleted_before_the_pop) screen.reset();
    ASSERT_EQ(window_.PopModalLevel(), 0u);

    Frame(on_the_button);
    EXPECT_EQ(button_.GetState(), CImageButtonBase::kHot);
    window_.SetLeftButton(true);
    EXPECT_EQ(Frame(on_the_button), CGuiWindow::kInputMouseButton);
    window_.SetLeftButton(false);
    Frame(on_the_button);
    EXPECT_EQ(window_.commands, std::vector<int32_t>{kId});
    window_.commands.clear();
  }
}

TEST_F(ImageButtonTest, FramesOfEachStateByTheStripsFrames) {
  struct Case {
    bool pressed;
    bool disabled;
    int32_t pressed_frame;
    int32_t disabled_frame;
  };
  for (const Case& c : {Case{false, false, 1, 0}, Case{true, false, 2, 0}, Case{false, true, 1, 2},
                        Case{true, true, 2, 3}}) {
    SCOPED_TRACE(testing::Message() << c.pressed << c.disabled);
    CImageButton button;
    MakeStrip(strip_, 2 + c.pressed + c.disabled, kFrameWidth, kFrameHeight);
    ASSERT_EQ(button.CreateFromImage(&list_, 3, &strip_, c.disabled, c.pressed, 0, 0, 0, 255, 0), 0u);
    button.SetState(CImageButtonBase::kPressed);
    EXPECT_EQ(button.GetShownFrame(), c.pressed_frame);
    EXPECT_TRUE(button.SetEnabled(false));
    EXPECT_EQ(button.GetState(), CImageButtonBase::kDisabled);
    EXPECT_EQ(button.GetShownFrame(), c.disabled_frame);
    EXPECT_FALSE(button.SetEnabled(false));
    EXPECT_TRUE(button.SetEnabled(true));
    EXPECT_EQ(button.GetShownFrame(), 0);
  }
}

TEST_F(ImageButtonTest, HitByRectangleOrByTheShownPixelsAndNotAfterAFailedCreate) {
  MakeStrip(strip_, 3, kFrameWidth, kFrameHeight);
  strip_.FillRectArgbXYWH(kFrameWidth + 5, 0, 1, 1, 0);  // a clear pixel in the hot frame
  CImageButton button;
  ASSERT_EQ(button.CreateFromImage(&list_, 3, &strip_, false, true, 100, 50, 2, 255, 0), 0u);
  EXPECT_TRUE(button.HitTest(105, 50));
  button.SetState(CImageButtonBase::kHot);
  EXPECT_FALSE(button.HitTest(105, 50));
  EXPECT_FALSE(button.HitTest(100 + kFrameWidth, 50));
  button.SetRectHit(true);
  EXPECT_TRUE(button.HitTest(105, 50));
  EXPECT_FALSE(button.HitTest(99, 50));

  CImage empty;
  EXPECT_EQ(button.CreateFromImage(nullptr, 0, &strip_, false, false, 0, 0, 0, 255, 0), 1u);
  EXPECT_EQ(button.CreateFromImage(&list_, 0, &empty, false, false, 0, 0, 0, 255, 0), 1u);
  EXPECT_EQ(button.Create(&list_, 0, "x", nullptr, 0, 0, 7, 20, false, 0), 1u);
  EXPECT_FALSE(button.HitTest(105, 50));
  EXPECT_EQ(button.MoveToDrawList(&list_), 1u);
}

TEST_F(ImageButtonTest, TheFaceIsASpriteInTheListShowingTheStateFrame) {
  AddStripButton(true, false);
  ASSERT_EQ(list_.Nodes().size(), 1u);
  const auto* sprite = dynamic_cast<const CSprite*>(list_.Nodes().front().drawable);
  ASSERT_NE(sprite, nullptr);
  EXPECT_EQ(list_.Nodes().front().priority, 3u);
  EXPECT_EQ(list_.Nodes().front().tag, 9u);
  EXPECT_EQ(sprite->GetSourceImage(), &strip_);
  EXPECT_EQ(sprite->GetBoundsPtr()->left, 100);
  EXPECT_EQ(sprite->GetBoundsPtr()->bottom, 50 + kFrameHeight);
  Frame({110, 60});
  ASSERT_NE(button_.GetShownFrame(), 0);
  EXPECT_EQ(sprite->GetSourceRect().left, button_.GetShownFrame() * kFrameWidth);
  EXPECT_EQ(sprite->GetSourceRect().Width(), kFrameWidth);
  button_.SetPosition(5, 6);
  button_.SetActive(false);
  EXPECT_EQ(sprite->GetBoundsPtr()->left, 5);
  EXPECT_FALSE(sprite->IsEnabled());
  button_.Release();
  EXPECT_TRUE(list_.IsEmpty());
}

class LabelButtonTest : public testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    ASSERT_EQ(font_.SetFont(16, 0, 0, "face"), 0u);
  }

  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  TestDrawList list_;
  CImageButton button_;
};

TEST_F(LabelButtonTest, WidthZeroTakesTheTextWidthPlusEightAndTheBevelFollowsTheFaceColour) {
  TextSize size;
  int32_t offset_x = 0;
  int32_t offset_y = 0;
  ASSERT_GT(font_.MeasureText("AB", &size, &offset_x, &offset_y, 1, nullptr), 0);
  ASSERT_EQ(button_.Create(&list_, 4, "AB", &font_, 10, 20, 0, 30, true, 0), 0u);
  const int32_t w = button_.GetWidth();
  EXPECT_EQ(w, size.cx + 8);
  EXPECT_EQ(button_.GetHeight(), 30);
  const CImage& image = *button_.GetImage();
  ASSERT_EQ(image.GetWidth(), 4 * w);  // normal, hot, pressed, disabled
  // Face 0xD4D0C8: light (240, 239, 236), dark1 half, dark2 a quarter, alpha 0.
  EXPECT_EQ(image.GetPixel(0, 0), 0xF0EFECu);
  EXPECT_EQ(image.GetPixel(w - 1, 29), 0x353432u);
  EXPECT_EQ(image.GetPixel(w - 2, 5), 0x6A6864u);
  EXPECT_EQ(image.GetPixel(3, 3) & 0xFFFFFF, 0xD4D0C8u);
  EXPECT_NE(image.GetPixel(w + 3, 3), image.GetPixel(3, 3));  // the hot frame is tinted
  EXPECT_EQ(image.GetPixel(2 * w, 0), 0u);  // the pressed frame has no light edge
  EXPECT_EQ(image.GetPixel(2 * w + 1, 1), 0x6A6864u);
  EXPECT_EQ(image.GetPixel(3 * w, 0), 0xF0EFECu);
  // The label: white text on the normal face, grey with a white edge on the disabled one.
  const auto count = [&image, w](int32_t frame, uint32_t colour) {
    int32_t found = 0;
    for (int32_t y = 0; y < 30; ++y) {
      for (int32_t x = frame * w; x < (frame + 1) * w; ++x) found += (image.GetPixel(x, y) & 0xFFFFFF) == colour;
    }
    return found;
  };
  EXPECT_GT(count(0, 0xFFFFFF), 0);
  EXPECT_EQ(count(0, 0x808080), 0);
  EXPECT_GT(count(3, 0x808080), 0);
  EXPECT_GT(count(3, 0xFFFFFF), 0);
  EXPECT_EQ(font_.text_color.red, 255);
  EXPECT_EQ(font_.decoration, 0);
  EXPECT_EQ(button_.GetFace().GetOpacity(), 255);
  EXPECT_TRUE(button_.HitTest(10 + w - 1, 20));
  EXPECT_FALSE(button_.HitTest(10 + w, 20));
}

TEST_F(LabelButtonTest, FaceAlphaBecomesTheOpacityAndSetLabelKeepsTheSize) {
  button_.SetFaceColours(0x80D4D0C8, CImageButton::kDefaultFocusTint);
  ASSERT_EQ(button_.Create(&list_, 4, "AB", &font_, 10, 20, 0, 0, false, 0), 0u);
  EXPECT_EQ(button_.GetFace().GetOpacity(), 0x80);
  const int32_t width = button_.GetWidth();
  EXPECT_EQ(button_.SetLabel(nullptr), 1u);
  EXPECT_EQ(button_.SetLabel("ABCD"), 0u);
  EXPECT_EQ(button_.GetWidth(), width);
  EXPECT_EQ(button_.GetX(), 10);
  EXPECT_TRUE(button_.GetFace().IsListed());
}

class PushButtonTest : public testing::Test {
 protected:
  ScopedFakeClock clock_;
  TestWindow window_;
  TestDrawList list_;
  CPushButton button_;
};

TEST_F(PushButtonTest, TheColourBoxInTheListShowsTheStateColour) {
  ASSERT_EQ(button_.Create(&list_, 1, 10, 10, 40, 20, 0x20000011, 0x40000022, 0x60000033, 5), 0u);
  ASSERT_EQ(list_.Nodes().size(), 1u);
  const auto* box = dynamic_cast<const CColorBox*>(list_.Nodes().front().drawable);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(list_.Nodes().front().tag, 5u);
  EXPECT_EQ(box->GetBoundsPtr()->left, 10);
  EXPECT_EQ(box->GetBoundsPtr()->bottom, 30);
  EXPECT_EQ(box->GetColor(), 0x11u);
  EXPECT_EQ(box->GetOpacity(), 0x20);
  window_.AddChild(&button_, -1);
  window_.pointer = {20, 20};
  window_.ProcessInput(0);
  EXPECT_EQ(box->GetColor(), 0x22u);
  EXPECT_EQ(box->GetOpacity(), 0x40);
  EXPECT_EQ(button_.Resize(60, 0), 0u);
  EXPECT_EQ(box->GetBoundsPtr()->right, 70);
  button_.Release();
  EXPECT_TRUE(list_.IsEmpty());
}

TEST_F(PushButtonTest, DecideShowsThePressedColourForOverTheFlashThenSendsOneCommand) {
  ASSERT_EQ(button_.Create(&list_, 1, 10, 10, 40, 20, CPushButton::kKeepColour, CPushButton::kKeepColour,
                           CPushButton::kKeepColour, 0),
            0u);
  EXPECT_EQ(button_.GetColour(), 0u);  // transparent until hot or pressed
  button_.SetId(3);
  window_.AddChild(&button_, -1);
  window_.SetFocusTo(&button_);
  EXPECT_EQ(button_.GetColour(), CPushButton::kDefaultHotColour);
  window_.PressKeys({kVkReturn});
  window_.ProcessInput(0);
  for (const uint32_t step : {50u, 50u}) {
    clock_.Advance(step);
    window_.PressKeys({});
    window_.ProcessInput(0);
    EXPECT_EQ(button_.GetColour(), CPushButton::kDefaultPressedColour);
  }
  EXPECT_TRUE(window_.commands.empty());
  clock_.Advance(1);
  window_.ProcessInput(0);
  window_.ProcessInput(0);
  EXPECT_EQ(window_.commands, std::vector<int32_t>{3});
  EXPECT_EQ(button_.GetColour(), CPushButton::kDefaultHotColour);
}

TEST_F(PushButtonTest, DisablingAHotButtonShowsTheNormalColourAndItIsNotHit) {
  ASSERT_EQ(button_.Create(&list_, 1, 10, 10, 40, 20, 0x11, 0x22, 0x33, 0), 0u);
  EXPECT_EQ(button_.Create(&list_, 1, 10, 10, 0, 20, 0x11, 0x22, 0x33, 0), 1u);
  window_.AddChild(&button_, -1);
  window_.pointer = {20, 20};
  window_.ProcessInput(0);
  EXPECT_EQ(button_.GetColour(), 0x22u);
  EXPECT_TRUE(button_.SetEnabled(false));
  EXPECT_EQ(button_.GetColour(), 0x11u);
  EXPECT_EQ(window_.GetHovered(), nullptr);
  window_.pointer = {21, 20};
  window_.ProcessInput(1);
  EXPECT_EQ(window_.GetHovered(), nullptr);
  EXPECT_EQ(window_.SetFocusTo(&button_), CGuiWindow::kNotFocusable);
  EXPECT_EQ(button_.Resize(0, 30), 0u);
  EXPECT_FALSE(button_.HitTest(50, 35));
  EXPECT_TRUE(button_.HitTest(49, 39));
}

}  // namespace

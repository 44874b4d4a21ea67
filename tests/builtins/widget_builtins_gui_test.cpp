// A script makes a label button and a check button on a canvas's layer, puts them into the root
// window and steps the window once a frame; the pointer clicks the check button, whose face turns
// to its checked picture, and then the label button, whose id the script takes. The canvas is
// presented to a real window (run under Xvfb), read back and written to widget_builtins.png in
// the build folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/input/input_manager.h"
#include "base/input/mouse.h"
#include "builtins/widget_builtins_fixture.h"
#include "gfx/display/direct_draw_device.h"
#include "gfx/display/screen_manager.h"
#include "support/png_file.h"
#include "support/test_window.h"

namespace {

using test_support::ScriptCallsRun;

constexpr uint32_t kBackground = 0xFF203048;
// The check box's six pictures: unchecked, hot, pressed, checked, checked hot, checked pressed.
const std::vector<uint32_t> kCheckFrames = {0xFFC00000, 0xFFE04040, 0xFF800000, 0xFF00A000, 0xFF40E040, 0xFF006000};
constexpr int32_t kLabelId = 42;
constexpr plat::Point kLabelMiddle{70, 45};
constexpr plat::Point kCheckMiddle{34, 94};

class WidgetBuiltinsGuiTest : public widget_test::WidgetBuiltinsTest {
 protected:
  static void SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "x11", 1); }

  void SetUp() override {
    WidgetBuiltinsTest::SetUp();
    input_.Create(kInputMethodMessages, kInputMethodMessages);
    input_.Activate();
    g_Mouse = input_.GetMouse();
    g_Keyboard = input_.GetKeyboard();
    g_KeyBindings = gui_test::CursorKeyBindings(input_);
    Layer()->SetBackgroundColor(kBackground, true);
    gui_test::WriteFramesElg(game_, "check.elg", 28, 28, kCheckFrames);
  }
  void TearDown() override {
    g_KeyBindings = nullptr;
    g_Keyboard = nullptr;
    g_Mouse = nullptr;
    WidgetBuiltinsTest::TearDown();
  }

  // One frame: the pointer where it is, the script's step of the window and its command.
  std::uint32_t Frame(plat::Point pointer) {
    application_.pointer = pointer;
    const ScriptCallsRun run = Run({{{706, ""}, {707, ""}}});
    EXPECT_EQ(run.RunResult(), CScriptHost::kRunFinished);
    Layer()->Repaint();
    return run.Result(1);
  }
  // Pressed in one frame, let go in the next: the command of the frame it was let go in.
  std::uint32_t Click(plat::Point pointer) {
    Frame(pointer);
    static_cast<CMessageMouse*>(input_.GetMouse())->OnButton(0, true);
    input_.Update();
    Frame(pointer);
    static_cast<CMessageMouse*>(input_.GetMouse())->OnButton(0, false);
    input_.Update();
    return Frame(pointer);
  }
  // The colour the layer painted (it leaves the alpha byte to the presenter).
  uint32_t Pixel(plat::Point point) { return canvas_->GetImage()->GetPixel(point.x, point.y) | 0xFF000000; }

  CInputManager input_;
  gui_test::FakeGuiApplication application_;
};

TEST_F(WidgetBuiltinsGuiTest, AClickedCheckButtonShowsItsCheckedPictureAndTheLabelButtonsIdComesBack) {
  auto window = OpenTestWindow("widget built-ins", 20, 20, kWidth, kHeight);
  ASSERT_NE(window, nullptr);
  const ScriptCallsRun made = Run({{{702, CanvasText()}, {685, "20, 30, 100, 30, 65535"}, {688, "20, 80, check, 0, 65535"}},
                                   "check: .string \"check.elg\"\n"});
  ASSERT_EQ(made.Result(0), 0u);
  const std::string label = std::to_string(made.Result(1));
  const std::string check = std::to_string(made.Result(2));
  const ScriptCallsRun added = Run({{{723, label + ", " + std::to_string(kLabelId)}, {716, label + ", -1"}, {716, check + ", -1"}}});
  EXPECT_EQ(added.Result(0), 1u);
  EXPECT_EQ(added.Result(1), 0u);
  EXPECT_EQ(added.Result(2), 0u);

  EXPECT_EQ(Frame({300, 200}), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(kCheckMiddle), kCheckFrames[0]);
  EXPECT_NE(Pixel(kLabelMiddle), kBackground) << "the label button's face";
  EXPECT_EQ(Pixel({300, 200}), kBackground);
  EXPECT_EQ(Click(kCheckMiddle), 0xFFFFFFFFu) << "a check button reports no command without an id";
  EXPECT_EQ(Pixel(kCheckMiddle), kCheckFrames[4]) << "checked, the pointer still on it";
  EXPECT_EQ(Call(739, check), 1u);
  EXPECT_EQ(Click(kLabelMiddle), static_cast<std::uint32_t>(kLabelId));
  EXPECT_EQ(Frame(kLabelMiddle), 0xFFFFFFFFu) << "taken once";
  EXPECT_EQ(Pixel(kCheckMiddle), kCheckFrames[3]);

  canvas_->MarkDirty(nullptr);
  auto screen = std::make_unique<CScreenManager>();
  screen->SetFrameImage(canvas_);
  ASSERT_EQ(screen->SetDisplayMode(window->Id(), true, false, false), 0u);
  ASSERT_EQ(screen->UpdateScreen(), 0u);
  const std::vector<uint32_t> shown = ShownPixels(*window, kWidth, kHeight);
  ASSERT_EQ(shown.size(), static_cast<size_t>(kWidth * kHeight));
  auto at = [&](plat::Point point) { return shown[static_cast<size_t>(point.y * kWidth + point.x)] | 0xFF000000; };
  EXPECT_EQ(at(kCheckMiddle), kCheckFrames[3]);
  EXPECT_EQ(at(kLabelMiddle), Pixel(kLabelMiddle));
  EXPECT_EQ(at({300, 200}), kBackground);
  EXPECT_TRUE(WritePng("widget_builtins.png", shown, kWidth, kHeight));
  screen.reset();
  CDirectDrawDevice::FreeDevices();
}

}  // namespace

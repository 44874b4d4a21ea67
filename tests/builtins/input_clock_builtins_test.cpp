// The clock, stopwatch and input built-ins as a game's script calls them: the clock under a
// fake clock, the stopwatches through restart, pause and resume, the action searches and
// binding changes, the skip keys by the settings, the wheel, the cursor's shape and position.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/input/game_key_bindings.h"
#include "base/input/input_manager.h"
#include "base/time/elapsed_timer_array.h"
#include "gfx/display/ddraw_picture.h"
#include "gfx/images/image_base.h"
#include "support/fake_app_services.h"
#include "support/fake_clock.h"
#include "support/game_host_fixture.h"
#include "support/input_events.h"
#include "support/script_calls.h"
#include "ui/text_objects/text_object.h"

namespace {

using test_support::KeyEvent;
using test_support::ScriptCalls;
using test_support::ScriptCallsRun;

constexpr std::uint32_t kNone = 0xFFFFFFFF;

class InputClockBuiltinsTest : public game_test::GameScriptHostTest {
 protected:
  void SetUp() override {
    GameScriptHostTest::SetUp();
    g_UserConfig = &settings_;
    manager_.Create(kInputMethodMessages, kInputMethodMessages);
    manager_.Activate();
    g_Keyboard = manager_.GetKeyboard();
    g_Mouse = manager_.GetMouse();
    g_KeyBindings = CreateGameBindings(manager_, settings_);
  }
  void TearDown() override {
    g_KeyBindings = nullptr;
    g_Mouse = nullptr;
    g_Keyboard = nullptr;
    g_UserConfig = nullptr;
    g_ElapsedTimers.Allocate(0);
    GameScriptHostTest::TearDown();
  }
  ScriptCallsRun Run(const ScriptCalls& calls) { return ScriptCallsRun(game_, host_, calls); }
  std::uint32_t Call(std::uint32_t id, const std::string& args = "") { return Run({{{id, args}}}).Result(0); }
  // One frame in which the key goes down.
  void Press(SDL_Scancode scancode, SDL_Keycode key) {
    feed_.Feed(manager_, KeyEvent(scancode, key, true));
    manager_.Update();
  }

  ScopedFakeClock clock_;
  test_support::FakeAppServices app_;
  GameSettingsBlock settings_ = DefaultGameSettings();
  test_support::InputFeed feed_;
  CInputManager manager_;
};

TEST_F(InputClockBuiltinsTest, TheClockFollowsTheProgramsClockAndTheDateIsWritten) {
  clock_.SetMilliseconds(0xFFFFFFF0);
  EXPECT_EQ(Call(541), 0xFFFFFFF0u);
  clock_.Advance(0x20);
  EXPECT_EQ(Call(541), 0x10u);  // wrapped
  const ScriptCallsRun run = Run({{{542, "year, month, day, hour, 0"}}, "year: .word 0\nmonth: .word 0\nday: .word 0\nhour: .word 99\n"});
  EXPECT_EQ(run.Result(0), 0u);
  EXPECT_GE(run.Word("year"), 2000u);
  EXPECT_GE(run.Word("month"), 1u);
  EXPECT_LE(run.Word("month"), 12u);
  EXPECT_GE(run.Word("day"), 1u);
  EXPECT_LE(run.Word("hour"), 23u);
}

TEST_F(InputClockBuiltinsTest, AStopwatchCountsFromItsRestartAndStandsWhilePaused) {
  const ScriptCallsRun made = Run({{{543, "0"}, {543, "0x10002"}, {544, "0"}, {544, "2"}, {545, "2"}, {544, "0x10001"}}});
  EXPECT_EQ(made.Result(0), 1u);
  EXPECT_EQ(made.Result(1), 0u);  // the low 16 bits: two stopwatches
  EXPECT_EQ(made.Result(2), 1u);
  EXPECT_EQ(made.Result(3), 0u);  // at the count: none
  EXPECT_EQ(made.Result(4), 0u);
  EXPECT_EQ(made.Result(5), 1u);  // index 1
  clock_.Advance(100);
  EXPECT_EQ(Call(545, "0"), 100u);
  EXPECT_EQ(Call(547, "0"), 0u);
  clock_.Advance(50);
  EXPECT_EQ(Call(545, "0"), 100u);
  EXPECT_EQ(Call(545, "1"), 150u);
  Call(548, "0");
  clock_.Advance(30);
  EXPECT_EQ(Call(545, "0"), 130u);
  Call(549);
  clock_.Advance(40);
  EXPECT_EQ(Call(545, "1"), 180u);
  Call(550);
  EXPECT_FALSE(g_ElapsedTimers.IsPaused());
  EXPECT_EQ(Call(546, "1, 500"), 0u);
  clock_.Advance(5);
  EXPECT_EQ(Call(545, "1"), 505u);
}

TEST_F(InputClockBuiltinsTest, TheActionSearchesAndTheFixedActionsAnswerForThePressedKey) {
  Press(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  const ScriptCallsRun run = Run({{{553, "0, 0"},
                                   {553, "20, 0"},
                                   {553, "6, 3"},
                                   {554, "2, 4"},
                                   {559, ""},
                                   {565, ""},
                                   {558, ""},
                                   {564, ""},
                                   {560, ""}}});
  EXPECT_EQ(run.Result(0), 5u);
  EXPECT_EQ(run.Result(1), kNone);  // past the last action
  EXPECT_EQ(run.Result(2), kNone);
  EXPECT_EQ(run.Result(3), 5u);
  EXPECT_EQ(run.Result(4), 1u);
  EXPECT_EQ(run.Result(5), 1u);
  EXPECT_EQ(run.Result(6), 0u);
  EXPECT_EQ(run.Result(7), 0u);
  EXPECT_EQ(run.Result(8), 0u);
  manager_.Update();  // the next frame: held, no longer newly pressed
  const ScriptCallsRun later = Run({{{559, ""}, {565, ""}}});
  EXPECT_EQ(later.Result(0), 0u);
  EXPECT_EQ(later.Result(1), 1u);
}

TEST_F(InputClockBuiltinsTest, BindingChangesAnswerBadActionMissingDeviceAndMissingBinding) {
  const ScriptCallsRun run = Run({{{555, "20, 0, 0x10"},
                                   {555, "6, 3, 0x10"},
                                   {556, "6, 5, 0x10"},
                                   {557, "6, 0, 0x10, 0x11"},
                                   {555, "6, 0, 0x10"},
                                   {557, "6, 0, 0x10, 0x11"},
                                   {556, "6, 0, 0x11"},
                                   {556, "6, 0, 0x11"}}});
  EXPECT_EQ(run.Result(0), 1u);
  EXPECT_EQ(run.Result(1), 2u);  // no joystick 1
  EXPECT_EQ(run.Result(2), 2u);
  EXPECT_EQ(run.Result(3), 3u);
  EXPECT_EQ(run.Result(4), 0u);
  EXPECT_EQ(run.Result(5), 0u);
  EXPECT_EQ(run.Result(6), 0u);
  EXPECT_EQ(run.Result(7), 3u);
}

TEST_F(InputClockBuiltinsTest, TheSkipKeyIsCtrlWhenTheSettingsByteIsSetAndShiftWhenNot) {
  Press(SDL_SCANCODE_LCTRL, SDLK_LCTRL);
  settings_[kSettingSkipKeyModifier] = 1;
  EXPECT_EQ(Call(570), 1u);
  EXPECT_EQ(Call(571), 1u);
  settings_[kSettingSkipKeyModifier] = 0;
  EXPECT_EQ(Call(570), 0u);
  Press(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT);
  EXPECT_EQ(Call(570), 1u);
  manager_.Update();
  EXPECT_EQ(Call(570), 0u);
  EXPECT_EQ(Call(571), 1u);
  const ScriptCallsRun keys = Run({{{572, "0x12A"}, {573, "0x12A"}, {578, "0x2A"}}});
  // Only the low byte counts: Shift (the window's key messages give either Shift the left one's
  // code), held since the frame before.
  EXPECT_EQ(keys.Result(0), 0u);
  EXPECT_EQ(keys.Result(1), 1u);
  EXPECT_EQ(keys.Result(2), 0u);
  EXPECT_EQ(Call(577, "0"), 0u);
  EXPECT_FALSE(g_Keyboard->GetReportRepeats());
}

TEST_F(InputClockBuiltinsTest, TheWheelUpAnswersAlsoWithoutAnAddressForItsDelta) {
  feed_.Feed(manager_, test_support::WheelEvent(1));
  manager_.Update();
  const ScriptCallsRun run = Run({{{591, "0"}, {591, "delta"}, {592, "0"}, {588, ""}}, "delta: .word 0\n"});
  EXPECT_EQ(run.Result(0), 1u);
  EXPECT_EQ(run.Result(1), 1u);
  EXPECT_EQ(run.Word("delta"), 120u);
  EXPECT_EQ(run.Result(2), 0u);
  EXPECT_EQ(run.Result(3), 0u);
  feed_.Feed(manager_, test_support::ButtonEvent(SDL_BUTTON_MIDDLE, true));
  manager_.Update();
  const ScriptCallsRun buttons = Run({{{587, ""}, {590, ""}, {585, ""}, {593, ""}, {594, "4"}, {595, "4"}}});
  EXPECT_EQ(buttons.Result(0), 1u);
  EXPECT_EQ(buttons.Result(1), 1u);
  EXPECT_EQ(buttons.Result(2), 0u);
  EXPECT_EQ(buttons.Result(3), 0u);  // no joystick
  EXPECT_EQ(buttons.Result(4), 0u);
  EXPECT_EQ(buttons.Result(5), 0u);
}

TEST_F(InputClockBuiltinsTest, CursorShapeThirteenIsThePointingHandAndShapeTwentyLeavesTheCursor) {
  EXPECT_EQ(Call(579, "0x103"), 0u);  // the low byte: system cursor 3
  EXPECT_EQ(g_Mouse->GetCursorIndex(), 3);
  EXPECT_EQ(g_Mouse->GetCursorResource(), 0);
  EXPECT_EQ(Call(579, "13"), 0u);
  EXPECT_EQ(g_Mouse->GetCursorResource(), 120);
  log_.Clear();
  EXPECT_EQ(Call(579, "20"), 0u);
  EXPECT_EQ(g_Mouse->GetCursorResource(), 120);
  ASSERT_EQ(log_.Lines().size(), 1u);
  EXPECT_NE(log_.Lines()[0].find("127"), std::string::npos);
}

TEST_F(InputClockBuiltinsTest, TheCursorIsShownHiddenPutAndReadInTheGameScreen) {
  const ScriptCallsRun run = Run({{{581, "0"}, {583, "100, 50"}, {582, "x, y"}, {584, ""}, {582, "0, 0"}}, "x: .word 0\ny: .word 0\n"});
  EXPECT_FALSE(app_.cursor_visible);
  EXPECT_EQ(run.Word("x"), 100u);
  EXPECT_EQ(run.Word("y"), 50u);
  EXPECT_EQ(run.Result(3), 1u);
  EXPECT_EQ(run.Result(4), 0u);
  app_.in_game = {-1, -1};
  const ScriptCallsRun outside = Run({{{581, "2"}, {584, ""}, {582, "x, y"}}, "x: .word 0\ny: .word 0\n"});
  EXPECT_TRUE(app_.cursor_visible);
  EXPECT_EQ(outside.Result(1), 0u);
  EXPECT_EQ(outside.Word("x"), kNone);
  EXPECT_EQ(outside.Word("y"), kNone);
  app_.in_game = {kCursorAxisUntested, 10};  // beside a scaled full screen's picture: not over it
  EXPECT_EQ(Call(584), 0u);
}

TEST_F(InputClockBuiltinsTest, ACursorPictureTurnsToItsSecondFrameAfterOneFrameTime) {
  CImageBase strip;  // two 2x1 frames: red, then a keyed green
  ASSERT_EQ(strip.Create(4, 1, 32, false), 0u);
  const std::uint32_t colours[] = {0xFF0000, 0xFF0000, 0x00FF00, 0x0000FF};
  std::memcpy(strip.GetRowPointer(0), colours, sizeof colours);
  strip.SetColorKeyValue(0x00FF00);
  const std::string handle = std::to_string(strip.ScriptHandle(host_.Handles()));
  EXPECT_EQ(Call(580, handle + ", 2, 100, 0, 1, 5"), 0u);
  const CCursorImage* image = g_Mouse->GetCursorImage();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetFrameWidth(), 2);
  EXPECT_EQ(image->GetHotSpot().x, 1);
  EXPECT_EQ(image->GetHotSpot().y, 5);
  EXPECT_EQ(image->FramePixels(1), (std::vector<std::uint32_t>{0, 0xFF0000FF}));
  EXPECT_EQ(g_Mouse->GetCursorImageFrame(), 0);
  clock_.Advance(99);
  manager_.Update();
  EXPECT_EQ(g_Mouse->GetCursorImageFrame(), 0);
  clock_.Advance(1);
  manager_.Deactivate();  // the picture goes on while the program is inactive
  manager_.Update();
  EXPECT_EQ(g_Mouse->GetCursorImageFrame(), 1);
  EXPECT_EQ(Call(579, "3"), 0u);  // a shape drops the picture
  EXPECT_EQ(g_Mouse->GetCursorImage(), nullptr);
  EXPECT_EQ(g_Mouse->GetCursorImageFrame(), -1);
}

TEST_F(InputClockBuiltinsTest, ACursorPictureTheCursorCannotTakeGivesItsStatusAndKeepsTheCursor) {
  CDDrawPicture no_surface;
  CImageBase no_pixels;
  CImageBase narrow;
  ASSERT_EQ(narrow.Create(1, 1, 32, false), 0u);
  CImageBase paletted;
  ASSERT_EQ(paletted.Create(2, 2, 8, false), 0u);
  CTextObject text;
  const struct {
    CImageInterface& object;
    std::string rest;
    std::uint32_t status;
  } cases[] = {{no_surface, ", 1, 10, 0, 0, 0", 1u}, {no_pixels, ", 1, 10, 0, 0, 0", 2u},
               {text, ", 1, 10, 0, 0, 0", 3u},       {narrow, ", 2, 10, 0, 0, 0", 3u},
               {paletted, ", 1, 10, 0, 0, 0", 3u}};
  for (const auto& c : cases) {
    EXPECT_EQ(Call(580, std::to_string(c.object.ScriptHandle(host_.Handles())) + c.rest), c.status) << c.status;
    EXPECT_EQ(g_Mouse->GetCursorImage(), nullptr);
  }
  EXPECT_EQ(Call(580, "0x7654321, 1, 10, 0, 0, 0"), 3u);  // no such object
  EXPECT_EQ(Call(580, "0, 1, 10, 0, 0, 0"), 0u);
}

}  // namespace

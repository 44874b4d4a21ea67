// The keyboards and mice fed with SDL events, as the window thread takes them, and read frame by
// frame as the game thread does.
#include <gtest/gtest.h>

#include "base/input/input_manager.h"
#include "base/input/message_keyboard.h"
#include "support/input_events.h"

namespace {

using test_support::ButtonEvent;
using test_support::KeyEvent;
using test_support::WheelEvent;

constexpr uint32_t kDikReturn = 0x1C;
constexpr uint32_t kDikNumpadEnter = 0x9C;
constexpr uint32_t kDikEscape = 0x01;
constexpr uint32_t kDikNoConvert = 0x7B;
constexpr uint32_t kDikA = 0x1E;
constexpr uint32_t kDikZ = 0x2C;

class InputDevicesTest : public testing::Test {
 protected:
  void Make(uint8_t method) {
    manager_.InitDirectInput(method == kInputMethodDirect);
    manager_.Create(method, method);
    manager_.Activate();
  }
  CKeyboard& Keyboard() { return *manager_.GetKeyboard(); }
  void Feed(const SDL_Event& event) { feed_.Feed(manager_, event); }
  void Press(SDL_Scancode scancode, SDL_Keycode key) { Feed(KeyEvent(scancode, key, true)); }
  void Release(SDL_Scancode scancode, SDL_Keycode key) { Feed(KeyEvent(scancode, key, false)); }

  test_support::InputFeed feed_;
  CInputManager manager_;
};

TEST_F(InputDevicesTest, EachInputMethodMakesItsKeyboardAndMouse) {
  struct Case {
    uint8_t method;
    uint32_t keyboard;
    uint32_t mouse;
  };
  // Method 3 reads the mouse polled as well: the game's devices need one.
  for (const Case& c : {Case{kInputMethodDirect, kInputDirect, kInputDirect},
                        Case{kInputMethodPolled, kInputPolled, kInputPolled},
                        Case{kInputMethodMessages, kInputMessages, kInputMessages},
                        Case{kInputMethodPolledShort, kInputPolledShort, kInputPolled},
                        Case{9, kInputPolled, kInputMessages}}) {
    SCOPED_TRACE(static_cast<int>(c.method));
    Make(c.method);
    ASSERT_NE(manager_.GetKeyboard(), nullptr);
    ASSERT_NE(manager_.GetMouse(), nullptr);
    EXPECT_EQ(manager_.GetKeyboard()->GetType(), c.keyboard);
    EXPECT_EQ(manager_.GetMouse()->GetType(), c.mouse);
  }
}

TEST_F(InputDevicesTest, AHeldKeyReadsPressedOnlyInItsFirstFrame) {
  for (const uint8_t method : {kInputMethodDirect, kInputMethodPolled, kInputMethodMessages}) {
    SCOPED_TRACE(static_cast<int>(method));
    Make(method);
    Press(SDL_SCANCODE_A, SDLK_a);
    manager_.Update();
    EXPECT_TRUE(Keyboard().IsPressed(kDikA));
    EXPECT_EQ(Keyboard().GetFirstPressed(), static_cast<int32_t>(kDikA));
    for (int frame = 0; frame < 3; ++frame) {
      manager_.Update();
      EXPECT_TRUE(Keyboard().IsDown(kDikA));
      EXPECT_FALSE(Keyboard().IsPressed(kDikA));
      EXPECT_EQ(Keyboard().GetFirstPressed(), kNoInputCode);
    }
    Release(SDL_SCANCODE_A, SDLK_a);
    manager_.Update();
    EXPECT_FALSE(Keyboard().IsDown(kDikA));
    EXPECT_EQ(Keyboard().GetFirstDown(), kNoInputCode);
  }
}

TEST_F(InputDevicesTest, AKeyTappedBetweenTwoFramesReadsPressedForExactlyOneFrame) {
  Make(kInputMethodMessages);
  Press(SDL_SCANCODE_Z, SDLK_z);
  Release(SDL_SCANCODE_Z, SDLK_z);
  manager_.Update();
  EXPECT_TRUE(Keyboard().IsPressed(kDikZ));
  EXPECT_FALSE(Keyboard().IsDown(kDikZ));
  manager_.Update();
  EXPECT_FALSE(Keyboard().IsPressed(kDikZ));
}

TEST_F(InputDevicesTest, AutoRepeatIsReportedUnlessSwitchedOff) {
  for (const bool report : {true, false}) {
    SCOPED_TRACE(report);
    Make(kInputMethodMessages);
    Keyboard().SetReportRepeats(report);
    Press(SDL_SCANCODE_Z, SDLK_z);
    manager_.Update();
    EXPECT_FALSE(Keyboard().IsRepeated(kDikZ));
    Feed(KeyEvent(SDL_SCANCODE_Z, SDLK_z, true, true));
    manager_.Update();
    EXPECT_EQ(Keyboard().IsRepeated(kDikZ), report);
    EXPECT_EQ(Keyboard().IsPressed(kDikZ), report);
    EXPECT_TRUE(Keyboard().IsDown(kDikZ));
  }
}

// A chord pressed and let go within one frame (as remote desktops and macros send it): the key's
// press keeps the modifiers as they were when it went down; a key pressed alone keeps none.
TEST_F(InputDevicesTest, AChordWithinOneFrameKeepsItsModifierWithThePress) {
  constexpr uint32_t kDikCtrl = 0x1D;
  constexpr uint32_t kDikF3 = 0x3D;
  constexpr uint32_t kDikF4 = 0x3E;
  Make(kInputMethodMessages);
  Press(SDL_SCANCODE_LCTRL, SDLK_LCTRL);
  Press(SDL_SCANCODE_F3, SDLK_F3);
  Release(SDL_SCANCODE_F3, SDLK_F3);
  Release(SDL_SCANCODE_LCTRL, SDLK_LCTRL);
  Press(SDL_SCANCODE_F4, SDLK_F4);
  Release(SDL_SCANCODE_F4, SDLK_F4);
  manager_.Update();
  EXPECT_TRUE(Keyboard().IsPressed(kDikF3));
  EXPECT_FALSE(Keyboard().IsDown(kDikCtrl)) << "Ctrl is up again when the frame reads";
  EXPECT_TRUE(Keyboard().WasDownAtPress(kDikCtrl, kDikF3));
  EXPECT_TRUE(Keyboard().IsPressed(kDikF4));
  EXPECT_FALSE(Keyboard().WasDownAtPress(kDikCtrl, kDikF4)) << "F4 went down after Ctrl was let go";
  manager_.Update();
  EXPECT_FALSE(Keyboard().WasDownAtPress(kDikCtrl, kDikF3)) << "the next frame holds no press";
}

// Alt+F4 opens a question whose loop takes Alt's and F4's key-ups: only the layer's state hears
// them. Kept in step with it (as a modal loop ends, or the window is activated), the message
// keyboard lets go of both, so that F1 alone reads without Alt; Alt held on the other side is
// still the Alt that the messages name.
TEST_F(InputDevicesTest, KeysLetGoWhereTheWindowDidNotHearItAreLetGoWhenKeptInStep) {
  constexpr uint32_t kDikAlt = 0x38;
  constexpr uint32_t kDikF1 = 0x3B;
  constexpr uint32_t kDikF4 = 0x3E;
  Make(kInputMethodMessages);
  Press(SDL_SCANCODE_LALT, SDLK_LALT);
  Press(SDL_SCANCODE_F4, SDLK_F4);
  for (const SDL_Scancode key : {SDL_SCANCODE_LALT, SDL_SCANCODE_F4}) {
    plat::InputState::Instance().Take(KeyEvent(key, SDL_GetKeyFromScancode(key), false));
  }
  manager_.Update();
  ASSERT_TRUE(Keyboard().IsDown(kDikAlt)) << "the messages never said";
  manager_.KeepKeysInStep();
  EXPECT_FALSE(Keyboard().IsDown(kDikAlt));
  EXPECT_FALSE(Keyboard().IsDown(kDikF4));
  Press(SDL_SCANCODE_F1, SDLK_F1);
  manager_.Update();
  EXPECT_TRUE(Keyboard().IsPressed(kDikF1));
  EXPECT_FALSE(Keyboard().WasDownAtPress(kDikAlt, kDikF1));
  Press(SDL_SCANCODE_RALT, SDLK_RALT);
  manager_.KeepKeysInStep();
  EXPECT_TRUE(Keyboard().IsDown(kDikAlt)) << "held on the right";
  EXPECT_TRUE(Keyboard().IsDown(kDikF1));
}

TEST_F(InputDevicesTest, WindowMessagesReachTheKeyCodesOfTheTable) {
  Make(kInputMethodMessages);
  const auto& keyboard = static_cast<const CMessageKeyboard&>(Keyboard());
  struct Case {
    uint32_t virtual_key;
    uint8_t dik;
  };
  for (const Case& c : {Case{0x1B, 0x01}, Case{0x10, 0x2A}, Case{0x11, 0x1D}, Case{0x12, 0x38}, Case{0x0D, 0x1C},
                        Case{0x26, 0xC8}, Case{0x41, 0x1E}, Case{0x07, 0x00}}) {
    EXPECT_EQ(keyboard.KeyCodeOf(c.virtual_key), c.dik) << std::hex << c.virtual_key;
  }
}

TEST_F(InputDevicesTest, KeysThatShareAVirtualKeyReadTogetherWhenPolledByIt) {
  struct Case {
    uint8_t method;
    SDL_Scancode scancode;
    SDL_Keycode key;
    std::vector<uint32_t> down;
  };
  const Case cases[] = {
      {kInputMethodPolled, SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, {kDikReturn, kDikNumpadEnter}},
      {kInputMethodPolled, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, {kDikEscape, kDikNoConvert}},
      {kInputMethodDirect, SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, {kDikNumpadEnter}},
      {kInputMethodDirect, SDL_SCANCODE_RCTRL, SDLK_RCTRL, {0x9D}},
      {kInputMethodMessages, SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, {kDikReturn}},
      {kInputMethodPolledShort, SDL_SCANCODE_Z, SDLK_z, {kDikZ}},
      {kInputMethodPolledShort, SDL_SCANCODE_A, SDLK_a, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(SDL_GetScancodeName(c.scancode) + std::string(" method ") + std::to_string(c.method));
    Make(c.method);
    Press(c.scancode, c.key);
    manager_.Update();
    std::vector<uint32_t> down;
    for (uint32_t code = 0; code < 256; ++code) {
      if (Keyboard().IsDown(code)) down.push_back(code);
    }
    EXPECT_EQ(down, c.down);
    Release(c.scancode, c.key);
  }
}

TEST_F(InputDevicesTest, ThePointerOutsideTheScreenReadsTheButtonsUp) {
  TrackedCursor cursor;
  for (const uint8_t method : {kInputMethodDirect, kInputMethodPolled, kInputMethodMessages}) {
    SCOPED_TRACE(static_cast<int>(method));
    Make(method);
    CMouse& mouse = *manager_.GetMouse();
    mouse.SetPosition(&cursor);
    cursor.Set(10, 10);
    Feed(ButtonEvent(SDL_BUTTON_RIGHT, true));
    Feed(WheelEvent(1));
    manager_.Update();
    EXPECT_TRUE(mouse.IsPressed(kMouseRight));
    EXPECT_TRUE(mouse.IsDown(kMouseWheelAway));
    EXPECT_EQ(mouse.GetWheel(), 120);
    struct Place {
      int32_t x;
      int32_t y;
      bool over;
    };
    for (const Place& place : {Place{-1, -1, false}, Place{5, -1, false}, Place{-2, 5, true}, Place{-2, -2, true}}) {
      cursor.Set(place.x, place.y);
      EXPECT_EQ(mouse.IsDown(kMouseRight), place.over) << place.x << "," << place.y;
      EXPECT_EQ(mouse.IsPressed(kMouseRight), place.over);
      EXPECT_EQ(mouse.GetFirstDown(), place.over ? static_cast<int32_t>(kMouseRight) : kNoInputCode);
      EXPECT_EQ(mouse.GetWheel(), place.over ? 120 : 0);
    }
    cursor.Set(10, 10);
    Feed(ButtonEvent(SDL_BUTTON_RIGHT, false));
  }
}

TEST_F(InputDevicesTest, TheCursorShapeIsOneOfTheThirteenSystemCursors) {
  Make(kInputMethodMessages);
  CMouse& mouse = *manager_.GetMouse();
  EXPECT_EQ(mouse.SetCursorShape(12), 0u);
  EXPECT_EQ(mouse.SetCursorShape(13), 1u);
  EXPECT_EQ(mouse.SetCursorShape(-1), 1u);
  EXPECT_EQ(mouse.GetCursorIndex(), 12);
}

TEST_F(InputDevicesTest, TheWheelTurnsReadAsTheirCodesForOneFrame) {
  for (const uint8_t method : {kInputMethodDirect, kInputMethodPolled, kInputMethodMessages}) {
    SCOPED_TRACE(static_cast<int>(method));
    Make(method);
    CMouse& mouse = *manager_.GetMouse();
    Feed(WheelEvent(-2));
    manager_.Update();
    EXPECT_TRUE(mouse.IsPressed(kMouseWheelTowards));
    EXPECT_FALSE(mouse.IsDown(kMouseWheelAway));
    EXPECT_EQ(mouse.GetWheel(), -240);
    manager_.Update();
    EXPECT_FALSE(mouse.IsDown(kMouseWheelTowards));
  }
}

TEST_F(InputDevicesTest, AnInactiveManagerNeitherUpdatesNorKeepsWhatWasDown) {
  Make(kInputMethodMessages);
  Press(SDL_SCANCODE_A, SDLK_a);
  manager_.Update();
  manager_.Deactivate();
  EXPECT_FALSE(Keyboard().IsDown(kDikA));
  EXPECT_FALSE(Keyboard().IsPressed(kDikA));
  Press(SDL_SCANCODE_Z, SDLK_z);
  manager_.Update();
  EXPECT_FALSE(Keyboard().IsPressed(kDikZ));
}

}  // namespace

// Joysticks on SDL's virtual joystick device: directions by threshold, buttons as codes, and a
// device that goes away and comes back.
#include "base/input/joystick.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include "base/input/input_manager.h"

namespace {

constexpr int kButtons = 6;

class JoystickTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plat::JoystickPort::Start()) << SDL_GetError();
    Attach();
  }
  void TearDown() override {
    manager_.ReleaseAll();
    Detach();
  }

  void Attach() {
    device_index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, kButtons, 0);
    ASSERT_GE(device_index_, 0) << SDL_GetError();
    handle_ = SDL_JoystickOpen(device_index_);
    ASSERT_NE(handle_, nullptr) << SDL_GetError();
  }
  void Detach() {
    if (handle_ == nullptr) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(handle_);
    SDL_JoystickClose(handle_);
    handle_ = nullptr;
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
      if (SDL_JoystickGetDeviceInstanceID(index) == id) SDL_JoystickDetachVirtual(index);
    }
  }
  // Puts the stick and the buttons where the test wants them, as the device would report them.
  // Nothing pumps SDL's events or updates its devices here: the joystick's reads take in what
  // the device reported.
  void Set(int16_t x, int16_t y, uint32_t buttons = 0) {
    SDL_JoystickSetVirtualAxis(handle_, 0, x);
    SDL_JoystickSetVirtualAxis(handle_, 1, y);
    for (int button = 0; button < kButtons; ++button) {
      SDL_JoystickSetVirtualButton(handle_, button, ((buttons >> button) & 1) != 0 ? SDL_PRESSED : SDL_RELEASED);
    }
  }

  CInputManager manager_;
  int device_index_ = -1;
  SDL_Joystick* handle_ = nullptr;
};

TEST_F(JoystickTest, TheStickReadsADirectionBeyondAThirdOfItsRange) {
  ASSERT_GE(manager_.AddJoystick(-1), 0);
  CJoystick& joystick = *manager_.GetJoystick(0);
  EXPECT_EQ(joystick.GetRightThreshold(), 10922);
  EXPECT_EQ(joystick.GetLeftThreshold(), -10923);
  EXPECT_EQ(joystick.GetButtonCount(), static_cast<uint32_t>(kButtons));
  manager_.Activate();
  struct Case {
    int16_t x;
    int16_t y;
    int32_t first_down;
  };
  for (const Case& c : {Case{0, 0, kNoInputCode}, Case{10922, 0, kNoInputCode}, Case{10923, 0, kJoystickRight},
                        Case{-10924, 0, kJoystickLeft}, Case{0, -20000, kJoystickUp}, Case{5000, 32767, kJoystickDown},
                        Case{-32768, -32768, kJoystickUp}}) {
    Set(c.x, c.y);
    manager_.Update();
    EXPECT_EQ(joystick.GetFirstDown(), c.first_down) << c.x << "," << c.y;
  }
}

TEST_F(JoystickTest, ButtonsAreCodesFromFourAndPressedInTheirFirstFrame) {
  manager_.AddJoystick(-1);
  manager_.Activate();
  CJoystick& joystick = *manager_.GetJoystick(0);
  Set(0, 0, 0b100);
  manager_.Update();
  EXPECT_TRUE(joystick.IsPressed(kJoystickFirstButton + 2));
  EXPECT_EQ(joystick.GetFirstPressed(), static_cast<int32_t>(kJoystickFirstButton + 2));
  manager_.Update();
  EXPECT_TRUE(joystick.IsDown(kJoystickFirstButton + 2));
  EXPECT_FALSE(joystick.IsPressed(kJoystickFirstButton + 2));
  EXPECT_FALSE(joystick.IsDown(kJoystickFirstButton + kButtons));
  // Switched off, the joystick reads nothing.
  manager_.SetJoysticksEnabled(false);
  manager_.Update();
  EXPECT_EQ(joystick.GetFirstDown(), kNoInputCode);
}

TEST_F(JoystickTest, ADeviceIsHeldByOneJoystickAndTakenUpAgainWhenItReturns) {
  EXPECT_GE(manager_.AddJoystick(-1), 0);
  EXPECT_EQ(manager_.AddJoystick(-1), 2);
  EXPECT_EQ(manager_.GetJoystickCount(), 1u);
  CJoystick& joystick = *manager_.GetJoystick(0);
  EXPECT_EQ(joystick.Open(CJoystick::kMostDevices), CJoystick::kBadNumber);
  ASSERT_EQ(joystick.Open(-1), 0u);
  manager_.Activate();
  Set(20000, 0);
  manager_.Update();
  EXPECT_TRUE(joystick.IsDown(kJoystickRight));
  Detach();
  EXPECT_EQ(joystick.Update(), 2u);
  EXPECT_EQ(joystick.GetFirstDown(), kNoInputCode);
  Attach();
  Set(20000, 0);
  EXPECT_EQ(joystick.Update(), 0u);
  EXPECT_TRUE(joystick.IsDown(kJoystickRight));
}

}  // namespace

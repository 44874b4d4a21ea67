// A joystick or game controller: codes 0 up, 1 down, 2 left, 3 right (the stick beyond a third
// of its range from the centre, the thresholds (2·min + max) / 3 and (min + 2·max) / 3), and
// 4 + n button n. It opens the first attached device that no other joystick holds; when its
// device goes away it reads neutral, and it takes up a device that is attached again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/input/input_device.h"
#include "platform/events/joystick_port.h"

inline constexpr uint32_t kJoystickUp = 0;
inline constexpr uint32_t kJoystickDown = 1;
inline constexpr uint32_t kJoystickLeft = 2;
inline constexpr uint32_t kJoystickRight = 3;
inline constexpr uint32_t kJoystickFirstButton = 4;

class CJoystick : public CInputDevice {
 public:
  // The joystick table's size: device numbers 0 to 15.
  static constexpr int32_t kMostDevices = 16;
  // Open's results besides 0.
  static constexpr uint32_t kBadNumber = 1;
  static constexpr uint32_t kNoDevice = 2;

  ~CJoystick() override;

  // Opens device `number`, or the first free attached device with -1: 0, kBadNumber for a number
  // beyond the table, kNoDevice when that device is not attached, is held, or cannot be opened.
  uint32_t Open(int32_t number);

  bool IsDown(uint32_t code) const override { return Meets(Latest(), code); }
  bool IsPressed(uint32_t code) const override { return Meets(Latest(), code) && !Meets(Previous(), code); }
  int32_t GetFirstDown() const override;
  int32_t GetFirstPressed() const override;
  void ResetState() override;
  void Acquire() {}
  void Unacquire() { ResetState(); }
  // 0, 1 not open, 2 the device could not be read (both states neutral).
  uint32_t Update();

  int32_t GetDeviceNumber() const { return number_; }
  const std::string& GetName() const { return name_; }
  uint32_t GetButtonCount() const { return button_count_; }
  uint32_t GetAxisCount() const { return axis_count_; }
  int32_t GetLeftThreshold() const { return left_; }
  int32_t GetRightThreshold() const { return right_; }

 private:
  struct State {
    int32_t x = 0;
    int32_t y = 0;
    uint32_t buttons = 0;
  };

  bool Meets(const State& state, uint32_t code) const;
  const State& Latest() const { return states_[write_index_ ^ 1]; }
  const State& Previous() const { return states_[write_index_]; }
  void Close();
  State Neutral() const { return State{left_, up_, 0}; }

  std::unique_ptr<plat::JoystickPort> port_;
  int32_t number_ = -1;
  State states_[2];
  uint8_t write_index_ = 0;
  int32_t left_ = 0;
  int32_t right_ = 0;
  int32_t up_ = 0;
  int32_t down_ = 0;
  uint32_t button_count_ = 0;
  uint32_t axis_count_ = 0;
  std::string name_;
};

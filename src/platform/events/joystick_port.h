// Joysticks and game controllers through SDL. A port is one open device: its stick's X and Y
// position and its buttons. A game controller reads as its left stick and its buttons in SDL's
// order; any other joystick as its first two axes and its own buttons. Devices come and go while
// the program runs: a port whose device went away reads nothing until one is opened again.
// Counting and reading take in what the devices reported since (SDL does not at each pump of the
// window's events); reads hold SDL's joystick lock, so the game thread may read while the window
// thread pumps.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct _SDL_Joystick;
struct _SDL_GameController;

namespace plat {

struct JoystickReading {
  int32_t x = 0;
  int32_t y = 0;
  uint32_t buttons = 0;  // bit n: button n held
};

class JoystickPort {
 public:
  // The range of each axis.
  static constexpr int32_t kAxisMin = -32768;
  static constexpr int32_t kAxisMax = 32767;
  static constexpr int kMostButtons = 32;

  // Starts SDL's joystick and game-controller services, once; false when they cannot start.
  static bool Start();
  // The devices attached now (0 before Start).
  static int Count();
  // Opens the index-th attached device; null when it cannot be opened.
  static std::unique_ptr<JoystickPort> Open(int index);

  ~JoystickPort();
  JoystickPort(const JoystickPort&) = delete;
  JoystickPort& operator=(const JoystickPort&) = delete;

  // The device's name, empty when it has none.
  const std::string& Name() const { return name_; }
  int AxisCount() const { return axes_; }
  int ButtonCount() const { return buttons_; }
  // SDL's number for the device while it is attached; two ports never share one.
  int32_t InstanceId() const { return instance_id_; }
  // The position and the buttons now; false when the device is no longer attached.
  bool Read(JoystickReading& out) const;

 private:
  JoystickPort(_SDL_Joystick* joystick, _SDL_GameController* controller);

  _SDL_Joystick* joystick_;
  _SDL_GameController* controller_;
  std::string name_;
  int axes_ = 0;
  int buttons_ = 0;
  int32_t instance_id_ = -1;
};

}  // namespace plat

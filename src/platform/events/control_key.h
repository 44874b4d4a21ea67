// Whether a Ctrl key is held at this moment, also before any window of the program has the
// keyboard focus (the start-up reads it to open the game in a window).
#pragma once

namespace plat {

bool IsControlKeyHeld();

// While it lives, IsControlKeyHeld answers `held` instead of asking the keyboard.
class ScopedControlKeyState {
 public:
  explicit ScopedControlKeyState(bool held);
  ~ScopedControlKeyState();
  ScopedControlKeyState(const ScopedControlKeyState&) = delete;
  ScopedControlKeyState& operator=(const ScopedControlKeyState&) = delete;

 private:
  int previous_;
};

}  // namespace plat

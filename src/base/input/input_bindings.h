// Actions bound to input: each action answers to any number of bindings, each a device of the
// input manager and a code on it. Devices are named by selector: 0 the keyboard, 1 the mouse,
// n + 2 the n-th joystick.
#pragma once

#include <cstdint>
#include <vector>

class CInputDevice;
class CInputManager;

inline constexpr int32_t kSelectKeyboard = 0;
inline constexpr int32_t kSelectMouse = 1;
inline constexpr int32_t kSelectFirstJoystick = 2;

class CInputBindings {
 public:
  explicit CInputBindings(const CInputManager& manager) : manager_(manager) {}

  // 0 with n empty actions; 1 for n = 0.
  uint32_t Allocate(uint32_t count);
  void Free() { actions_.clear(); }
  uint32_t GetActionCount() const { return static_cast<uint32_t>(actions_.size()); }

  // 0 appended (duplicates allowed); 1 bad action, 2 no such device.
  uint32_t AddBinding(uint32_t action, int32_t selector, uint8_t code);
  // A negative selector removes every binding of the action. 0 removed the first match; 1 bad
  // action, 2 no such device, 3 no binding of that device and code.
  uint32_t RemoveBinding(uint32_t action, int32_t selector, uint8_t code);
  // Replaces the code of the device's first binding whose code is `old_code`, or of its first
  // binding when `old_code` is negative. 0; 1 bad action, 2 no such device, 3 not found.
  uint32_t ChangeBinding(uint32_t action, int32_t selector, uint8_t new_code, int32_t old_code);
  // The index-th binding of the action on the device (any device with a negative selector).
  // 0; 1 bad action, 2 index out of range (negative selector), 3 no such device, 4 not found.
  uint32_t GetBinding(uint32_t action, int32_t selector, uint32_t index, uint8_t* code = nullptr,
                      CInputDevice** device = nullptr) const;
  // The bindings of the action on the device; 0 for a bad action or device.
  uint32_t CountBindings(uint32_t action, int32_t selector) const;

  // Enter held or pressed with Alt is the system's chord, not a key of any action.
  bool IsActionDown(uint32_t action) const;
  bool IsActionPressed(uint32_t action) const;
  // The first action from `first` on (`count` of them; 0 or past the end: to the last) with a
  // binding down or newly pressed; -1 when none.
  int32_t FindActionDown(uint32_t first, uint32_t count) const;
  int32_t FindActionPressed(uint32_t first, uint32_t count) const;

 private:
  struct Binding {
    CInputDevice* device;
    uint8_t code;
  };
  using Action = std::vector<Binding>;

  CInputDevice* DeviceOf(int32_t selector) const;
  bool IsDown(const Binding& binding) const;
  bool IsPressed(const Binding& binding) const;
  // Whether the binding is an Enter key of the keyboard and Alt was held: at its press, or now.
  bool IsAltChord(const Binding& binding, bool at_press) const;
  template <class Test>
  bool AnyBinding(uint32_t action, Test test) const;
  template <class Test>
  int32_t FindAction(uint32_t first, uint32_t count, Test test) const;

  const CInputManager& manager_;
  std::vector<Action> actions_;
};

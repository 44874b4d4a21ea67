// The interface every input device answers: is a code down, was it newly pressed since the
// previous frame, which is the first code down or newly pressed. Keyboards answer DirectInput key
// codes, mice their buttons and wheel, joysticks their stick directions and buttons.
#pragma once

#include <cstdint>

// How a device reads its input (GetType).
inline constexpr uint32_t kInputDirect = 0;
inline constexpr uint32_t kInputPolled = 1;
inline constexpr uint32_t kInputMessages = 2;
inline constexpr uint32_t kInputPolledShort = 3;

// The "none" answer of GetFirstDown and GetFirstPressed.
inline constexpr int32_t kNoInputCode = -1;

class CInputDevice {
 public:
  CInputDevice() = default;
  CInputDevice(const CInputDevice&) = delete;
  CInputDevice& operator=(const CInputDevice&) = delete;
  virtual ~CInputDevice() = default;

  virtual bool IsDown(uint32_t code) const = 0;
  virtual bool IsPressed(uint32_t code) const = 0;
  virtual int32_t GetFirstDown() const = 0;
  virtual int32_t GetFirstPressed() const = 0;
  virtual void ResetState() = 0;

 protected:
  // The lowest code below `count` that passes the test, or kNoInputCode.
  template <class Test>
  static int32_t FirstCode(uint32_t count, Test test) {
    for (uint32_t code = 0; code < count; ++code) {
      if (test(code)) return static_cast<int32_t>(code);
    }
    return kNoInputCode;
  }
};

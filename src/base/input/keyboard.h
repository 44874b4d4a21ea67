// Keyboards: the DirectInput keyboard (every key as SDL reports it), the keyboards polled by
// virtual key over the whole key table or its short list, and the keyboard fed by the window's
// key messages (message_keyboard.h). Each keeps two states and flips between them on every
// update, so that a newly pressed key compares the latest frame with the one before.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>

#include "base/input/input_device.h"
#include "base/input/key_table.h"
#include "platform/events/input_state.h"

// Key codes run from 0 to 255.
inline constexpr uint32_t kKeyCodeCount = 256;

class CKeyboard : public CInputDevice {
 public:
  // Reads the lock keys, as every refresh of them does.
  CKeyboard();

  virtual bool IsRepeated(uint32_t /*code*/) const { return false; }
  virtual uint32_t GetType() const = 0;
  virtual void Acquire() {}
  virtual void Unacquire() { ResetState(); }
  // 0, or 2 when the keyboard could not be read (both states are cleared then).
  virtual uint32_t Update() = 0;

  // Scroll Lock, Caps Lock and Num Lock toggles as the keyboard last saw them (refreshed on the
  // window thread by key messages, read on the game thread).
  void RefreshLockKeys();
  bool IsScrollLockOn() const { return (lock_bits_.load() & kScrollLockBit) != 0; }
  bool IsCapsLockOn() const { return (lock_bits_.load() & kCapsLockBit) != 0; }
  bool IsNumLockOn() const { return (lock_bits_.load() & kNumLockBit) != 0; }
  // Whether `held` was down as `pressed` went down in the latest frame. A keyboard that reads whole
  // states sees both at once; one fed by messages keeps the modifiers of each press, so that a
  // chord let go again within the frame keeps its modifier.
  virtual bool WasDownAtPress(uint32_t held, uint32_t /*pressed*/) const { return IsDown(held); }
  // Whether auto-repeat is reported; only the message keyboard reads it.
  bool GetReportRepeats() const { return report_repeats_; }
  void SetReportRepeats(bool on) { report_repeats_ = on; }

 private:
  static constexpr uint8_t kScrollLockBit = 1;
  static constexpr uint8_t kCapsLockBit = 2;
  static constexpr uint8_t kNumLockBit = 4;

  std::atomic<uint8_t> lock_bits_{0};
  std::atomic<bool> report_repeats_{true};
};

// A keyboard that reads a whole state of 256 key codes on each update.
class CPolledKeyboard : public CKeyboard {
 public:
  bool IsDown(uint32_t code) const override;
  bool IsPressed(uint32_t code) const override;
  int32_t GetFirstDown() const override;
  int32_t GetFirstPressed() const override;
  void ResetState() override;
  uint32_t Update() override;

 protected:
  // Fills the state to be written next.
  virtual void Read(plat::KeyStates& state) = 0;

 private:
  const plat::KeyStates& Latest() const { return states_[write_index_ ^ 1]; }
  const plat::KeyStates& Previous() const { return states_[write_index_]; }

  std::array<plat::KeyStates, 2> states_{};
  uint8_t write_index_ = 0;
};

class CDIKeyboard : public CPolledKeyboard {
 public:
  uint32_t GetType() const override { return kInputDirect; }

 protected:
  void Read(plat::KeyStates& state) override;
};

// Reads each key of its list by virtual key, as the key-state query does.
class CAsyncKeyboard : public CPolledKeyboard {
 public:
  CAsyncKeyboard() : keys_(KeyTable()) {}
  uint32_t GetType() const override { return kInputPolled; }

 protected:
  explicit CAsyncKeyboard(std::span<const KeyPair> keys) : keys_(keys) {}
  void Read(plat::KeyStates& state) override;

 private:
  std::span<const KeyPair> keys_;
};

class CAsyncKeyboardShort : public CAsyncKeyboard {
 public:
  CAsyncKeyboardShort() : CAsyncKeyboard(ShortKeyList()) {}
  uint32_t GetType() const override { return kInputPolledShort; }
};

// Mice: codes 0 left, 1 right, 2 middle button, 3 wheel turned away from the user, 4 wheel
// turned towards the user. While the tracked cursor lies outside the game screen every query
// answers up, none or a wheel of 0. The DirectInput mouse reads SDL's relative motion, buttons
// and wheel; the polled mouse reads the buttons by virtual key and the wheel from the window's
// wheel messages; the message mouse is fed by the window's button and wheel messages.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "base/input/cursor_image.h"
#include "base/input/input_device.h"
#include "base/input/tracked_cursor.h"
#include "base/threads/event_nibbles.h"
#include "platform/events/window_messages.h"

inline constexpr uint32_t kMouseLeft = 0;
inline constexpr uint32_t kMouseRight = 1;
inline constexpr uint32_t kMouseMiddle = 2;
inline constexpr uint32_t kMouseWheelAway = 3;
inline constexpr uint32_t kMouseWheelTowards = 4;
inline constexpr uint32_t kMouseCodeCount = 5;
inline constexpr uint32_t kMouseButtonCount = 3;

class CMouse : public CInputDevice {
 public:
  bool IsDown(uint32_t code) const override;
  bool IsPressed(uint32_t code) const override;
  int32_t GetFirstDown() const override;
  int32_t GetFirstPressed() const override;
  // The wheel delta of the latest state (120 a notch).
  int32_t GetWheel() const;
  virtual uint32_t GetType() const = 0;
  virtual void Acquire() {}
  virtual void Unacquire() { ResetState(); }
  virtual uint32_t Update() = 0;
  // A wheel message's wParam (the delta in its high word); true when this mouse takes it.
  virtual bool OnWheel(uint32_t /*wparam*/) { return false; }

  // The application's tracked cursor; none: the cursor counts as over the screen.
  void SetPosition(const TrackedCursor* position) { position_ = position; }

  // The shape of the cursor over the window, set on the window's thread: with a resource id one
  // of the program's own cursors (plat::SetProgramCursor), else a system cursor 0 to 12
  // (plat::SetSystemCursor's order). 0, or 1 for an index or id outside the lists.
  uint32_t SetCursorShape(int index, int resource_id = 0);
  int GetCursorIndex() const { return cursor_index_.load(); }
  // The program cursor's resource id; 0 while a system cursor is chosen.
  int GetCursorResource() const { return cursor_resource_.load(); }
  // Sets the stored shape again, as the window does whenever the cursor enters it.
  void ApplyCursorShape() const;
  // Shows or hides the system cursor: directly with message 0, else through that message sent
  // to the window (the window's thread then does it).
  void ShowCursorVia(bool show, plat::WindowId window, uint32_t message);
  bool IsSystemCursorShown() const { return system_cursor_shown_.load(); }

  // An animated picture in place of the cursor's shape, its cycle starting now; null goes back
  // to the shape. Called on the game's thread, as DrawCursorImage is.
  void SetCursorImage(std::unique_ptr<CCursorImage> image);
  const CCursorImage* GetCursorImage() const { return cursor_image_.get(); }
  // Each frame: shows the picture's frame due by the clock, when it is another than the one shown.
  void DrawCursorImage();
  // The frame shown, -1 before the first draw or without a picture.
  int32_t GetCursorImageFrame() const { return cursor_image_frame_; }

 protected:
  virtual bool ButtonDown(uint32_t button) const = 0;
  virtual bool ButtonPressed(uint32_t button) const = 0;
  virtual int32_t LatestWheel() const = 0;
  virtual int32_t PreviousWheel() const = 0;

 private:
  bool IsOutside() const { return position_ != nullptr && position_->IsOutside(); }

  const TrackedCursor* position_ = nullptr;
  // Set by the game, applied by the window whenever the cursor enters it.
  std::atomic<int> cursor_index_{0};
  std::atomic<int> cursor_resource_{0};
  std::atomic<bool> system_cursor_shown_{true};
  std::unique_ptr<CCursorImage> cursor_image_;
  int32_t cursor_image_frame_ = -1;
  uint32_t cursor_image_start_ = 0;
  // Read on the window's thread: while set, the picture stands in for the stored shape.
  std::atomic<bool> cursor_image_shown_{false};
};

// A mouse that reads a whole state on each update and flips between two.
class CPolledMouse : public CMouse {
 public:
  void ResetState() override;
  uint32_t Update() override;

 protected:
  struct State {
    int32_t x = 0;
    int32_t y = 0;
    int32_t wheel = 0;
    std::array<bool, kMouseButtonCount> buttons{};
  };
  virtual void Read(State& state) = 0;

  bool ButtonDown(uint32_t button) const override { return Latest().buttons[button]; }
  bool ButtonPressed(uint32_t button) const override { return Latest().buttons[button] && !Previous().buttons[button]; }
  int32_t LatestWheel() const override { return Latest().wheel; }
  int32_t PreviousWheel() const override { return Previous().wheel; }

 private:
  const State& Latest() const { return states_[write_index_ ^ 1]; }
  const State& Previous() const { return states_[write_index_]; }

  std::array<State, 2> states_{};
  uint8_t write_index_ = 0;
};

class CDIMouse : public CPolledMouse {
 public:
  uint32_t GetType() const override { return kInputDirect; }

 protected:
  void Read(State& state) override;
};

class CAsyncMouse : public CPolledMouse {
 public:
  uint32_t GetType() const override { return kInputPolled; }
  bool OnWheel(uint32_t wparam) override;

 protected:
  void Read(State& state) override;

 private:
  std::atomic<int32_t> collected_wheel_{0};
};

class CMessageMouse : public CMouse {
 public:
  void ResetState() override;
  uint32_t GetType() const override { return kInputMessages; }
  uint32_t Update() override;
  bool OnWheel(uint32_t wparam) override;
  void OnButton(uint32_t button, bool down);

 protected:
  bool ButtonDown(uint32_t button) const override { return buttons_.IsHeld(button); }
  bool ButtonPressed(uint32_t button) const override;
  int32_t LatestWheel() const override { return wheels_[write_index_ ^ 1]; }
  int32_t PreviousWheel() const override { return wheels_[write_index_]; }

 private:
  EventNibbles<kMouseButtonCount> buttons_;
  std::atomic<int32_t> collected_wheel_{0};
  std::array<int32_t, 2> wheels_{};
  uint8_t write_index_ = 0;
};

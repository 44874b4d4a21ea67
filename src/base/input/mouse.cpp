#include "base/input/mouse.h"

#include <utility>
#include <vector>

#include "platform/events/input_state.h"
#include "platform/system/clock.h"
#include "platform/window/cursor.h"
#include "platform/window/message_queue.h"
#include "platform/window/native_window.h"

namespace {

int32_t WheelDeltaOf(uint32_t wparam) { return static_cast<int16_t>(plat::HiWord(wparam)); }

void ShowShape(int index, int resource_id) {
  if (resource_id != 0) {
    plat::SetProgramCursor(resource_id);
  } else {
    plat::SetSystemCursor(index);
  }
}

// The cursor belongs to the window's thread: the game thread has it set there.
template <class Task>
void OnWindowThread(Task task) {
  plat::MessageQueue& queue = plat::MessageQueue::Instance();
  if (queue.OnWindowThread()) {
    task();
  } else {
    queue.PostTask(std::move(task));
  }
}

bool WheelCondition(uint32_t code, int32_t wheel) { return code == kMouseWheelAway ? wheel > 0 : wheel < 0; }

}  // namespace

bool CMouse::IsDown(uint32_t code) const {
  if (code >= kMouseCodeCount || IsOutside()) return false;
  if (code < kMouseButtonCount) return ButtonDown(code);
  return WheelCondition(code, LatestWheel());
}

bool CMouse::IsPressed(uint32_t code) const {
  if (code >= kMouseCodeCount || IsOutside()) return false;
  if (code < kMouseButtonCount) return ButtonPressed(code);
  return WheelCondition(code, LatestWheel()) && !WheelCondition(code, PreviousWheel());
}

int32_t CMouse::GetFirstDown() const {
  return FirstCode(kMouseCodeCount, [this](uint32_t code) { return IsDown(code); });
}

int32_t CMouse::GetFirstPressed() const {
  return FirstCode(kMouseCodeCount, [this](uint32_t code) { return IsPressed(code); });
}

int32_t CMouse::GetWheel() const { return IsOutside() ? 0 : LatestWheel(); }

uint32_t CMouse::SetCursorShape(int index, int resource_id) {
  if (resource_id != 0 ? !plat::IsProgramCursor(resource_id) : index < 0 || index >= plat::kSystemCursorCount) {
    return 1;
  }
  cursor_index_.store(index);
  cursor_resource_.store(resource_id);
  if (!cursor_image_shown_.load()) OnWindowThread([index, resource_id] { ShowShape(index, resource_id); });
  return 0;
}

void CMouse::ApplyCursorShape() const {
  // SDL's cursor still is the picture's frame: nothing to set again.
  if (cursor_image_shown_.load()) return;
  ShowShape(cursor_index_.load(), cursor_resource_.load());
}

void CMouse::SetCursorImage(std::unique_ptr<CCursorImage> image) {
  cursor_image_ = std::move(image);
  cursor_image_frame_ = -1;
  cursor_image_start_ = plat::PreciseMilliseconds();
  if (cursor_image_ != nullptr) {
    DrawCursorImage();
    return;
  }
  if (!cursor_image_shown_.exchange(false)) return;
  const int index = cursor_index_.load();
  const int resource_id = cursor_resource_.load();
  OnWindowThread([index, resource_id] { ShowShape(index, resource_id); });
}

void CMouse::DrawCursorImage() {
  if (cursor_image_ == nullptr) return;
  const auto frame = static_cast<int32_t>(cursor_image_->FrameAt(plat::PreciseMilliseconds() - cursor_image_start_));
  if (frame == cursor_image_frame_) return;
  cursor_image_frame_ = frame;
  cursor_image_shown_.store(true);
  // The frame's pixels travel with the task: the picture may change before the window runs it.
  OnWindowThread([pixels = cursor_image_->FramePixels(static_cast<uint32_t>(frame)),
                  width = cursor_image_->GetFrameWidth(), height = cursor_image_->GetFrameHeight(),
                  hot_spot = cursor_image_->GetHotSpot()] {
    plat::SetImageCursor(pixels.data(), width, height, hot_spot);
  });
}

void CMouse::ShowCursorVia(bool show, plat::WindowId window, uint32_t message) {
  system_cursor_shown_.store(show);
  if (message == 0) {
    plat::ShowCursor(show);
  } else {
    plat::SendMessage(window, message, show ? 1 : 0, 0);
  }
}

void CPolledMouse::ResetState() { states_ = {}; }

uint32_t CPolledMouse::Update() {
  Read(states_[write_index_]);
  write_index_ ^= 1;
  return 0;
}

void CDIMouse::Read(State& state) {
  const plat::MouseReading reading = plat::InputState::Instance().TakeMouse();
  state.x = reading.dx;
  state.y = reading.dy;
  state.wheel = reading.wheel;
  state.buttons = {reading.left, reading.right, reading.middle};
}

bool CAsyncMouse::OnWheel(uint32_t wparam) {
  collected_wheel_.store(WheelDeltaOf(wparam));
  return true;
}

void CAsyncMouse::Read(State& state) {
  plat::KeyStates keys;
  plat::InputState::Instance().ReadVirtualKeys(keys);
  state.buttons = {keys[plat::VK_LBUTTON] != 0, keys[plat::VK_RBUTTON] != 0, keys[plat::VK_MBUTTON] != 0};
  state.wheel = collected_wheel_.exchange(0);
}

void CMessageMouse::ResetState() {
  buttons_.Clear();
  wheels_ = {};
}

uint32_t CMessageMouse::Update() {
  buttons_.Flip();
  wheels_[write_index_] = collected_wheel_.exchange(0);
  write_index_ ^= 1;
  return 0;
}

bool CMessageMouse::OnWheel(uint32_t wparam) {
  collected_wheel_.store(WheelDeltaOf(wparam));
  return true;
}

void CMessageMouse::OnButton(uint32_t button, bool down) {
  if (button >= kMouseButtonCount) return;
  if (down) {
    buttons_.Press(button, EventNibbles<kMouseButtonCount>::kPressedBit);
  } else {
    buttons_.Release(button);
  }
}

bool CMessageMouse::ButtonPressed(uint32_t button) const {
  return (buttons_.Completed(button) & EventNibbles<kMouseButtonCount>::kPressedBit) != 0;
}

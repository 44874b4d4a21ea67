#include "base/input/joystick.h"

#include <algorithm>
#include <mutex>
#include <set>

namespace {

constexpr uint32_t kCodeCount = kJoystickFirstButton + plat::JoystickPort::kMostButtons;

// The devices that joysticks hold, by SDL's instance number: a device is opened by one joystick
// at a time. Joysticks may be opened on the window thread (the configuration) and the game thread.
std::mutex g_held_lock;
std::set<int32_t> g_held_devices;

bool Hold(int32_t instance) {
  std::lock_guard guard(g_held_lock);
  return g_held_devices.insert(instance).second;
}

void LetGo(int32_t instance) {
  std::lock_guard guard(g_held_lock);
  g_held_devices.erase(instance);
}

}  // namespace

CJoystick::~CJoystick() { Close(); }

uint32_t CJoystick::Open(int32_t number) {
  if (number >= kMostDevices) return kBadNumber;
  Close();
  plat::JoystickPort::Start();
  const int32_t attached = std::min(plat::JoystickPort::Count(), kMostDevices);
  const int32_t first = number < 0 ? 0 : number;
  const int32_t last = number < 0 ? attached - 1 : std::min(number, attached - 1);
  for (int32_t candidate = first; candidate <= last; ++candidate) {
    auto port = plat::JoystickPort::Open(candidate);
    if (port == nullptr || !Hold(port->InstanceId())) continue;
    port_ = std::move(port);
    number_ = candidate;
    break;
  }
  if (port_ == nullptr) return kNoDevice;
  constexpr int32_t kMin = plat::JoystickPort::kAxisMin;
  constexpr int32_t kMax = plat::JoystickPort::kAxisMax;
  left_ = up_ = (2 * kMin + kMax) / 3;
  right_ = down_ = (kMin + 2 * kMax) / 3;
  button_count_ = static_cast<uint32_t>(port_->ButtonCount());
  axis_count_ = static_cast<uint32_t>(port_->AxisCount());
  name_ = port_->Name().empty() ? "Unknown" : port_->Name();
  states_[0] = states_[1] = Neutral();
  return 0;
}

void CJoystick::Close() {
  if (port_ == nullptr) return;
  LetGo(port_->InstanceId());
  port_.reset();
}

bool CJoystick::Meets(const State& state, uint32_t code) const {
  switch (code) {
    case kJoystickUp:
      return state.y < up_;
    case kJoystickDown:
      return state.y > down_;
    case kJoystickLeft:
      return state.x < left_;
    case kJoystickRight:
      return state.x > right_;
    default: {
      const uint32_t button = code - kJoystickFirstButton;
      return code >= kJoystickFirstButton && button < button_count_ && ((state.buttons >> button) & 1) != 0;
    }
  }
}

int32_t CJoystick::GetFirstDown() const {
  return FirstCode(kCodeCount, [this](uint32_t code) { return IsDown(code); });
}

int32_t CJoystick::GetFirstPressed() const {
  return FirstCode(kCodeCount, [this](uint32_t code) { return IsPressed(code); });
}

void CJoystick::ResetState() { states_[0] = states_[1] = Neutral(); }

uint32_t CJoystick::Update() {
  // A device that went away is given up; the next update takes up one attached again.
  if (port_ == nullptr && (number_ < 0 || Open(-1) != 0)) return 1;
  plat::JoystickReading reading;
  if (!port_->Read(reading)) {
    Close();
    ResetState();
    return 2;
  }
  states_[write_index_] = State{reading.x, reading.y, reading.buttons};
  write_index_ ^= 1;
  return 0;
}

#include "base/input/input_bindings.h"

#include <algorithm>
#include <array>

#include "base/input/input_manager.h"
#include "base/input/keyboard.h"

namespace {

constexpr uint8_t kDikReturn = 0x1C;
constexpr uint8_t kDikNumpadEnter = 0x9C;
constexpr uint8_t kDikLeftAlt = 0x38;
constexpr uint8_t kDikRightAlt = 0xB8;

}  // namespace

uint32_t CInputBindings::Allocate(uint32_t count) {
  actions_.clear();
  if (count == 0) return 1;
  actions_.resize(count);
  return 0;
}

CInputDevice* CInputBindings::DeviceOf(int32_t selector) const {
  switch (selector) {
    case kSelectKeyboard:
      return manager_.GetKeyboard();
    case kSelectMouse:
      return manager_.GetMouse();
    default:
      return selector >= kSelectFirstJoystick ? manager_.GetJoystick(static_cast<uint32_t>(selector - kSelectFirstJoystick))
                                              : nullptr;
  }
}

uint32_t CInputBindings::AddBinding(uint32_t action, int32_t selector, uint8_t code) {
  if (action >= actions_.size()) return 1;
  CInputDevice* device = DeviceOf(selector);
  if (device == nullptr) return 2;
  actions_[action].push_back(Binding{device, code});
  return 0;
}

uint32_t CInputBindings::RemoveBinding(uint32_t action, int32_t selector, uint8_t code) {
  if (action >= actions_.size()) return 1;
  Action& bindings = actions_[action];
  if (selector < 0) {
    bindings.clear();
    return 0;
  }
  const CInputDevice* device = DeviceOf(selector);
  if (device == nullptr) return 2;
  const auto found = std::find_if(bindings.begin(), bindings.end(),
                                  [&](const Binding& binding) { return binding.device == device && binding.code == code; });
  if (found == bindings.end()) return 3;
  bindings.erase(found);
  return 0;
}

uint32_t CInputBindings::ChangeBinding(uint32_t action, int32_t selector, uint8_t new_code, int32_t old_code) {
  if (action >= actions_.size()) return 1;
  const CInputDevice* device = DeviceOf(selector);
  if (device == nullptr) return 2;
  for (Binding& binding : actions_[action]) {
    if (binding.device == device && (old_code < 0 || binding.code == old_code)) {
      binding.code = new_code;
      return 0;
    }
  }
  return 3;
}

uint32_t CInputBindings::GetBinding(uint32_t action, int32_t selector, uint32_t index, uint8_t* code,
                                    CInputDevice** device) const {
  if (action >= actions_.size()) return 1;
  const Action& bindings = actions_[action];
  const Binding* found = nullptr;
  if (selector < 0) {
    if (index >= bindings.size()) return 2;
    found = &bindings[index];
  } else {
    const CInputDevice* wanted = DeviceOf(selector);
    if (wanted == nullptr) return 3;
    uint32_t seen = 0;
    for (const Binding& binding : bindings) {
      if (binding.device == wanted && seen++ == index) {
        found = &binding;
        break;
      }
    }
    if (found == nullptr) return 4;
  }
  if (code != nullptr) *code = found->code;
  if (device != nullptr) *device = found->device;
  return 0;
}

uint32_t CInputBindings::CountBindings(uint32_t action, int32_t selector) const {
  if (action >= actions_.size()) return 0;
  const CInputDevice* device = DeviceOf(selector);
  if (device == nullptr) return 0;
  return static_cast<uint32_t>(std::count_if(actions_[action].begin(), actions_[action].end(),
                                             [&](const Binding& binding) { return binding.device == device; }));
}

bool CInputBindings::IsAltChord(const Binding& binding, bool at_press) const {
  const CKeyboard* keyboard = manager_.GetKeyboard();
  if (binding.device != keyboard || (binding.code != kDikReturn && binding.code != kDikNumpadEnter)) return false;
  return std::ranges::any_of(std::array{kDikLeftAlt, kDikRightAlt}, [&](uint8_t alt) {
    return at_press ? keyboard->WasDownAtPress(alt, binding.code) : keyboard->IsDown(alt);
  });
}

bool CInputBindings::IsDown(const Binding& binding) const {
  return binding.device->IsDown(binding.code) && !IsAltChord(binding, false);
}

bool CInputBindings::IsPressed(const Binding& binding) const {
  return binding.device->IsPressed(binding.code) && !IsAltChord(binding, true);
}

template <class Test>
bool CInputBindings::AnyBinding(uint32_t action, Test test) const {
  if (action >= actions_.size()) return false;
  return std::any_of(actions_[action].begin(), actions_[action].end(), test);
}

bool CInputBindings::IsActionDown(uint32_t action) const {
  return AnyBinding(action, [this](const Binding& binding) { return IsDown(binding); });
}

bool CInputBindings::IsActionPressed(uint32_t action) const {
  return AnyBinding(action, [this](const Binding& binding) { return IsPressed(binding); });
}

template <class Test>
int32_t CInputBindings::FindAction(uint32_t first, uint32_t count, Test test) const {
  const auto total = static_cast<uint32_t>(actions_.size());
  const uint32_t end = count == 0 || count > total || first > total - count ? total : first + count;
  for (uint32_t action = first; action < end; ++action) {
    if (AnyBinding(action, test)) return static_cast<int32_t>(action);
  }
  return -1;
}

int32_t CInputBindings::FindActionDown(uint32_t first, uint32_t count) const {
  return FindAction(first, count, [this](const Binding& binding) { return IsDown(binding); });
}

int32_t CInputBindings::FindActionPressed(uint32_t first, uint32_t count) const {
  return FindAction(first, count, [this](const Binding& binding) { return IsPressed(binding); });
}

#include "platform/events/joystick_port.h"

#include <SDL.h>

#include <algorithm>

namespace plat {
namespace {

class JoystickLock {
 public:
  JoystickLock() { SDL_LockJoysticks(); }
  ~JoystickLock() { SDL_UnlockJoysticks(); }
  JoystickLock(const JoystickLock&) = delete;
  JoystickLock& operator=(const JoystickLock&) = delete;
};

}  // namespace

bool JoystickPort::Start() {
  constexpr uint32_t kServices = SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER;
  if (SDL_WasInit(kServices) == kServices) return true;
  // SDL would look at the devices at every read of the window's events, many times a frame and
  // in an idle game too; they are looked at when the engine counts or reads them instead.
  SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
  return SDL_InitSubSystem(kServices) == 0;
}

int JoystickPort::Count() {
  if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) return 0;
  SDL_JoystickUpdate();
  return std::max(SDL_NumJoysticks(), 0);
}

std::unique_ptr<JoystickPort> JoystickPort::Open(int index) {
  if (index < 0 || index >= Count()) return nullptr;
  JoystickLock lock;
  SDL_GameController* controller = SDL_IsGameController(index) ? SDL_GameControllerOpen(index) : nullptr;
  SDL_Joystick* joystick = controller != nullptr ? SDL_GameControllerGetJoystick(controller) : SDL_JoystickOpen(index);
  if (joystick == nullptr) return nullptr;
  return std::unique_ptr<JoystickPort>(new JoystickPort(joystick, controller));
}

JoystickPort::JoystickPort(SDL_Joystick* joystick, SDL_GameController* controller)
    : joystick_(joystick), controller_(controller) {
  const char* name = controller != nullptr ? SDL_GameControllerName(controller) : SDL_JoystickName(joystick);
  if (name != nullptr) name_ = name;
  instance_id_ = SDL_JoystickInstanceID(joystick);
  if (controller != nullptr) {
    axes_ = SDL_CONTROLLER_AXIS_MAX;
    buttons_ = SDL_CONTROLLER_BUTTON_MAX;
  } else {
    axes_ = std::max(SDL_JoystickNumAxes(joystick), 0);
    buttons_ = std::clamp(SDL_JoystickNumButtons(joystick), 0, kMostButtons);
  }
}

JoystickPort::~JoystickPort() {
  JoystickLock lock;
  if (controller_ != nullptr) {
    SDL_GameControllerClose(controller_);
  } else {
    SDL_JoystickClose(joystick_);
  }
}

bool JoystickPort::Read(JoystickReading& out) const {
  SDL_JoystickUpdate();
  JoystickLock lock;
  out = JoystickReading{};
  if (SDL_JoystickGetAttached(joystick_) != SDL_TRUE) return false;
  if (controller_ != nullptr) {
    out.x = SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTX);
    out.y = SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTY);
    for (int button = 0; button < buttons_; ++button) {
      if (SDL_GameControllerGetButton(controller_, static_cast<SDL_GameControllerButton>(button)) != 0) {
        out.buttons |= 1u << button;
      }
    }
    return true;
  }
  if (axes_ > 0) out.x = SDL_JoystickGetAxis(joystick_, 0);
  if (axes_ > 1) out.y = SDL_JoystickGetAxis(joystick_, 1);
  for (int button = 0; button < buttons_; ++button) {
    if (SDL_JoystickGetButton(joystick_, button) != 0) out.buttons |= 1u << button;
  }
  return true;
}

}  // namespace plat

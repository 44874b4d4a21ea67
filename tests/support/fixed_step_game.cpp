#include "support/fixed_step_game.h"

#include <utility>

#include "platform/files/host_path.h"
#include "support/input_events.h"
#include "support/png_file.h"
#include "support/test_window.h"

namespace test_support {

namespace {

SDL_Event FocusGained() {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
  return event;
}

// Every kind of event the plans make names its window in its own member.
void AddressTo(SDL_Event& event, uint32_t window) {
  switch (event.type) {
    case SDL_MOUSEMOTION:
      event.motion.windowID = window;
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      event.button.windowID = window;
      break;
    case SDL_MOUSEWHEEL:
      event.wheel.windowID = window;
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      event.key.windowID = window;
      break;
    case SDL_WINDOWEVENT:
      event.window.windowID = window;
      break;
    default:
      break;
  }
}

const std::vector<uint32_t> kNoPixels;

}  // namespace

FixedStepGame::FixedStepGame(plat::ScopedMessageBoxAnswers::Answerer answerer) : FixedStepGame(OnScreen{}) {
  answers_.emplace([this, answerer = std::move(answerer)](const plat::MessageBoxRequest& request) {
    boxes_.push_back({frames_, request});
    return answerer(request);
  });
}

FixedStepGame::FixedStepGame(OnScreen) : game_(*this) {
  // The window takes the keyboard focus as the game's first frame begins, as a player's click
  // would give it: a game that pauses while inactive then runs under any window manager.
  PlanEvent(1, FocusGained());
}

void FixedStepGame::PlanEvent(int frame, const SDL_Event& event) { events_.emplace(frame, event); }

void FixedStepGame::PlanPointer(int frame, int32_t x, int32_t y) { PlanEvent(frame, MotionEvent(x, y)); }

void FixedStepGame::PlanClick(int frame, int32_t x, int32_t y, uint8_t button) {
  PlanPointer(frame, x, y);
  PlanEvent(frame, ButtonEvent(button, true, x, y));
  PlanEvent(frame + 1, ButtonEvent(button, false, x, y));
}

void FixedStepGame::PlanKeyPress(int frame, SDL_Scancode scancode, SDL_Keycode key) {
  PlanEvent(frame, KeyEvent(scancode, key, true));
  PlanEvent(frame + 1, KeyEvent(scancode, key, false));
}

void FixedStepGame::PlanPicture(int frame, const std::string& png_path) { pictures_[frame].png_path = png_path; }

int FixedStepGame::Run(const std::string& host_folder) {
  return game_.Run("/L" + plat::ToEnginePath(host_folder), 1);
}

const std::vector<uint32_t>& FixedStepGame::PictureAt(int frame) const {
  const auto found = pictures_.find(frame);
  return found != pictures_.end() ? found->second.pixels : kNoPixels;
}

uint32_t FixedStepGame::TimeAt(int frame) const {
  return frame >= 1 && static_cast<std::size_t>(frame) <= frame_times_.size() ? frame_times_[frame - 1] : 0;
}

bool FixedStepGame::AllPicturesWritten() const {
  for (const auto& [frame, picture] : pictures_) {
    if (!picture.written) return false;
  }
  return true;
}

int FixedStepGame::Frame() {
  ++frames_;
  if (frames_ > last_frame_) {
    gave_up_ = true;
    return CGameApp::kFrameStop;
  }
  HandOverEvents();
  const int result = game_.RunPlainFrame();
  frame_times_.push_back(clock_.PreciseMilliseconds());
  if (const auto planned = pictures_.find(frames_); planned != pictures_.end()) TakePicture(planned->second);
  if (observer_) observer_(frames_);
  return result;
}

// Into SDL's own queue, which the frame procedure reads first: the game takes them as a player's.
void FixedStepGame::HandOverEvents() {
  const uint32_t window = game_.GetMainWindow().GetHandle();
  const auto [first, last] = events_.equal_range(frames_);
  for (auto it = first; it != last; ++it) {
    SDL_Event event = it->second;
    AddressTo(event, window);
    SDL_PushEvent(&event);
  }
}

void FixedStepGame::TakePicture(Picture& picture) {
  const plat::Window* window = game_.GetMainWindow().GetPlatformWindow();
  if (window == nullptr) return;
  picture.pixels = ShownPixels(*window, Width(), Height());
  picture.written = !picture.pixels.empty() && WritePng(picture.png_path, picture.pixels, Width(), Height());
}

int FixedStepGame::App::SetUp() {
  const int result = CGameApp::SetUp();
  environment_[kEnvThreadedMode] = 0;
  return result;
}

int FixedStepGame::App::RunFrame() { return run_.Frame(); }

}  // namespace test_support

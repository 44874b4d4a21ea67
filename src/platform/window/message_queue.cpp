#include "platform/window/message_queue.h"

#include <chrono>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/system/clock.h"
#include "platform/events/dropped_files.h"
#include "platform/events/input_state.h"
#include "platform/window/dialog_host.h"
#include "platform/window/menu_overlay.h"
#include "platform/window/native_window.h"
#include "platform/window/screen_presenter.h"
#include "platform/events/session_end.h"
#include "platform/system/thread_id.h"
#include "platform/window/x11_display.h"

namespace plat {
namespace {

// How long one wait lasts before the queue looks again on its own.
constexpr auto kWaitSlice = std::chrono::milliseconds(100);
constexpr int kWaitSliceMs = 100;

bool VideoOnThisThread(uint32_t window_thread) {
  return SDL_WasInit(SDL_INIT_VIDEO) != 0 && CurrentThreadId() == window_thread;
}

// A pointer event placed on the picture the window is drawn at: the window manager may show
// the window at another size, with its picture letterboxed.
SDL_Event OnDrawnPicture(const SDL_Event& event) {
  SDL_Event placed = event;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return placed;
  if (event.type == SDL_MOUSEMOTION) {
    if (SDL_Window* window = SDL_GetWindowFromID(event.motion.windowID)) {
      ToDrawingPoint(window, placed.motion.x, placed.motion.y);
    }
  } else if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP) {
    if (SDL_Window* window = SDL_GetWindowFromID(event.button.windowID)) {
      ToDrawingPoint(window, placed.button.x, placed.button.y);
    }
  }
  return placed;
}

}  // namespace

MessageQueue& MessageQueue::Instance() {
  static MessageQueue queue;
  return queue;
}

MessageQueue::MessageQueue() : window_thread_(CurrentThreadId()) {
  requests_.SetWakeUp([this] { WakeUp(); });
}

void MessageQueue::AttachToCurrentThread() {
  std::lock_guard guard(lock_);
  window_thread_ = CurrentThreadId();
  messages_.clear();
  needs_paint_.clear();
  quit_requested_ = false;
  quit_code_ = 0;
}

bool MessageQueue::OnWindowThread() const {
  std::lock_guard guard(lock_);
  return CurrentThreadId() == window_thread_;
}

void MessageQueue::RegisterWindow(WindowId window, WindowProcedure procedure) {
  std::lock_guard guard(lock_);
  windows_[window] = WindowEntry{std::make_shared<const WindowProcedure>(std::move(procedure)), CurrentThreadId(), true};
}

void MessageQueue::UnregisterWindow(WindowId window) {
  {
    std::lock_guard guard(lock_);
    windows_.erase(window);
    needs_paint_.erase(window);
  }
  requests_.CancelFor(window);
}

bool MessageQueue::IsWindow(WindowId window) const {
  std::lock_guard guard(lock_);
  return windows_.count(window) != 0;
}

void MessageQueue::SetWindowEnabled(WindowId window, bool enabled) {
  std::lock_guard guard(lock_);
  if (auto it = windows_.find(window); it != windows_.end()) it->second.enabled = enabled;
}

bool MessageQueue::IsWindowEnabled(WindowId window) const {
  std::lock_guard guard(lock_);
  auto it = windows_.find(window);
  return it != windows_.end() && it->second.enabled;
}

bool MessageQueue::Peek(Message& out, bool remove) {
  if (!OnWindowThread()) return false;
  ServeRequests();
  ReadSdlEvents();
  return TakeQueued(out, remove);
}

int MessageQueue::Get(Message& out) {
  if (!OnWindowThread()) return -1;
  while (!Peek(out, true)) Wait();
  return out.message == WM_QUIT ? 0 : 1;
}

void MessageQueue::Wait() {
  if (!OnWindowThread()) return;
  for (;;) {
    ServeRequests();
    ReadSdlEvents();
    if (HasQueued()) return;
    if (VideoOnThisThread(window_thread_)) {
      SDL_WaitEventTimeout(nullptr, kWaitSliceMs);
    } else {
      std::unique_lock guard(lock_);
      arrived_.wait_for(guard, kWaitSlice);
    }
  }
}

bool MessageQueue::WaitForEvent(uint32_t timeout_ms) {
  if (!OnWindowThread()) return false;
  ServeRequests();
  if (HasQueued()) return true;
  if (VideoOnThisThread(window_thread_)) return SDL_WaitEventTimeout(nullptr, static_cast<int>(timeout_ms)) != 0;
  std::unique_lock guard(lock_);
  return arrived_.wait_for(guard, std::chrono::milliseconds(timeout_ms)) == std::cv_status::no_timeout;
}

bool MessageQueue::Post(WindowId window, uint32_t message, uint32_t wparam, int32_t lparam) {
  if (window != 0 && !IsWindow(window)) return false;
  Message posted;
  posted.window = window;
  posted.message = message;
  posted.wparam = wparam;
  posted.lparam = lparam;
  posted.time = CoarseMilliseconds();
  if (VideoOnThisThread(window_thread_)) SDL_GetGlobalMouseState(&posted.point.x, &posted.point.y);
  Enqueue(posted);
  return true;
}

void MessageQueue::PostQuit(int32_t exit_code) {
  {
    std::lock_guard guard(lock_);
    quit_requested_ = true;
    quit_code_ = exit_code;
  }
  WakeUp();
}

int32_t MessageQueue::Send(WindowId window, uint32_t message, uint32_t wparam, int32_t lparam,
                           RequestPayload* payload) {
  Message sent;
  sent.window = window;
  sent.message = message;
  sent.wparam = wparam;
  sent.lparam = lparam;
  sent.time = CoarseMilliseconds();
  sent.payload = payload;
  uint32_t owner = 0;
  {
    std::lock_guard guard(lock_);
    auto it = windows_.find(window);
    if (it == windows_.end()) return 0;
    owner = it->second.owner_thread;
  }
  if (owner == CurrentThreadId()) return Dispatch(sent);
  return requests_.SendAndWait(sent, [this, window] { return IsWindow(window); });
}

int32_t MessageQueue::Dispatch(const Message& message) {
  const auto procedure = ProcedureOf(message.window);
  const int32_t result = procedure ? (*procedure)(message) : 0;
  // Whether or not its window finished the drop, it ends with its message.
  if (message.message == WM_DROPFILES) DragFinish(message.wparam);
  return result;
}

void MessageQueue::Invalidate(WindowId window) {
  {
    std::lock_guard guard(lock_);
    if (windows_.count(window) == 0) return;
    needs_paint_.insert(window);
  }
  WakeUp();
}

void MessageQueue::AddEvent(const SDL_Event& event) {
  // An open dialog, then an open menu bar, takes the input before the window sees it. A key let
  // go meanwhile is let go all the same: the held keys are the keyboard's, whoever read the key.
  if (dialog_host::TakeEvent(event) || MenuOverlay::TakeEvent(event)) {
    if (event.type == SDL_KEYUP) InputState::Instance().Take(event);
    return;
  }
  const SDL_Event placed = OnDrawnPicture(event);
  InputState::Instance().Take(placed);
  std::vector<Message> translated;
  translator_.Translate(placed, ContextFor(placed), translated);
  EnqueueTranslated(translated);
}

void MessageQueue::EnqueueTranslated(std::vector<Message>& translated) {
  for (Message& message : translated) {
    if (message.message == WM_PAINT) {
      Invalidate(message.window);
    } else if (message.window == 0) {
      // A change of the desktop goes to every window.
      for (const WindowId window : Windows()) {
        message.window = window;
        Enqueue(message);
      }
    } else if (!IsInputMessage(message.message) || IsWindowEnabled(message.window)) {
      Enqueue(message);
    }
  }
}

std::vector<WindowId> MessageQueue::Windows() const {
  std::vector<WindowId> windows;
  std::lock_guard guard(lock_);
  for (const auto& [id, entry] : windows_) windows.push_back(id);
  return windows;
}

// A window that another client destroyed is told so, as a destroyed window is, and is gone.
void MessageQueue::PassOnDestruction(const SDL_SysWMmsg& event) {
  for (const WindowId window : Windows()) {
    SDL_Window* sdl_window = SDL_GetWindowFromID(window);
    if (!ReportsDestructionOf(event, sdl_window)) continue;
    NoteDestroyedOutside(sdl_window);
    PassOnDestruction(window);
  }
}

void MessageQueue::NoteFrameTold(const SDL_SysWMmsg& event, std::set<WindowId>& framed) const {
  for (const WindowId window : Windows()) {
    if (ReportsFrameOf(event, SDL_GetWindowFromID(window))) framed.insert(window);
  }
}

void MessageQueue::PassOnDesktopResize(Point size) {
  EventContext context = ContextFor(SDL_Event{});
  context.desktop_width = size.x;
  context.desktop_height = size.y;
  std::vector<Message> changed{EventTranslator::DisplayChange(context)};
  EnqueueTranslated(changed);
}

void MessageQueue::PassOnDestruction(WindowId window) {
  Message destroyed;
  destroyed.window = window;
  destroyed.message = WM_DESTROY;
  destroyed.time = CoarseMilliseconds();
  Dispatch(destroyed);
  UnregisterWindow(window);
}

// The end of the session, as a log-off brings it: every window is asked and told, then the
// program's loops end.
void MessageQueue::EndSession() {
  for (const WindowId window : Windows()) {
    Message query;
    query.window = window;
    query.message = WM_QUERYENDSESSION;
    query.time = CoarseMilliseconds();
    Dispatch(query);
    Message end = query;
    end.message = WM_ENDSESSION;
    end.wparam = 1;
    Dispatch(end);
  }
  PostQuit(0);
}

void MessageQueue::ServeRequests() {
  if (TakeEndRequest()) EndSession();
  requests_.ServePending([this](const Message& request) { return Dispatch(request); });
  // Made only when tasks wait: the queue is served many times a frame, mostly with none.
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard guard(lock_);
    tasks.swap(tasks_);
  }
  for (const auto& task : tasks) task();
}

void MessageQueue::PostTask(std::function<void()> task) {
  {
    std::lock_guard guard(lock_);
    tasks_.push_back(std::move(task));
  }
  WakeUp();
}

void MessageQueue::ReadSdlEvents() {
  if (!VideoOnThisThread(window_thread_)) return;
  if (DisplayConnectionLost()) {
    // Every window went with the display.
    for (const WindowId window : Windows()) PassOnDestruction(window);
    return;
  }
  if (const std::optional<Point> desktop = ReadDesktopResize()) PassOnDesktopResize(*desktop);
  SDL_Event event;
  std::set<WindowId> resized;
  std::set<WindowId> moved;
  std::set<WindowId> framed;
  while (SDL_PollEvent(&event) != 0) {
    if (event.type == wake_event_) continue;
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
      resized.insert(event.window.windowID);
    }
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_MOVED) {
      moved.insert(event.window.windowID);
    }
    if (event.type == SDL_SYSWMEVENT) {
      if (event.syswm.msg != nullptr) {
        PassOnDestruction(*event.syswm.msg);
        NoteFrameTold(*event.syswm.msg, framed);
      }
      continue;
    }
    // An exposed window shows its last frame again at once; its WM_PAINT follows.
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED) {
      ScreenPresenter::RepaintWindow(event.window.windowID);
    }
    AddEvent(event);
    // SDL hands the dropped file's name over to whoever takes the event.
    if (event.type == SDL_DROPFILE || event.type == SDL_DROPTEXT) SDL_free(event.drop.file);
    if (event.type == SDL_TEXTEDITING_EXT) SDL_free(event.editExt.text);
  }
  // Once every event is read, the window's state (maximized, full screen) is the one they led to.
  for (const WindowId window : resized) KeepGivenSize(window);
  for (const WindowId window : moved) NotePlacement(window);
  for (const WindowId window : framed) PlaceInToldFrame(window);
}

EventContext MessageQueue::ContextFor(const SDL_Event& event) const {
  EventContext context;
  context.time = CoarseMilliseconds();
  if (event.type >= SDL_DROPFILE && event.type <= SDL_DROPCOMPLETE) {
    context.accepts_files = AcceptsDroppedFiles(event.drop.windowID);
  }
  // A key keeps the modifiers of its own moment: by the time a quick Alt+F4 is read from the
  // queue, Alt may be up again.
  const bool key = event.type == SDL_KEYDOWN || event.type == SDL_KEYUP;
  if (key) context.modifiers = event.key.keysym.mod;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return context;
  SDL_GetGlobalMouseState(&context.cursor.x, &context.cursor.y);
  if (!key) context.modifiers = static_cast<uint16_t>(SDL_GetModState());
  uint32_t window_id = 0;
  switch (event.type) {
    case SDL_WINDOWEVENT:
      window_id = event.window.windowID;
      break;
    case SDL_MOUSEWHEEL:
      window_id = event.wheel.windowID;
      break;
    case SDL_MOUSEMOTION:
      window_id = event.motion.windowID;
      break;
    default:
      break;
  }
  if (SDL_Window* window = window_id != 0 ? SDL_GetWindowFromID(window_id) : nullptr) {
    SDL_GetWindowPosition(window, &context.client_origin.x, &context.client_origin.y);
    DrawingSizeOf(window, context.client_width, context.client_height);
    context.minimized = (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0;
  }
  SDL_DisplayMode desktop;
  if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
    context.desktop_width = desktop.w;
    context.desktop_height = desktop.h;
    context.desktop_bits = static_cast<int32_t>(SDL_BITSPERPIXEL(desktop.format));
  }
  return context;
}

void MessageQueue::Enqueue(Message message) {
  {
    std::lock_guard guard(lock_);
    messages_.push_back(message);
  }
  WakeUp();
}

bool MessageQueue::TakeQueued(Message& out, bool remove) {
  std::lock_guard guard(lock_);
  if (!messages_.empty()) {
    out = messages_.front();
    if (remove) messages_.pop_front();
    return true;
  }
  if (quit_requested_) {
    out = Message{};
    out.message = WM_QUIT;
    out.wparam = static_cast<uint32_t>(quit_code_);
    out.time = CoarseMilliseconds();
    if (remove) quit_requested_ = false;
    return true;
  }
  if (!needs_paint_.empty()) {
    out = Message{};
    out.window = *needs_paint_.begin();
    out.message = WM_PAINT;
    out.time = CoarseMilliseconds();
    if (remove) needs_paint_.erase(needs_paint_.begin());
    return true;
  }
  return false;
}

bool MessageQueue::HasQueued() const {
  std::lock_guard guard(lock_);
  return !messages_.empty() || quit_requested_ || !needs_paint_.empty();
}

void MessageQueue::WakeUp() {
  arrived_.notify_all();
  // The window thread itself is never asleep when it queues something.
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || OnWindowThread()) return;
  uint32_t type = wake_event_.load();
  if (type == 0) {
    uint32_t expected = 0;
    type = SDL_RegisterEvents(1);
    if (!wake_event_.compare_exchange_strong(expected, type)) type = expected;
  }
  // SDL's queue is thread-safe; a wait in SDL_WaitEventTimeout returns on this event.
  SDL_Event event{};
  event.type = type;
  SDL_PushEvent(&event);
}

std::shared_ptr<const WindowProcedure> MessageQueue::ProcedureOf(WindowId window) const {
  std::lock_guard guard(lock_);
  auto it = windows_.find(window);
  return it != windows_.end() ? it->second.procedure : nullptr;
}

void TranslateMessage(const Message& message) {
  if (message.message != WM_KEYDOWN) return;
  switch (message.wparam) {
    case VK_RETURN:
    case VK_BACK:
    case VK_TAB:
    case VK_ESCAPE:
      MessageQueue::Instance().Post(message.window, WM_CHAR, message.wparam, message.lparam);
      break;
    default:
      break;
  }
}

}  // namespace plat

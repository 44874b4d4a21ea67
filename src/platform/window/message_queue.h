// The message queue of the window thread and the procedures of its windows. Posted messages and
// the messages that SDL's events become wait here in order, each with its time and cursor
// point; reads work as the engine's message loops expect them (peek, get, wait, quit), and
// messages sent from other threads are served here on the window thread while it reads.
#pragma once

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "platform/events/event_translation.h"
#include "platform/events/request_queue.h"
#include "platform/events/window_messages.h"

namespace plat {

using WindowProcedure = std::function<int32_t(const Message&)>;

class MessageQueue {
 public:
  // The program's one queue.
  static MessageQueue& Instance();

  // Makes the calling thread the window thread and starts from an empty queue: no message,
  // no quit request, no pending paint (windows stay registered).
  void AttachToCurrentThread();
  bool OnWindowThread() const;

  // A window's procedure; its owner is the calling thread. Unregistering ends every request
  // still waiting for the window.
  void RegisterWindow(WindowId window, WindowProcedure procedure);
  void UnregisterWindow(WindowId window);
  bool IsWindow(WindowId window) const;
  // A disabled window does not receive keyboard and mouse messages.
  void SetWindowEnabled(WindowId window, bool enabled);
  bool IsWindowEnabled(WindowId window) const;

  // Takes (or with remove false, looks at) the next message: sent requests are served first,
  // then posted and input messages in order, then WM_QUIT once requested, then WM_PAINT of
  // windows that need painting. False when there is none.
  bool Peek(Message& out, bool remove);
  // Waits for the next message and takes it: 1, 0 for WM_QUIT, -1 when called on a thread
  // other than the window thread.
  int Get(Message& out);
  // Blocks until a message is there to be read, serving sent requests meanwhile.
  void Wait();
  // Blocks until a message, a request or any event of the display arrives (input that an open
  // dialog takes included), or `timeout_ms` has passed; false when the time ran out.
  bool WaitForEvent(uint32_t timeout_ms);

  // Queues a message; false when the window does not exist (window 0 is always accepted).
  // Safe on any thread.
  bool Post(WindowId window, uint32_t message, uint32_t wparam, int32_t lparam);
  void PostQuit(int32_t exit_code);
  // Calls the window's procedure with the message: directly on the window thread, else as a
  // request served there while this thread waits. 0 when the window does not exist or went
  // away before serving it.
  int32_t Send(WindowId window, uint32_t message, uint32_t wparam, int32_t lparam, RequestPayload* payload = nullptr);
  // Hands a message to its window's procedure; 0 when the window does not exist.
  int32_t Dispatch(const Message& message);
  // Runs the task on the window thread the next time it reads or waits for messages, without
  // waiting for it. Safe on any thread.
  void PostTask(std::function<void()> task);
  // Asks for a WM_PAINT of the window once the queue has nothing else for it.
  void Invalidate(WindowId window);

  // Queues the messages that an SDL event becomes, as the reads do with SDL's own events.
  void AddEvent(const SDL_Event& event);

 private:
  MessageQueue();

  struct WindowEntry {
    std::shared_ptr<const WindowProcedure> procedure;
    uint32_t owner_thread = 0;
    bool enabled = true;
  };

  // Sent requests, then posted tasks.
  void ServeRequests();
  std::vector<WindowId> Windows() const;
  void PassOnDestruction(const SDL_SysWMmsg& event);
  void PassOnDestruction(WindowId window);
  // Adds to `framed` the windows whose frame the event tells of.
  void NoteFrameTold(const SDL_SysWMmsg& event, std::set<WindowId>& framed) const;
  // A desktop whose mode changed (its size, as the display reports it) is a display change.
  void PassOnDesktopResize(Point size);
  // Queues translated messages: paints as requests, window 0's to every window, input only to
  // enabled windows.
  void EnqueueTranslated(std::vector<Message>& translated);
  void EndSession();
  void ReadSdlEvents();
  EventContext ContextFor(const SDL_Event& event) const;
  void Enqueue(Message message);
  bool TakeQueued(Message& out, bool remove);
  bool HasQueued() const;
  void WakeUp();
  std::shared_ptr<const WindowProcedure> ProcedureOf(WindowId window) const;

  mutable std::mutex lock_;
  std::condition_variable arrived_;
  std::deque<Message> messages_;
  std::set<WindowId> needs_paint_;
  std::vector<std::function<void()>> tasks_;
  std::map<WindowId, WindowEntry> windows_;
  bool quit_requested_ = false;
  int32_t quit_code_ = 0;
  uint32_t window_thread_ = 0;
  std::atomic<uint32_t> wake_event_{0};
  EventTranslator translator_;
  RequestQueue requests_;
};

// Messages of the window thread, read and written as the engine's message loops do it.
inline bool PeekMessage(Message& out, bool remove) { return MessageQueue::Instance().Peek(out, remove); }
inline int GetMessage(Message& out) { return MessageQueue::Instance().Get(out); }
inline void WaitMessage() { MessageQueue::Instance().Wait(); }
inline int32_t DispatchMessage(const Message& message) { return MessageQueue::Instance().Dispatch(message); }
inline bool PostMessage(WindowId window, uint32_t message, uint32_t wparam, int32_t lparam) {
  return MessageQueue::Instance().Post(window, message, wparam, lparam);
}
inline void PostQuitMessage(int32_t exit_code) { MessageQueue::Instance().PostQuit(exit_code); }
inline int32_t SendMessage(WindowId window, uint32_t message, uint32_t wparam, int32_t lparam,
                           RequestPayload* payload = nullptr) {
  return MessageQueue::Instance().Send(window, message, wparam, lparam, payload);
}

// Adds the character messages of keys that produce no text event: Return, Backspace, Tab and
// Escape give WM_CHAR 0x0D, 0x08, 0x09 and 0x1B after their WM_KEYDOWN.
void TranslateMessage(const Message& message);

}  // namespace plat

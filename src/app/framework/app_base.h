// The message-loop layer of the application object: the run cycle, the message pump that the
// frame procedures and blocking waits use, and the accelerators that the loop translates.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/events/accelerators.h"
#include "platform/events/window_messages.h"

class CAppBase {
 public:
  // `threaded`: the main thread runs the message loop while the game runs on a worker thread.
  explicit CAppBase(bool threaded) : threaded_(threaded) {}
  CAppBase(const CAppBase&) = delete;
  CAppBase& operator=(const CAppBase&) = delete;
  virtual ~CAppBase() = default;

  // 0 = success, else the exit code.
  virtual int Initialize() = 0;
  // The game on the main thread (single-thread mode).
  virtual void RunOwnLoop() {}
  virtual void Exit(int /*code*/) {}
  // True when the message is consumed before dispatch.
  virtual bool PreTranslateMessage(const plat::Message& /*message*/) { return false; }
  // The caption of the loop's own error box; null for the default.
  virtual const char* GetTitle() { return nullptr; }

  // Initialize, then the game on this thread or the message loop, then Exit. Returns the
  // code of Initialize, or 0. The command line is Shift-JIS.
  int Run(const std::string& command_line, int show_command);

  // Loads the accelerator resource for translation into the window; true when one was loaded.
  bool LoadAccelerators(uint16_t resource_id, plat::WindowId window);
  void SetAccelerators(plat::AcceleratorTable table, plat::WindowId window);

  // Takes every waiting message once: 1 when WM_QUIT was among them (the quit flag is set and
  // the rest stay queued), else 0. Without `allow_mouse_moves` mouse-move, non-client
  // mouse-move, hit-test and set-cursor messages are dropped unseen.
  int PumpMessages(bool allow_mouse_moves);

  const std::string& GetCommandLine() const { return command_line_; }
  int GetShowCommand() const { return show_command_; }
  bool IsThreaded() const { return threaded_; }
  bool HasQuit() const { return quit_.load(); }

 protected:
  void SetThreaded(bool threaded) { threaded_ = threaded; }
  // The command line that Run was given; subclasses that start without Run set it here.
  void SetCommandLine(const std::string& command_line) { command_line_ = command_line; }
  void SetQuit() { quit_.store(true); }
  // Accelerators, then translation and dispatch to the window.
  void TranslateAndDispatch(const plat::Message& message);

 private:
  void RunMessageLoop();

  std::string command_line_;
  int show_command_ = 0;
  std::optional<plat::AcceleratorTable> accelerators_;
  plat::WindowId accelerator_window_ = 0;
  bool threaded_;
  std::atomic<bool> quit_{false};
};
